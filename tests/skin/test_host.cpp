#include "skin/test_host.h"

#include "skin/lum_skin.h"

namespace vexa::test {

void CTestHost::DrawBackground(HDC hdc, const RECT& rect) {
    backgroundCalls.push_back(rect);
    RECT client{};
    GetClientRect(&client);
    if (background == Background::kSkin) {
        CLumSkin& skin = CLumSkin::Get();
        skin.m_windowBackground.DrawStretched(hdc, client.left, client.top, client.right - client.left,
                                              client.bottom - client.top, 0);
        skin.m_logo.Draw(hdc, client.left + 122, client.top + 65, 0);
        static CLumBitmap picture(10101, 1, CLumBitmap::kPng);
        picture.Draw(hdc, client.left + 122 + skin.m_logo.GetCellWidth() + 4, client.top + 66, 0);
        return;
    }
    HGDIOBJ old = SelectObject(hdc, GetStockObject(DC_BRUSH));
    const int x0 = rect.left - rect.left % 8;
    const int y0 = rect.top - rect.top % 8;
    for (int y = y0; y < rect.bottom; y += 8) {
        for (int x = x0; x < rect.right; x += 8) {
            SetDCBrushColor(hdc, PatternAt(x, y));
            PatBlt(hdc, x, y, 8, 8, PATCOPY);
        }
    }
    SelectObject(hdc, old);
}

void CProbe::Draw(HDC hdc, int, int) {
    ++draws;
    RECT area{0, 0, GetWidth(), GetHeight()};
    if (hollow_)
        InflateRect(&area, -GetWidth() / 4, -GetHeight() / 4);
    SetDCBrushColor(hdc, color_);
    FillRect(hdc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void SkinWindowTest::SetUp() {
    MovePointerAway();
    CreateHost(400, 300);
}

void SkinWindowTest::CreateHost(int width, int height) {
    ASSERT_NE(host.Create(nullptr, RECT{kLeft, kTop, kLeft + width, kTop + height}), nullptr);
    host.ShowWindow(SW_SHOWNOACTIVATE);
    host.UpdateWindow();
    Pump(50);
}

void SkinWindowTest::TearDown() {
    if (host.IsWindow())
        host.DestroyWindow();
    Pump(20);
    MovePointerAway();
}

LRESULT SkinWindowTest::Send(UINT msg, int x, int y) {
    const WPARAM keys = msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK ? MK_LBUTTON : 0;
    return ::SendMessageW(host, msg, keys, MAKELPARAM(x, y));
}

void SkinWindowTest::MoveMouse(int x, int y) {
    POINT pt{x, y};
    ClientToScreen(host, &pt);
    SetCursorPos(pt.x, pt.y);
    Send(WM_MOUSEMOVE, x, y);
}

void SkinWindowTest::Click(int x, int y) {
    MoveMouse(x, y);
    Send(WM_LBUTTONDOWN, x, y);
    Send(WM_LBUTTONUP, x, y);
}

void SkinWindowTest::MovePointerAway() {
    SetCursorPos(1270, 1010);
}

Pixels SkinWindowTest::Print() {
    RECT client{};
    host.GetClientRect(&client);
    Dib dib(client.right, client.bottom);
    ::SendMessageW(host, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.dc()), PRF_CLIENT);
    return dib.Read();
}

}  // namespace vexa::test
