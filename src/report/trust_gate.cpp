#include "report/trust_gate.h"

#include <mutex>
#include <utility>

#include "engine/uninst_proc.h"
#include "suite/self_protection.h"

namespace vexa {
namespace {

std::mutex g_observer_lock;
std::function<void(const std::wstring&)> g_observer;

std::wstring SuiteBaseLibraryPath() {
    std::wstring folder;
    if (!ReadSuiteFolder(folder))
        folder.clear();
    return BaseLibraryPath(folder);
}

}  // namespace

CTrustGate::CTrustGate(CVexaBaseExportFuncs& base_library, std::function<std::wstring()> base_library_path)
    : base_library_(base_library), base_library_path_(std::move(base_library_path)) {}

bool CTrustGate::EnsureBaseLibraryLoaded() {
    if (base_library_.IsAttempted())
        return base_library_.IsLoaded();
    return base_library_.Load(base_library_path_());
}

bool CTrustGate::IsTrusted(const std::wstring& path) {
    EnsureBaseLibraryLoaded();
    if (SelfProtectionVouchesForThisProcess())
        return true;
    return base_library_.IsLoaded() && base_library_.VerifyFile(path.c_str(), nullptr);
}

HMODULE CTrustGate::TrustedLoad(const std::wstring& path) {
    return IsTrusted(path) ? LoadLibraryW(path.c_str()) : nullptr;
}

HMODULE CTrustGate::TrustedLoadWithNotice(const std::wstring& path) {
    if (!IsTrusted(path)) {
        NotifyRefusedSuiteFile(path);
        return nullptr;
    }
    return LoadLibraryW(path.c_str());
}

int CTrustGate::TrustedLoadAndCall(const std::wstring& path, const char* export_name) {
    HMODULE module = TrustedLoadWithNotice(path);
    if (!module)
        return 0;
    using Export = int(WINAPI*)();
    auto function = reinterpret_cast<Export>(reinterpret_cast<void*>(GetProcAddress(module, export_name)));
    return function ? function() : 0;
}

HINSTANCE CTrustGate::TrustedShellExecute(HWND window, const wchar_t* verb, const std::wstring& file,
                                          const wchar_t* parameters, const wchar_t* folder, int show) {
    if (!IsTrusted(file)) {
        NotifyRefusedSuiteFile(file);
        return nullptr;
    }
    return ShellExecuteW(window, verb, file.c_str(), parameters, folder, show);
}

CTrustGate& TrustGate() {
    static CTrustGate gate(BaseExportFuncs(), SuiteBaseLibraryPath);
    return gate;
}

bool EnsureBaseLibraryLoaded() {
    return TrustGate().EnsureBaseLibraryLoaded();
}

bool IsTrustedSuiteFile(const std::wstring& path) {
    return TrustGate().IsTrusted(path);
}

HMODULE TrustedLoadLibrary(const std::wstring& path) {
    return TrustGate().TrustedLoad(path);
}

HMODULE TrustedLoadLibraryWithNotice(const std::wstring& path) {
    return TrustGate().TrustedLoadWithNotice(path);
}

int TrustedLoadAndCall(const std::wstring& path, const char* export_name) {
    return TrustGate().TrustedLoadAndCall(path, export_name);
}

HINSTANCE TrustedShellExecute(HWND window, const wchar_t* verb, const std::wstring& file, const wchar_t* parameters,
                              const wchar_t* folder, int show) {
    return TrustGate().TrustedShellExecute(window, verb, file, parameters, folder, show);
}

void NotifyRefusedSuiteFile(const std::wstring& path) {
    std::lock_guard<std::mutex> lock(g_observer_lock);
    if (g_observer)
        g_observer(path);
}

void SetRefusedSuiteFileObserverForTesting(std::function<void(const std::wstring& path)> observer) {
    std::lock_guard<std::mutex> lock(g_observer_lock);
    g_observer = std::move(observer);
}

}  // namespace vexa
