// A real host window for the skin's controls, and a fixture that drives it with mouse
// messages and the real pointer (the tests run on an X display and lock it).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "framework/atlwin.h"
#include "skin/lum_wnd.h"
#include "skin/lum_wnd_manager.h"
#include "skin/skin_test_util.h"

namespace vexa::test {

// Made hidden and shown without activation: Wine then keeps the window away from the
// window manager, and destroying it does not wait for one that the test display lacks.
class CTestHost : public CWindowImpl<CTestHost, CWindow,
                                     CWinTraits<WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                                WS_EX_TOOLWINDOW | WS_EX_TOPMOST>>,
                  public CLumWndManager {
public:
    DECLARE_WND_CLASS_EX(L"VexaSkinTestHost", 0, COLOR_WINDOW + 1)

    BEGIN_MSG_MAP(CTestHost)
        CHAIN_MSG_MAP(CLumWndManager)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnHostButtonDown)
    END_MSG_MAP()

    struct Command {
        WPARAM wParam;
        LPARAM lParam;
    };

    // Tiles of 8 x 8 pixels whose colour says where they are, so that a background
    // painted at the wrong offset shows; or the skin as the main window draws it.
    enum class Background { kPattern, kSkin };
    Background background = Background::kPattern;
    std::vector<Command> commands;
    std::vector<RECT> backgroundCalls;
    int hostButtonDowns = 0;

    static COLORREF PatternAt(int x, int y) {
        return RGB((x / 8) * 29 % 256, (y / 8) * 37 % 256, 90);
    }

    void DrawBackground(HDC hdc, const RECT& rect) override;

private:
    LRESULT OnCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
        commands.push_back(Command{wParam, lParam});
        return 0;
    }
    LRESULT OnHostButtonDown(UINT, WPARAM, LPARAM, BOOL&) {
        ++hostButtonDowns;
        return 0;
    }
};

// A control that paints a solid colour (or only a square in its middle when hollow) and
// counts what happened to it.
class CProbe : public CLumWnd {
public:
    explicit CProbe(COLORREF color = RGB(255, 0, 0), bool hollow = false) : color_(color), hollow_(hollow) {}
    void Draw(HDC hdc, int, int) override;
    BOOL OnLButtonDown(POINT) override {
        ++downs;
        return TRUE;
    }
    void OnMouseEnter(POINT) override { ++enters; }
    void OnMouseLeave() override { ++leaves; }
    void OnCaptureLost() override { ++captureLost; }
    void OnDetach() override { ++detaches; }

    int draws = 0;
    int downs = 0;
    int enters = 0;
    int leaves = 0;
    int captureLost = 0;
    int detaches = 0;

private:
    COLORREF color_;
    bool hollow_;
};

class SkinWindowTest : public testing::Test {
protected:
    static constexpr int kLeft = 100;
    static constexpr int kTop = 100;

    void SetUp() override;
    void TearDown() override;
    void CreateHost(int width, int height);

    // Mouse messages with client coordinates, as the system sends them.
    LRESULT Send(UINT msg, int x, int y);
    // Puts the real pointer at the client point and sends the move.
    void MoveMouse(int x, int y);
    void Click(int x, int y);
    // The pointer far from the host.
    static void MovePointerAway();
    // Runs the message loop for |ms| milliseconds, or until |until| holds.
    template <class Pred>
    static bool PumpUntil(Pred until, DWORD ms) {
        const ULONGLONG deadline = GetTickCount64() + ms;
        for (;;) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            if (until())
                return true;
            if (GetTickCount64() >= deadline)
                return false;
            Sleep(5);
        }
    }
    static void Pump(DWORD ms) {
        PumpUntil([] { return false; }, ms);
    }
    // What the host paints, through WM_PRINTCLIENT into a DIB section.
    Pixels Print();

    CTestHost host;
};

}  // namespace vexa::test
