// Folder keywords, Office macros and "CLSID:" references, against the prefix's real
// special folders and registry.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "common/system_info.h"
#include "engine/folder_keywords.h"
#include "keywords_support.h"
#include "support/test_support.h"

namespace vexa {
namespace {

using test::PathExists;

std::wstring Resolved(const std::wstring& keyword) {
    std::wstring folder = L"<unresolved>";
    ResolveFolderKeyword(keyword, folder);
    return folder;
}

bool Resolves(const std::wstring& keyword) {
    std::wstring folder;
    return ResolveFolderKeyword(keyword, folder);
}

class FolderKeywords : public ::testing::Test {
protected:
    void SetUp() override { ResetFolderKeywords(); }
    void TearDown() override { ResetFolderKeywords(); }
};

TEST_F(FolderKeywords, SpecialFoldersResolveToWhatTheSystemReportsInAnyLetterCase) {
    const struct {
        const wchar_t* keyword;
        int csidl;
    } cases[] = {
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
        {L"System(x86)", CSIDL_SYSTEM},
        {L"SYSTEM(X64)", CSIDL_SYSTEM},
    };
    for (const auto& c : cases) {
        const std::wstring expected = test::SpecialFolderPath(c.csidl);
        if (expected.empty()) {
            EXPECT_FALSE(Resolves(c.keyword)) << c.keyword;
            continue;
        }
        EXPECT_EQ(Resolved(c.keyword), expected) << c.keyword;
        EXPECT_NE(expected.back(), L'\\') << c.keyword;
    }
    EXPECT_EQ(Resolved(L"Desktop"), Resolved(L"desktop"));
    EXPECT_EQ(Resolved(L"DESKTOP"), Resolved(L"desktop"));
    EXPECT_FALSE(Resolves(L"desktop "));
    EXPECT_FALSE(Resolves(L" desktop"));
    EXPECT_FALSE(Resolves(L""));
    EXPECT_FALSE(Resolves(L"nosuchfolder"));

    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_EQ(Resolved(L"systemroot"), std::wstring(windows, 3)) << "the Windows folder's root, with its backslash";
}

// The program is a 32-bit program: on 64-bit Windows its program folders are the (x86)
// ones, and the (x64) keywords name the native ones. A 64-bit build sees the same.
TEST_F(FolderKeywords, ProgramFoldersAreThoseOfA32BitProgram) {
    const std::wstring program_files = Resolved(L"programfiles");
    const std::wstring common_files = Resolved(L"commonfiles");
    ASSERT_TRUE(PathExists(program_files)) << program_files;
    EXPECT_EQ(Resolved(L"programfiles(x86)"), program_files);
    EXPECT_EQ(Resolved(L"commonfiles(x86)"), common_files);

    if (!Is64BitWindows()) {
        EXPECT_EQ(program_files, test::SpecialFolderPath(CSIDL_PROGRAM_FILES));
        EXPECT_EQ(common_files, test::SpecialFolderPath(CSIDL_PROGRAM_FILES_COMMON));
        for (const wchar_t* keyword : {L"programfiles(x64)", L"commonfiles(x64)", L"%office2010x64sharedir%",
                                       L"%office2013x64sharedir%"}) {
            EXPECT_FALSE(Resolves(keyword)) << keyword;
        }
        return;
    }
    ASSERT_GT(program_files.size(), 6u);
    EXPECT_EQ(_wcsicmp(program_files.c_str() + program_files.size() - 6, L" (x86)"), 0) << program_files;
    EXPECT_EQ(common_files, program_files + L"\\Common Files");
    const std::wstring native = program_files.substr(0, program_files.size() - 6);
    EXPECT_EQ(Resolved(L"programfiles(x64)"), native);
    EXPECT_TRUE(PathExists(native));
    EXPECT_EQ(Resolved(L"commonfiles(x64)"), native + L"\\Common Files");
    EXPECT_EQ(Resolved(L"%office2010x64sharedir%"), native + L"\\Common Files\\Microsoft Shared");
    EXPECT_EQ(Resolved(L"%office2013x64sharedir%"), native + L"\\Common Files\\Microsoft Shared");
    if (test::Is64BitProcess()) {
        EXPECT_EQ(native, test::SpecialFolderPath(CSIDL_PROGRAM_FILES));
    } else {
        EXPECT_EQ(program_files, test::SpecialFolderPath(CSIDL_PROGRAM_FILES));
    }
}

TEST(NativeProgramFilesFolder, CutsOnlyAnX86Ending) {
    const struct {
        const wchar_t* x86;
        const wchar_t* native;  // null: no native folder
    } cases[] = {
        {L"C:\\Program Files (x86)", L"C:\\Program Files"},
        {L"d:\\programme (X86)", L"d:\\programme"},
        {L"C:\\Program Files", nullptr},
        {L"C:\\Program Files (x86)\\", nullptr},
        {L"C:\\Program Files(x86)", nullptr},
        {L" (x86)", nullptr},
        {L"", nullptr},
    };
    for (const auto& c : cases) {
        std::wstring native = L"unchanged";
        EXPECT_EQ(NativeProgramFilesFolder(c.x86, native), c.native != nullptr) << c.x86;
        EXPECT_EQ(native, c.native ? c.native : L"unchanged") << c.x86;
    }
}

TEST_F(FolderKeywords, OfficeCommonFoldersResolveWhenTheyExistAtBuildTime) {
    const std::wstring shared = Resolved(L"commonfiles") + L"\\Microsoft Shared";
    const std::wstring office15 = shared + L"\\OFFICE15";
    const std::wstring office9 = shared + L"\\OFFICE9";
    ASSERT_FALSE(PathExists(office15));
    ASSERT_FALSE(Resolves(L"%office2013commdir%"));

    ASSERT_TRUE(test::MakeFolders(office15));
    ASSERT_TRUE(test::MakeFolders(office9));
    EXPECT_FALSE(Resolves(L"%office2013commdir%")) << "the table is built once until it is reset";
    ResetFolderKeywords();
    EXPECT_EQ(Resolved(L"%office2013commdir%"), office15);
    EXPECT_EQ(Resolved(L"%OFFICE2000COMMDIR%"), office9);
    for (const wchar_t* macro : {L"%office2002commdir%", L"%office2003commdir%", L"%office2007commdir%",
                                 L"%office2010commdir%"}) {
        EXPECT_FALSE(Resolves(macro)) << macro;
    }
    test::RemoveTree(shared);
}

// The 88 macros, as the suite's scripts name them, in the order the table is built.
const wchar_t* const kOfficeMacros[] = {
    L"%office2000dir%",     L"%office2002dir%",       L"%office2003dir%",      L"%office2007dir%",
    L"%office2010dir%",     L"%word2000dir%",         L"%word2002dir%",        L"%word2003dir%",
    L"%word2007dir%",       L"%word2010dir%",         L"%access2000dir%",      L"%access2002dir%",
    L"%access2003dir%",     L"%access2007dir%",       L"%access2010dir%",      L"%excel2000dir%",
    L"%excel2002dir%",      L"%excel2003dir%",        L"%excel2007dir%",       L"%excel2010dir%",
    L"%outlook2000dir%",    L"%outlook2002dir%",      L"%outlook2003dir%",     L"%outlook2007dir%",
    L"%outlook2010dir%",    L"%powerpoint2000dir%",   L"%powerpoint2002dir%",  L"%powerpoint2003dir%",
    L"%powerpoint2007dir%", L"%powerpoint2010dir%",   L"%groove2000dir%",      L"%groove2002dir%",
    L"%groove2003dir%",     L"%groove2007dir%",       L"%groove2010dir%",      L"%infopath2000dir%",
    L"%infopath2002dir%",   L"%infopath2003dir%",     L"%infopath2007dir%",    L"%infopath2010dir%",
    L"%onenote2000dir%",    L"%onenote2002dir%",      L"%onenote2003dir%",     L"%onenote2007dir%",
    L"%onenote2010dir%",    L"%publisher2000dir%",    L"%publisher2002dir%",   L"%publisher2003dir%",
    L"%publisher2007dir%",  L"%publisher2010dir%",    L"%visio2000dir%",       L"%visio2002dir%",
    L"%visio2003dir%",      L"%visio2007dir%",        L"%visio2010dir%",       L"%office2010x64dir%",
    L"%word2010x64dir%",    L"%access2010x64dir%",    L"%excel2010x64dir%",    L"%outlook2010x64dir%",
    L"%powerpointx642010dir%", L"%groove2010x64dir%", L"%infopath2010x64dir%", L"%onenote2010x64dir%",
    L"%publisher2010x64dir%", L"%visio2010x64dir%",   L"%office2013dir%",      L"%word2013dir%",
    L"%access2013dir%",     L"%excel2013dir%",        L"%outlook2013dir%",     L"%powerpoint2013dir%",
    L"%groove2013dir%",     L"%infopath2013dir%",     L"%onenote2013dir%",     L"%publisher2013dir%",
    L"%visio2013dir%",      L"%office2013x64dir%",    L"%word2013x64dir%",     L"%access2013x64dir%",
    L"%excel2013x64dir%",   L"%outlook2013x64dir%",   L"%powerpoint2013x64dir%", L"%groove2013x64dir%",
    L"%infopath2013x64dir%", L"%onenote2013x64dir%",  L"%publisher2013x64dir%", L"%visio2013x64dir%",
};

TEST(OfficeInstallRoots, EightyEightMacrosInTheirOrderWithTheirKeysAndViews) {
    const std::vector<OfficeInstallRoot> rows = OfficeInstallRoots();
    ASSERT_EQ(rows.size(), std::size(kOfficeMacros));
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].macro, kOfficeMacros[i]) << i;
        EXPECT_EQ(rows[i].native_view, std::wstring(kOfficeMacros[i]).find(L"x64") != std::wstring::npos) << i;
    }
    const struct {
        size_t index;
        const wchar_t* subkey;
    } keys[] = {
        {0, L"SOFTWARE\\Microsoft\\Office\\9.0\\Common\\InstallRoot"},
        {4, L"SOFTWARE\\Microsoft\\Office\\14.0\\Common\\InstallRoot"},
        {7, L"SOFTWARE\\Microsoft\\Office\\11.0\\Word\\InstallRoot"},
        {28, L"SOFTWARE\\Microsoft\\Office\\12.0\\PowerPoint\\InstallRoot"},
        {36, L"SOFTWARE\\Microsoft\\Office\\10.0\\InfoPath\\InstallRoot"},
        {60, L"SOFTWARE\\Microsoft\\Office\\14.0\\PowerPoint\\InstallRoot"},
        {69, L"SOFTWARE\\Microsoft\\Office\\15.0\\Excel\\InstallRoot"},
        {80, L"SOFTWARE\\Microsoft\\Office\\15.0\\Excel\\InstallRoot"},
        {87, L"SOFTWARE\\Microsoft\\Office\\15.0\\Visio\\InstallRoot"},
    };
    for (const auto& k : keys)
        EXPECT_EQ(rows[k.index].subkey, k.subkey) << rows[k.index].macro;
}

