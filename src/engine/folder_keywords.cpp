#include "engine/folder_keywords.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <cwchar>
#include <map>

#include "common/handles.h"
#include "common/system_info.h"

namespace vexa {
namespace {

// The special folders, in the order the table is built. The program is a 32-bit program,
// so these are the folders as a 32-bit program sees them.
const struct {
    const wchar_t* keyword;
    int csidl;
} kSpecialFolders[] = {
    {L"desktop", CSIDL_DESKTOP},
    {L"programs", CSIDL_PROGRAMS},
    {L"personal", CSIDL_PERSONAL},
    {L"appdata", CSIDL_APPDATA},
    {L"favorites", CSIDL_FAVORITES},
    {L"startup", CSIDL_STARTUP},
    {L"recent", CSIDL_RECENT},
    {L"sendto", CSIDL_SENDTO},
    {L"startmenu", CSIDL_STARTMENU},
    {L"desktopdirectory", CSIDL_DESKTOPDIRECTORY},
    {L"fonts", CSIDL_FONTS},
    {L"cookies", CSIDL_COOKIES},
    {L"history", CSIDL_HISTORY},
    {L"windows", CSIDL_WINDOWS},
    {L"mypictures", CSIDL_MYPICTURES},
    {L"common_startmenu", CSIDL_COMMON_STARTMENU},
    {L"common_programs", CSIDL_COMMON_PROGRAMS},
    {L"common_startup", CSIDL_COMMON_STARTUP},
    {L"common_desktopdirectory", CSIDL_COMMON_DESKTOPDIRECTORY},
    {L"common_documents", CSIDL_COMMON_DOCUMENTS},
    {L"common_appdata", CSIDL_COMMON_APPDATA},
    {L"system", CSIDL_SYSTEM},
    {L"system(x86)", CSIDL_SYSTEM},
    {L"system(x64)", CSIDL_SYSTEM},
    {L"programfiles", CSIDL_PROGRAM_FILES},
    {L"programfiles(x86)", CSIDL_PROGRAM_FILES},
    {L"commonfiles", CSIDL_PROGRAM_FILES_COMMON},
    {L"commonfiles(x86)", CSIDL_PROGRAM_FILES_COMMON},
};

// The Office common folders, each under its macro when it exists.
const struct {
    const wchar_t* macro;
    const wchar_t* folder;
} kOfficeCommonFolders[] = {
    {L"%office2000commdir%", L"\\Microsoft Shared\\OFFICE9"},
    {L"%office2002commdir%", L"\\Microsoft Shared\\OFFICE10"},
    {L"%office2003commdir%", L"\\Microsoft Shared\\OFFICE11"},
    {L"%office2007commdir%", L"\\Microsoft Shared\\OFFICE12"},
    {L"%office2010commdir%", L"\\Microsoft Shared\\OFFICE14"},
    {L"%office2013commdir%", L"\\Microsoft Shared\\OFFICE15"},
};

// Office applications (macro stem, registry part) and versions (macro year, registry
// version) from which the install-root macros are made.
struct OfficeApplication {
    const wchar_t* stem;
    const wchar_t* key_part;
};
constexpr OfficeApplication kOfficeApplications[] = {
    {L"office", L"Common"},   {L"word", L"Word"},         {L"access", L"Access"},   {L"excel", L"Excel"},
    {L"outlook", L"Outlook"}, {L"powerpoint", L"PowerPoint"}, {L"groove", L"Groove"}, {L"infopath", L"InfoPath"},
    {L"onenote", L"OneNote"}, {L"publisher", L"Publisher"}, {L"visio", L"Visio"},
};

struct OfficeVersion {
    const wchar_t* year;
    const wchar_t* number;
};
constexpr OfficeVersion kOffice2000{L"2000", L"9.0"};
constexpr OfficeVersion kOffice2002{L"2002", L"10.0"};
constexpr OfficeVersion kOffice2003{L"2003", L"11.0"};
constexpr OfficeVersion kOffice2007{L"2007", L"12.0"};
constexpr OfficeVersion kOffice2010{L"2010", L"14.0"};
constexpr OfficeVersion kOffice2013{L"2013", L"15.0"};

constexpr wchar_t kClsidPrefix[] = L"CLSID:";
constexpr size_t kClsidPrefixLength = 6;
constexpr size_t kMaxClsidKeyChars = 520;
constexpr DWORD kMaxValueBytes = 4096;

struct KeywordTable {
    std::map<std::wstring, std::wstring> paths;
    bool built = false;
};

// Process-wide, used by the uninstall worker only.
KeywordTable& Table() {
    static KeywordTable* table = new KeywordTable;
    return *table;
}

std::wstring Lower(std::wstring text) {
    if (!text.empty())
        CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// Only a path that names its drive or share may be handed to the file rows; anything
// else would be taken relative to the current folder.
bool IsAbsolutePath(const std::wstring& path) {
    if (path.size() >= 3 && iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\')
        return true;
    return path.size() > 2 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\';
}

void Store(const std::wstring& keyword, const std::wstring& path) {
    if (IsAbsolutePath(path))
        Table().paths[keyword] = path;
}

// A 64-bit build of the program stands in for the 32-bit one: it asks for the folders a
// 32-bit program is given.
int As32BitProgramSeesIt(int csidl) {
#ifdef _WIN64
    if (csidl == CSIDL_PROGRAM_FILES)
        return CSIDL_PROGRAM_FILESX86;
    if (csidl == CSIDL_PROGRAM_FILES_COMMON)
        return CSIDL_PROGRAM_FILES_COMMONX86;
#endif
    return csidl;
}

bool SpecialFolder(int csidl, std::wstring& path) {
    wchar_t buffer[MAX_PATH + 1] = {};
    if (!SHGetSpecialFolderPathW(nullptr, buffer, As32BitProgramSeesIt(csidl), FALSE) || !buffer[0])
        return false;
    path = buffer;
    return true;
}

// The shell's own test for a 32-bit program on 64-bit Windows, by ordinal because older
// shell libraries export it only that way.
bool RunsUnderWow64() {
#ifdef _WIN64
    return true;  // a 64-bit build sees the same Windows as the 32-bit program under WOW64
#else
    HMODULE shlwapi = GetModuleHandleW(L"shlwapi.dll");
    if (!shlwapi)
        return false;
    using IsOSFn = BOOL(WINAPI*)(DWORD);
    auto is_os = reinterpret_cast<IsOSFn>(reinterpret_cast<void*>(GetProcAddress(shlwapi, MAKEINTRESOURCEA(437))));
    return is_os && is_os(OS_WOW6432);
#endif
}

bool ReadPathValue(HKEY root, const std::wstring& subkey, const wchar_t* name, REGSAM view, std::wstring& text) {
    unique_hkey key;
    if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_QUERY_VALUE | view, key.put()) != ERROR_SUCCESS)
        return false;
    wchar_t buffer[kMaxValueBytes / sizeof(wchar_t) + 1] = {};
    DWORD size = kMaxValueBytes;
    DWORD type = 0;
    if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    text = buffer;  // stops at the first null, whether or not the value carried one
    return true;
}

// The folder of the in-process server registered for "CLSID:{...}", with a trailing
// backslash. A server registered without a full path names no folder.
bool ResolveClassReference(const std::wstring& reference, std::wstring& folder) {
    const std::wstring subkey = L"CLSID\\" + reference.substr(kClsidPrefixLength) + L"\\InprocServer32";
    if (subkey.size() > kMaxClsidKeyChars)
        return false;
    std::wstring server;
    if (!ReadPathValue(HKEY_CLASSES_ROOT, subkey, nullptr, Suite32BitView(), server))
        return false;
    const size_t slash = server.find_last_of(L'\\');
    if (slash == std::wstring::npos)
        return false;
    server.resize(slash + 1);
    if (!IsAbsolutePath(server))
        return false;
    folder = server;
    return true;
}

void AddSystemRoot() {
    wchar_t windows[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length > MAX_PATH || !PathStripToRootW(windows))
        return;
    std::wstring root = windows;
    if (root.back() != L'\\')
        root += L'\\';
    Store(L"systemroot", root);
}

void AddSpecialFolders() {
    for (const auto& row : kSpecialFolders) {
        std::wstring path;
        if (SpecialFolder(row.csidl, path))
            Store(row.keyword, path);
    }
}

void AddNativeFolders() {
    std::wstring x86_folder;
    std::wstring native;
    if (!RunsUnderWow64() || !SpecialFolder(CSIDL_PROGRAM_FILES, x86_folder) ||
        !NativeProgramFilesFolder(x86_folder, native)) {
        return;
    }
    const std::wstring common = native + L"\\Common Files";
    Store(L"programfiles(x64)", native);
    Store(L"commonfiles(x64)", common);
    Store(L"%office2010x64sharedir%", common + L"\\Microsoft Shared");
    Store(L"%office2013x64sharedir%", common + L"\\Microsoft Shared");
}

void AddOfficeCommonFolders() {
    std::wstring common;
    if (!SpecialFolder(CSIDL_PROGRAM_FILES_COMMON, common))
        return;
    for (const auto& row : kOfficeCommonFolders) {
        const std::wstring folder = common + row.folder;
        if (PathIsDirectoryW(folder.c_str()))
            Store(row.macro, folder);
    }
}

void AddOfficeInstallRoots() {
    const REGSAM view32 = Suite32BitView();
    const REGSAM view64 = IsWindows2000() ? 0 : KEY_WOW64_64KEY;
    for (const OfficeInstallRoot& row : OfficeInstallRoots()) {
        std::wstring path;
        if (!ReadPathValue(HKEY_LOCAL_MACHINE, row.subkey, L"Path", row.native_view ? view64 : view32, path) ||
            path.empty()) {
            continue;
        }
        if (path.back() == L'\\')
            path.pop_back();
        Store(row.macro, path);
    }
}

void BuildTable() {
    Table().paths.clear();
    AddSystemRoot();
    AddSpecialFolders();
    AddNativeFolders();
    AddOfficeCommonFolders();
    AddOfficeInstallRoots();
    Table().built = true;
}

OfficeInstallRoot MakeOfficeRow(const OfficeApplication& application, const OfficeVersion& version, bool native_view) {
    std::wstring macro =
        std::wstring(L"%") + application.stem + version.year + (native_view ? L"x64" : L"") + L"dir%";
    // The one macro the suite named differently: 64-bit PowerPoint 2010.
    if (macro == L"%powerpoint2010x64dir%")
        macro = L"%powerpointx642010dir%";
    return {macro,
            std::wstring(L"SOFTWARE\\Microsoft\\Office\\") + version.number + L"\\" + application.key_part +
                L"\\InstallRoot",
            native_view};
}

}  // namespace

std::vector<OfficeInstallRoot> OfficeInstallRoots() {
    std::vector<OfficeInstallRoot> rows;
    for (const OfficeApplication& application : kOfficeApplications) {
        for (const OfficeVersion& version : {kOffice2000, kOffice2002, kOffice2003, kOffice2007, kOffice2010})
            rows.push_back(MakeOfficeRow(application, version, false));
    }
    for (const OfficeApplication& application : kOfficeApplications)
        rows.push_back(MakeOfficeRow(application, kOffice2010, true));
    for (const OfficeApplication& application : kOfficeApplications)
        rows.push_back(MakeOfficeRow(application, kOffice2013, false));
    for (const OfficeApplication& application : kOfficeApplications)
        rows.push_back(MakeOfficeRow(application, kOffice2013, true));
    return rows;
}

bool NativeProgramFilesFolder(const std::wstring& x86_folder, std::wstring& native_folder) {
    constexpr wchar_t kSuffix[] = L" (x86)";
    constexpr size_t kSuffixLength = 6;
    if (x86_folder.size() <= kSuffixLength ||
        _wcsicmp(x86_folder.c_str() + x86_folder.size() - kSuffixLength, kSuffix) != 0) {
        return false;
    }
    native_folder = x86_folder.substr(0, x86_folder.size() - kSuffixLength);
    return true;
}

bool ResolveFolderKeyword(const std::wstring& keyword, std::wstring& folder) {
    if (keyword.empty())
        return false;
    if (_wcsnicmp(keyword.c_str(), kClsidPrefix, kClsidPrefixLength) == 0)
        return ResolveClassReference(keyword, folder);
    if (!Table().built)
        BuildTable();
    const auto found = Table().paths.find(Lower(keyword));
    if (found == Table().paths.end())
        return false;
    folder = found->second;
    return true;
}

void ResetFolderKeywords() {
    Table().paths.clear();
    Table().built = false;
}

}  // namespace vexa
