// The rich-text label in a real host: layout, colours, hover-only underline, links that
// send commands or go to the shell, and what a new text does to hover and press.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/lum_skin.h"
#include "skin/lum_text_wnd.h"
#include "skin/test_host.h"

namespace vexa::test {
namespace {

class LumTextWndTest : public SkinWindowTest {
protected:
    void CreateLabel(const wchar_t* markup, int x = 20, int y = 100) {
        ASSERT_TRUE(label.Create(&host, x, y, 0, 0, 77, LWS_VISIBLE | LWS_AUTOSIZE));
        label.SetText(markup);
    }
    // Client point in the middle of segment |index|.
    POINT SegmentCenter(int index) const {
        const RECT& r = label.GetSegments()[index].rect;
        return POINT{label.GetRect().left + (r.left + r.right) / 2, label.GetRect().top + (r.top + r.bottom) / 2};
    }
    void HoverSegment(int index) {
        const POINT p = SegmentCenter(index);
        MoveMouse(p.x, p.y);
    }
    // Pixels of segment |index|, as the host shows it, in |color| (a few steps of rounding
    // allowed; the smoothed edges of glyphs are mixtures and do not count).
    int CountColor(int index, COLORREF color) {
        const Pixels shown = Print();
        RECT r = label.GetSegments()[index].rect;
        OffsetRect(&r, label.GetRect().left, label.GetRect().top);
        int count = 0;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x)
                count += NearColor(shown.At(x, y), color, 4) ? 1 : 0;
        }
        return count;
    }
    // Whether some row of segment |index| is |color| across most of its width: a line.
    bool HasLine(int index, COLORREF color) {
        const Pixels shown = Print();
        RECT r = label.GetSegments()[index].rect;
        OffsetRect(&r, label.GetRect().left, label.GetRect().top);
        for (int y = r.top; y < r.bottom + 2 && y < shown.height; ++y) {
            int run = 0;
            for (int x = r.left; x < r.right; ++x)
                run += NearColor(shown.At(x, y), color, 4) ? 1 : 0;
            if (run * 10 >= (r.right - r.left) * 8)
                return true;
        }
        return false;
    }

    CLumTextWnd label;
};

TEST_F(LumTextWndTest, SegmentsShareTheirBottomLineAndSizeTheLabel) {
    CreateLabel(L"{&#font=9}Big{&#/font}small{&#font=11}x");
    const auto& segments = label.GetSegments();
    ASSERT_EQ(segments.size(), 3u);
    EXPECT_EQ(segments[2].markup.font, 0) << "font 11 leaves the label's font";
    const int line = segments[0].rect.bottom;
    for (const auto& segment : segments)
        EXPECT_EQ(segment.rect.bottom, line);
    EXPECT_EQ(segments[0].rect.top, 0) << "the tallest segment sets the line height";
    EXPECT_GT(segments[1].rect.top, 0);
    EXPECT_EQ(segments[1].rect.top, segments[2].rect.top) << "font 11 is font 1, as unmarked text";
    EXPECT_EQ(segments[0].rect.left, 0);
    EXPECT_EQ(segments[1].rect.left, segments[0].rect.right);
    EXPECT_EQ(segments[2].rect.left, segments[1].rect.right);
    EXPECT_EQ(label.GetWidth(), segments[2].rect.right);
    EXPECT_EQ(label.GetHeight(), line);
    EXPECT_TRUE(label.GetFlags() & LWS_TRANSPARENT);

    label.SetText(nullptr);
    EXPECT_TRUE(label.GetSegments().empty());
    EXPECT_EQ(label.GetWidth(), 0);
    EXPECT_EQ(label.GetHeight(), 0);
}

TEST_F(LumTextWndTest, AMaximumWidthCutsTheLabel) {
    CreateLabel(L"A rather long sentence that does not fit");
    const int full = label.GetWidth();
    label.SetMaxWidth(60);
    EXPECT_EQ(label.GetWidth(), 60);
    ASSERT_GT(full, 60);
    // Nothing of the text is drawn past the cut.
    label.SetDefaultColor(RGB(0, 0, 0));
    const Pixels shown = Print();
    int dark = 0;
    for (int y = label.GetRect().top; y < label.GetRect().bottom; ++y) {
        for (int x = label.GetRect().left + 60; x < label.GetRect().left + full; ++x)
            dark += NearColor(shown.At(x, y), RGB(0, 0, 0), 60) ? 1 : 0;
    }
    EXPECT_EQ(dark, 0);
}

