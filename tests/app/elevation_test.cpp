#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/elevation.h"
#include "app/language_table.h"
#include "common/handles.h"
#include "resource_ids.h"
#include "support/test_support.h"

namespace vexa {
namespace {

using Step = ElevationStep;

constexpr wchar_t kProgram[] = L"\"C:\\Program Files\\Vexaguard\\Uninstall.exe\"";
constexpr wchar_t kOwnPath[] = L"C:\\Program Files\\Vexaguard\\Uninstall.exe";

TEST(Elevation, StartupDecisionFromTheTokenFacts) {
    struct Case {
        const char* what;
        DWORD major;
        bool elevated_admin;
        bool can_elevate;  // a limited token whose linked token is an administrator's
        bool uac_enabled;
        const wchar_t* arguments;
        Step step;
    } cases[] = {
        {"Windows 5.x runs on with a limited user", 5, false, false, false, L"", Step::kRunOn},
        {"Windows 5.x runs on even when relaunched", 5, false, false, false, L" /elevated", Step::kRunOn},
        {"an elevated administrator runs on", 6, true, false, true, L"", Step::kRunOn},
        {"an elevated copy ignores its arguments", 10, true, false, true, L" /elevated x", Step::kRunOn},
        {"limited token with an administrator linked token", 6, false, true, false, L"", Step::kRelaunch},
        {"limited token, consent prompt available", 10, false, true, true, L"", Step::kRelaunch},
        {"standard user under UAC: the prompt asks for credentials", 6, false, false, true, L"", Step::kRelaunch},
        {"no path to elevation", 6, false, false, false, L"", Step::kShowFailureMessage},
        {"already relaunched, still limited", 6, false, true, true, L" /elevated", Step::kShowFailureMessage},
        {"marker in upper case", 6, false, true, true, L" /ELEVATED", Step::kShowFailureMessage},
        {"marker in mixed case inside an argument", 6, false, true, false, L" x/ElEvAtEdy", Step::kShowFailureMessage},
    };
    for (const Case& c : cases) {
        ElevationFacts facts;
        facts.windows_major = c.major;
        facts.elevated_admin = c.elevated_admin;
        facts.can_elevate_to_admin = c.can_elevate;
        facts.uac_enabled = c.uac_enabled;
        facts.command_line = std::wstring(kProgram) + c.arguments;
        facts.own_path = kOwnPath;
        const ElevationDecision decision = DecideStartupElevation(facts);
        EXPECT_EQ(decision.step, c.step) << c.what;
        EXPECT_EQ(decision.parameters, c.step == Step::kRelaunch ? facts.command_line + L" /elevated" : L"")
            << c.what;
    }
}

TEST(Elevation, RelaunchWithoutAFailureMessageOrOwnPath) {
    ElevationFacts facts;
    facts.windows_major = 6;
    facts.command_line = kProgram;
    facts.own_path = kOwnPath;
    EXPECT_EQ(DecideRelaunch(facts, false).step, Step::kEndQuietly);
    EXPECT_EQ(DecideRelaunch(facts, true).step, Step::kShowFailureMessage);

    // A relaunched copy always tells the user, whatever the caller asked for.
    facts.command_line += L" /elevated";
    EXPECT_EQ(DecideRelaunch(facts, false).step, Step::kShowFailureMessage);

    facts.command_line = kProgram;
    facts.uac_enabled = true;
    facts.own_path.clear();
    EXPECT_EQ(DecideRelaunch(facts, true).step, Step::kEndQuietly);
}

TEST(Elevation, TokenTestedForAdministratorMembership) {
    struct Case {
        DWORD major;
        bool type_known;
        TOKEN_ELEVATION_TYPE type;
        AdminTokenToTest expected;
    } cases[] = {
        {5, false, TokenElevationTypeDefault, AdminTokenToTest::kDuplicate},
        {5, true, TokenElevationTypeLimited, AdminTokenToTest::kDuplicate},
        {6, true, TokenElevationTypeLimited, AdminTokenToTest::kLinked},
        {10, true, TokenElevationTypeLimited, AdminTokenToTest::kLinked},
        {6, true, TokenElevationTypeFull, AdminTokenToTest::kNone},
        {6, true, TokenElevationTypeDefault, AdminTokenToTest::kNone},
        {6, false, TokenElevationTypeLimited, AdminTokenToTest::kNone},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseAdminTokenToTest(c.major, c.type_known, c.type), c.expected)
            << c.major << " " << c.type_known << " " << c.type;
    }
}

TEST(Elevation, UacCountsAsEnabledOnlyForADwordOfOne) {
    const std::wstring key = L"Software\\VexaTest\\" + test::UniqueName(L"uac");
    struct Case {
        const char* what;
        DWORD type;
        std::string bytes;  // empty: no value
        bool enabled;
    } cases[] = {
        {"DWORD 1", REG_DWORD, std::string("\x01\0\0\0", 4), true},
        {"DWORD 0", REG_DWORD, std::string("\0\0\0\0", 4), false},
        {"DWORD 2", REG_DWORD, std::string("\x02\0\0\0", 4), false},
        {"string 1", REG_SZ, std::string("1\0\0\0", 4), false},
        {"binary 1", REG_BINARY, std::string("\x01\0\0\0", 4), false},
        {"QWORD 1", REG_QWORD, std::string("\x01\0\0\0\0\0\0\0", 8), false},
        {"DWORD type, 2 bytes", REG_DWORD, std::string("\x01\0", 2), false},
        {"missing value", REG_DWORD, std::string(), false},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(test::RegCreateKey(HKEY_CURRENT_USER, key));
        unique_hkey handle;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_SET_VALUE, handle.put()), ERROR_SUCCESS);
        RegDeleteValueW(handle.get(), L"EnableLUA");
        if (!c.bytes.empty()) {
            ASSERT_EQ(RegSetValueExW(handle.get(), L"EnableLUA", 0, c.type,
                                     reinterpret_cast<const BYTE*>(c.bytes.data()), static_cast<DWORD>(c.bytes.size())),
                      ERROR_SUCCESS);
        }
        EXPECT_EQ(IsUacEnabledAt(HKEY_CURRENT_USER, key.c_str()), c.enabled) << c.what;
    }
    test::RegRemoveTree(HKEY_CURRENT_USER, key);
    EXPECT_FALSE(IsUacEnabledAt(HKEY_CURRENT_USER, key.c_str())) << "missing key";
}

