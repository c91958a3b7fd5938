// The suite's tray program as the deferred-deletion batch runs it: what it accepts, and
// what it refuses to touch.
#include <gtest/gtest.h>

#include "deletion_list.h"
#include "journal/journal.h"
#include "keywords_support.h"
#include "support/test_support.h"

namespace vexa {
namespace {

using test::ChildProcess;
using test::PathExists;
using test::Utf16Bytes;

TEST(TrayArguments, TakeTheListPathWithBlanksAndParenthesesAndTheId) {
    const struct {
        const wchar_t* command_line;
        const wchar_t* path;  // null: refused
        unsigned long long id;
    } cases[] = {
        {L"C:\\T\\Zavodezo.exe /path=(C:\\T\\removeVexa.ini) /id=(182)", L"C:\\T\\removeVexa.ini", 182},
        {L"\"C:\\a b\\Zavodezo.exe\" /path=(C:\\a b\\removeVexa.ini) /id=(7)", L"C:\\a b\\removeVexa.ini", 7},
        {L"\"C:\\a b\\Zavodezo.exe\"  /path=(C:\\x (y)\\l.ini) /id=(12)  ", L"C:\\x (y)\\l.ini", 12},
        {L"Zavodezo.exe /path=(C:\\l.ini) /id=(-1)", nullptr, 0},
        {L"Zavodezo.exe /path=(C:\\l.ini) /id=()", nullptr, 0},
        {L"Zavodezo.exe /path=(C:\\l.ini) /id=(1x)", nullptr, 0},
        {L"Zavodezo.exe /path=() /id=(1)", nullptr, 0},
        {L"Zavodezo.exe /id=(1) /path=(C:\\l.ini)", nullptr, 0},
        {L"Zavodezo.exe /path=(C:\\l.ini)", nullptr, 0},
        {L"Zavodezo.exe /path=(C:\\l.ini) /id=(1) extra", nullptr, 0},
        {L"Zavodezo.exe /path=(C:\\l.ini) /id=(12345678901234567890)", nullptr, 0},
        {L"Zavodezo.exe", nullptr, 0},
    };
    for (const auto& c : cases) {
        standin::TrayArguments parsed;
        const bool ok = standin::ParseTrayArguments(standin::ArgumentsOf(c.command_line), parsed);
        EXPECT_EQ(ok, c.path != nullptr) << c.command_line;
        if (ok && c.path) {
            EXPECT_EQ(parsed.list_path, c.path) << c.command_line;
            EXPECT_EQ(parsed.id, c.id) << c.command_line;
        }
    }
}

TEST(DeletionList, LinesAreVerbBlankPathBlankCrLf) {
    std::vector<standin::ListCommand> commands;
    std::vector<std::wstring> malformed;
    ASSERT_TRUE(standin::ParseDeletionList(Utf16Bytes(L"rd C:\\Program Files\\Vexaguard \r\n"
                                                      L"de C:\\a b\\c.dll  \r\n"
                                                      L"xx C:\\a \r\n"
                                                      L"de C:\\no-blank\r\n"
                                                      L"de  \r\n"
                                                      L"de C:\\unterminated "),
                                           commands, malformed));
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_TRUE(commands[0].remove_folder);
    EXPECT_EQ(commands[0].path, L"C:\\Program Files\\Vexaguard");
    EXPECT_FALSE(commands[1].remove_folder);
    EXPECT_EQ(commands[1].path, L"C:\\a b\\c.dll ");
    EXPECT_EQ(malformed.size(), 4u);

    EXPECT_FALSE(standin::ParseDeletionList("rd C:\\x \r\n", commands, malformed)) << "no byte-order mark";
    EXPECT_FALSE(standin::ParseDeletionList(Utf16Bytes(L"rd C:\\x \r\n") + "x", commands, malformed));
}

TEST(DeletionList, OnlyPlainFullPathsBelowADriveRootAreTargets) {
    const struct {
        const wchar_t* path;
        bool safe;
    } cases[] = {
        {L"C:\\Program Files\\Vexaguard", true},
        {L"C:\\Program Files (x86)\\Vexaguard\\vigild\\a b.dll", true},
        {L"d:\\x", true},
        {L"C:\\", false},
        {L"C:", false},
        {L"C:\\\\", false},
        {L"C:\\.", false},
        {L"C:\\..", false},
        {L"C:\\Program Files\\Vexaguard\\..\\..", false},
        {L"C:\\Program Files\\.\\Vexaguard", false},
        {L"C:\\Program Files\\Vexaguard\\", false},
        {L"C:\\Program Files\\\\Vexaguard", false},
        {L"C:/Program Files/Vexaguard", false},
        {L"C:\\Program Files\\Vexaguard\\*", false},
        {L"C:\\Program Files\\Vexaguard\\a?.dll", false},
        {L"C:\\Program Files\\Vexaguard\\a.dll:stream", false},
        {L"C:Vexaguard", false},
        {L"Vexaguard", false},
        {L"vigild\\Zavodezo.exe", false},
        {L"\\Vexaguard", false},
        {L"\\\\server\\share\\Vexaguard", false},
        {L"\\\\?\\C:\\Vexaguard", false},
        {L"\\\\.\\C:", false},
        {L"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(standin::IsSafeTarget(c.path), c.safe) << c.path;
    EXPECT_FALSE(standin::IsSafeTarget(L"C:\\" + std::wstring(300, L'a')));
}

// Runs the tray program on a list, from |folder|, and waits for it.
DWORD RunTray(const std::wstring& list, const std::wstring& id, const std::wstring& folder) {
    ChildProcess tray(L"\"" + test::StandinFolder() + L"\\vigild\\Zavodezo.exe\" /path=(" + list + L") /id=(" + id +
                          L")",
                      folder);
    EXPECT_TRUE(tray.started());
    EXPECT_TRUE(tray.WaitForExit(30000));
    return tray.ExitCode();
}

class TrayProgram : public ::testing::Test {
protected:
    void SetUp() override { standin::ClearJournal(); }

    std::wstring WriteList(const std::wstring& text) {
        const std::wstring path = dir_ / L"list dir\\removeVexa.ini";
        test::MakeFolders(dir_ / L"list dir");
        test::WriteFileBytes(path, Utf16Bytes(text));
        return path;
    }

    test::ScopedTempDir dir_{L"tray"};
};

TEST_F(TrayProgram, CarriesOutAListWhoseSizeMatchesItsIdAndNoOther) {
    ASSERT_TRUE(test::WriteFileText(dir_ / L"suite\\a b.dll"));
    ASSERT_TRUE(test::WriteFileText(dir_ / L"suite\\sub\\deep\\x.txt"));
    ASSERT_TRUE(test::WriteFileText(dir_ / L"suite\\readonly.txt"));
    SetFileAttributesW((dir_ / L"suite\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    const std::wstring text = L"de " + dir_ / L"suite\\a b.dll \r\n" + L"rd " + dir_ / L"suite\\sub \r\n" +
                              L"de " + dir_ / L"suite\\missing.dll \r\n" + L"de " + dir_ / L"suite\\readonly.txt \r\n" +
                              L"rd " + dir_ / L"suite \r\n";
    const std::wstring list = WriteList(text);
    const std::wstring size = std::to_wstring(Utf16Bytes(text).size());
    const std::wstring wrong = std::to_wstring(Utf16Bytes(text).size() - 2);

    EXPECT_EQ(RunTray(list, wrong, dir_.path()), 2u);
    EXPECT_TRUE(test::JournalHas(L"zavodezo|refused|list size " + size + L" differs from id " + wrong));
    EXPECT_TRUE(PathExists(dir_ / L"suite\\a b.dll")) << "an incomplete list is not carried out";

    EXPECT_EQ(RunTray(list, size, dir_.path()), 0u);
    EXPECT_FALSE(PathExists(dir_ / L"suite"));
    EXPECT_TRUE(test::JournalHas(L"zavodezo|de|" + dir_ / L"suite\\missing.dll|missing"));
    EXPECT_TRUE(test::JournalHas(L"zavodezo|rd|" + dir_ / L"suite|done"));
    EXPECT_TRUE(PathExists(list)) << "the batch deletes the list, not the tray program";
}

TEST_F(TrayProgram, NeverActsOnRelativeOrRoundaboutPaths) {
    ASSERT_TRUE(test::WriteFileText(dir_ / L"cwd\\relative.txt"));
    ASSERT_TRUE(test::WriteFileText(dir_ / L"canary\\keep.txt"));
    ASSERT_TRUE(test::WriteFileText(dir_ / L"canary\\sub\\keep.txt"));
    ASSERT_TRUE(test::WriteFileText(dir_ / L"target.txt"));
    const std::wstring text = L"de relative.txt \r\n"
                              L"rd cwd \r\n"
                              L"rd " + dir_ / L"canary\\sub\\.. \r\n" +
                              L"rd " + dir_ / L"canary\\ \r\n" +
                              L"rd " + dir_ / L"canary\\sub\\..\\.\\sub \r\n" +
                              L"de " + dir_ / L"canary\\keep.txt\r\n" +
                              L"xx " + dir_ / L"canary \r\n" +
                              L"de " + dir_ / L"target.txt \r\n";
    const std::wstring list = WriteList(text);
    EXPECT_EQ(RunTray(list, std::to_wstring(Utf16Bytes(text).size()), dir_ / L"cwd"), 0u);

    EXPECT_TRUE(PathExists(dir_ / L"cwd\\relative.txt"));
    EXPECT_TRUE(PathExists(dir_ / L"canary\\keep.txt"));
    EXPECT_TRUE(PathExists(dir_ / L"canary\\sub\\keep.txt"));
    EXPECT_TRUE(test::JournalHas(L"zavodezo|de|relative.txt|refused"));
    EXPECT_TRUE(test::JournalHas(L"zavodezo|rd|" + dir_ / L"canary\\sub\\..|refused"));
    EXPECT_EQ(test::JournalLines(L"zavodezo|malformed|").size(), 2u);
    EXPECT_FALSE(PathExists(dir_ / L"target.txt")) << "the good line of the list is still carried out";
}

// Laid out by the test launcher: linksuite3\Vexaguard holds own.txt and "linked", a link
// to outside3, whose content must survive.
TEST_F(TrayProgram, RemovesAFolderWithoutFollowingTheDirectoryLinkInIt) {
    const std::wstring suite = L"C:\\vexatest\\fixtures\\linksuite3\\Vexaguard";
    const std::wstring outside = L"C:\\vexatest\\fixtures\\outside3";
    ASSERT_TRUE(PathExists(outside + L"\\sub\\keep.txt")) << "the test launcher makes this fixture";
    ASSERT_NE(GetFileAttributesW((suite + L"\\linked").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
    const std::wstring text = L"rd " + suite + L" \r\n" + L"rd " + suite + L"\\linked \r\n";
    const std::wstring list = WriteList(text);

    EXPECT_EQ(RunTray(list, std::to_wstring(Utf16Bytes(text).size()), dir_.path()), 0u);
    EXPECT_TRUE(PathExists(outside + L"\\keep.txt"));
    EXPECT_TRUE(PathExists(outside + L"\\sub\\keep.txt"));
    EXPECT_FALSE(PathExists(suite + L"\\own.txt"));
    EXPECT_EQ(test::JournalLines(L"zavodezo|link|" + suite + L"\\linked|").size(), 1u);
}

}  // namespace
}  // namespace vexa
