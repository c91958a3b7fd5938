// The control manager in a real host window: clicks, capture, hover, hit-testing,
// painting and teardown, driven by mouse messages and the real pointer.
#include <gtest/gtest.h>

#include <algorithm>

#include "skin/lum_button.h"
#include "skin/lum_skin.h"
#include "skin/test_host.h"

namespace vexa::test {
namespace {

class LumManagerTest : public SkinWindowTest {
protected:
    // Pixels of the host's control area as the host shows it now, against the background
    // with |cell| of |image| drawn at the control's place.
    int DifferencesFromCell(const CLumWnd& wnd, CLumBitmap& image, int cell) {
        const Pixels shown = Print();
        Dib expected(shown.width, shown.height);
        host.DrawBackground(expected.dc(), RECT{0, 0, shown.width, shown.height});
        image.Draw(expected.dc(), wnd.GetRect().left, wnd.GetRect().top, cell);
        const Pixels want = expected.Read();
        int differences = 0;
        for (int y = wnd.GetRect().top; y < wnd.GetRect().bottom; ++y) {
            for (int x = wnd.GetRect().left; x < wnd.GetRect().right; ++x) {
                if ((shown.At(x, y) & 0xFFFFFF) != (want.At(x, y) & 0xFFFFFF))
                    ++differences;
            }
        }
        return differences;
    }

