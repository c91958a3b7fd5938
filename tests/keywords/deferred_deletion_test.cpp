// The deletion list, the batch and the RunOnce value, and the tray program that carries
// the list out at the next logon.
#include <gtest/gtest.h>

#include <cstring>

#include "common/system_info.h"
#include "engine/deferred_deletion.h"
#include "engine/shell.h"
#include "engine_fixture.h"
#include "journal/journal.h"
#include "keywords_support.h"

namespace vexa {
namespace {

using test::ChildProcess;
using test::PathExists;
using test::RemoveRunOnceValue;
using test::Utf16Bytes;

constexpr DWORD kBatchLimitMs = 60000;

// The command interpreter reads a batch in the OEM code page.
std::string Oem(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_OEMCP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_OEMCP, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}

// The RunOnce value's text; the system stores a REG_SZ with its terminating null even
// when the writer counted none.
std::wstring RunOnceCommand(DWORD& type) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunOnceKey, 0, KEY_QUERY_VALUE | Suite32BitView(), &key) != ERROR_SUCCESS)
        return {};
    std::string bytes(4096, '\0');
    DWORD size = static_cast<DWORD>(bytes.size());
    if (RegQueryValueExW(key, kRunOnceValueName, nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]), &size) !=
        ERROR_SUCCESS) {
        size = 0;
    }
    RegCloseKey(key);
    bytes.resize(size);
    std::wstring text(size / sizeof(wchar_t), L'\0');
    memcpy(&text[0], bytes.data(), text.size() * sizeof(wchar_t));
    if (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return text;
}

std::wstring Line(const wchar_t* verb, const std::wstring& path) {
    return std::wstring(verb) + L" " + path + L" \r\n";
}

std::wstring ClosingLines(const std::wstring& suite) {
    return Line(L"rd", suite + L"\\SoftMgr") + Line(L"de", suite + L"\\leakrepair.dat") +
           Line(L"de", suite + L"\\uninst.exe") + Line(L"rd", suite);
}

// Each test gets a temporary folder of its own whose path has a blank and letters
// outside ASCII, the kind of profile folder that the batch must cope with.
class DeferredDeletion : public ::testing::Test {
protected:
    explicit DeferredDeletion(const wchar_t* temp_name = L"T\u00ebmp d\u00efr") : temp_(root_ / temp_name + L"\\") {}

    void SetUp() override {
        RemoveRunOnceValue();
        standin::ClearJournal();
        ASSERT_TRUE(test::MakeFolders(temp_));
    }
    void TearDown() override { RemoveRunOnceValue(); }

    std::wstring ListPath() const { return temp_ + kDeletionListName; }
    std::wstring BatchPath() const { return temp_ + kDeletionBatchName; }

    test::ScopedTempDir root_{L"deferred"};
    const std::wstring temp_;
    test::ScopedTempFolder temp_folder_{temp_};
};

TEST_F(DeferredDeletion, NothingQueuedWritesNothingAndRegistersNothing) {
    std::vector<std::wstring> queue;
    bool queued = false;
    EXPECT_FALSE(WriteDeferredDeletion(queue, queued, root_ / L"Vexaguard"));
    EXPECT_FALSE(PathExists(ListPath()));
    EXPECT_FALSE(PathExists(BatchPath()));
    DWORD type = 0;
    EXPECT_TRUE(RunOnceCommand(type).empty());
}

TEST_F(DeferredDeletion, ListBatchAndRunOnceValueAreWrittenByteForByte) {
    const std::wstring suite = root_ / L"Program Files\\Vexaguard";
    const std::wstring folder = suite + L"\\vigild";
    const std::wstring file = suite + L"\\vigild\\a b.dll";
    const std::wstring gone = suite + L"\\gone";
    ASSERT_TRUE(test::WriteFileText(file));
    ASSERT_TRUE(test::MakeFolders(gone));
    std::vector<std::wstring> queue{folder, file, gone, file};
    RemoveDirectoryW(gone.c_str());  // queued as a folder, but no longer there
    bool queued = true;

    EXPECT_TRUE(WriteDeferredDeletion(queue, queued, suite));
    EXPECT_TRUE(queue.empty());
    EXPECT_FALSE(queued);

    const std::string list = test::ReadFileBytes(ListPath());
    EXPECT_EQ(list, Utf16Bytes(Line(L"rd", folder) + Line(L"de", file) + Line(L"de", gone) + Line(L"de", file) +
                               ClosingLines(suite)));

    const std::wstring id = std::to_wstring(list.size());
    const std::wstring batch_text =
        L"start /WAIT \"\" \"" + temp_ + L"Zavodezo.exe\" /path=(" + temp_ + L"removeVexa.ini) /id=(" + id +
        L")\r\n" + L"del /q \"" + temp_ + L"Zavodezo.exe\" \r\n" + L"del /q \"" + temp_ + L"removeVexa.ini\" \r\n" +
        L"del /q \"" + temp_ + L"removeVexa.bat\" \r\n";
    const std::string batch = test::ReadFileBytes(BatchPath());
    EXPECT_EQ(batch, Oem(batch_text));
    if (GetOEMCP() == 437 || GetOEMCP() == 850) {
        EXPECT_NE(batch.find("T\x89mp d\x8Br"), std::string::npos) << "one byte a letter in the OEM code page";
    }

    DWORD type = 0;
    EXPECT_EQ(RunOnceCommand(type), BatchPath());
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
}

