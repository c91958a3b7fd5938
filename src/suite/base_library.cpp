#include "suite/base_library.h"

#include "common/handles.h"
#include "common/trailer_verifier.h"
#include "suite/self_protection.h"

namespace vexa {
namespace {

// GetModuleFileNameW's limit for a module already loaded: 519 characters and the null.
constexpr DWORD kModuleNameCapacity = 520;

bool HasFolder(const std::wstring& path) {
    return path.find_first_of(L"\\/:") != std::wstring::npos;
}

// The file a bare library name stands for, so that the file verified is the file
// loaded. Empty when the search finds nothing.
std::wstring ResolveBareName(const std::wstring& name) {
    wchar_t found[MAX_PATH] = {};
    const DWORD length = SearchPathW(nullptr, name.c_str(), nullptr, MAX_PATH, found, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    return found;
}

HMODULE LoadVerifiedFile(const std::wstring& path) {
    const std::wstring file = HasFolder(path) ? path : ResolveBareName(path);
    if (file.empty())
        return nullptr;
    // Writers are shut out from before the verification until the module is mapped.
    unique_handle pinned(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!pinned || VerifySignedTrailer(pinned.get()) != TrailerVerdict::kValid)
        return nullptr;
    return LoadLibraryW(file.c_str());
}

}  // namespace

HMODULE ObtainAdmittedSuiteLibrary(const std::wstring& path) {
    if (HMODULE present = GetModuleHandleW(path.c_str())) {
        wchar_t name[kModuleNameCapacity] = {};
        const DWORD length = GetModuleFileNameW(present, name, kModuleNameCapacity);
        if (length == 0 || length >= kModuleNameCapacity)
            return nullptr;
        return LoadLibraryW(name);
    }
    if (SelfProtectionVouchesForThisProcess())
        return LoadLibraryW(path.c_str());
    return LoadVerifiedFile(path);
}

int SignedNibble(DWORD value, int shift) {
    const int nibble = static_cast<int>((value >> shift) & 0xF);
    return nibble >= 8 ? nibble - 16 : nibble;
}

bool VerifyFileThroughObject(CreateObjectFunction factory, const wchar_t* path, int* kind) {
    IVexaFileInformation* object = nullptr;
    if (!factory || FAILED(factory(kFileInformationClassId, reinterpret_cast<void**>(&object))) || !object)
        return false;
    struct Check {
        int attribute;
        int shift;
        int kind;
        bool accepts_two;
    };
    // Attribute 4 accepts 2 or 3 in bits 12-15; attributes 5 and 3 accept only 3.
    static const Check kChecks[] = {{4, 12, 1, true}, {5, 16, 4, false}, {3, 8, 3, false}};
    bool accepted = false;
    if (object->Open(path, 0) != 0) {
        for (const Check& check : kChecks) {
            DWORD value = 0;
            if (FAILED(object->GetAttribute(check.attribute, &value)))
                continue;
            const int field = SignedNibble(value, check.shift);
            if (field == 3 || (check.accepts_two && field == 2)) {
                accepted = true;
                if (kind)
                    *kind = check.kind;
                break;
            }
        }
    }
    object->Release();
    return accepted;
}

std::wstring BaseLibraryPath(const std::wstring& suite_folder) {
    if (suite_folder.empty())
        return kBaseLibraryName;
    std::wstring path = suite_folder;
    if (path.back() != L'\\')
        path += L'\\';
    return path + kBaseLibraryName;
}

CVexaBaseExportFuncs& BaseExportFuncs() {
    static CVexaBaseExportFuncs binding;
    return binding;
}

}  // namespace vexa
