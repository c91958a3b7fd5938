// Every kind of control over the window background, as the main window hosts them, on
// the real display: the picture is saved so that the look can be judged, and checked
// against what the host composes.
#include <gtest/gtest.h>

#include "skin/lum_button.h"
#include "skin/lum_skin.h"
#include "skin/lum_text_wnd.h"
#include "skin/test_host.h"

namespace vexa::test {
namespace {

constexpr wchar_t kScreens[] = L"C:\\vexatest\\screens";

class SkinScreenshotTest : public SkinWindowTest {
protected:
    void SetUp() override {
        MovePointerAway();
        host.background = CTestHost::Background::kSkin;
        CreateHost(580, 420);
    }

    // The host's client area as the screen shows it.
    Pixels Capture() {
        RECT client{};
        host.GetClientRect(&client);
        POINT origin{0, 0};
        ClientToScreen(host, &origin);
        Dib shot(client.right, client.bottom);
        HDC screen = GetDC(nullptr);
        BitBlt(shot.dc(), 0, 0, client.right, client.bottom, screen, origin.x, origin.y, SRCCOPY);
        ReleaseDC(nullptr, screen);
        return shot.Read();
    }
};

TEST_F(SkinScreenshotTest, EveryControlKindOverTheWindowBackground) {
    CLumSkin& skin = CLumSkin::Get();
    const int width = 580;

    CLumWndTipImpl<CLumButton3> close;
    ASSERT_TRUE(close.Create(&host, 8, LWS_VISIBLE | LWS_AUTOSIZE));
    close.SetBkImage(&skin.m_closeButton);
    close.SetTipText(L"Close");
    close.SetWndPos(width - close.GetWidth(), 0);

    // The four states of the close button, side by side on the band.
    CLumImageWnd states[4];
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(states[i].Create(&host, 12 + i * 36, 12, 0, 0, 0, LWS_VISIBLE | LWS_AUTOSIZE));
        states[i].SetImage(&skin.m_closeButton, i);
    }

    CLumTextWnd fonts;
    ASSERT_TRUE(fonts.Create(&host, 16, 214, 0, 0, 0, LWS_VISIBLE | LWS_AUTOSIZE));
    fonts.SetText(L"{&#color=0xFFFFFF}{&#font=1}Font 1 {&#font=4}font 4 {&#font=7}font 7 {&#font=10}font 10");

    CLumImageWnd streak;
    ASSERT_TRUE(streak.Create(&host, 300, 226, 0, 0, 0, LWS_VISIBLE | LWS_AUTOSIZE));
    streak.SetImage(&skin.m_progressSlider, 0);

    CLumTextWnd question;
    ASSERT_TRUE(question.Create(&host, 0, 0, 0, 0, 0, LWS_VISIBLE | LWS_AUTOSIZE));
    question.SetText(L"{&#font=5}{&#color=0x333333}Do you want to remove Vexaguard from this computer?");
    question.SetWndPos((width - question.GetWidth()) / 2, 262);

    CLumTextWnd links;
    ASSERT_TRUE(links.Create(&host, 0, 0, 0, 0, 0, LWS_VISIBLE | LWS_AUTOSIZE));
    links.SetText(L"{&#color=0x707070}Need help? {&#a=https://example.invalid/help}{&#underline}Read the "
                  L"guide{&#/underline}{&#/a}, or {&#acolor=#2A9D5C}{&#a=button:9}keep Vexaguard{&#/a}.");
    links.SetWndPos((width - links.GetWidth()) / 2, 290);

    CLumButton4 start;
    CLumButton4 cancel;
    ASSERT_TRUE(start.Create(&host, 0, 0, 110, 48, 5000, LWS_VISIBLE));
    ASSERT_TRUE(cancel.Create(&host, 0, 0, 110, 48, IDCANCEL, LWS_VISIBLE));
    for (CLumButton4* button : {&start, &cancel}) {
        button->SetBkImage(&skin.m_textButton);
        button->SetBold(TRUE);
        button->SetTextColor(0xFFFFFF);
    }
    start.SetText(L"Uninstall");
    cancel.SetText(L"Cancel");
    const int left = (width - 110 - 110 - 100) / 2;
    start.SetWndPos(left, 320);
    cancel.SetWndPos(left + 110 + 100, 320);

    // A row of the other looks: disabled, link style, with an icon.
    CLumButton4 disabled;
    CLumButton4 link;
    CLumButton4 with_icon;
    int x = 40;
    for (CLumButton4* button : {&disabled, &link, &with_icon}) {
        ASSERT_TRUE(button->Create(&host, x, 372, 0, 0, 100, LWS_VISIBLE | LWS_AUTOSIZE));
        button->SetBkImage(&skin.m_textButton);
        button->SetTextColor(0xFFFFFF);
    }
    disabled.SetText(L"Disabled");
    disabled.SetEnabled(FALSE);
    link.SetText(L"Link style");
    link.SetLinkStyle(true);
    with_icon.SetIcon(&skin.m_closeButton, 2);
    with_icon.SetText(L"With an icon");
    for (CLumButton4* button : {&disabled, &link, &with_icon}) {
        button->SetWndPos(x, 372);
        x += button->GetWidth() + 30;
    }

    // The pointer rests on the start button, which shows its hover state.
    MoveMouse(start.GetRect().left + 30, start.GetRect().top + 10);
    host.Invalidate(FALSE);
    host.UpdateWindow();
    Pump(150);
    ASSERT_EQ(start.GetStateIndex(), 1);

    const Pixels screen = Capture();
    CreateDirectoryW(kScreens, nullptr);
    ASSERT_TRUE(SavePng(screen, std::wstring(kScreens) + L"\\skin_controls.png"));
    const Pixels composed = Print();
    ASSERT_TRUE(SavePng(composed, std::wstring(kScreens) + L"\\skin_controls_composed.png"));

    // What the screen shows is what the host composes.
    int differences = 0;
    for (size_t i = 0; i < screen.data.size(); ++i)
        differences += (screen.data[i] & 0xFFFFFF) != (composed.data[i] & 0xFFFFFF) ? 1 : 0;
    EXPECT_LT(differences, static_cast<int>(screen.data.size() / 100));
    // A green band over a white lower part.
    const uint32_t band = screen.At(5, 150);
    EXPECT_GT(Green(band), Red(band) + 60);
    EXPECT_GT(Green(band), Blue(band) + 20);
    EXPECT_TRUE(NearColor(screen.At(5, 300), RGB(255, 255, 255), 8));
}

}  // namespace
}  // namespace vexa::test
