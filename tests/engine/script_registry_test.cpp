#include <gtest/gtest.h>

#include "engine/ini_document.h"
#include "engine/script_registry.h"
#include "support/test_support.h"

namespace vexa {
namespace {

using test::RegKeyExists;
using test::RegValueExists;

constexpr REGSAM k32 = KEY_WOW64_32KEY;

std::vector<std::wstring> Fields(const std::wstring& row) {
    std::vector<std::wstring> fields;
    SplitString(row.c_str(), L'|', fields);
    return fields;
}

class RegistryRows : public ::testing::Test {
protected:
    void SetUp() override {
        key_ = L"SOFTWARE\\VexaRowTest\\" + test::UniqueName(L"k");
        ASSERT_TRUE(test::RegWriteString(HKEY_LOCAL_MACHINE, key_, L"v", L"1", k32));
        ASSERT_TRUE(test::RegWriteString(HKEY_LOCAL_MACHINE, key_, L"w", L"2", k32));
    }
    void TearDown() override { test::RegRemoveTree(HKEY_LOCAL_MACHINE, key_, k32); }
    bool Run(const std::wstring& row) { return ExecuteRegistryRow(Fields(row)); }

    std::wstring key_;
};

TEST(RegistryRootNames, LongAndShortNamesInAnyCase) {
    EXPECT_EQ(RootKeyFromName(L"hklm"), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(RootKeyFromName(L"HKEY_CURRENT_USER"), HKEY_CURRENT_USER);
    EXPECT_EQ(RootKeyFromName(L"Hkcr"), HKEY_CLASSES_ROOT);
    EXPECT_EQ(RootKeyFromName(L"HKU"), HKEY_USERS);
    EXPECT_EQ(RootKeyFromName(L"hkcc"), HKEY_CURRENT_CONFIG);
    EXPECT_EQ(RootKeyFromName(L"HKDD"), HKEY_DYN_DATA);
    EXPECT_EQ(RootKeyFromName(L"HKPD"), HKEY_PERFORMANCE_DATA);
    EXPECT_EQ(RootKeyFromName(L" HKLM"), nullptr);
    EXPECT_EQ(RootKeyFromName(L"HKLM "), nullptr);
    EXPECT_EQ(RootKeyFromName(L"HKEY_LOCAL"), nullptr);
}

TEST_F(RegistryRows, RowsThatDoNothing) {
    const std::wstring rows[] = {
        L"deletekey|HKLM|" + key_ + L"|extra",  // a fourth field
        L"deleteval|HKLM|" + key_ + L"|",       // value name lost behind a trailing bar
        L"deletekey| HKLM|" + key_,             // blank before the root
        L"deletekey|HKXX|" + key_,              // unknown root
        L"removekey|HKLM|" + key_,              // unknown verb
        L"writevalue|HKLM|" + key_ + L"|v|REG_MULTI_SZ|x",
        L"deletekey",
        L"",
    };
    for (const std::wstring& row : rows) {
        EXPECT_FALSE(Run(row)) << row;
        EXPECT_TRUE(RegValueExists(HKEY_LOCAL_MACHINE, key_, L"v", k32)) << row;
    }
}

TEST_F(RegistryRows, EmptySubkeyNeverReachesTheRoot) {
    for (const wchar_t* row : {L"deletekey|HKCU|", L"deleteemptykey|HKCU|", L"deletekey|HKCU|\\",
                               L"deleteval|HKCU||Volatile Environment"}) {
        EXPECT_FALSE(Run(row)) << row;
    }
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, L"Software"));
}

TEST_F(RegistryRows, VerbsAndRootsMatchIgnoringCase) {
    ASSERT_TRUE(test::RegCreateKey(HKEY_LOCAL_MACHINE, key_ + L"\\child\\grandchild", k32));
    EXPECT_TRUE(Run(L"DeleteVal|hklm|" + key_ + L"|w"));
    EXPECT_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, key_, L"w", k32));
    EXPECT_TRUE(Run(L"DeleteKey|hkey_local_machine|" + key_));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, key_, k32));
}

TEST_F(RegistryRows, DeleteEmptyKeyKeepsAKeyWithSubkeysAndDeletesOneWithOnlyValues) {
    ASSERT_TRUE(test::RegCreateKey(HKEY_LOCAL_MACHINE, key_ + L"\\product", k32));
    EXPECT_FALSE(Run(L"deleteemptykey|HKLM|" + key_));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, key_ + L"\\product", k32));

    test::RegRemoveTree(HKEY_LOCAL_MACHINE, key_ + L"\\product", k32);
    EXPECT_TRUE(Run(L"deleteemptykey|HKLM|" + key_));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, key_, k32));
}

TEST_F(RegistryRows, WriteValueTypesAndNumbers) {
    struct Case {
        const wchar_t* data;
        DWORD expected;
    } numbers[] = {
        {L"1980", 1980},         {L"-1", 0xFFFFFFFF},      {L"abc", 0},          {L"  42abc", 42},
        {L"+7", 7},              {L"99999999999", 0x7FFFFFFF}, {L"-99999999999", 0x80000000},
    };
    for (const Case& c : numbers) {
        EXPECT_TRUE(Run(L"writevalue|HKLM|" + key_ + L"\\Update|n|reg_dword|" + c.data)) << c.data;
        DWORD value = 12345;
        EXPECT_TRUE(test::RegReadDword(HKEY_LOCAL_MACHINE, key_ + L"\\Update", L"n", value, k32));
        EXPECT_EQ(value, c.expected) << c.data;
    }
    EXPECT_TRUE(Run(L"writevalue|HKLM|" + key_ + L"\\Update|LastUpdateTime|REG_SZ|1980-04-11"));
    std::wstring text;
    EXPECT_TRUE(test::RegReadString(HKEY_LOCAL_MACHINE, key_ + L"\\Update", L"LastUpdateTime", text, k32));
    EXPECT_EQ(text, L"1980-04-11");
}

TEST_F(RegistryRows, RowsActOnThe32BitViewOnly) {
    if (!test::Is64BitProcess() && !test::IsWow64())
        GTEST_SKIP() << "32-bit Windows has one registry view";
    ASSERT_TRUE(test::RegWriteString(HKEY_LOCAL_MACHINE, key_, L"native", L"1", KEY_WOW64_64KEY));
    EXPECT_TRUE(Run(L"deletekey|HKLM|" + key_));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, key_, k32));
    EXPECT_TRUE(RegValueExists(HKEY_LOCAL_MACHINE, key_, L"native", KEY_WOW64_64KEY));
    test::RegRemoveTree(HKEY_LOCAL_MACHINE, key_, KEY_WOW64_64KEY);
}

}  // namespace
}  // namespace vexa
