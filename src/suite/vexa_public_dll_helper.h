// CVexaPublicDLLHelper<T>: the binding of one suite library. It makes the one load
// attempt of the process (under a lock, so threads asking at once share it), admits the
// file only on the self-protection driver's word or a valid signed trailer, fills the
// library's operation table through "InitLibs" and hands out operations by index.
// T is the derived binding (CVexaBaseExportFuncs for the base library).
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "suite/suite_library_abi.h"

namespace vexa {

// A module for |path|: the one already in the process (one more reference), or the file
// loaded if the driver vouches for this process or its signed trailer is valid. The
// file is kept from being changed between its verification and its load.
HMODULE ObtainAdmittedSuiteLibrary(const std::wstring& path);

// The signed 4-bit field at |shift| of |value|.
int SignedNibble(DWORD value, int shift);

// Verification through the file-information object of |factory|, used when the
// library's table has no verify-file operation.
bool VerifyFileThroughObject(CreateObjectFunction factory, const wchar_t* path, int* kind);

template <class T>
class CVexaPublicDLLHelper {
public:
    CVexaPublicDLLHelper() { InitializeCriticalSection(&lock_); }
    virtual ~CVexaPublicDLLHelper() {
        if (module_)
            FreeLibrary(module_);
        DeleteCriticalSection(&lock_);
    }
    CVexaPublicDLLHelper(const CVexaPublicDLLHelper&) = delete;
    CVexaPublicDLLHelper& operator=(const CVexaPublicDLLHelper&) = delete;

    // Only the first call attempts the load; every call returns that attempt's outcome.
    bool Load(const std::wstring& path) {
        if (attempted_.load())
            return loaded_.load();
        EnterCriticalSection(&lock_);
        if (!attempted_.load()) {
            loaded_ = Attempt(path);
            attempted_ = true;
        }
        LeaveCriticalSection(&lock_);
        return loaded_.load();
    }

    bool IsAttempted() const { return attempted_.load(); }
    bool IsLoaded() const { return loaded_.load(); }

    // None unless loaded and |index| is below the count the library reported (and
    // inside the table, whatever count the library wrote).
    void* GetOperation(unsigned index) const {
        if (!loaded_.load() || index >= table_.count || index >= kOperationTableSize)
            return nullptr;
        return table_.entries[index];
    }

    HRESULT CreateObject(const GUID& class_id, void** object) {
        if (!factory_)
            return E_NOTIMPL;
        return factory_(class_id, object);
    }

    // Operation 11; 0 when the library does not offer it.
    int GetOsVersion(OSVERSIONINFOEXW* version) {
        auto operation = reinterpret_cast<OsVersionFunction>(GetOperation(kOsVersionOperation));
        return operation ? operation(version, 0) : 0;
    }

    // Operation 10 when the table offers it; otherwise the file-information object.
    bool VerifyFile(const wchar_t* path, int* kind) {
        if (auto operation = reinterpret_cast<VerifyFileFunction>(GetOperation(kVerifyFileOperation)))
            return operation(path, kind) != 0;
        if (kind)
            *kind = -1;
        return VerifyFileThroughObject(loaded_.load() ? factory_ : nullptr, path, kind);
    }

private:
    bool Attempt(const std::wstring& path) {
        module_ = ObtainAdmittedSuiteLibrary(path);
        if (!module_)
            return false;
        auto init_libs = reinterpret_cast<InitLibsFunction>(
            reinterpret_cast<void*>(GetProcAddress(module_, "InitLibs")));
        factory_ = reinterpret_cast<CreateObjectFunction>(
            reinterpret_cast<void*>(GetProcAddress(module_, "CreateObject")));
        bool bound = factory_ != nullptr;
        if (init_libs) {
            table_.count = kOperationTableSize;
            bound = init_libs(&table_) == 0;
        }
        if (!bound) {
            FreeLibrary(module_);
            module_ = nullptr;
            factory_ = nullptr;
            table_ = VexaOperationTable{};
        }
        return bound;
    }

    HMODULE module_ = nullptr;
    CreateObjectFunction factory_ = nullptr;
    VexaOperationTable table_{};
    CRITICAL_SECTION lock_;
    std::atomic<bool> attempted_{false};
    std::atomic<bool> loaded_{false};
};

}  // namespace vexa
