// The second script phase on a prefix laid out like an installed suite.
#include <gtest/gtest.h>

#include "common/fixed_wait.h"
#include "common/system_info.h"
#include "engine/shell.h"
#include "engine_fixture.h"

namespace vexa {
namespace {

using test::InstalledSuite;
using test::PathExists;
using test::RegKeyExists;
using test::RegValueExists;

constexpr REGSAM k32 = KEY_WOW64_32KEY;

// The keys that the shipped script's [reg] rows delete, as the installer leaves them.
const struct {
    HKEY root;
    const wchar_t* subkey;
} kScriptKeys[] = {
    {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\DaRuviZuda.exe"},
    {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\VeDaziZaro.exe"},
    {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Vexaguard"},
    {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vexaguard"},
    {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Corvel"},
    {HKEY_CURRENT_USER, L"SOFTWARE\\Vexa\\VexaSpeedld"},
    {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Corvel.exe"},
    {HKEY_LOCAL_MACHINE, L"SOFTWARE\\LiveUpdateVexa"},
    {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\services\\Zazori"},
    {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\services\\VexaSelfProtection"},
    {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\services\\Firmwatch"},
    {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\services\\Hookvane"},
    {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\services\\kutmdserv"},
    {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvel"},
    {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\services\\VexaAntiHacker"},
    {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Zizaduzaroz"},
    {HKEY_CURRENT_USER, L"SOFTWARE\\LiveUpdateVexa"},
};
constexpr wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kBrandKey[] = L"SOFTWARE\\Vexa";

class Phase2 : public ::testing::Test {
protected:
    void SetUp() override { SetFixedWaitPercent(5); }
    void TearDown() override {
        SetFixedWaitPercent(100);
        test::RemoveRunOnceValue();
        test::RegRemoveTree(HKEY_CURRENT_USER, kBrandKey, k32);
        test::RegRemoveTree(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Vexaguard", KEY_WOW64_64KEY);
    }

    static void InstallScriptKeys() {
        for (const auto& key : kScriptKeys) {
            ASSERT_TRUE(test::RegWriteString(key.root, std::wstring(key.subkey) + L"\\Settings", L"v", L"1", k32))
                << key.subkey;
            ASSERT_TRUE(test::RegWriteDword(key.root, key.subkey, L"Installed", 1, k32));
        }
        ASSERT_TRUE(test::RegWriteString(HKEY_LOCAL_MACHINE, kRunKey, L"VeDaziZaro", L"x", k32));
        ASSERT_TRUE(test::RegWriteString(HKEY_LOCAL_MACHINE, kRunKey, L"SomeoneElse", L"y", k32));
    }
};

TEST_F(Phase2, ShippedRegistryRowsTakeEffectInThe32BitView) {
    InstalledSuite suite;
    InstallScriptKeys();
    ASSERT_TRUE(test::RegWriteString(HKEY_CURRENT_USER, kBrandKey, L"Language", L"en", k32));
    const bool two_views = Is64BitWindows();
    if (two_views) {
        ASSERT_TRUE(test::RegWriteString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Vexaguard", L"native", L"1", KEY_WOW64_64KEY));
    }

    CShell shell;
    EXPECT_TRUE(shell.RunPhase2(kScriptResourceType, kScriptResourceId, suite.folder()));

    for (const auto& key : kScriptKeys)
        EXPECT_FALSE(RegKeyExists(key.root, key.subkey, k32)) << key.subkey;
    EXPECT_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, kRunKey, L"VeDaziZaro", k32));
    EXPECT_TRUE(RegValueExists(HKEY_LOCAL_MACHINE, kRunKey, L"SomeoneElse", k32));
    // The brand key held only values once the product key had gone: it goes too.
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kBrandKey, k32));
    if (two_views) {
        EXPECT_TRUE(RegValueExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Vexaguard", L"native", KEY_WOW64_64KEY));
    }
}

TEST_F(Phase2, BrandKeyStaysWhileAnotherProductIsUnderIt) {
    InstalledSuite suite;
    ASSERT_TRUE(test::RegCreateKey(HKEY_CURRENT_USER, L"SOFTWARE\\Vexa\\VexaSpeedld", k32));
    ASSERT_TRUE(test::RegCreateKey(HKEY_CURRENT_USER, L"SOFTWARE\\Vexa\\OtherProduct", k32));

    CShell shell;
    shell.RunPhase2(kScriptResourceType, kScriptResourceId, suite.folder());

    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, L"SOFTWARE\\Vexa\\VexaSpeedld", k32));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, L"SOFTWARE\\Vexa\\OtherProduct", k32));
}

TEST_F(Phase2, RemovesAnAcceptedSuiteFolderWithReadOnlyHiddenAndNestedContent) {
    for (const wchar_t* name : {L"Vexaguard", L"orvelav", L"VGUARD"}) {
        InstalledSuite suite(name);
        ASSERT_TRUE(test::WriteFileText(suite / L"vigild\\Vexaprocmon.dll"));
        ASSERT_TRUE(test::WriteFileText(suite / L"a\\b\\c\\deep.txt"));
        ASSERT_TRUE(test::WriteFileText(suite / L"readonly.txt"));
        ASSERT_TRUE(test::WriteFileText(suite / L"a\\hidden.txt"));
        SetFileAttributesW((suite / L"readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        SetFileAttributesW((suite / L"a\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        SetFileAttributesW((suite / L"a\\b").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY);

        CShell shell;
        EXPECT_TRUE(shell.RunPhase2(kScriptResourceType, kScriptResourceId, suite.folder())) << name;
        EXPECT_FALSE(PathExists(suite.folder())) << name;
        EXPECT_FALSE(shell.Queued()) << name;
    }
}

TEST_F(Phase2, ALockedFileIsQueuedWithEveryFolderAboveItUpToTheSuiteFolder) {
    InstalledSuite suite;
    ASSERT_TRUE(test::WriteFileText(suite / L"sub\\deeper\\locked.dat"));
    ASSERT_TRUE(test::WriteFileText(suite / L"sub\\free.dat"));
    HANDLE holder = CreateFileW((suite / L"sub\\deeper\\locked.dat").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    CShell shell;
    EXPECT_TRUE(shell.DeleteTree(suite.folder()));
    CloseHandle(holder);

    EXPECT_TRUE(shell.Queued());
    EXPECT_EQ(shell.DeletionQueue(), (std::vector<std::wstring>{suite / L"sub\\deeper\\locked.dat",
                                                                suite / L"sub\\deeper", suite / L"sub",
                                                                suite.folder()}));
    EXPECT_FALSE(PathExists(suite / L"sub\\free.dat"));
}

TEST_F(Phase2, ASuiteFolderWithAnotherNameIsLeftWhole) {
    for (const wchar_t* name : {L"Vexa", L"Program Files", L"Vexaguard2"}) {
        InstalledSuite suite(name);
        ASSERT_TRUE(test::WriteFileText(suite / L"data.txt"));
        CShell shell;
        EXPECT_FALSE(shell.RunPhase2(kScriptResourceType, kScriptResourceId, suite.folder())) << name;
        EXPECT_TRUE(PathExists(suite / L"data.txt")) << name;
    }
}

TEST_F(Phase2, ADirectoryLinkInsideTheSuiteFolderNeverLeadsOutOfIt) {
    // Laid out by the test launcher: the suite folder holds own.txt and "linked", a link
    // to a folder outside it.
    const std::wstring suite = L"C:\\vexatest\\fixtures\\linksuite1\\Vexaguard";
    const std::wstring outside = L"C:\\vexatest\\fixtures\\outside1";
    ASSERT_TRUE(PathExists(outside + L"\\sub\\keep.txt")) << "the test launcher makes this fixture";
    ASSERT_NE(GetFileAttributesW((suite + L"\\linked").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u);

    CShell shell;
    EXPECT_TRUE(shell.RunPhase2(kScriptResourceType, kScriptResourceId, suite));

    EXPECT_TRUE(PathExists(outside + L"\\keep.txt"));
    EXPECT_TRUE(PathExists(outside + L"\\sub\\keep.txt"));
    EXPECT_FALSE(PathExists(suite + L"\\own.txt"));
}

TEST_F(Phase2, WithoutItsScriptThePhaseStillRemovesTheSuiteFolder) {
    InstalledSuite suite;
    ASSERT_TRUE(test::WriteFileText(suite / L"x\\y.txt"));
    CShell shell;
    EXPECT_TRUE(shell.RunPhase2(kScriptResourceType, 4711, suite.folder()));
    EXPECT_FALSE(PathExists(suite.folder()));
}

TEST(DeletePath, QueuesWhatDoesNotExistAndReportsWhatWasDeleted) {
    test::ScopedTempDir dir;
    ASSERT_TRUE(test::WriteFileText(dir / L"f.txt"));
    SetFileAttributesW((dir / L"f.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    CShell shell;
    EXPECT_TRUE(shell.DeletePath(dir / L"f.txt"));
    EXPECT_FALSE(shell.Queued());
    EXPECT_FALSE(shell.DeletePath(dir / L"missing.txt"));
    EXPECT_EQ(shell.DeletionQueue(), std::vector<std::wstring>{dir / L"missing.txt"});
    EXPECT_FALSE(shell.DeleteTree(L""));
    EXPECT_FALSE(shell.DeleteTree(L"C:\\" + std::wstring(260, L'a')));
}

}  // namespace
}  // namespace vexa
