// The shipped script's file rows in the second phase, run as the uninstall worker runs
// it: redirection off, keyword table rebuilt.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "common/fixed_wait.h"
#include "common/system_info.h"
#include "engine/folder_keywords.h"
#include "engine/fs_redirection.h"
#include "engine/shell.h"
#include "engine_fixture.h"
#include "keywords_support.h"

namespace vexa {
namespace {

using test::PathExists;

const wchar_t* const kDriverFiles[] = {L"kutmdrv.sys",           L"Firmwatch.sys",        L"VexaFsFlt.sys",
                                       L"VexaSelfProtection.sys", L"hookvane.sys",         L"ZENTDRV.sys",
                                       L"ZENTDRV64.sys",          L"VexaAntiHacker.sys",   L"VexaAntiHacker64.sys"};

// Native system folder as this thread sees it with redirection off.
std::wstring NativeDrivers() {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    return std::wstring(system) + L"\\drivers";
}

// The 32-bit system folder of 64-bit Windows; empty on 32-bit Windows.
std::wstring Wow64Drivers() {
    wchar_t folder[MAX_PATH] = {};
    if (!GetSystemWow64DirectoryW(folder, MAX_PATH))
        return L"";
    return std::wstring(folder) + L"\\drivers";
}

class Phase2Files : public ::testing::Test {
protected:
    void SetUp() override { SetFixedWaitPercent(5); }
    void TearDown() override {
        SetFixedWaitPercent(100);
        test::RemoveRunOnceValue();
        ResetFolderKeywords();
    }

    // What the worker does around the second phase.
    static void RunPhase2AsTheWorkerDoes(const std::wstring& suite_folder) {
        CShell shell;
        FsRedirectionGuard redirection_off;
        ResetFolderKeywords();
        shell.RunPhase2(kScriptResourceType, kScriptResourceId, suite_folder);
    }

    // Phase 2 queues the rows' missing files; the deferred deletion goes to a temporary
    // folder of this test's own.
    test::ScopedTempDir temp_{L"phase2temp"};
    test::ScopedTempFolder temp_folder_{temp_.path() + L"\\"};
};

TEST_F(Phase2Files, RemovesTheSuitesShortcutsStartMenuAndApplicationDataFoldersOnly) {
    const std::wstring desktop = test::SpecialFolderPath(CSIDL_DESKTOP);
    const std::wstring programs = test::SpecialFolderPath(CSIDL_COMMON_PROGRAMS);
    const std::wstring appdata = test::SpecialFolderPath(CSIDL_APPDATA);
    const std::wstring common_appdata = test::SpecialFolderPath(CSIDL_COMMON_APPDATA);
    ASSERT_FALSE(desktop.empty() || programs.empty() || appdata.empty() || common_appdata.empty());

    const std::wstring removed[] = {
        desktop + L"\\Vexaguard.lnk",
        desktop + L"\\Orvel.lnk",
        programs + L"\\Vexa\u5b89\u5168\u4e2d\u5fc3\\Vexaguard\\Vexaguard.lnk",
        programs + L"\\Vexa\u5b89\u5168\u4e2d\u5fc3\\Uninstall.lnk",
        programs + L"\\Vexa Security Center\\Vexaguard\\Vexaguard.lnk",
        programs + L"\\Vexa Security Center\\Help.lnk",
        programs + L"\\Orvel\\Orvel.lnk",
        programs + L"\\Vexa Security Cetner\\Vexagaurd\\Vexaguard.lnk",
        appdata + L"\\VexaWD\\settings.dat",
        appdata + L"\\Corvel\\sub\\cache.dat",
        appdata + L"\\VexaQuarant\\item.q",
        common_appdata + L"\\Corvel\\shared.dat",
    };
    const std::wstring kept[] = {
        desktop + L"\\Other.lnk",
        programs + L"\\Vexa Security Centre\\Other.lnk",
        appdata + L"\\VexaWD2\\settings.dat",
        common_appdata + L"\\Vexa\\shared.dat",
    };
    for (const std::wstring& path : removed)
        ASSERT_TRUE(test::WriteFileText(path)) << path;
    for (const std::wstring& path : kept)
        ASSERT_TRUE(test::WriteFileText(path)) << path;

    test::InstalledSuite suite;
    RunPhase2AsTheWorkerDoes(suite.folder());

    for (const std::wstring& path : removed)
        EXPECT_FALSE(PathExists(path)) << path;
    for (const wchar_t* folder : {L"\\Vexa\u5b89\u5168\u4e2d\u5fc3", L"\\Vexa Security Center", L"\\Orvel",
                                  L"\\Vexa Security Cetner"}) {
        EXPECT_FALSE(PathExists(programs + folder)) << folder;
    }
    EXPECT_FALSE(PathExists(appdata + L"\\Corvel"));
    for (const std::wstring& path : kept) {
        EXPECT_TRUE(PathExists(path)) << path;
        test::RemoveTree(path);
    }
    test::RemoveTree(programs + L"\\Vexa Security Centre");
    test::RemoveTree(appdata + L"\\VexaWD2");
    test::RemoveTree(common_appdata + L"\\Vexa");
}

// With redirection off, "system" reaches the native system folder; the 32-bit system
// folder of 64-bit Windows, where a 32-bit program would otherwise land, keeps its files.
TEST_F(Phase2Files, DriverFilesAreDeletedFromTheNativeSystemFolder) {
    const std::wstring wow64_drivers = Wow64Drivers();
    EXPECT_EQ(wow64_drivers.empty(), !Is64BitWindows());
    {
        FsRedirectionGuard redirection_off;
        for (const wchar_t* name : kDriverFiles) {
            ASSERT_TRUE(test::WriteFileText(NativeDrivers() + L"\\" + name)) << name;
            if (!wow64_drivers.empty()) {
                ASSERT_TRUE(test::WriteFileText(wow64_drivers + L"\\" + name)) << name;
            }
        }
        ASSERT_TRUE(test::WriteFileText(NativeDrivers() + L"\\OtherVendor.sys"));
    }

    test::InstalledSuite suite;
    RunPhase2AsTheWorkerDoes(suite.folder());

    FsRedirectionGuard redirection_off;
    for (const wchar_t* name : kDriverFiles) {
        EXPECT_FALSE(PathExists(NativeDrivers() + L"\\" + name)) << name;
        if (!wow64_drivers.empty()) {
            EXPECT_TRUE(PathExists(wow64_drivers + L"\\" + name)) << name;
            DeleteFileW((wow64_drivers + L"\\" + name).c_str());
        }
    }
    EXPECT_TRUE(PathExists(NativeDrivers() + L"\\OtherVendor.sys"));
    DeleteFileW((NativeDrivers() + L"\\OtherVendor.sys").c_str());
}

}  // namespace
}  // namespace vexa
