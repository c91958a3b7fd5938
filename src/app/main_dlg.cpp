#include "app/main_dlg.h"

#include "app/app_services.h"
#include "app/language_table.h"
#include "engine/uninst_proc.h"
#include "skin/lum_skin.h"

namespace vexa {

int Uninstalling = 0;
int ProgressValue = 0;
int CountdownSeconds = 3;
int UninstallFinished = 0;

namespace {

constexpr int kIconResource = 128;
constexpr int kLabelY = 268;
constexpr int kStreakY = 226;
constexpr COLORREF kButtonTextColor = 0xFFFFFF;

// Half of the room left beside a control. A control wider than the window starts at its
// left edge: halving the difference as an unsigned number would put it some two billion
// pixels to the right, and a long translation of the completion text would vanish.
int HalfOfDifference(int difference) {
    return difference > 0 ? difference / 2 : 0;
}

std::wstring Text(const wchar_t* key) {
    return GetLanguageTable().GetString(key);
}

// Label texts are printf-style formats (a literal percent sign is doubled in them); they
// are filled safely, so a stray percent sign in a translation shows as text.
std::wstring LabelText(const wchar_t* key, int number = 0) {
    return FormatLabelText(Text(key), number);
}

}  // namespace

MainDlgLayout ComputeMainDlgLayout(int cx, const RECT& client, int close_width, int start_width, int cancel_width,
                                   int question_width, int status_width) {
    const int width = client.right - client.left;
    MainDlgLayout layout{};
    layout.close = {cx - close_width, 0};
    const int buttons_x = HalfOfDifference(width - start_width - cancel_width - 100) + client.left;
    layout.start = {buttons_x, client.top + 320};
    layout.cancel = {buttons_x + start_width + 100, client.top + 320};
    layout.question = {HalfOfDifference(width - question_width), kLabelY};
    layout.status = {HalfOfDifference(width - status_width), kLabelY};
    return layout;
}

int StreakX(unsigned lo, unsigned hi, int width, int streak_width) {
    return static_cast<int>(lo * static_cast<unsigned>(width) / hi) - streak_width + 15;
}

int CMainDlg::ClientWidth() const {
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    return client.right - client.left;
}

LRESULT CMainDlg::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    if (m_loop)
        m_loop->AddMessageFilter(this);

    HINSTANCE instance = GetModuleHandleW(nullptr);
    HICON big = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    HICON small = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    SetWindowText(GetLanguageTable().GetTitle().c_str());

    CLumSkin& skin = CLumSkin::Get();
    m_close.Create(this, kIdCloseButton, LWS_VISIBLE | LWS_AUTOSIZE);
    m_close.SetBkImage(&skin.m_closeButton);

    for (CLumButton4* button : {&m_start, &m_cancel}) {
        const bool start = button == &m_start;
        button->Create(this, 0, 0, 110, 48, start ? kIdStartButton : IDCANCEL, LWS_VISIBLE);
        button->SetText(Text(start ? L"btn_uninst" : L"btn_cancel").c_str());
        button->SetBkImage(&skin.m_textButton);
        button->SetBold(TRUE);
        button->SetTextColor(kButtonTextColor);
    }

    m_streak.Create(this, LWS_AUTOSIZE);
    m_streak.SetImage(&skin.m_progressSlider, 0);

    m_question.Create(this, LWS_VISIBLE | LWS_AUTOSIZE);
    m_question.SetText(LabelText(L"uninstall").c_str());
    m_status.Create(this, LWS_AUTOSIZE);
    m_status.SetText(LabelText(L"unintstalling_text").c_str());

    SetLanguagePicture();
    SetWindowPos(nullptr, 0, 0, kMainWidth, kConfirmHeight, SWP_NOMOVE | SWP_NOZORDER);
    CenterWindow();
    ShowWindow(SW_SHOW);
    BuildSystemSummary();
    return 1;
}

LRESULT CMainDlg::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
    if (m_loop)
        m_loop->RemoveMessageFilter(this);
    handled = FALSE;  // the control manager tears its controls down too
    return 0;
}

LRESULT CMainDlg::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&) {
    // A press on empty area drags the window.
    ::SendMessageW(m_hWnd, WM_SYSCOMMAND, 0xF012, 0);
    return 0;
}

LRESULT CMainDlg::OnClose(UINT, WPARAM, LPARAM, BOOL&) {
    if (Uninstalling == 0)
        CloseWith(0);
    return 0;
}

LRESULT CMainDlg::OnSize(UINT, WPARAM, LPARAM lParam, BOOL&) {
    Layout(LOWORD(lParam), HIWORD(lParam));
    return 0;
}

void CMainDlg::Layout(int cx, int cy) {
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    if (cx == 0 && cy == 0)
        cx = client.right;
    const MainDlgLayout layout = ComputeMainDlgLayout(cx, client, m_close.GetWidth(), m_start.GetWidth(),
                                                      m_cancel.GetWidth(), m_question.GetWidth(), m_status.GetWidth());
    m_close.SetWndPos(layout.close.x, layout.close.y);
    m_start.SetWndPos(layout.start.x, layout.start.y);
    m_cancel.SetWndPos(layout.cancel.x, layout.cancel.y);
    m_question.SetWndPos(layout.question.x, layout.question.y);
    m_status.SetWndPos(layout.status.x, layout.status.y);
}

