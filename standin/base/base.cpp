// Stand-in for the suite's base library "Vexabase.dll", in the shape chosen when it is
// built (VEXA_BASE_SHAPE):
//   1  "InitLibs" fills a table with verify-file (10) and OS version (11); "CreateObject"
//      is there too
//   2  "InitLibs" answers 1
//   3  only "CreateObject"
// Verify-file checks the file's signed trailer for real, as the suite's library does.
// The file-information object answers the attributes the test sets: settings
// "Attribute3", "Attribute4", "Attribute5" (missing means the call fails) and
// "OpenResult" (default 1).
#include <windows.h>

#include <atomic>
#include <string>

#include "common/trailer_verifier.h"
#include "journal/journal.h"
#include "suite/suite_library_abi.h"

namespace {

constexpr wchar_t kComponent[] = L"base";
constexpr DWORD kMissing = 0xFFFFFFFF;

[[maybe_unused]] int WINAPI VerifyFile(const wchar_t* path, int* kind) {
    const vexa::TrailerVerdict verdict = vexa::VerifySignedTrailerFile(path ? path : L"");
    standin::Journal(kComponent, L"VerifyFile", std::wstring(path ? path : L"") + L"|" + vexa::TrailerVerdictName(verdict));
    const bool valid = verdict == vexa::TrailerVerdict::kValid;
    if (kind)
        *kind = valid ? 1 : -1;
    return valid ? 1 : 0;
}

[[maybe_unused]] int WINAPI OsVersion(OSVERSIONINFOEXW* version, int reserved) {
    standin::Journal(kComponent, L"OsVersion", std::to_wstring(reserved));
    if (!version)
        return 0;
    version->dwMajorVersion = standin::SettingDword(kComponent, L"OsMajor", 10);
    version->dwMinorVersion = standin::SettingDword(kComponent, L"OsMinor", 0);
    version->dwBuildNumber = standin::SettingDword(kComponent, L"OsBuild", 19045);
    return 1;
}

class FileInformation final : public vexa::IVexaFileInformation {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            standin::Journal(kComponent, L"Release");
            delete this;
        }
        return left;
    }
    int STDMETHODCALLTYPE Open(const wchar_t* path, int flags) override {
        standin::Journal(kComponent, L"Open", std::wstring(path ? path : L"") + L"|" + std::to_wstring(flags));
        return static_cast<int>(standin::SettingDword(kComponent, L"OpenResult", 1));
    }
    HRESULT STDMETHODCALLTYPE Slot4() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Slot5() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Slot6() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Slot7() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Slot8() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Slot9() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Slot10() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Slot11() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Slot12() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Slot13() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Slot14() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Slot15() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Slot16() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Slot17() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Slot18() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Slot19() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Slot20() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAttribute(int attribute, DWORD* value) override {
        standin::Journal(kComponent, L"GetAttribute", std::to_wstring(attribute));
        const std::wstring name = L"Attribute" + std::to_wstring(attribute);
        const DWORD answer = standin::SettingDword(kComponent, name.c_str(), kMissing);
        if (answer == kMissing || !value)
            return E_FAIL;
        *value = answer;
        return S_OK;
    }

private:
    std::atomic<ULONG> references_{1};
};

}  // namespace

#if VEXA_BASE_SHAPE != 3
extern "C" __declspec(dllexport) int WINAPI InitLibs(vexa::VexaOperationTable* table) {
    standin::Journal(kComponent, L"InitLibs", std::to_wstring(table ? table->count : 0));
#if VEXA_BASE_SHAPE == 2
    return 1;
#else
    if (!table)
        return 1;
    table->entries[vexa::kVerifyFileOperation] = reinterpret_cast<void*>(&VerifyFile);
    table->entries[vexa::kOsVersionOperation] = reinterpret_cast<void*>(&OsVersion);
    return 0;
#endif
}
#endif

extern "C" __declspec(dllexport) HRESULT WINAPI CreateObject(const GUID& class_id, void** object) {
    standin::Journal(kComponent, L"CreateObject");
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualGUID(class_id, vexa::kFileInformationClassId))
        return CLASS_E_CLASSNOTAVAILABLE;
    *object = static_cast<vexa::IVexaFileInformation*>(new FileInformation);
    return S_OK;
}
