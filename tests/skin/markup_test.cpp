// Label markup: segments, fonts, colours, links and underline from the tag grammar.
#include <gtest/gtest.h>

#include "skin/lum_markup.h"

namespace vexa {
namespace {

struct Seg {
    const wchar_t* text;
    int font;
    int color;
    const wchar_t* link;
    bool underline;
};

struct MarkupCase {
    const wchar_t* markup;
    std::vector<Seg> segments;
};

TEST(LumMarkup, SegmentsFromTags) {
    const MarkupCase cases[] = {
        {L"{&#font=5}{&#color=0x707070}Uninstalling...", {{L"Uninstalling...", 5, 0x707070, L"", false}}},
        {L"", {}},
        {L"Click {&#a=button:0x10}here{&#/a} now",
         {{L"Click ", 0, -1, L"", false}, {L"here", 0, -1, L"button:0x10", false}, {L" now", 0, -1, L"", false}}},
        // The link colour applies to links only; "#0000FF" is red as a COLORREF.
        {L"{&#acolor=#0000FF}{&#a=button:7}{&#underline}go{&#/underline}{&#/a}",
         {{L"go", 0, 0x0000FF, L"button:7", true}}},
        {L"{&#acolor=#0000FF}plain{&#a=x}link", {{L"plain", 0, -1, L"", false}, {L"link", 0, 0xFF, L"x", false}}},
        // Unknown tags are dropped but still end a segment.
        {L"{&#bold}text", {{L"text", 0, -1, L"", false}}},
        {L"ab{&#bold}cd", {{L"ab", 0, -1, L"", false}, {L"cd", 0, -1, L"", false}}},
        // Braces that do not open a tag are text; there is no escape.
        {L"{ text }", {{L"{ text }", 0, -1, L"", false}}},
        {L"{&#font=5", {{L"{&#font=5", 0, -1, L"", false}}},
        {L"a{&#x}b}c", {{L"a", 0, -1, L"", false}, {L"b}c", 0, -1, L"", false}}},
        // Fonts outside 1..10 leave the label's font.
        {L"{&#font=11}x", {{L"x", 0, -1, L"", false}}},
        {L"{&#font=0}x", {{L"x", 0, -1, L"", false}}},
        {L"{&#font=10}x", {{L"x", 10, -1, L"", false}}},
        // Tag names compare without case.
        {L"{&#FONT=2}{&#Color=255}x", {{L"x", 2, 255, L"", false}}},
        // Closing tags pop; the bottom entry stays.
        {L"{&#font=3}a{&#font=4}b{&#/font}c{&#/font}d{&#/font}e",
         {{L"a", 3, -1, L"", false},
          {L"b", 4, -1, L"", false},
          {L"c", 3, -1, L"", false},
          {L"d", 0, -1, L"", false},
          {L"e", 0, -1, L"", false}}},
        {L"{&#/color}{&#/a}{&#/underline}x", {{L"x", 0, -1, L"", false}}},
        // An unclosed opening tag runs to the end.
        {L"{&#color=#FF}{&#underline}a{&#a=t}b",
         {{L"a", 0, 0xFF, L"", true}, {L"b", 0, -1, L"t", true}}},
        // "/acolor" is matched before "/a": the link stays open.
        {L"{&#a=t}{&#acolor=5}a{&#/acolor}b{&#/a}c",
         {{L"a", 0, 5, L"t", false}, {L"b", 0, -1, L"t", false}, {L"c", 0, -1, L"", false}}},
        // A negative colour means the default.
        {L"{&#color=-5}x", {{L"x", 0, -5, L"", false}}},
    };
    for (const MarkupCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "markup: " << testing::PrintToString(std::wstring(c.markup)));
        const std::vector<LumMarkupSegment> got = ParseLumMarkup(c.markup);
        ASSERT_EQ(got.size(), c.segments.size());
        for (size_t i = 0; i < got.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(got[i].text, c.segments[i].text);
            EXPECT_EQ(got[i].font, c.segments[i].font);
            EXPECT_EQ(got[i].color, c.segments[i].color);
            EXPECT_EQ(got[i].link, c.segments[i].link);
            EXPECT_EQ(got[i].underline, c.segments[i].underline);
        }
    }
}

TEST(LumMarkup, ColorValues) {
    const struct {
        const wchar_t* value;
        int color;
    } cases[] = {
        {L"0x707070", 0x707070}, {L"0X00ff00", 0x00FF00}, {L"#FF0000", 0xFF0000}, {L"#ff", 0xFF},
        {L"255", 255},           {L"-1", -1},             {L"", 0},             {L"#", 0},
        {L"0x", 0},              {L"12ab", 12},           {L"#12zz", 0x12},     {L"#FFFFFFFF", -1},
        {L"+7", 7},              {L"abc", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseLumColor(c.value), c.color) << testing::PrintToString(std::wstring(c.value));
}

TEST(LumMarkup, CommandTargets) {
    const struct {
        const wchar_t* target;
        bool command;
        unsigned short id;
    } cases[] = {
        {L"button:0x10", true, 16}, {L"BUTTON:5000", true, 5000}, {L"button:", true, 0},
        {L"button:abc", true, 0},   {L"button:0x1FFFF", true, 0xFFFF}, {L"button:70000", true, 70000 & 0xFFFF},
        {L"button:12x", true, 12},  {L"https://example.invalid/", false, 0}, {L"butto", false, 0},
    };
    for (const auto& c : cases) {
        unsigned short id = 0;
        EXPECT_EQ(ParseLumCommandId(c.target, id), c.command) << testing::PrintToString(std::wstring(c.target));
        if (c.command) {
            EXPECT_EQ(id, c.id) << testing::PrintToString(std::wstring(c.target));
        }
    }
}

}  // namespace
}  // namespace vexa
