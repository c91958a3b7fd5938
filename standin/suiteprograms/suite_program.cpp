// Stand-in for the suite's programs that the uninstaller ends by name (built as
// "DaRuviZuda.exe", "vigild\VeDaziZaro.exe" and "Fixpulse.exe") and for the suite's
// windows it closes politely ("SuiteWindow.exe /window=<class>").
//
// Journal, under the program's file name in lower case without ".exe":
//   <name>|started|<process id>[|<window class>]
//   <name>|WM_CLOSE|<window class>|<wParam>|<lParam>   then the window and program end
// The program ends by itself after the setting "Lifetime" of its name (default 600000
// ms), so that nothing outlives a test that failed half-way.
#include <windows.h>

#include <string>

#include "journal/journal.h"

namespace {

constexpr wchar_t kWindowArgument[] = L"/window=";
constexpr UINT_PTR kLifetimeTimer = 1;

std::wstring g_component;
std::wstring g_window_class;

std::wstring ComponentName() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name = path;
    name = name.substr(name.find_last_of(L'\\') + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos)
        name.resize(dot);
    CharLowerBuffW(&name[0], static_cast<DWORD>(name.size()));
    return name;
}

std::wstring WindowClassArgument() {
    const std::wstring command_line = GetCommandLineW();
    const size_t found = command_line.find(kWindowArgument);
    if (found == std::wstring::npos)
        return {};
    std::wstring value = command_line.substr(found + wcslen(kWindowArgument));
    return value.substr(0, value.find_first_of(L" \""));
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_CLOSE:
        standin::Journal(g_component, L"WM_CLOSE",
                         g_window_class + L"|" + std::to_wstring(wparam) + L"|" + std::to_wstring(lparam));
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wparam, lparam);
    }
}

bool CreateSuiteWindow(HINSTANCE instance) {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = instance;
    window_class.lpszClassName = g_window_class.c_str();
    if (!RegisterClassExW(&window_class))
        return false;
    return CreateWindowExW(0, g_window_class.c_str(), L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                           instance, nullptr) != nullptr;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    g_component = ComponentName();
    g_window_class = WindowClassArgument();
    if (!g_window_class.empty() && !CreateSuiteWindow(instance))
        return 1;
    // A thread timer: WM_TIMER arrives in the loop below with no window.
    const UINT_PTR timer = SetTimer(nullptr, kLifetimeTimer, standin::SettingDword(g_component, L"Lifetime", 600000),
                                    nullptr);
    std::wstring started = std::to_wstring(GetCurrentProcessId());
    if (!g_window_class.empty())
        started += L"|" + g_window_class;
    standin::Journal(g_component, L"started", started);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == nullptr && message.wParam == timer)
            break;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
