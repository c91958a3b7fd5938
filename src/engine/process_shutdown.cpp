#include "engine/process_shutdown.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <atomic>
#include <map>
#include <memory>

#include "common/fixed_wait.h"
#include "common/handles.h"

namespace vexa {
namespace {

// FindWindowW sends no message and should come back at once; the limit only keeps a
// broken system from holding the uninstallation.
constexpr DWORD kWindowLookupLimitMs = 5000;

const struct {
    const wchar_t* window_class;
    LPARAM lparam;
} kWindowsToClose[] = {
    {L"KVexaFEEDCLASSClass", 0},
    {L"KVexaInternationSafeClass", 0},
    {L"KVexaLiveUpdateDownloader", 1},
};

constexpr wchar_t kToolProgram[] = L"Fixpulse.exe";
constexpr wchar_t kMainProgram[] = L"DaRuviZuda.exe";
constexpr wchar_t kTrayProgram[] = L"VeDaziZaro.exe";

std::wstring Lower(std::wstring text) {
    if (!text.empty())
        CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

std::wstring Trimmed(const std::wstring& text) {
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos)
        return {};
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

// Executable name (trimmed, lower case) to process id, from the last snapshot that could
// be taken. Used by the uninstall worker only.
std::map<std::wstring, DWORD>& ProcessTable() {
    static auto* table = new std::map<std::wstring, DWORD>;
    return *table;
}

void RefreshProcessTable() {
    unique_handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return;
    auto& table = ProcessTable();
    table.clear();
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry))
        table[Lower(Trimmed(entry.szExeFile))] = entry.th32ProcessID;
}

// What the look-up thread and its caller share; whichever finishes last frees it, so a
// caller that stopped waiting leaves nothing dangling.
struct WindowLookup {
    std::wstring window_class;
    std::atomic<HWND> found{nullptr};
};

DWORD WINAPI WindowLookupThread(void* parameter) {
    std::unique_ptr<std::shared_ptr<WindowLookup>> lookup(static_cast<std::shared_ptr<WindowLookup>*>(parameter));
    (*lookup)->found = FindWindowW((*lookup)->window_class.c_str(), nullptr);
    return 0;
}

void RemoveMonitorTrayIcon(HWND monitor) {
    NOTIFYICONDATAW icon{};
    icon.cbSize = NOTIFYICONDATAW_V3_SIZE;
    icon.hWnd = monitor;
    icon.uID = kMonitorTrayIconId;
    Shell_NotifyIconW(NIM_DELETE, &icon);
}

}  // namespace

bool FindProcessByName(const std::wstring& name, DWORD* process_id) {
    RefreshProcessTable();
    const auto found = ProcessTable().find(Lower(name));
    if (found == ProcessTable().end())
        return false;
    if (process_id)
        *process_id = found->second;
    return true;
}

bool KillProcess(DWORD process_id) {
    unique_handle process(OpenProcess(PROCESS_TERMINATE, FALSE, process_id));
    if (!process)
        return false;
    return TerminateProcess(process.get(), 0) != FALSE;
}

HWND FindWindowByClass(const wchar_t* class_name) {
    auto lookup = std::make_shared<WindowLookup>();
    lookup->window_class = class_name ? class_name : L"";
    auto* parameter = new std::shared_ptr<WindowLookup>(lookup);
    unique_handle thread(CreateThread(nullptr, 0, WindowLookupThread, parameter, 0, nullptr));
    if (!thread) {
        delete parameter;
        return nullptr;
    }
    if (WaitForSingleObject(thread.get(), kWindowLookupLimitMs) != WAIT_OBJECT_0)
        return nullptr;
    return lookup->found;
}

bool SendMonitorCommand(DWORD code, const void* data, DWORD size) {
    HWND monitor = FindWindowByClass(kMonitorWindowClass);
    if (!monitor || !IsWindow(monitor))
        return false;
    COPYDATASTRUCT command{};
    command.dwData = code;
    command.cbData = size;
    command.lpData = const_cast<void*>(data);
    DWORD_PTR answer = 0;
    const LRESULT sent = SendMessageTimeoutW(monitor, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&command),
                                             SMTO_NORMAL, kMonitorCommandTimeoutMs, &answer);
    return sent != 0 && answer != 0;
}

void StopSuiteProcesses() {
    SendMonitorCommand(kMonitorExitCommand, nullptr, 0);

    DWORD process_id = 0;
    if (FindProcessByName(kToolProgram, &process_id))
        KillProcess(process_id);

    for (const auto& window : kWindowsToClose) {
        if (HWND found = FindWindowByClass(window.window_class))
            PostMessageW(found, WM_CLOSE, 0, window.lparam);
    }
    FixedWait(1000);

    bool found_program = false;
    if (FindProcessByName(kMainProgram, &process_id)) {
        found_program = true;
        KillProcess(process_id);
    }
    if (FindProcessByName(kTrayProgram, &process_id)) {
        found_program = true;
        KillProcess(process_id);
    }
    if (found_program)
        FixedWait(2000);

    // A monitor or tray that was terminated leaves its icon behind in the notification
    // area; one that survived keeps running without it.
    if (HWND monitor = FindWindowByClass(kMonitorWindowClass))
        RemoveMonitorTrayIcon(monitor);
}

}  // namespace vexa
