// The steps of an uninstallation that belong to other subsystems (suite library binding,
// Security Center, protection-module hooks, component unregistration, browser
// extension). The worker's step sequence and the script phases call them at their fixed
// points; the program wires the real operations in at start-up, and a test may wire in
// its own. A step left empty is skipped; the pre-check left empty allows.
#pragma once

#include <functional>
#include <string>

namespace vexa {

struct UninstallHooks {
    using FolderStep = std::function<void(const std::wstring& suite_folder)>;

    // Worker, pre-check command: may the uninstallation start?
    std::function<bool(const std::wstring& suite_folder)> process_monitor_precheck;

    // Worker, uninstall command, in the order they run.
    std::function<void()> bind_base_library;
    FolderStep ipc_layer_uninstall;
    FolderStep driver_utility_uninstall;
    FolderStep proxy_uninstall;
    std::function<void(const std::wstring& server_path)> unregister_protection_server;
    FolderStep unregister_menu_extension;
    FolderStep deep_scan_loader_uninstall_64;
    FolderStep deep_scan_loader_uninstall_32;
    FolderStep sandbox_monitor_uninstall;
    FolderStep leak_repair;

    // Script phase 1, after the suite's processes are stopped.
    std::function<void()> security_center_deregister;
    // Script phase 2, after the suite folder is gone.
    std::function<void()> remove_browser_extension;
};

void SetUninstallHooks(UninstallHooks hooks);
const UninstallHooks& GetUninstallHooks();

}  // namespace vexa
