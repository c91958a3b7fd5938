// Facts about the Windows the program runs on, gathered once per process.
#pragma once

#include <windows.h>

namespace vexa {

struct WindowsVersion {
    DWORD major = 0;
    DWORD minor = 0;
    bool known = false;  // false when GetVersionExW failed
};

// The version the system reports to this program (GetVersionExW).
WindowsVersion GetReportedWindowsVersion();

// True on 64-bit Windows: the native processor architecture is AMD64 or IA64. False
// when the version or GetNativeSystemInfo cannot be had. Computed once.
bool Is64BitWindows();

// Decision behind Is64BitWindows, for a processor architecture already read.
bool IsNative64BitArchitecture(WORD processor_architecture);

// Windows 2000 reports 5.0 and knows no registry views.
bool IsWindows2000();

// The registry-view bits for keys that the suite keeps in the 32-bit view.
REGSAM Suite32BitView();

}  // namespace vexa