    // The close button of the skin at (45, 37), auto-sized.
    void CreateCloseButton(CLumButton3& button, UINT id) {
        ASSERT_TRUE(button.Create(&host, 45, 37, 0, 0, id, LWS_VISIBLE | LWS_AUTOSIZE));
        button.SetBkImage(&CLumSkin::Get().m_closeButton);
    }
};

TEST_F(LumManagerTest, PressAndReleaseOnAButtonSendsItsCommand) {
    CLumButton3 button;
    CreateCloseButton(button, 8);
    ASSERT_EQ(button.GetWidth(), 32);
    ASSERT_EQ(button.GetHeight(), 31);
    EXPECT_TRUE(button.GetFlags() & LWS_TRANSPARENT);

    MoveMouse(60, 50);
    EXPECT_EQ(button.GetStateIndex(), 1);
    EXPECT_EQ(DifferencesFromCell(button, CLumSkin::Get().m_closeButton, 1), 0);
    EXPECT_EQ(Send(WM_LBUTTONDOWN, 60, 50), 0);
    EXPECT_EQ(button.GetStateIndex(), 2);
    EXPECT_EQ(GetCapture(), host.m_hWnd);
    EXPECT_EQ(DifferencesFromCell(button, CLumSkin::Get().m_closeButton, 2), 0);
    EXPECT_TRUE(host.commands.empty()) << "a press alone is no click";

    Send(WM_LBUTTONUP, 61, 51);
    ASSERT_EQ(host.commands.size(), 1u);
    EXPECT_EQ(host.commands[0].wParam, MAKEWPARAM(8, 0));
    EXPECT_EQ(host.commands[0].lParam, reinterpret_cast<LPARAM>(&button));
    EXPECT_EQ(button.GetStateIndex(), 1);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(host.GetCaptureWnd(), nullptr);
    EXPECT_EQ(host.hostButtonDowns, 0) << "the press on the button does not reach the host";
}

TEST_F(LumManagerTest, DraggingOffBeforeReleaseSendsNothing) {
    CLumButton3 button;
    CreateCloseButton(button, 8);
    MoveMouse(60, 50);
    Send(WM_LBUTTONDOWN, 60, 50);
    // The pointer leaves while the button holds the capture, even past the host's edge.
    for (POINT out : {POINT{10, 10}, POINT{-20, -5}}) {
        MoveMouse(out.x, out.y);
        EXPECT_FALSE(button.IsHover());
        EXPECT_TRUE(button.IsPressed());
        EXPECT_EQ(button.GetStateIndex(), 0) << "pressed but outside shows normal";
        EXPECT_EQ(DifferencesFromCell(button, CLumSkin::Get().m_closeButton, 0), 0);
    }
    MoveMouse(50, 40);
    EXPECT_EQ(button.GetStateIndex(), 2) << "back inside shows pressed again";
    MoveMouse(200, 200);
    Send(WM_LBUTTONUP, 200, 200);
    EXPECT_TRUE(host.commands.empty());
    EXPECT_FALSE(button.IsPressed());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(LumManagerTest, HiddenOrDisabledControlsLetTheClickThrough) {
    const struct {
        const char* name;
        bool hide;
        bool disable;
    } cases[] = {{"hidden", true, false}, {"disabled", false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host.commands.clear();
        CLumButton3 top;
        CLumButton3 below;
        CreateCloseButton(top, 1);
        CreateCloseButton(below, 2);
        if (c.hide)
            top.SetVisible(FALSE);
        if (c.disable)
            top.SetEnabled(FALSE);
        Click(55, 45);
        ASSERT_EQ(host.commands.size(), 1u);
        EXPECT_EQ(LOWORD(host.commands[0].wParam), 2) << "the next control under the point";
        EXPECT_EQ(top.GetStateIndex(), c.disable ? 3 : 0);
        // With both out of the way, the host gets the press.
        below.SetEnabled(FALSE);
        const int before = host.hostButtonDowns;
        Click(55, 45);
        EXPECT_EQ(host.hostButtonDowns, before + 1);
        EXPECT_EQ(host.commands.size(), 1u);
        host.RemoveWnd(&top);
        host.RemoveWnd(&below);
    }
}

TEST_F(LumManagerTest, WhereControlsOverlapTheFirstAddedGetsTheMouseAndIsSeen) {
    CProbe first(RGB(255, 0, 0));
    CProbe second(RGB(0, 0, 255));
    ASSERT_TRUE(first.Create(&host, 50, 50, 60, 40, 1, LWS_VISIBLE));
    ASSERT_TRUE(second.Create(&host, 80, 70, 60, 40, 2, LWS_VISIBLE));
    Send(WM_LBUTTONDOWN, 90, 80);
    EXPECT_EQ(first.downs, 1);
    EXPECT_EQ(second.downs, 0);
    Send(WM_LBUTTONDOWN, 130, 100);
    EXPECT_EQ(second.downs, 1);

    const Pixels shown = Print();
    EXPECT_EQ(ToColorRef(shown.At(90, 80)), RGB(255, 0, 0)) << "overlap shows the first";
    EXPECT_EQ(ToColorRef(shown.At(130, 100)), RGB(0, 0, 255));
    EXPECT_EQ(ToColorRef(shown.At(20, 20)), CTestHost::PatternAt(20, 20)) << "background elsewhere";
}

TEST_F(LumManagerTest, HoverClearsWithinOneTickAfterThePointerLeaves) {
    CLumButton3 button;
    CreateCloseButton(button, 8);
    MoveMouse(60, 50);
    ASSERT_TRUE(button.IsHover());
    ASSERT_EQ(host.GetHotWnd(), &button);
    // No message tells the host that the pointer left; its 100 ms tick notices.
    const ULONGLONG left_at = GetTickCount64();
    MovePointerAway();
    ASSERT_TRUE(PumpUntil([&] { return !button.IsHover(); }, 2000));
    EXPECT_LE(GetTickCount64() - left_at, 250u);
    EXPECT_EQ(host.GetHotWnd(), nullptr);
    EXPECT_EQ(button.GetStateIndex(), 0);
}

TEST_F(LumManagerTest, TheTickLeavesHoverAloneWhileAButtonHoldsTheCapture) {
    CLumButton3 button;
    CreateCloseButton(button, 8);
    // The real pointer stays away: only the tick could clear the hover.
    Send(WM_MOUSEMOVE, 60, 50);
    Send(WM_LBUTTONDOWN, 60, 50);
    ASSERT_EQ(button.GetStateIndex(), 2);
    Pump(350);
    EXPECT_TRUE(button.IsHover());
    Send(WM_LBUTTONUP, 60, 50);
    EXPECT_EQ(host.commands.size(), 1u);
}

TEST_F(LumManagerTest, TimerTicksReachEveryControl) {
    struct Ticker : CProbe {
        void OnTimerTick() override { ++ticks; }
        int ticks = 0;
    } a, b;
    ASSERT_TRUE(a.Create(&host, LWS_VISIBLE));
    ASSERT_TRUE(b.Create(&host, 0));
    Pump(350);
    EXPECT_GE(a.ticks, 2);
    EXPECT_GE(b.ticks, 2) << "hidden controls tick too";
    // Other timers of the host are the host's.
    BOOL handled = FALSE;
    LRESULT result = 0;
    handled = host.ProcessWindowMessage(host, WM_TIMER, 7, 0, result);
    EXPECT_FALSE(handled);
}

TEST_F(LumManagerTest, EraseBackgroundIsAnsweredWithoutErasing) {
    Dib target(50, 50, 0x00ABCDEF);
    EXPECT_EQ(::SendMessageW(host, WM_ERASEBKGND, reinterpret_cast<WPARAM>(target.dc()), 0), 1);
    for (uint32_t p : target.Read().data)
        ASSERT_EQ(p, 0x00ABCDEFu);
}

TEST_F(LumManagerTest, PaintingIsImmediateUnlessFrozen) {
    CProbe probe;
    ASSERT_TRUE(probe.Create(&host, 30, 40, 20, 20, 1, LWS_VISIBLE));
    Pump(50);
    ValidateRect(host, nullptr);
    const int draws = probe.draws;
    RECT update{};

    probe.Invalidate();
    EXPECT_EQ(probe.draws, draws + 1) << "painted at once through the window DC";
    EXPECT_FALSE(GetUpdateRect(host, &update, FALSE));

    host.FreezeUpdate();
    probe.Invalidate();
    probe.Invalidate();
    EXPECT_EQ(probe.draws, draws + 1);
    ASSERT_TRUE(GetUpdateRect(host, &update, FALSE));
    EXPECT_TRUE(EqualRect(&update, &probe.GetRect()));
    host.ThawUpdate();
    EXPECT_EQ(probe.draws, draws + 2) << "one paint for the batch";
    EXPECT_FALSE(GetUpdateRect(host, &update, FALSE));
}

TEST_F(LumManagerTest, NothingPaintsOrInvalidatesWhileRedrawIsOff) {
    CProbe probe;
    ASSERT_TRUE(probe.Create(&host, 30, 40, 20, 20, 1, LWS_VISIBLE));
    Pump(50);
    ValidateRect(host, nullptr);
    const int draws = probe.draws;
    ::SendMessageW(host, WM_SETREDRAW, FALSE, 0);
    EXPECT_FALSE(host.IsRedrawEnabled());
    probe.Invalidate();
    probe.SetVisible(FALSE);
    probe.SetVisible(TRUE);
    probe.SetWndPos(60, 70);
    host.FreezeUpdate();
    probe.Invalidate();
    host.ThawUpdate();
    Pump(50);
    RECT update{};
    EXPECT_EQ(probe.draws, draws);
    EXPECT_FALSE(GetUpdateRect(host, &update, FALSE));

    ::SendMessageW(host, WM_SETREDRAW, TRUE, 0);
    probe.Invalidate();
    EXPECT_EQ(probe.draws, draws + 1);
}

TEST_F(LumManagerTest, HidingAControlRepaintsTheBackgroundUnderIt) {
    CProbe probe;
    ASSERT_TRUE(probe.Create(&host, 30, 40, 20, 20, 1, LWS_VISIBLE));
    host.backgroundCalls.clear();
    probe.SetVisible(FALSE);
    ASSERT_EQ(host.backgroundCalls.size(), 1u);
    EXPECT_TRUE(EqualRect(&host.backgroundCalls[0], &probe.GetRect())) << "at once, under the control";

    probe.SetVisible(TRUE);
    ValidateRect(host, nullptr);
    host.FreezeUpdate();
    probe.SetVisible(FALSE);
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(host, &update, FALSE));
    EXPECT_TRUE(EqualRect(&update, &probe.GetRect())) << "or left to the next paint";
    host.ThawUpdate();
}

TEST_F(LumManagerTest, TransparentControlsArePaintedOverTheBackgroundAtTheirPlace) {
    // One fits the offscreen buffer, the other is wider than it and is painted directly.
    CProbe small(RGB(0, 200, 0), true);
    CProbe wide(RGB(0, 200, 0), true);
    ASSERT_TRUE(small.Create(&host, 37, 53, 40, 40, 1, LWS_VISIBLE | LWS_TRANSPARENT));
    ASSERT_TRUE(wide.Create(&host, 5, 150, 1100, 40, 2, LWS_VISIBLE | LWS_TRANSPARENT));
    const Pixels shown = Print();
    for (const CProbe* probe : {&small, &wide}) {
        const RECT& r = probe->GetRect();
        // Around the painted square the host background shows, exactly where it belongs.
        for (POINT p : {POINT{r.left + 1, r.top + 1}, POINT{r.left + 9, r.top + 3}, POINT{r.left + 3, r.bottom - 2}}) {
            if (p.x < shown.width) {
                EXPECT_EQ(ToColorRef(shown.At(p.x, p.y)), CTestHost::PatternAt(p.x, p.y)) << p.x << "," << p.y;
            }
        }
        const int middle = std::min<int>(r.left + probe->GetWidth() / 2, shown.width - 5);
        EXPECT_EQ(ToColorRef(shown.At(middle, r.top + 20)), RGB(0, 200, 0));
    }
    // Repainting one control on its own composes the same picture.
    Dib single(shown.width, shown.height);
    host.DrawWnd(single.dc(), &small, TRUE, TRUE, FALSE, 0);
    const Pixels alone = single.Read();
    for (int y = 53; y < 93; ++y) {
        for (int x = 37; x < 77; ++x)
            ASSERT_EQ(alone.At(x, y) & 0xFFFFFF, shown.At(x, y) & 0xFFFFFF) << x << "," << y;
    }
}

TEST_F(LumManagerTest, OpaqueControlsGetNoBackgroundUnderThem) {
    CProbe hollow(RGB(0, 0, 200), true);
    ASSERT_TRUE(hollow.Create(&host, 40, 40, 40, 40, 1, LWS_VISIBLE));
    Dib target(200, 200, 0xFF010203);
    host.backgroundCalls.clear();
    host.DrawWnds(target.dc(), RECT{0, 0, 200, 200});
    EXPECT_TRUE(host.backgroundCalls.empty());
    EXPECT_EQ(target.At(41, 41), 0xFF010203u);
}

TEST_F(LumManagerTest, MovingAControlRepaintsBothPlaces) {
    CProbe probe;
    ASSERT_TRUE(probe.Create(&host, 30, 40, 20, 20, 1, LWS_VISIBLE));
    Pump(50);
    struct Mover : CProbe {
        void OnMove(int x, int y) override { moves.push_back(POINT{x, y}); }
        void OnSize(int cx, int cy) override { sizes.push_back(SIZE{cx, cy}); }
        std::vector<POINT> moves;
        std::vector<SIZE> sizes;
    } mover;
    ASSERT_TRUE(mover.Create(&host, 100, 100, 10, 10, 2, LWS_VISIBLE));
    host.FreezeUpdate();
    ValidateRect(host, nullptr);
    mover.SetWndPos(150, 120);
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(host, &update, FALSE));
    const RECT both{100, 100, 160, 130};
    EXPECT_TRUE(EqualRect(&update, &both));
    mover.SetWndSize(30, 10);
    mover.SetWndRect(150, 120, 30, 10);  // unchanged: nothing happens
    EXPECT_EQ(mover.moves.size(), 2u);   // Create, then the move
    EXPECT_EQ(mover.sizes.size(), 2u);   // Create, then the resize
    EXPECT_EQ(mover.GetRect().right, 180);
    host.ThawUpdate();
    EXPECT_FALSE(GetUpdateRect(host, &update, FALSE));
}

TEST_F(LumManagerTest, DestroyingTheHostDetachesEveryControl) {
    CLumButton3 button;
    CreateCloseButton(button, 8);
    CProbe probe;
    ASSERT_TRUE(probe.Create(&host, 200, 200, 20, 20, 3, LWS_VISIBLE));
    MoveMouse(60, 50);
    Send(WM_LBUTTONDOWN, 60, 50);
    ASSERT_TRUE(button.IsPressed());

    host.DestroyWindow();
    // The hover ends before the capture, so the dying press is no click.
    EXPECT_TRUE(host.commands.empty());
    EXPECT_FALSE(button.IsPressed());
    EXPECT_FALSE(button.IsHover());
    for (const CLumWnd* wnd : {static_cast<const CLumWnd*>(&button), static_cast<const CLumWnd*>(&probe)}) {
        EXPECT_EQ(wnd->GetManager(), nullptr);
        EXPECT_EQ(wnd->GetFlags(), 0u);
        EXPECT_EQ(wnd->GetId(), 0u);
        EXPECT_TRUE(IsRectEmpty(&wnd->GetRect()));
    }
    EXPECT_EQ(probe.detaches, 1);
    EXPECT_TRUE(host.GetWnds().empty());
    EXPECT_EQ(host.GetHostWindow(), nullptr);
    EXPECT_EQ(host.GetCaptureWnd(), nullptr);
    EXPECT_EQ(host.GetHotWnd(), nullptr);
    // A detached control ignores what would need the host.
    button.Invalidate();
    button.SetWndPos(5, 5);
    EXPECT_TRUE(IsRectEmpty(&button.GetRect()));
}

TEST_F(LumManagerTest, RemovingAControlEndsItsCaptureAndHover) {
    CProbe probe;
    ASSERT_TRUE(probe.Create(&host, 30, 40, 20, 20, 1, LWS_VISIBLE));
    MoveMouse(35, 45);
    host.CLumWndManager::SetCapture(&probe);
    ASSERT_EQ(GetCapture(), host.m_hWnd);
    host.RemoveWnd(&probe);
    EXPECT_EQ(probe.captureLost, 1);
    EXPECT_EQ(probe.leaves, 1);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(host.GetWnds().empty());
}

TEST_F(LumManagerTest, CaptureMovesBetweenControls) {
    CProbe a;
    CProbe b;
    ASSERT_TRUE(a.Create(&host, 30, 40, 20, 20, 1, LWS_VISIBLE));
    ASSERT_TRUE(b.Create(&host, 60, 40, 20, 20, 2, LWS_VISIBLE));
    host.CLumWndManager::SetCapture(&a);
    host.CLumWndManager::SetCapture(&a);
    EXPECT_EQ(a.captureLost, 0) << "asking again keeps the capture";
    host.CLumWndManager::SetCapture(&b);
    EXPECT_EQ(a.captureLost, 1);
    EXPECT_EQ(GetCapture(), host.m_hWnd);
    host.ReleaseCapture(&a);  // not a's any more: nothing happens
    EXPECT_EQ(GetCapture(), host.m_hWnd);
    // The host losing the platform capture ends the control's.
    ::ReleaseCapture();
    EXPECT_EQ(b.captureLost, 1);
    EXPECT_EQ(host.GetCaptureWnd(), nullptr);
}

TEST_F(LumManagerTest, TooltipAreasAreRecordedPerControl) {
    CLumWndTipImpl<CLumButton3> close;
    CreateCloseButton(close, 8);
    close.SetTipText(L"Close");
    MoveMouse(60, 50);
    ASSERT_EQ(host.GetToolCount(), 1u);
    const CLumToolTipAdpater::Tool* tool = host.FindTool(1);
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(tool->wnd, &close);

    NMTTDISPINFOW request{};
    request.hdr.hwndFrom = nullptr;
    request.hdr.idFrom = 1;
    request.hdr.code = TTN_GETDISPINFOW;
    EXPECT_EQ(::SendMessageW(host, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&request)), 0);
    ASSERT_NE(request.lpszText, nullptr);
    EXPECT_STREQ(request.lpszText, L"Close");
    // Requests for window tools or unknown ids are not the manager's.
    NMTTDISPINFOW other{};
    other.hdr.idFrom = 9;
    other.hdr.code = TTN_GETDISPINFOW;
    EXPECT_EQ(::SendMessageW(host, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&other)), 0);
    EXPECT_EQ(other.lpszText, nullptr);
    BOOL handled = FALSE;
    LRESULT result = 0;
    other.uFlags = TTF_IDISHWND;
    handled = host.ProcessWindowMessage(host, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&other), result);
    EXPECT_FALSE(handled);

    MovePointerAway();
    ASSERT_TRUE(PumpUntil([&] { return !close.IsHover(); }, 2000));
    EXPECT_EQ(host.GetToolCount(), 0u);
}