TEST_F(LumTextWndTest, ALinkSendsItsCommandAndLightsUpWhileHovered) {
    CreateLabel(L"Click {&#a=button:0x10}here{&#/a} now");
    ASSERT_EQ(label.GetSegments().size(), 3u);
    EXPECT_EQ(label.GetSegmentColor(0), 0u) << "the default colour";
    EXPECT_EQ(label.GetSegmentColor(1), CLumTextWnd::kLinkColor);
    EXPECT_GT(CountColor(1, CLumTextWnd::kLinkColor), 0);
    EXPECT_EQ(CountColor(1, CLumTextWnd::kHoverLinkColor), 0);

    HoverSegment(1);
    EXPECT_EQ(label.GetHoverLink(), 1);
    EXPECT_EQ(label.GetSegmentColor(1), CLumTextWnd::kHoverLinkColor);
    EXPECT_GT(CountColor(1, CLumTextWnd::kHoverLinkColor), 0);
    EXPECT_EQ(CountColor(1, CLumTextWnd::kLinkColor), 0);
    EXPECT_FALSE(HasLine(1, CLumTextWnd::kHoverLinkColor)) << "no underline without the tag";

    const POINT p = SegmentCenter(1);
    Send(WM_LBUTTONDOWN, p.x, p.y);
    EXPECT_EQ(label.GetPressedLink(), 1);
    Send(WM_LBUTTONUP, p.x, p.y);
    ASSERT_EQ(host.commands.size(), 1u);
    EXPECT_EQ(host.commands[0].wParam, MAKEWPARAM(16, 0));
    EXPECT_EQ(host.commands[0].lParam, reinterpret_cast<LPARAM>(&label));
    EXPECT_EQ(label.GetPressedLink(), -1);

    HoverSegment(0);
    EXPECT_EQ(label.GetHoverLink(), -1);
    EXPECT_EQ(label.GetSegmentColor(1), CLumTextWnd::kLinkColor);
}

TEST_F(LumTextWndTest, UnderlineShowsOnlyOnTheHoveredLink) {
    CreateLabel(L"{&#acolor=#0000FF}{&#a=button:7}{&#underline}go{&#/underline}{&#/a} and {&#a=button:8}{&#underline}"
                L"more{&#/a}");
    ASSERT_EQ(label.GetSegments().size(), 3u);
    const COLORREF red = RGB(255, 0, 0);
    EXPECT_EQ(label.GetSegmentColor(0), red) << "0x0000FF read as a COLORREF";
    EXPECT_GT(CountColor(0, red), 0);
    EXPECT_FALSE(label.IsSegmentUnderlined(0));
    EXPECT_FALSE(HasLine(0, red));

    HoverSegment(0);
    EXPECT_TRUE(label.IsSegmentUnderlined(0));
    EXPECT_TRUE(HasLine(0, CLumTextWnd::kHoverLinkColor));
    EXPECT_FALSE(label.IsSegmentUnderlined(2)) << "another link is not underlined";
    EXPECT_FALSE(HasLine(2, CLumTextWnd::kLinkColor));

    HoverSegment(1);  // plain text between the links
    EXPECT_FALSE(label.IsSegmentUnderlined(0));
    EXPECT_FALSE(HasLine(0, CLumTextWnd::kHoverLinkColor));
    EXPECT_FALSE(HasLine(0, red));
}