class OfficeMacros : public FolderKeywords {
protected:
    void TearDown() override {
        for (const OfficeInstallRoot& row : OfficeInstallRoots()) {
            for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
                test::RegRemoveTree(HKEY_LOCAL_MACHINE, row.subkey, view);
        }
        FolderKeywords::TearDown();
    }

    // Installs every row's key in one view, with a path that names the macro.
    static void InstallIn(REGSAM view) {
        for (const OfficeInstallRoot& row : OfficeInstallRoots()) {
            ASSERT_TRUE(test::RegWriteString(HKEY_LOCAL_MACHINE, row.subkey, L"Path",
                                             L"C:\\Office\\" + row.subkey + L"\\", view));
        }
    }
};

// Each macro reads its own key in its own view: the x64 macros the 64-bit view only, the
// others the 32-bit view only. On 32-bit Windows there is one view for both.
TEST_F(OfficeMacros, EachMacroReadsItsKeyInItsViewOnly) {
    for (REGSAM installed_view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        SCOPED_TRACE(installed_view == KEY_WOW64_32KEY ? "32-bit view" : "64-bit view");
        InstallIn(installed_view);
        ResetFolderKeywords();
        for (const OfficeInstallRoot& row : OfficeInstallRoots()) {
            const bool own_view = row.native_view == (installed_view == KEY_WOW64_64KEY);
            if (own_view || !Is64BitWindows()) {
                EXPECT_EQ(Resolved(row.macro), L"C:\\Office\\" + row.subkey) << row.macro;
            } else {
                EXPECT_FALSE(Resolves(row.macro)) << row.macro;
            }
        }
        EXPECT_FALSE(Resolves(L"%powerpoint2010x64dir%"));
        TearDown();
    }
}