TEST_F(LumManagerTest, ToolIdsAreTheSmallestFree) {
    CProbe a, b, c;
    ASSERT_TRUE(a.Create(&host, 0, 0, 10, 10, 1, LWS_VISIBLE));
    ASSERT_TRUE(b.Create(&host, 20, 0, 10, 10, 2, LWS_VISIBLE));
    ASSERT_TRUE(c.Create(&host, 40, 0, 10, 10, 3, LWS_VISIBLE));
    const RECT part{2, 2, 5, 5};
    EXPECT_EQ(host.AddTool(&a, 0, nullptr), 1u);
    EXPECT_EQ(host.AddTool(&a, 1, &part), 2u);
    EXPECT_EQ(host.AddTool(&b, 0, nullptr), 3u);
    EXPECT_EQ(host.AddTool(&a, 1, nullptr), 0u) << "already registered";
    host.RemoveTools(&a);
    EXPECT_EQ(host.AddTool(&c, 0, nullptr), 1u);
    EXPECT_EQ(host.AddTool(&c, 4, nullptr), 2u);
    EXPECT_EQ(host.FindTool(3)->wnd, &b);
    EXPECT_EQ(host.FindTool(5), nullptr);
}

TEST_F(LumManagerTest, TextButtonLayoutAndLinkStyle) {
    CLumSkin& skin = CLumSkin::Get();
    CLumButton4 narrow;
    ASSERT_TRUE(narrow.Create(&host, 10, 200, 0, 0, 11, LWS_VISIBLE | LWS_AUTOSIZE));
    narrow.SetBkImage(&skin.m_textButton);
    narrow.SetText(L"OK");
    EXPECT_EQ(narrow.GetWidth(), 48) << "narrow content: exactly one cell";
    EXPECT_EQ(narrow.GetHeight(), 32);

    HDC dc = skin.GetMemoryDC();
    HGDIOBJ old = SelectObject(dc, skin.GetFont(1));
    const wchar_t long_text[] = L"Continue the removal now";
    SIZE text{};
    GetTextExtentPoint32W(dc, long_text, lstrlenW(long_text), &text);
    SelectObject(dc, old);
    CLumButton4 wide;
    ASSERT_TRUE(wide.Create(&host, 10, 240, 0, 0, 12, LWS_VISIBLE | LWS_AUTOSIZE));
    wide.SetBkImage(&skin.m_textButton);
    wide.SetText(long_text);
    EXPECT_EQ(wide.GetWidth(), text.cx + 20);
    EXPECT_EQ(wide.GetContentX(), 10);

    CLumButton4 fixed;
    ASSERT_TRUE(fixed.Create(&host, 200, 200, 110, 48, 5000, LWS_VISIBLE));
    fixed.SetBkImage(&skin.m_textButton);
    fixed.SetText(long_text);
    EXPECT_EQ(fixed.GetWidth(), 110);
    EXPECT_EQ(fixed.GetContentX(), (110 - text.cx) / 2);

    // A link keeps cell 0 whatever the mouse does, and shows the hand.
    narrow.SetLinkStyle(true);
    MoveMouse(20, 210);
    Send(WM_LBUTTONDOWN, 20, 210);
    EXPECT_EQ(narrow.GetStateIndex(), 0);
    EXPECT_EQ(::SendMessageW(host, WM_SETCURSOR, reinterpret_cast<WPARAM>(host.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
    Send(WM_LBUTTONUP, 20, 210);
    ASSERT_EQ(host.commands.size(), 1u);
    EXPECT_EQ(LOWORD(host.commands[0].wParam), 11);
    // A plain button leaves the cursor to the host.
    MoveMouse(210, 210);
    EXPECT_EQ(::SendMessageW(host, WM_SETCURSOR, reinterpret_cast<WPARAM>(host.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              FALSE);
}

TEST_F(LumManagerTest, PicturesSizeToTheirImageAndLetClicksThrough) {
    CLumImageWnd streak;
    ASSERT_TRUE(streak.Create(&host, 20, 30, 0, 0, 0, LWS_VISIBLE | LWS_AUTOSIZE));
    streak.SetImage(&CLumSkin::Get().m_progressSlider, 0);
    EXPECT_EQ(streak.GetWidth(), 241);
    EXPECT_EQ(streak.GetHeight(), 33);
    EXPECT_TRUE(streak.GetFlags() & LWS_TRANSPARENT) << "the image has alpha";
    Click(100, 40);
    EXPECT_EQ(host.hostButtonDowns, 1);

    CLumBitmap missing(54321, 1, CLumBitmap::kPng);
    CLumImageWnd empty;
    ASSERT_TRUE(empty.Create(&host, 20, 100, 50, 50, 0, LWS_VISIBLE | LWS_AUTOSIZE));
    empty.SetImage(&missing, 0);
    EXPECT_EQ(empty.GetWidth(), 0) << "an image that failed to load gives a zero size";
    EXPECT_FALSE(empty.GetFlags() & LWS_TRANSPARENT);
}

}  // namespace
}  // namespace vexa::test
