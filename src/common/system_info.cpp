#include "common/system_info.h"

namespace vexa {

WindowsVersion GetReportedWindowsVersion() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&info))
        return {};
#pragma GCC diagnostic pop
    return {info.dwMajorVersion, info.dwMinorVersion, true};
}

bool IsNative64BitArchitecture(WORD processor_architecture) {
    return processor_architecture == PROCESSOR_ARCHITECTURE_AMD64 ||
           processor_architecture == PROCESSOR_ARCHITECTURE_IA64;
}

bool Is64BitWindows() {
    static const bool answer = [] {
        if (!GetReportedWindowsVersion().known)
            return false;
        HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
        using GetNativeSystemInfoFn = void(WINAPI*)(SYSTEM_INFO*);
        auto get_native = kernel32 ? reinterpret_cast<GetNativeSystemInfoFn>(
                                         reinterpret_cast<void*>(GetProcAddress(kernel32, "GetNativeSystemInfo")))
                                   : nullptr;
        if (!get_native)
            return false;
        SYSTEM_INFO info{};
        get_native(&info);
        return IsNative64BitArchitecture(info.wProcessorArchitecture);
    }();
    return answer;
}

bool IsWindows2000() {
    const WindowsVersion v = GetReportedWindowsVersion();
    return v.known && v.major == 5 && v.minor == 0;
}

REGSAM Suite32BitView() {
    return IsWindows2000() ? 0 : KEY_WOW64_32KEY;
}

}  // namespace vexa