TEST_F(OfficeMacros, PathValueFormsAndTypes) {
    const std::wstring key = L"SOFTWARE\\Microsoft\\Office\\15.0\\Excel\\InstallRoot";
    const std::wstring native_key = key;  // the 64-bit macro reads the same key in the other view
    const struct {
        const wchar_t* value;
        DWORD type;
        const wchar_t* expected;  // null: unresolved
    } cases[] = {
        {L"C:\\Office\\", REG_SZ, L"C:\\Office"},
        {L"C:\\Office", REG_SZ, L"C:\\Office"},
        {L"C:\\Office\\\\", REG_SZ, L"C:\\Office\\"},
        {L"C:\\Program Files\\Microsoft Office\\Office15\\", REG_EXPAND_SZ,
         L"C:\\Program Files\\Microsoft Office\\Office15"},
        {L"", REG_SZ, nullptr},
        {L"Office\\", REG_SZ, nullptr},  // names no drive: never a folder to delete in
        {L"C:\\Office", REG_BINARY, nullptr},
    };
    for (const auto& c : cases) {
        HKEY handle = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY,
                                  nullptr, &handle, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(handle, L"Path", 0, c.type, reinterpret_cast<const BYTE*>(c.value),
                       static_cast<DWORD>((wcslen(c.value) + 1) * sizeof(wchar_t)));
        RegCloseKey(handle);
        ResetFolderKeywords();
        if (c.expected) {
            EXPECT_EQ(Resolved(L"%excel2013dir%"), c.expected) << c.value;
        } else {
            EXPECT_FALSE(Resolves(L"%excel2013dir%")) << c.value;
        }
    }
    if (Is64BitWindows()) {
        ASSERT_TRUE(test::RegWriteString(HKEY_LOCAL_MACHINE, key, L"Path", L"C:\\Office\\", KEY_WOW64_32KEY));
        ASSERT_TRUE(test::RegWriteString(HKEY_LOCAL_MACHINE, native_key, L"Path", L"D:\\Office64\\", KEY_WOW64_64KEY));
        ResetFolderKeywords();
        EXPECT_EQ(Resolved(L"%excel2013x64dir%"), L"D:\\Office64");
        EXPECT_EQ(Resolved(L"%excel2013dir%"), L"C:\\Office") << "the 32-bit view's own value";
    }
}

