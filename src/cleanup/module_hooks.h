// The uninstall entry points of the suite's protection modules, and the pre-check that
// asks the process monitor whether the uninstallation may start. Each module is loaded
// with the plain loader from the suite folder, called on the worker thread and unloaded.
#pragma once

#include <windows.h>

#include <string>

namespace vexa {

// Platform facts that decide whether the protection modules are called at all.
struct ProtectionPlatformFacts {
    WORD processor_architecture = 0;
    bool kernel32_version_read = false;
    WORD kernel32_major = 0;
    WORD kernel32_minor = 0;
};

ProtectionPlatformFacts GatherProtectionPlatformFacts();
// On AMD64 or IA64: version 6 or later except 6.0 exactly; elsewhere anything but 5.2.
bool IsProtectionPlatform(const ProtectionPlatformFacts& facts);
// The answer for this machine, computed once.
bool IsProtectionPlatformHere();

// D + "\" (unless D ends with one) + relative; false when D is empty or the result
// would not fit in 260 characters with its terminating null.
bool BuildModulePath(const std::wstring& suite_folder, const wchar_t* relative, std::wstring& path);

// True when the uninstallation may start: the module's answer is neither 0 nor 1211.
bool ProcessMonitorPreCheck(const std::wstring& suite_folder);
bool IpcLayerUninstall(const std::wstring& suite_folder);
bool DriverUtilityUninstall(const std::wstring& suite_folder);
bool DeepScanLoaderUninstall64(const std::wstring& suite_folder);
bool DeepScanLoaderUninstall32(const std::wstring& suite_folder);
bool SandboxMonitorUninstall(const std::wstring& suite_folder);

}  // namespace vexa