TEST_F(LumTextWndTest, PressingOneLinkAndReleasingOnAnotherActivatesTheSecond) {
    CreateLabel(L"{&#a=button:1}one{&#/a} and {&#a=button:2}two{&#/a}");
    HoverSegment(0);
    POINT p = SegmentCenter(0);
    Send(WM_LBUTTONDOWN, p.x, p.y);
    HoverSegment(2);
    p = SegmentCenter(2);
    Send(WM_LBUTTONUP, p.x, p.y);
    ASSERT_EQ(host.commands.size(), 1u);
    EXPECT_EQ(LOWORD(host.commands[0].wParam), 2);

    // Released outside the label: nothing.
    host.commands.clear();
    HoverSegment(0);
    p = SegmentCenter(0);
    Send(WM_LBUTTONDOWN, p.x, p.y);
    MoveMouse(300, 250);
    EXPECT_EQ(label.GetHoverLink(), -1);
    Send(WM_LBUTTONUP, 300, 250);
    EXPECT_TRUE(host.commands.empty());
    EXPECT_EQ(label.GetPressedLink(), -1);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(LumTextWndTest, APressOutsideLinksReachesTheHost) {
    CreateLabel(L"Click {&#a=button:3}here{&#/a}");
    const POINT p = SegmentCenter(0);
    Click(p.x, p.y);
    EXPECT_EQ(host.hostButtonDowns, 1);
    EXPECT_TRUE(host.commands.empty());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(LumTextWndTest, TheSameTextAgainKeepsHoverAndDoesNotRepaint) {
    const wchar_t* markup = L"Click {&#a=button:0x10}here{&#/a} now";
    CreateLabel(markup);
    HoverSegment(1);
    host.FreezeUpdate();
    ValidateRect(host, nullptr);
    RECT update{};
    label.SetText(markup);
    EXPECT_EQ(label.GetHoverLink(), 1);
    EXPECT_FALSE(GetUpdateRect(host, &update, FALSE));
    label.SetText(L"Something else");
    EXPECT_EQ(label.GetHoverLink(), -1);
    EXPECT_TRUE(GetUpdateRect(host, &update, FALSE));
    host.ThawUpdate();
}

TEST_F(LumTextWndTest, ANewTextWhileALinkIsPressedIsNoClick) {
    CreateLabel(L"Click {&#a=button:0x10}here{&#/a} now");
    HoverSegment(1);
    const POINT p = SegmentCenter(1);
    Send(WM_LBUTTONDOWN, p.x, p.y);
    ASSERT_EQ(GetCapture(), host.m_hWnd);
    label.SetText(L"{&#font=5}{&#color=0x707070}Uninstalling...");
    EXPECT_TRUE(host.commands.empty());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(label.GetPressedLink(), -1);
    Send(WM_LBUTTONUP, p.x, p.y);
    EXPECT_TRUE(host.commands.empty());
}

std::vector<std::wstring> g_opened;

TEST_F(LumTextWndTest, OtherTargetsGoToTheShell) {
    CLumTextWnd::SetOpenTarget([](const std::wstring& target) { g_opened.push_back(target); });
    CreateLabel(L"See {&#a=https://example.invalid/survey?x=1}the page{&#/a}{&#a=button:}zero{&#/a}");
    HoverSegment(1);
    POINT p = SegmentCenter(1);
    Send(WM_LBUTTONDOWN, p.x, p.y);
    Send(WM_LBUTTONUP, p.x, p.y);
    CLumTextWnd::SetOpenTarget(nullptr);
    ASSERT_EQ(g_opened.size(), 1u);
    EXPECT_EQ(g_opened[0], L"https://example.invalid/survey?x=1");
    EXPECT_TRUE(host.commands.empty());
    // "button:" without digits is command 0.
    HoverSegment(2);
    p = SegmentCenter(2);
    Send(WM_LBUTTONDOWN, p.x, p.y);
    Send(WM_LBUTTONUP, p.x, p.y);
    ASSERT_EQ(host.commands.size(), 1u);
    EXPECT_EQ(host.commands[0].wParam, MAKEWPARAM(0, 0));
}

TEST_F(LumTextWndTest, TheCursorIsReportedOverLinksOnly) {
    CreateLabel(L"Click {&#a=button:3}here{&#/a}");
    const WPARAM self = reinterpret_cast<WPARAM>(host.m_hWnd);
    const LPARAM hit = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    HoverSegment(1);
    EXPECT_EQ(::SendMessageW(host, WM_SETCURSOR, self, hit), TRUE);
    HoverSegment(0);
    EXPECT_EQ(::SendMessageW(host, WM_SETCURSOR, self, hit), FALSE);
}

TEST_F(LumTextWndTest, DisabledLabelsAreGreyAndIgnoreTheMouse) {
    CreateLabel(L"{&#color=#FF}Plain {&#a=button:3}here{&#/a}");
    label.SetEnabled(FALSE);
    EXPECT_EQ(label.GetSegmentColor(0), CLumTextWnd::kDisabledColor);
    EXPECT_EQ(label.GetSegmentColor(1), CLumTextWnd::kDisabledColor);
    EXPECT_GT(CountColor(0, CLumTextWnd::kDisabledColor), 0);
    HoverSegment(1);
    EXPECT_EQ(label.GetHoverLink(), -1);
    const POINT p = SegmentCenter(1);
    Send(WM_LBUTTONDOWN, p.x, p.y);
    Send(WM_LBUTTONUP, p.x, p.y);
    EXPECT_TRUE(host.commands.empty());
}

TEST_F(LumTextWndTest, FormattedTextsAndFonts) {
    CreateLabel(L"");
    label.SetTextFormat(L"Closing in %d seconds", 3);
    EXPECT_EQ(label.GetText(), L"Closing in 3 seconds");
    const int small_height = label.GetHeight();
    label.SetFont(CLumSkin::Get().GetFont(9));
    EXPECT_GT(label.GetHeight(), small_height) << "unmarked text takes the label's font";
    label.SetDefaultColor(RGB(0, 0, 255));
    EXPECT_GT(CountColor(0, RGB(0, 0, 255)), 0);
}

}  // namespace
}  // namespace vexa::test
