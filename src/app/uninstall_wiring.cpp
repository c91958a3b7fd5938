#include "app/uninstall_wiring.h"

#include "cleanup/module_hooks.h"
#include "report/trust_gate.h"

namespace vexa {

UninstallHooks ProductUninstallHooks() {
    UninstallHooks hooks;
    hooks.bind_base_library = [] { EnsureBaseLibraryLoaded(); };
    hooks.process_monitor_precheck = ProcessMonitorPreCheck;
    hooks.ipc_layer_uninstall = [](const std::wstring& folder) { IpcLayerUninstall(folder); };
    hooks.driver_utility_uninstall = [](const std::wstring& folder) { DriverUtilityUninstall(folder); };
    hooks.deep_scan_loader_uninstall_64 = [](const std::wstring& folder) { DeepScanLoaderUninstall64(folder); };
    hooks.deep_scan_loader_uninstall_32 = [](const std::wstring& folder) { DeepScanLoaderUninstall32(folder); };
    hooks.sandbox_monitor_uninstall = [](const std::wstring& folder) { SandboxMonitorUninstall(folder); };
    return hooks;
}

}  // namespace vexa