class ClassReferences : public ::testing::Test {
protected:
    void TearDown() override {
        for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
            test::RegRemoveTree(HKEY_CLASSES_ROOT, L"CLSID\\" + clsid_, view);
    }
    void Register(const std::wstring& server, REGSAM view) {
        ASSERT_TRUE(test::RegWriteString(HKEY_CLASSES_ROOT, L"CLSID\\" + clsid_ + L"\\InprocServer32", L"", server,
                                         view));
    }
    // One class id per test process, so that prefixes shared by several runs stay apart.
    const std::wstring clsid_ = [] {
        wchar_t id[40] = {};
        swprintf(id, 40, L"{5A1E0C3D-%04lX-4C2B-9E57-0123456789AB}", GetCurrentProcessId() & 0xFFFF);
        return std::wstring(id);
    }();
};

TEST_F(ClassReferences, YieldTheServerFolderWithItsBackslashInEitherLetterCase) {
    Register(L"C:\\Program Files\\Vexa Guard\\vigild\\server.dll", KEY_WOW64_32KEY);
    EXPECT_EQ(Resolved(L"CLSID:" + clsid_), L"C:\\Program Files\\Vexa Guard\\vigild\\");
    EXPECT_EQ(Resolved(L"clsid:" + clsid_), L"C:\\Program Files\\Vexa Guard\\vigild\\");
    EXPECT_FALSE(Resolves(L"CLSID:{00000000-0000-0000-0000-000000000000}"));
    EXPECT_FALSE(Resolves(L"CLSID:"));

    std::wstring folder = L"kept";
    EXPECT_FALSE(ResolveFolderKeyword(L"CLSID:{00000000-0000-0000-0000-000000000001}", folder));
    EXPECT_EQ(folder, L"kept");
}

TEST_F(ClassReferences, AServerWithoutAFullPathNamesNoFolder) {
    for (const wchar_t* server : {L"server.dll", L"vigild\\server.dll"}) {
        Register(server, KEY_WOW64_32KEY);
        EXPECT_FALSE(Resolves(L"CLSID:" + clsid_)) << server;
    }
}

TEST_F(ClassReferences, AreReadInThe32BitView) {
    if (!Is64BitWindows())
        GTEST_SKIP() << "one registry view only";
    Register(L"C:\\Native\\server64.dll", KEY_WOW64_64KEY);
    EXPECT_FALSE(Resolves(L"CLSID:" + clsid_));
    Register(L"C:\\Wow\\server32.dll", KEY_WOW64_32KEY);
    EXPECT_EQ(Resolved(L"CLSID:" + clsid_), L"C:\\Wow\\");
}

}  // namespace
}  // namespace vexa
