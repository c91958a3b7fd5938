#include <gtest/gtest.h>

#include <windows.h>

#include "engine/ini_document.h"

namespace vexa {
namespace {

using Pieces = std::vector<std::wstring>;

TEST(SplitString, CutsAtEverySeparatorAndTrimsAllButTheLastPiece) {
    struct Case {
        const wchar_t* text;
        Pieces expected;
    } cases[] = {
        {L"a||b", {L"a", L"", L"b"}},
        {L"a|b|", {L"a", L"b"}},
        {L"a |b ", {L"a", L"b "}},
        {L" a\t|\r\n b", {L" a", L"\r\n b"}},
        {L"", {}},
        {L"|", {L""}},
        {L"no separator ", {L"no separator "}},
    };
    for (const Case& c : cases) {
        Pieces out;
        SplitString(c.text, L'|', out);
        EXPECT_EQ(out, c.expected) << c.text;
    }
}

TEST(SplitString, NullTextAppendsNothingAndExistingPiecesStay) {
    Pieces out = {L"kept"};
    SplitString(nullptr, L'|', out);
    SplitString(L"x", L'|', out);
    EXPECT_EQ(out, (Pieces{L"kept", L"x"}));
}

TEST(IniDocument, GrammarOfHeadersAndKeyLines) {
    CIniDocument doc;
    ASSERT_TRUE(doc.LoadFromText(
        L"top=before any header\r\n"
        L"[reg]\r\n"
        L"key = value\r\n"
        L"a=b=c\r\n"
        L";note=x\r\n"
        L"Cmd1=upper\r\n"
        L"cmd1=first\r\n"
        L"no equals sign\r\n"
        L"\r\n"
        L"[Reg]\r\n"
        L"cmd1=other section\r\n"
        L"[reg] trailing text\r\n"
        L"cmd1=second\r\n"
        L"[a=b]\r\n"
        L"k=in header with equals\r\n"
        L"[x=1\r\n"
        L"[]\r\n"
        L"e=empty name\r\n"
        L"[empty]\r\n"
        L"[last]\r\n"
        L"tail=kept   "));

    EXPECT_EQ(doc.GetValue(L"", L"top", L"-"), L"before any header");
    EXPECT_EQ(doc.GetValue(L"reg", L"key ", L"-"), L" value");
    EXPECT_EQ(doc.GetValue(L"reg", L"key", L"-"), L"-");
    EXPECT_EQ(doc.GetValue(L"reg", L"a", L"-"), L"b=c");
    EXPECT_EQ(doc.GetValue(L"reg", L";note", L"-"), L"x");
    EXPECT_EQ(doc.GetValue(L"reg", L"Cmd1", L"-"), L"upper");
    EXPECT_EQ(doc.GetValue(L"reg", L"cmd1", L"-"), L"second");  // two [reg] headers merge, last line wins
    EXPECT_EQ(doc.GetValue(L"Reg", L"cmd1", L"-"), L"other section");
    EXPECT_EQ(doc.GetValue(L"a=b", L"k", L"-"), L"in header with equals");
    EXPECT_EQ(doc.GetValue(L"a=b", L"[x", L"-"), L"1");  // no closing bracket: a key line
    EXPECT_EQ(doc.GetValue(L"", L"e", L"-"), L"empty name");
    EXPECT_EQ(doc.GetValue(L"last", L"tail", L"-"), L"kept   ");

    IniSection section;
    EXPECT_FALSE(doc.CopySection(L"empty", section));
    EXPECT_TRUE(section.empty());
    EXPECT_EQ(doc.SectionNames(),
              (std::vector<std::wstring>{L"reg", L"Reg", L"reg", L"a=b", L"", L"empty", L"last"}));
}

TEST(IniDocument, SectionKeysComeInOrdinalOrder) {
    CIniDocument doc;
    ASSERT_TRUE(doc.LoadFromText(L"[s]\ncmd2=b\ncmd10=c\ncmd1=a\nCmd3=d\n"));
    IniSection section{{L"stale", L"gone"}};
    ASSERT_TRUE(doc.CopySection(L"s", section));
    std::vector<std::wstring> keys;
    for (const auto& pair : section)
        keys.push_back(pair.first);
    EXPECT_EQ(keys, (std::vector<std::wstring>{L"Cmd3", L"cmd1", L"cmd10", L"cmd2"}));
}

TEST(IniDocument, LoadsFromTheProgramsOwnResources) {
    struct Case {
        int id;
        bool loads;
        const wchar_t* section;
        const wchar_t* key;
        const wchar_t* value;
    } cases[] = {
        {9001, true, L"a", L"k", L"v"},          // byte-order mark is not part of the name
        {9002, true, L"a", L"k", L"v"},          // no byte-order mark
        {9005, false, L"", L"b", L"2"},          // pairs without a header are kept
        {9006, true, L"service", nullptr, nullptr},
        {9004, false, L"big", nullptr, nullptr},  // one byte over the limit: not parsed
        {4242, false, L"a", nullptr, nullptr},    // no such resource
    };
    for (const Case& c : cases) {
        CIniDocument doc;
        EXPECT_EQ(doc.LoadFromResource(L"FILE", c.id), c.loads) << c.id;
        IniSection section;
        EXPECT_EQ(doc.CopySection(c.section, section), c.value != nullptr) << c.id;
        if (c.value) {
            EXPECT_EQ(doc.GetValue(c.section, c.key, L"-"), c.value) << c.id;
        }
    }
}

TEST(IniDocument, AcceptsADocumentOfExactlyTheLargestSize) {
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(9003), L"FILE");
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(SizeofResource(nullptr, info), CIniDocument::kMaxBytes);
    CIniDocument doc;
    ASSERT_TRUE(doc.LoadFromResource(L"FILE", 9003));
    const std::wstring last = doc.GetValue(L"big", L"last", L"");
    EXPECT_GT(last.size(), 499000u);
}

}  // namespace
}  // namespace vexa
