#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "journal/journal.h"
#include "suite/base_library.h"
#include "suite/self_protection.h"
#include "support/test_support.h"
#include "trust/trust_test_util.h"

namespace vexa {
namespace {

using test::CountJournal;
using test::StandinFile;

class BaseLibraryTest : public testing::Test {
protected:
    void SetUp() override {
        standin::ClearSettings();
        standin::ClearJournal();
        SetSelfProtectionAnswerForTesting(SelfProtectionAnswer::kDoesNotVouch);
    }
    void TearDown() override {
        SetSelfProtectionAnswerForTesting(SelfProtectionAnswer::kAskDriver);
        standin::ClearSettings();
    }
    // A suite folder of its own holding the base library of |shape| (and the bytes
    // changed by |tamper|, when given).
    std::wstring SuiteWith(const std::wstring& shape, bool tamper = false) {
        std::string bytes = test::ReadFileBytes(StandinFile(shape));
        if (tamper)
            bytes[bytes.size() / 2] ^= 0x01;
        EXPECT_TRUE(test::WriteFileBytes(suite_ / kBaseLibraryName, bytes));
        return suite_.path();
    }

    test::ScopedTempDir suite_{L"suite"};
};

TEST_F(BaseLibraryTest, TableShapeOffersVerifyFileAndOsVersion) {
    CVexaBaseExportFuncs binding;
    ASSERT_TRUE(binding.Load(BaseLibraryPath(SuiteWith(L"base"))));
    EXPECT_EQ(CountJournal(L"base|InitLibs|256"), 1u);
    EXPECT_NE(binding.GetOperation(kVerifyFileOperation), nullptr);
    EXPECT_EQ(binding.GetOperation(12), nullptr);
    EXPECT_EQ(binding.GetOperation(kOperationTableSize), nullptr);

    standin::SetSettingDword(L"base", L"OsMajor", 6);
    standin::SetSettingDword(L"base", L"OsMinor", 1);
    OSVERSIONINFOEXW version{};
    EXPECT_NE(binding.GetOsVersion(&version), 0);
    EXPECT_EQ(version.dwMajorVersion, 6u);
    EXPECT_EQ(version.dwMinorVersion, 1u);
    EXPECT_EQ(CountJournal(L"base|OsVersion|0"), 1u);

    int kind = 0;
    EXPECT_TRUE(binding.VerifyFile(StandinFile(L"probe", L"Vexaprobe.dll").c_str(), &kind));
    EXPECT_EQ(kind, 1);
    EXPECT_FALSE(binding.VerifyFile(StandinFile(L"probe-unsigned", L"Vexaprobe.dll").c_str(), nullptr));
    EXPECT_EQ(CountJournal(L"base|VerifyFile|"), 2u);
    // Operation 10 answered: the file-information object was never asked.
    EXPECT_EQ(CountJournal(L"base|CreateObject"), 0u);
}

TEST_F(BaseLibraryTest, FailingInitLibsUnloadsAndLaterCallsRefuse) {
    const std::wstring path = BaseLibraryPath(SuiteWith(L"base-initfail"));
    CVexaBaseExportFuncs binding;
    EXPECT_FALSE(binding.Load(path));
    EXPECT_TRUE(binding.IsAttempted());
    EXPECT_EQ(GetModuleHandleW(path.c_str()), nullptr);
    EXPECT_FALSE(binding.Load(path));
    EXPECT_EQ(CountJournal(L"base|InitLibs"), 1u);

    int kind = 0;
    EXPECT_FALSE(binding.VerifyFile(StandinFile(L"probe", L"Vexaprobe.dll").c_str(), &kind));
    EXPECT_EQ(kind, -1);
    OSVERSIONINFOEXW version{};
    EXPECT_EQ(binding.GetOsVersion(&version), 0);
    EXPECT_EQ(binding.CreateObject(kFileInformationClassId, nullptr), E_NOTIMPL);
}

TEST_F(BaseLibraryTest, ObjectShapeVerifiesThroughTheFileInformationObject) {
    CVexaBaseExportFuncs binding;
    ASSERT_TRUE(binding.Load(BaseLibraryPath(SuiteWith(L"base-object"))));
    EXPECT_EQ(binding.GetOperation(kVerifyFileOperation), nullptr);
    EXPECT_EQ(binding.GetOsVersion(nullptr), 0);

    const struct {
        const char* name;
        std::map<int, DWORD> attributes;
        DWORD open_result;
        bool accepted;
        int kind;
    } kCases[] = {
        {"attribute 4 = 3", {{4, 0x3000}}, 1, true, 1},
        {"attribute 4 = 2", {{4, 0x2000}}, 1, true, 1},
        {"attribute 4 = 0x8 is -8", {{4, 0x8000}}, 1, false, -1},
        {"attribute 4 ignores other bits", {{4, 0xFFFF0FFF}}, 1, false, -1},
        {"attribute 5 = 3", {{4, 0x8000}, {5, 0x30000}}, 1, true, 4},
        {"attribute 5 = 2 is not enough", {{5, 0x20000}}, 1, false, -1},
        {"attribute 3 = 3", {{3, 0x300}}, 1, true, 3},
        {"attribute 3 = 0xB is -5", {{3, 0xB00}}, 1, false, -1},
        {"attribute 4 wins over 3", {{3, 0x300}, {4, 0x2000}}, 1, true, 1},
        {"no attribute answers", {}, 1, false, -1},
        {"open fails", {{4, 0x3000}}, 0, false, -1},
    };
    const std::wstring file = L"C:\\suite\\any.dll";
    for (const auto& c : kCases) {
        standin::ClearSettings();
        standin::ClearJournal();
        for (const auto& [attribute, value] : c.attributes)
            standin::SetSettingDword(L"base", (L"Attribute" + std::to_wstring(attribute)).c_str(), value);
        standin::SetSettingDword(L"base", L"OpenResult", c.open_result);
        int kind = 99;
        EXPECT_EQ(binding.VerifyFile(file.c_str(), &kind), c.accepted) << c.name;
        EXPECT_EQ(kind, c.kind) << c.name;
        EXPECT_EQ(CountJournal(L"base|Open|" + file + L"|0"), 1u) << c.name;
        EXPECT_EQ(CountJournal(L"base|Release"), 1u) << c.name;
    }
}

TEST_F(BaseLibraryTest, ThreadsAskingAtOnceShareOneLoadAttempt) {
    const std::wstring path = BaseLibraryPath(SuiteWith(L"base"));
    CVexaBaseExportFuncs binding;
    std::atomic<bool> go{false};
    std::atomic<int> loaded{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([&] {
            while (!go)
                std::this_thread::yield();
            if (binding.Load(path))
                ++loaded;
        });
    }
    go = true;
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(loaded, 8);
    EXPECT_EQ(CountJournal(L"base|InitLibs"), 1u);
}

TEST_F(BaseLibraryTest, OnlyASignedLibraryOrTheDriversWordAdmitsIt) {
    const struct {
        const char* name;
        const wchar_t* shape;
        bool tamper;
        SelfProtectionAnswer driver;
        bool admitted;
    } kCases[] = {
        {"signed", L"base", false, SelfProtectionAnswer::kDoesNotVouch, true},
        {"unsigned", L"base-unsigned", false, SelfProtectionAnswer::kDoesNotVouch, false},
        {"changed after signing", L"base", true, SelfProtectionAnswer::kDoesNotVouch, false},
        {"standard digest header", L"base-sha256", false, SelfProtectionAnswer::kDoesNotVouch, false},
        {"unsigned, driver vouches", L"base-unsigned", false, SelfProtectionAnswer::kVouches, true},
    };
    for (const auto& c : kCases) {
        standin::ClearJournal();
        SetSelfProtectionAnswerForTesting(c.driver);
        const std::wstring path = BaseLibraryPath(SuiteWith(c.shape, c.tamper));
        {
            CVexaBaseExportFuncs binding;
            EXPECT_EQ(binding.Load(path), c.admitted) << c.name;
            // A library that is not admitted is never run.
            EXPECT_EQ(CountJournal(L"base|InitLibs"), c.admitted ? 1u : 0u) << c.name;
        }
        EXPECT_EQ(GetModuleHandleW(path.c_str()), nullptr) << c.name;
    }
}

TEST_F(BaseLibraryTest, LibraryAlreadyInTheProcessIsBoundAgain) {
    const std::wstring path = BaseLibraryPath(SuiteWith(L"base-unsigned"));
    HMODULE present = LoadLibraryW(path.c_str());
    ASSERT_NE(present, nullptr);
    {
        CVexaBaseExportFuncs binding;
        EXPECT_TRUE(binding.Load(path));
    }
    // The binding took its own reference and gave it back.
    EXPECT_EQ(GetModuleHandleW(path.c_str()), present);
    FreeLibrary(present);
}

TEST(BaseLibraryPathTest, JoinsTheSuiteFolderOrLeavesTheBareName) {
    EXPECT_EQ(BaseLibraryPath(L""), L"Vexabase.dll");
    EXPECT_EQ(BaseLibraryPath(L"C:\\Suite"), L"C:\\Suite\\Vexabase.dll");
    EXPECT_EQ(BaseLibraryPath(L"C:\\Suite\\"), L"C:\\Suite\\Vexabase.dll");
}

TEST(SignedNibbleTest, ReadsFourBitFieldsWithSign) {
    EXPECT_EQ(SignedNibble(0x3000, 12), 3);
    EXPECT_EQ(SignedNibble(0x7000, 12), 7);
    EXPECT_EQ(SignedNibble(0x8000, 12), -8);
    EXPECT_EQ(SignedNibble(0xF0000, 16), -1);
    EXPECT_EQ(SignedNibble(0xFFFFF3FF, 8), 3);
}

TEST(SelfProtectionTest, AbsentDriverDoesNotVouch) {
    // No self-protection driver is installed where the tests run.
    SetSelfProtectionAnswerForTesting(SelfProtectionAnswer::kAskDriver);
    EXPECT_FALSE(SelfProtectionVouchesForThisProcess());
}

}  // namespace
}  // namespace vexa