TEST_F(DeferredDeletion, WritingAgainReplacesTheFiles) {
    const std::wstring suite = root_ / L"Vexaguard";
    std::vector<std::wstring> queue{suite + L"\\one.dll", suite + L"\\two.dll"};
    bool queued = true;
    ASSERT_TRUE(WriteDeferredDeletion(queue, queued, suite));
    queue = {suite + L"\\three.dll"};
    queued = true;
    ASSERT_TRUE(WriteDeferredDeletion(queue, queued, suite));
    EXPECT_EQ(test::ReadFileBytes(ListPath()), Utf16Bytes(Line(L"de", suite + L"\\three.dll") + ClosingLines(suite)));
    const std::string batch = test::ReadFileBytes(BatchPath());
    EXPECT_NE(batch.find("/id=(" + std::to_string(test::ReadFileBytes(ListPath()).size()) + ")\r\n"),
              std::string::npos);
}

// The whole road: a file of the suite is held open while phase 2 runs; at the "next
// logon" the batch runs, the tray program deletes the leftovers, and the batch removes
// the tray copy, the list and itself. The temporary folder's name has letters of the
// OEM code page, or letters outside it.
class DeferredDeletionRoad : public DeferredDeletion, public ::testing::WithParamInterface<const wchar_t*> {
protected:
    DeferredDeletionRoad() : DeferredDeletion(GetParam()) {}
};

INSTANTIATE_TEST_SUITE_P(TempFolders, DeferredDeletionRoad,
                         ::testing::Values(L"T\u00ebmp d\u00efr", L"\u4e34\u65f6 \u6587\u4ef6"));

TEST_P(DeferredDeletionRoad, LeftoversOfTheSecondPhaseAreGoneAfterTheBatchHasRun) {
    test::InstalledSuite suite;
    ASSERT_TRUE(suite.InstallStandin(L"vigild\\Zavodezo.exe"));
    ASSERT_TRUE(test::WriteFileText(suite / L"vigild\\held.dll"));
    ASSERT_TRUE(test::WriteFileText(suite / L"data\\free.txt"));
    HANDLE holder = CreateFileW((suite / L"vigild\\held.dll").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    CShell shell;
    EXPECT_TRUE(shell.RunPhase2(kScriptResourceType, kScriptResourceId, suite.folder()));
    CloseHandle(holder);

    EXPECT_TRUE(PathExists(suite / L"vigild\\held.dll"));
    EXPECT_FALSE(PathExists(suite / L"data"));
    ASSERT_TRUE(PathExists(temp_ + L"Zavodezo.exe")) << "phase 2 copies the tray program out of the suite";
    const std::string list = test::ReadFileBytes(ListPath());
    const std::string held_and_above = Utf16Bytes(Line(L"de", suite / L"vigild\\held.dll") +
                                                  Line(L"rd", suite / L"vigild") + Line(L"rd", suite.folder()))
                                           .substr(2);
    EXPECT_NE(list.find(held_and_above), std::string::npos);
    const std::string closing = Utf16Bytes(ClosingLines(suite.folder())).substr(2);
    ASSERT_GT(list.size(), closing.size());
    EXPECT_EQ(list.substr(list.size() - closing.size()), closing);
    DWORD type = 0;
    EXPECT_EQ(RunOnceCommand(type), BatchPath());

    ChildProcess batch(L"cmd.exe /c \"" + BatchPath() + L"\"", root_.path());
    ASSERT_TRUE(batch.started());
    ASSERT_TRUE(batch.WaitForExit(kBatchLimitMs));

    EXPECT_TRUE(test::JournalHas(L"zavodezo|de|" + suite / L"vigild\\held.dll" + L"|done"));
    EXPECT_TRUE(test::JournalHas(L"zavodezo|end"));
    EXPECT_FALSE(PathExists(suite.folder())) << "nothing of the suite folder is left";
    EXPECT_FALSE(PathExists(temp_ + L"Zavodezo.exe"));
    EXPECT_FALSE(PathExists(ListPath()));
    EXPECT_FALSE(PathExists(BatchPath()));
}

}  // namespace
}  // namespace vexa