// Wine runs every process as an elevated administrator, so this is the "run on" case.
TEST(Elevation, FactsOfThisElevatedProcess) {
    const DWORD major = WindowsMajorVersion();
    EXPECT_EQ(major, LOBYTE(LOWORD(GetVersion())));
    EXPECT_TRUE(IsElevatedAdmin());
    EXPECT_FALSE(NeedsElevation());
    // A full token has nothing to gain; before 6.0 the token itself is tested.
    EXPECT_EQ(CanElevateToAdmin(), major < 6);

    const ElevationFacts facts = GatherElevationFacts();
    EXPECT_EQ(facts.command_line, GetCommandLineW());
    EXPECT_FALSE(facts.own_path.empty());
    EXPECT_EQ(DecideStartupElevation(facts).step, Step::kRunOn);
}

TEST(Elevation, FailureTextsComeFromTheSelectedLanguage) {
    CIniDocument document;
    ASSERT_TRUE(document.LoadFromResource(L"FILE", IDR_LANGUAGE_TABLE));
    test::ScopedTempDir dir(L"config");
    ASSERT_TRUE(test::WriteFileText(dir / L"config.ini", "[UI]\r\nlanguage=ru\r\n"));
    CLanguageTable table;
    ASSERT_TRUE(table.LoadLanguageTable(document, dir / L"config.ini"));
    const ElevationTexts texts = CopyElevationTexts(table);
    EXPECT_EQ(texts.title, L"Vexaguard");
    EXPECT_EQ(texts.message, L"Вы должны ввести пароль администратора для удаления Vexaguard");
    EXPECT_EQ(texts.failed_message, L"Пожалуйста, удалите Vexaguard\u00A0с правами администратора");
}

// The relaunch path with the real facts of this process: the only way to it under Wine
// is the EnableLUA policy, which the test switches on for the duration.
TEST(Elevation, RelaunchHandsTheOwnPathAndMarkedCommandLineToTheShell) {
    const wchar_t* policies = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
    DWORD previous = 0;
    const bool had_value = test::RegReadDword(HKEY_LOCAL_MACHINE, policies, L"EnableLUA", previous);
    ASSERT_TRUE(test::RegWriteDword(HKEY_LOCAL_MACHINE, policies, L"EnableLUA", 1));
    struct Restore {
        const wchar_t* policies;
        bool had_value;
        DWORD previous;
        ~Restore() {
            if (had_value) {
                test::RegWriteDword(HKEY_LOCAL_MACHINE, policies, L"EnableLUA", previous);
            } else {
                unique_hkey key;
                if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, policies, 0, KEY_SET_VALUE, key.put()) == ERROR_SUCCESS)
                    RegDeleteValueW(key.get(), L"EnableLUA");
            }
        }
    } restore{policies, had_value, previous};
    ASSERT_TRUE(IsUacEnabled());

    int calls = 0;
    std::wstring verb, file, parameters;
    const ShellExecuteCall record = [&](HWND owner, const wchar_t* v, const std::wstring& f, const wchar_t* p,
                                        const wchar_t* folder, int show) {
        ++calls;
        verb = v;
        file = f;
        parameters = p;
        EXPECT_EQ(owner, nullptr);
        EXPECT_EQ(folder, nullptr);
        EXPECT_EQ(show, SW_SHOWNORMAL);
        return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
    };
    EXPECT_TRUE(RelaunchElevated(true, ElevationTexts{}, record));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(verb, L"runas");
    wchar_t own[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    EXPECT_EQ(file, own);
    EXPECT_EQ(parameters, std::wstring(GetCommandLineW()) + L" /elevated");
}

}  // namespace
}  // namespace vexa