void CMainDlg::DrawBackground(HDC hdc, const RECT& /*rect*/) {
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    CLumSkin& skin = CLumSkin::Get();
    skin.m_windowBackground.DrawStretched(hdc, client.left, client.top, client.right - client.left,
                                          client.bottom - client.top, 0);
    skin.m_logo.Draw(hdc, client.left + 122, client.top + 65, 0);
    if (m_languagePicture)
        m_languagePicture->Draw(hdc, client.left + 122 + skin.m_logo.GetCellWidth() + 4, client.top + 66, 0);
}

void CMainDlg::SetLanguagePicture() {
    const int id = GetLanguageTable().GetInt(L"image");
    if (id == 0)
        return;
    CLumBitmap*& picture = m_images[id];
    if (!picture)
        picture = new CLumBitmap(static_cast<UINT>(id), 1, CLumBitmap::kPng);
    m_languagePicture = picture;
}

BOOL CMainDlg::PreTranslateMessage(MSG* msg) {
    // Escape arrives as the cancel command, as in a dialog.
    return IsDialogMessageW(m_hWnd, msg);
}

void CMainDlg::CloseWith(int exit_code) {
    DestroyWindow();
    PostQuitMessage(exit_code);
}

LRESULT CMainDlg::OnCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
    if (HIWORD(wParam) != 0)
        return 0;
    switch (LOWORD(wParam)) {
        case kIdStartButton:
            if (PreCheckBusy == 1)
                break;
            SetTimer(kTimerPreCheck, 1000);
            GetUninstProc()->PostPreCheck(m_hWnd);
            break;
        case IDCANCEL:
        case kIdCloseButton:
            // Closing while the worker runs would cut the uninstallation short; the buttons
            // cannot be pressed then, and the Escape key is ignored.
            if (Uninstalling == 0)
                CloseWith(2);
            break;
        case kIdProgressStep: {
            const unsigned lo = LOWORD(lParam);
            const unsigned hi = HIWORD(lParam);
            if (hi == 0)
                break;
            const int width = ClientWidth();
            m_streak.SetWndPos(StreakX(lo, hi, width, m_streak.GetWidth()), kStreakY);
            m_streak.SetVisible(TRUE);
            if (lo == hi && GetUninstProc()->IsDone()) {
                KillTimer(kTimerAnimation);
                m_streak.SetWndPos(width - m_streak.GetWidth() + 15, kStreakY);
                m_streak.SetVisible(FALSE);
                ShowCountdown(3);
                SetTimer(kTimerCountdown, 1000);
            }
            break;
        }
        default:
            break;
    }
    return 0;
}

void CMainDlg::ShowCountdown(int seconds) {
    m_status.SetText(LabelText(L"uninstallcomplete_text", seconds).c_str());
    m_status.SetWndPos(HalfOfDifference(ClientWidth() - m_status.GetWidth()), kLabelY);
}

void CMainDlg::StartUninstall() {
    m_start.SetVisible(FALSE);
    m_cancel.SetVisible(FALSE);
    m_question.SetVisible(FALSE);
    m_status.SetVisible(TRUE);
    SetWindowPos(nullptr, 0, 0, kMainWidth, kUninstallHeight, SWP_NOMOVE | SWP_NOZORDER);
    SetTimer(kTimerAnimation, 10);
    Uninstalling = 1;
    m_close.SetEnabled(FALSE);
    GetUninstProc()->PostUninstall(m_hWnd);
}

LRESULT CMainDlg::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled) {
    switch (wParam) {
        case kTimerPreCheck:
            KillTimer(kTimerPreCheck);
            if (PreCheckFinished == 0) {
                SetTimer(kTimerPreCheck, 100);
                break;
            }
            if (PreCheckPassed == 1)
                StartUninstall();
            PreCheckFinished = 0;
            break;
        case kTimerAnimation:
            ::PostMessageW(m_hWnd, WM_COMMAND, kIdProgressStep, static_cast<LPARAM>((ProgressValue & 0xFFFF) | 0x640000));
            if (ProgressValue < 100)
                ProgressValue += 5;
            break;
        case kTimerCountdown:
            if (CountdownSeconds != 0) {
                ShowCountdown(CountdownSeconds - 1);
                --CountdownSeconds;
            }
            if (CountdownSeconds == 0) {
                KillTimer(kTimerCountdown);
                ShowWindow(SW_HIDE);
                m_close.SetEnabled(TRUE);
                SendUninstallReport();
                UninstallFinished = 1;
                CloseWith(0);
            }
            break;
        default:
            handled = FALSE;
            break;
    }
    return 0;
}

LRESULT CMainDlg::OnReapplyLanguage(UINT, WPARAM, LPARAM, BOOL&) {
    m_start.SetText(Text(L"btn_uninst").c_str());
    m_cancel.SetText(Text(L"btn_cancel").c_str());
    m_status.SetText(L"");
    m_status.SetFont(CLumSkin::Get().GetFont(1));
    m_status.SetText(LabelText(L"unintstalling_text").c_str());
    SetLanguagePicture();
    Layout(0, 0);
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return 1;
}

int RunMainWindow(CMessageLoop& loop, int show) {
    CMainDlg* window = new CMainDlg(&loop);  // lives until the process ends, as its controls do
    if (!window->Create(nullptr, RECT{0, 0, kMainWidth, kConfirmHeight}, nullptr))
        return 0;
    window->ShowWindow(show);
    return loop.Run();
}

}  // namespace vexa
