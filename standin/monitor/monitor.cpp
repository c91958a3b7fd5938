// Stand-in for the suite's monitor: a hidden top-level window of class
// "KVexaVigildClass" that owns notification icon 5769 and takes copy-data commands.
// Each command is journalled as
//   monitor|WM_COPYDATA|<wParam>|<code, 8 hex digits>|<byte count>|<"null" or "data">
// On "EXIT" it answers 1, removes its icon and ends, unless the settings say otherwise:
//   IgnoreExit = 1   answer 0 and keep running
//   HangMs = n       stop answering for n ms before handling any command
//   Lifetime = n     end by itself after n ms (default 600000), so that nothing outlives
//                    a test that failed half-way
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

#include "journal/journal.h"

namespace {

constexpr wchar_t kComponent[] = L"monitor";
constexpr wchar_t kWindowClass[] = L"KVexaVigildClass";
constexpr UINT kIconId = 5769;
constexpr DWORD kExitCommand = 0x45584954;
constexpr UINT_PTR kLifetimeTimer = 1;
constexpr UINT kTrayCallback = WM_APP + 1;

bool g_icon_added = false;

NOTIFYICONDATAW IconData(HWND window) {
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof(icon);
    icon.hWnd = window;
    icon.uID = kIconId;
    return icon;
}

void AddIcon(HWND window) {
    NOTIFYICONDATAW icon = IconData(window);
    icon.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    icon.uCallbackMessage = kTrayCallback;
    icon.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
    wcscpy_s(icon.szTip, L"Vexaguard");
    g_icon_added = Shell_NotifyIconW(NIM_ADD, &icon) != FALSE;
}

void RemoveIcon(HWND window) {
    if (!g_icon_added)
        return;
    NOTIFYICONDATAW icon = IconData(window);
    Shell_NotifyIconW(NIM_DELETE, &icon);
    g_icon_added = false;
}

std::wstring Hex(ULONG_PTR value) {
    wchar_t text[20] = {};
    swprintf(text, 20, L"%08lX", static_cast<unsigned long>(value));
    return text;
}

LRESULT OnCopyData(HWND window, WPARAM wparam, const COPYDATASTRUCT* command) {
    const DWORD hang = standin::SettingDword(kComponent, L"HangMs", 0);
    if (hang)
        Sleep(hang);
    standin::Journal(kComponent, L"WM_COPYDATA",
                     std::to_wstring(wparam) + L"|" + Hex(command->dwData) + L"|" + std::to_wstring(command->cbData) +
                         L"|" + (command->lpData ? L"data" : L"null"));
    if (command->dwData != kExitCommand)
        return 0;
    if (standin::SettingDword(kComponent, L"IgnoreExit", 0))
        return 0;
    // Answer first; the icon goes with the window.
    PostMessageW(window, WM_CLOSE, 0, 0);
    return 1;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_COPYDATA:
        return OnCopyData(window, wparam, reinterpret_cast<const COPYDATASTRUCT*>(lparam));
    case WM_TIMER:
        if (wparam == kLifetimeTimer)
            DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        RemoveIcon(window);
        standin::Journal(kComponent, L"exit");
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = instance;
    window_class.lpszClassName = kWindowClass;
    if (!RegisterClassExW(&window_class))
        return 1;
    HWND window = CreateWindowExW(0, kWindowClass, L"Vexaguard monitor", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                  nullptr, instance, nullptr);
    if (!window)
        return 1;
    AddIcon(window);
    SetTimer(window, kLifetimeTimer, standin::SettingDword(kComponent, L"Lifetime", 600000), nullptr);
    standin::Journal(kComponent, L"started", std::to_wstring(GetCurrentProcessId()) + L"|icon " +
                                                 (g_icon_added ? L"added" : L"not added"));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
