// The module trust gate: suite libraries are loaded, and suite programs started, only
// when the self-protection driver vouches for this process or the suite's base library
// accepts the file.
//
//   CTrustGate             the gate over one binding of the base library
//   TrustGate()            the process's gate: BaseExportFuncs(), in the suite folder
//   the free functions     the wrappers the rest of the program calls
//   NotifyRefusedSuiteFile where the wrappers "with notice" hand a refused file
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "suite/base_library.h"

namespace vexa {

class CTrustGate {
public:
    // |base_library_path| says where the binding's one load attempt looks; it is asked
    // only when that attempt is made.
    CTrustGate(CVexaBaseExportFuncs& base_library, std::function<std::wstring()> base_library_path);

    // Makes sure the base library had its one load attempt; true when it is loaded.
    bool EnsureBaseLibraryLoaded();

    // True when the driver vouches for this process, or the loaded base library
    // accepts |path|.
    bool IsTrusted(const std::wstring& path);

    // The library if the gate passes; no module otherwise.
    HMODULE TrustedLoad(const std::wstring& path);
    // The same, and a refused file goes to NotifyRefusedSuiteFile.
    HMODULE TrustedLoadWithNotice(const std::wstring& path);
    // TrustedLoadWithNotice, then the export called without arguments; 0 when the file
    // is refused or the export is missing. The module stays loaded.
    int TrustedLoadAndCall(const std::wstring& path, const char* export_name);
    // ShellExecuteW if the gate passes; otherwise no process, null, and the notice.
    HINSTANCE TrustedShellExecute(HWND window, const wchar_t* verb, const std::wstring& file,
                                  const wchar_t* parameters, const wchar_t* folder, int show);

private:
    CVexaBaseExportFuncs& base_library_;
    std::function<std::wstring()> base_library_path_;
};

// The gate of the process: the base library's binding BaseExportFuncs(), loaded from
// the suite folder (the bare library name when the folder cannot be read).
CTrustGate& TrustGate();

// The worker's first step and the gate's first question: the base library's one load
// attempt in the suite folder.
bool EnsureBaseLibraryLoaded();

bool IsTrustedSuiteFile(const std::wstring& path);
HMODULE TrustedLoadLibrary(const std::wstring& path);
HMODULE TrustedLoadLibraryWithNotice(const std::wstring& path);
int TrustedLoadAndCall(const std::wstring& path, const char* export_name);
HINSTANCE TrustedShellExecute(HWND window, const wchar_t* verb, const std::wstring& file, const wchar_t* parameters,
                              const wchar_t* folder, int show);

// A suite file that a wrapper with notice refused. The damaged-file notice plugs in
// here; until it does, nothing is shown.
void NotifyRefusedSuiteFile(const std::wstring& path);

// Tests watch the refusals; an empty handler stops watching.
void SetRefusedSuiteFileObserverForTesting(std::function<void(const std::wstring& path)> observer);

}  // namespace vexa
