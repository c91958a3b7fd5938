#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "journal/journal.h"
#include "report/trust_gate.h"
#include "suite/self_protection.h"
#include "support/test_support.h"
#include "trust/trust_test_util.h"

namespace vexa {
namespace {

using test::CountJournal;
using test::StandinFile;

class TrustGateTest : public testing::Test {
protected:
    void SetUp() override {
        standin::ClearSettings();
        standin::ClearJournal();
        SetSelfProtectionAnswerForTesting(SelfProtectionAnswer::kDoesNotVouch);
        SetRefusedSuiteFileObserverForTesting([this](const std::wstring& path) { refused_.push_back(path); });
    }
    void TearDown() override {
        SetRefusedSuiteFileObserverForTesting(nullptr);
        SetSelfProtectionAnswerForTesting(SelfProtectionAnswer::kAskDriver);
    }
    // The gate over a binding of the base library in |suite_folder|.
    CTrustGate Gate(const std::wstring& suite_folder) {
        return CTrustGate(binding_, [suite_folder] { return BaseLibraryPath(suite_folder); });
    }
    static void Release(HMODULE module) {
        if (module)
            FreeLibrary(module);
    }
    // Waits (bounded) for the probe program to say it started.
    static bool ProbeStarted() {
        for (int i = 0; i < 100; ++i) {
            if (CountJournal(L"probe|Started") > 0)
                return true;
            Sleep(100);
        }
        return false;
    }

    const std::wstring signed_module_ = StandinFile(L"probe", L"Vexaprobe.dll");
    const std::wstring unsigned_module_ = StandinFile(L"probe-unsigned", L"Vexaprobe.dll");
    const std::wstring signed_program_ = StandinFile(L"probe", L"Vexaprobe.exe");
    const std::wstring unsigned_program_ = StandinFile(L"probe-unsigned", L"Vexaprobe.exe");
    CVexaBaseExportFuncs binding_;
    std::vector<std::wstring> refused_;
};

TEST_F(TrustGateTest, NoBaseLibraryAndNoDriverRefuseEverything) {
    test::ScopedTempDir empty_suite(L"nobase");
    CTrustGate gate = Gate(empty_suite.path());
    EXPECT_FALSE(gate.EnsureBaseLibraryLoaded());
    EXPECT_FALSE(gate.IsTrusted(signed_module_));
    EXPECT_EQ(gate.TrustedLoad(signed_module_), nullptr);
    EXPECT_TRUE(refused_.empty()) << "the plain loader shows no notice";

    EXPECT_EQ(gate.TrustedLoadWithNotice(signed_module_), nullptr);
    EXPECT_EQ(gate.TrustedLoadAndCall(signed_module_, "UnInstall"), 0);
    EXPECT_EQ(gate.TrustedShellExecute(nullptr, L"open", signed_program_, L"x", nullptr, SW_HIDE), nullptr);
    EXPECT_EQ(refused_, (std::vector<std::wstring>{signed_module_, signed_module_, signed_program_}));
    Sleep(300);
    EXPECT_EQ(CountJournal(L"probe|"), 0u) << "nothing of the suite ran";
}

TEST_F(TrustGateTest, VouchingDriverTrustsEverythingWithoutAskingTheLibrary) {
    SetSelfProtectionAnswerForTesting(SelfProtectionAnswer::kVouches);
    CTrustGate gate = Gate(StandinFile(L"base", L""));
    EXPECT_TRUE(gate.IsTrusted(unsigned_module_));
    EXPECT_TRUE(gate.IsTrusted(L"C:\\no\\such\\file.dll"));
    EXPECT_EQ(gate.TrustedLoadAndCall(unsigned_module_, "UnInstall"), 42);
    EXPECT_EQ(CountJournal(L"probe|UnInstall"), 1u);
    EXPECT_EQ(CountJournal(L"base|VerifyFile"), 0u);
    EXPECT_TRUE(refused_.empty());
    Release(GetModuleHandleW(unsigned_module_.c_str()));
}

TEST_F(TrustGateTest, BaseLibraryAdmitsSignedModulesOnly) {
    CTrustGate gate = Gate(StandinFile(L"base", L""));
    EXPECT_EQ(gate.TrustedLoad(unsigned_module_), nullptr);
    EXPECT_TRUE(refused_.empty());
    EXPECT_EQ(gate.TrustedLoadWithNotice(unsigned_module_), nullptr);
    EXPECT_EQ(refused_, std::vector<std::wstring>{unsigned_module_});
    EXPECT_EQ(GetModuleHandleW(unsigned_module_.c_str()), nullptr);

    HMODULE module = gate.TrustedLoad(signed_module_);
    EXPECT_NE(module, nullptr);
    Release(module);
    EXPECT_EQ(gate.TrustedLoadAndCall(signed_module_, "UnInstall"), 42);
    EXPECT_EQ(gate.TrustedLoadAndCall(signed_module_, "NoSuchExport"), 0);
    EXPECT_EQ(CountJournal(L"probe|UnInstall"), 1u);
    EXPECT_EQ(CountJournal(L"base|VerifyFile|" + unsigned_module_ + L"|absent"), 2u);
    EXPECT_EQ(CountJournal(L"base|VerifyFile|" + signed_module_ + L"|valid"), 3u);
    EXPECT_EQ(refused_.size(), 1u);
    EXPECT_EQ(CountJournal(L"base|InitLibs"), 1u) << "one load attempt for all of them";
    Release(GetModuleHandleW(signed_module_.c_str()));
    Release(GetModuleHandleW(signed_module_.c_str()));
}

TEST_F(TrustGateTest, ShellExecuteStartsOnlyTrustedPrograms) {
    CTrustGate gate = Gate(StandinFile(L"base", L""));
    EXPECT_EQ(gate.TrustedShellExecute(nullptr, L"open", unsigned_program_, L"refused", nullptr, SW_HIDE), nullptr);
    EXPECT_EQ(refused_, std::vector<std::wstring>{unsigned_program_});

    HINSTANCE started = gate.TrustedShellExecute(nullptr, L"open", signed_program_, L"trusted", nullptr, SW_HIDE);
    EXPECT_GT(reinterpret_cast<INT_PTR>(started), 32);
    ASSERT_TRUE(ProbeStarted());
    EXPECT_EQ(CountJournal(L"probe|Started|trusted"), 1u);
    EXPECT_EQ(CountJournal(L"probe|Started|refused"), 0u);
}

}  // namespace
}  // namespace vexa
