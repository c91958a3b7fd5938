#include "engine/uninst_proc.h"

#include <new>

#include "common/handles.h"
#include "common/system_info.h"
#include "engine/folder_keywords.h"
#include "engine/fs_redirection.h"
#include "engine/services_drivers.h"
#include "engine/shell.h"
#include "engine/uninstall_hooks.h"

namespace vexa {

std::atomic<int> PreCheckBusy{0};
std::atomic<int> PreCheckFinished{0};
std::atomic<int> PreCheckPassed{0};

namespace {

constexpr wchar_t kAppPathsKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\DaRuviZuda.exe";

template <class Fn, class... Args>
void RunStep(const Fn& step, const Args&... args) {
    if (step)
        step(args...);
}

}  // namespace

bool ReadSuiteFolder(std::wstring& folder) {
    unique_hkey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kAppPathsKey, 0, KEY_QUERY_VALUE | Suite32BitView(), key.put()) !=
        ERROR_SUCCESS) {
        return false;
    }
    wchar_t value[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH * sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key.get(), L"Path", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    folder = value;
    return true;
}

bool CUninstProc::Post(HWND main_window, WORD command) {
    if (!main_window)
        return false;
    HWND worker = WaitForWorkerWindow(kWorkerWindowWaitMs);
    if (!worker)
        return false;
    return ::PostMessageW(worker, WM_COMMAND, MAKEWPARAM(command, 0), reinterpret_cast<LPARAM>(worker)) != FALSE;
}

void CUninstProc::RunPreCheck() {
    std::wstring folder;
    if (!ReadSuiteFolder(folder)) {
        PreCheckBusy = 0;
        return;
    }
    PreCheckBusy = 1;
    const auto& precheck = GetUninstallHooks().process_monitor_precheck;
    const bool allowed = precheck ? precheck(folder) : true;
    PreCheckFinished = 1;
    if (allowed) {
        PreCheckPassed = 1;
    } else {
        PreCheckBusy = 0;
    }
}

void CUninstProc::RunUninstall() {
    const UninstallHooks& hooks = GetUninstallHooks();
    RunStep(hooks.bind_base_library);

    std::wstring folder;
    if (ReadSuiteFolder(folder)) {
        {
            CShell phase1;
            phase1.RunPhase1(kScriptResourceType, kScriptResourceId, folder);
        }
        RemoveDeepScanDriver(folder);
        RunStep(hooks.ipc_layer_uninstall, folder);
        RunStep(hooks.driver_utility_uninstall, folder);
        RunStep(hooks.proxy_uninstall, folder);
        RunStep(hooks.unregister_protection_server, folder + L"\\vigild\\vigild.dll");
        RunStep(hooks.unregister_menu_extension, folder);
        RunStep(hooks.unregister_protection_server, folder + L"\\vigild\\vigild64.dll");
        RemoveFilterDriver();
        RunStep(hooks.deep_scan_loader_uninstall_64, folder);
        RunStep(hooks.deep_scan_loader_uninstall_32, folder);
        RunStep(hooks.sandbox_monitor_uninstall, folder);
        RemoveSandboxDriver();
        RunStep(hooks.leak_repair, folder);
        {
            CShell phase2;
            FsRedirectionGuard redirection_off;
            ResetFolderKeywords();
            phase2.RunPhase2(kScriptResourceType, kScriptResourceId, folder);
        }
    }
    done_ = true;
}

CUninstProc* GetUninstProc() {
    static CUninstProc* worker = nullptr;
    if (!worker) {
        worker = new (std::nothrow) CUninstProc;
        if (!worker || !worker->StartThread())
            ExitProcess(333);
    }
    return worker;
}

}  // namespace vexa
