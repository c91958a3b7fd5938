#include "cleanup/module_hooks.h"

#include <vector>

#include "common/system_info.h"

namespace vexa {
namespace {

using NoArgumentExport = int(__cdecl*)();
using DriverUtilityExport = int(__stdcall*)(int);

enum class CallResult { kCalled, kNoPath, kNoModule, kNoExport };

// Loads |relative| below the suite folder, calls |name| with |call| and unloads it. A
// module without the export stays loaded, as the suite's own uninstaller leaves it.
template <class Fn, class Call>
CallResult CallModuleExport(const std::wstring& suite_folder, const wchar_t* relative, const char* name, Call call,
                            int& result) {
    std::wstring path;
    if (!BuildModulePath(suite_folder, relative, path))
        return CallResult::kNoPath;
    HMODULE module = LoadLibraryW(path.c_str());
    if (!module)
        return CallResult::kNoModule;
    auto entry = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (!entry)
        return CallResult::kNoExport;
    result = call(entry);
    FreeLibrary(module);
    return CallResult::kCalled;
}

CallResult CallNoArgument(const std::wstring& suite_folder, const wchar_t* relative, const char* name, int& result) {
    return CallModuleExport<NoArgumentExport>(suite_folder, relative, name,
                                              [](NoArgumentExport entry) { return entry(); }, result);
}

}  // namespace

ProtectionPlatformFacts GatherProtectionPlatformFacts() {
    ProtectionPlatformFacts facts;
    SYSTEM_INFO info{};
    using GetNativeSystemInfoFn = void(WINAPI*)(SYSTEM_INFO*);
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    auto get_native = kernel32 ? reinterpret_cast<GetNativeSystemInfoFn>(
                                     reinterpret_cast<void*>(GetProcAddress(kernel32, "GetNativeSystemInfo")))
                               : nullptr;
    if (get_native) {
        get_native(&info);
    } else {
        GetSystemInfo(&info);
    }
    facts.processor_architecture = info.wProcessorArchitecture;

    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(L"kernel32.dll", &ignored);
    if (size) {
        std::vector<BYTE> data(size);
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT fixed_size = 0;
        if (GetFileVersionInfoW(L"kernel32.dll", 0, size, data.data()) &&
            VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixed_size) && fixed &&
            fixed_size >= sizeof(VS_FIXEDFILEINFO)) {
            facts.kernel32_version_read = true;
            facts.kernel32_major = HIWORD(fixed->dwFileVersionMS);
            facts.kernel32_minor = LOWORD(fixed->dwFileVersionMS);
        }
    }
    return facts;
}

bool IsProtectionPlatform(const ProtectionPlatformFacts& facts) {
    if (!facts.kernel32_version_read)
        return false;
    const WORD major = facts.kernel32_major;
    const WORD minor = facts.kernel32_minor;
    if (IsNative64BitArchitecture(facts.processor_architecture))
        return major >= 6 && !(major == 6 && minor == 0);
    return !(major == 5 && minor == 2);
}

bool IsProtectionPlatformHere() {
    static const bool answer = IsProtectionPlatform(GatherProtectionPlatformFacts());
    return answer;
}

bool BuildModulePath(const std::wstring& suite_folder, const wchar_t* relative, std::wstring& path) {
    if (suite_folder.empty())
        return false;
    std::wstring result = suite_folder;
    if (result.back() != L'\\')
        result += L'\\';
    result += relative;
    if (result.size() >= MAX_PATH)
        return false;
    path = result;
    return true;
}

bool ProcessMonitorPreCheck(const std::wstring& suite_folder) {
    if (!IsProtectionPlatformHere())
        return true;
    int result = 0;
    if (CallNoArgument(suite_folder, L"vigild\\Vexaprocmon.dll", "UninstallCall", result) != CallResult::kCalled)
        return false;
    return result != 0 && result != 1211;
}

bool IpcLayerUninstall(const std::wstring& suite_folder) {
    if (!IsProtectionPlatformHere())
        return true;
    int result = 0;
    return CallNoArgument(suite_folder, L"ipc\\kutmipc.dll", "Uninstall", result) == CallResult::kCalled &&
           result == 1;
}

bool DriverUtilityUninstall(const std::wstring& suite_folder) {
    if (!IsProtectionPlatformHere())
        return true;
    int result = 0;
    const CallResult called = CallModuleExport<DriverUtilityExport>(
        suite_folder, L"ipc\\DrvUtility.dll", "UnInstallDrivers", [](DriverUtilityExport entry) { return entry(6); },
        result);
    return called == CallResult::kCalled && result == 1;
}

bool DeepScanLoaderUninstall64(const std::wstring& suite_folder) {
    if (!IsProtectionPlatformHere() || !Is64BitWindows())
        return true;
    int result = 0;
    // A missing module or export counts as done on 64-bit Windows.
    return CallNoArgument(suite_folder, L"deepscan\\kutmload.dll", "Uninstall", result) != CallResult::kNoPath;
}

bool DeepScanLoaderUninstall32(const std::wstring& suite_folder) {
    if (!IsProtectionPlatformHere())
        return true;
    if (Is64BitWindows())
        return false;
    int result = 0;
    return CallNoArgument(suite_folder, L"deepscan\\kutmload.dll", "Uninstall", result) == CallResult::kCalled &&
           result == 1;
}

bool SandboxMonitorUninstall(const std::wstring& suite_folder) {
    int result = 0;
    return CallNoArgument(suite_folder, L"ipc\\boxwatch.dll", "UninstallEx", result) == CallResult::kCalled &&
           result == 1;
}

}  // namespace vexa
