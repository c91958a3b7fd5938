// CMainDlg: the program's only window. It asks the user to confirm, has the worker run
// the pre-check and then the uninstallation, plays the progress streak, counts down and
// closes. It drives the flow with three timers and the worker's process-wide flags; the
// worker never sends it anything.
#pragma once

#include <windows.h>

#include <map>

#include "framework/atlapp.h"
#include "framework/atlwin.h"
#include "skin/lum_button.h"
#include "skin/lum_text_wnd.h"
#include "skin/lum_wnd_manager.h"

namespace vexa {

// Flow values of the main window (main thread only).
extern int Uninstalling;       // 1 from the start of the uninstallation: WM_CLOSE is ignored
extern int ProgressValue;      // 0 to 100 in steps of 5
extern int CountdownSeconds;   // shown in the completion text
extern int UninstallFinished;  // 1 once the window closed after a completed uninstallation

// Window sizes while confirming and from the start of the uninstallation on.
constexpr int kMainWidth = 580;
constexpr int kConfirmHeight = 370;
constexpr int kUninstallHeight = 320;

// Control ids and the window's own timers and messages.
constexpr WORD kIdCloseButton = 8;
constexpr WORD kIdStartButton = 5000;
constexpr WORD kIdProgressStep = 0xFFFF;
constexpr UINT_PTR kTimerCountdown = 1001;
constexpr UINT_PTR kTimerAnimation = 1002;
constexpr UINT_PTR kTimerPreCheck = 1003;
constexpr UINT kMsgReapplyLanguage = 1524;

// Positions of the controls for a client width; see CMainDlg::Layout.
struct MainDlgLayout {
    POINT close;
    POINT start;
    POINT cancel;
    POINT question;
    POINT status;
};
MainDlgLayout ComputeMainDlgLayout(int cx, const RECT& client, int close_width, int start_width, int cancel_width,
                                   int question_width, int status_width);
// x of the progress streak for step |lo| of |hi| over a client |width|.
int StreakX(unsigned lo, unsigned hi, int width, int streak_width);

class CMainDlg : public CWindowImpl<CMainDlg, CWindow, CWinTraits<0x96080000, 0x50100>>,
                 public CLumWndManager,
                 public CMessageFilter {
public:
    DECLARE_WND_CLASS_EX(L"KVexaInstallerClass", 0, COLOR_WINDOW + 1)

    explicit CMainDlg(CMessageLoop* loop) : m_loop(loop) {}
    ~CMainDlg() override = default;

    BEGIN_MSG_MAP(CMainDlg)
        CHAIN_MSG_MAP(CLumWndManager)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
        MESSAGE_HANDLER(WM_CLOSE, OnClose)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        MESSAGE_HANDLER(kMsgReapplyLanguage, OnReapplyLanguage)
    END_MSG_MAP()

    BOOL PreTranslateMessage(MSG* msg) override;
    void DrawBackground(HDC hdc, const RECT& rect) override;

    CLumButton4& StartButton() { return m_start; }
    CLumButton4& CancelButton() { return m_cancel; }
    CLumTextWnd& StatusLabel() { return m_status; }

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnReapplyLanguage(UINT, WPARAM, LPARAM, BOOL&);

    void CloseWith(int exit_code);
    void Layout(int cx, int cy);
    void SetLanguagePicture();
    void StartUninstall();
    void ShowCountdown(int seconds);
    int ClientWidth() const;

    CMessageLoop* m_loop;
    std::map<int, CLumBitmap*> m_images;
    CLumBitmap* m_languagePicture = nullptr;
    CLumWndTipImpl<CLumButton3> m_close;
    CLumButton4 m_start;
    CLumButton4 m_cancel;
    CLumImageWnd m_streak;
    CLumTextWnd m_question;
    CLumTextWnd m_status;
};

// Creates the main window, shows it and runs |loop| until the window closes; the loop's
// result is the exit code. 0 without a loop when the window cannot be created.
int RunMainWindow(CMessageLoop& loop, int show);

}  // namespace vexa
