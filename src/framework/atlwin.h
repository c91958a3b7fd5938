// Window framework: the subset of ATL/WTL's window classes that the program uses, under
// the same names and with the same meanings, for a toolchain that has no ATL.
//
//   CWindow               borrows an HWND and wraps the calls made on it
//   CWinTraits<S, X>      default window style and extended style of a window class
//   CMessageMap           the ProcessWindowMessage interface that message maps implement
//   CWindowImpl<T, B, Tr> registers T's window class, creates the window and routes its
//                         messages to T's message map
//   BEGIN_MSG_MAP ...     the message-map macros (MESSAGE_HANDLER, COMMAND_ID_HANDLER, ...)
#pragma once

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace vexa {

class CWindow {
public:
    HWND m_hWnd = nullptr;

    CWindow(HWND hWnd = nullptr) : m_hWnd(hWnd) {}
    CWindow& operator=(HWND hWnd) {
        m_hWnd = hWnd;
        return *this;
    }
    operator HWND() const { return m_hWnd; }

    BOOL IsWindow() const { return ::IsWindow(m_hWnd); }
    BOOL DestroyWindow() {
        if (!::DestroyWindow(m_hWnd))
            return FALSE;
        m_hWnd = nullptr;
        return TRUE;
    }
    LRESULT SendMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageW(m_hWnd, msg, w, l); }
    BOOL PostMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::PostMessageW(m_hWnd, msg, w, l); }
    BOOL ShowWindow(int cmd) const { return ::ShowWindow(m_hWnd, cmd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL Invalidate(BOOL erase = TRUE) const { return ::InvalidateRect(m_hWnd, nullptr, erase); }
    BOOL InvalidateRect(const RECT* rc, BOOL erase = TRUE) const { return ::InvalidateRect(m_hWnd, rc, erase); }
    BOOL UpdateWindow() const { return ::UpdateWindow(m_hWnd); }
    BOOL GetClientRect(RECT* rc) const { return ::GetClientRect(m_hWnd, rc); }
    BOOL GetWindowRect(RECT* rc) const { return ::GetWindowRect(m_hWnd, rc); }
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) const {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
    }
    BOOL MoveWindow(int x, int y, int cx, int cy, BOOL repaint = TRUE) const {
        return ::MoveWindow(m_hWnd, x, y, cx, cy, repaint);
    }
    BOOL SetWindowText(const wchar_t* text) const { return ::SetWindowTextW(m_hWnd, text); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) const { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
    BOOL KillTimer(UINT_PTR id) const { return ::KillTimer(m_hWnd, id); }
    HWND SetCapture() const { return ::SetCapture(m_hWnd); }
    HDC GetDC() const { return ::GetDC(m_hWnd); }
    int ReleaseDC(HDC dc) const { return ::ReleaseDC(m_hWnd, dc); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    LONG_PTR GetWindowLongPtr(int index) const { return ::GetWindowLongPtrW(m_hWnd, index); }
    LONG_PTR SetWindowLongPtr(int index, LONG_PTR value) const { return ::SetWindowLongPtrW(m_hWnd, index, value); }
    BOOL CenterWindow(HWND center_on = nullptr) const;
    BOOL SetRedraw(BOOL redraw) const { return static_cast<BOOL>(SendMessage(WM_SETREDRAW, redraw, 0)); }
};

inline BOOL CWindow::CenterWindow(HWND center_on) const {
    RECT self{};
    ::GetWindowRect(m_hWnd, &self);
    RECT area{};
    if (center_on) {
        ::GetWindowRect(center_on, &area);
    } else {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    const int w = self.right - self.left;
    const int h = self.bottom - self.top;
    const int x = area.left + ((area.right - area.left) - w) / 2;
    const int y = area.top + ((area.bottom - area.top) - h) / 2;
    return ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

template <DWORD Style = 0, DWORD ExStyle = 0>
class CWinTraits {
public:
    static DWORD GetWndStyle(DWORD style) { return style == 0 ? Style : style; }
    static DWORD GetWndExStyle(DWORD ex_style) { return ex_style == 0 ? ExStyle : ex_style; }
};

using CControlWinTraits = CWinTraits<WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0>;
using CFrameWinTraits = CWinTraits<WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_APPWINDOW>;

class CMessageMap {
public:
    virtual BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,
                                      DWORD dwMsgMapID) = 0;
};

// Describes the window class that CWindowImpl registers for T on first creation.
struct CWndClassInfo {
    const wchar_t* class_name;
    UINT style;
    HBRUSH background;
    HCURSOR cursor;  // nullptr: the arrow
};

#define DECLARE_WND_CLASS_EX(name, style, bkgnd)                                           \
    static ::vexa::CWndClassInfo& GetWndClassInfo() {                                    \
        static ::vexa::CWndClassInfo info = {name, style, reinterpret_cast<HBRUSH>(bkgnd), \
                                             nullptr};                                   \
        return info;                                                                     \
    }
#define DECLARE_WND_CLASS(name) DECLARE_WND_CLASS_EX(name, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, COLOR_WINDOW + 1)

template <class T, class TBase = CWindow, class TWinTraits = CControlWinTraits>
class CWindowImpl : public TBase, public CMessageMap {
public:
    // Defaults that T overrides with DECLARE_WND_CLASS*.
    static CWndClassInfo& GetWndClassInfo() {
        static CWndClassInfo info = {nullptr, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS,
                                     reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), nullptr};
        return info;
    }

    virtual ~CWindowImpl() = default;

    HWND Create(HWND parent, RECT rect = RECT{}, const wchar_t* window_name = nullptr, DWORD style = 0,
                DWORD ex_style = 0, UINT_PTR id = 0) {
        const wchar_t* class_name = RegisterWndClass();
        if (!class_name)
            return nullptr;
        style = TWinTraits::GetWndStyle(style);
        ex_style = TWinTraits::GetWndExStyle(ex_style);
        HMENU menu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(id) : nullptr;
        // A message-only window is not a child in the usual sense and takes no control id.
        if (parent == HWND_MESSAGE)
            menu = nullptr;
        HWND hwnd = ::CreateWindowExW(ex_style, class_name, window_name ? window_name : L"", style, rect.left,
                                      rect.top, rect.right - rect.left, rect.bottom - rect.top, parent, menu,
                                      ::GetModuleHandleW(nullptr), static_cast<CWindowImpl*>(this));
        return hwnd;
    }

    virtual WNDPROC GetWindowProc() { return WindowProc; }
    virtual void OnFinalMessage(HWND /*hWnd*/) {}

    LRESULT DefWindowProc(UINT msg, WPARAM w, LPARAM l) { return ::DefWindowProcW(this->m_hWnd, msg, w, l); }
    LRESULT DefWindowProc() {
        const MSG* m = m_pCurrentMsg;
        return m ? ::DefWindowProcW(this->m_hWnd, m->message, m->wParam, m->lParam) : 0;
    }
    const MSG* GetCurrentMessage() const { return m_pCurrentMsg; }

protected:
    const MSG* m_pCurrentMsg = nullptr;

private:
    static const wchar_t* RegisterWndClass() {
        CWndClassInfo& info = T::GetWndClassInfo();
        static wchar_t generated[64];
        const wchar_t* name = info.class_name;
        if (!name) {
            // Unnamed classes get a process-unique name, as ATL's "ATL:xxxxxxxx" does.
            std::swprintf(generated, 64, L"VexaWnd:%p", static_cast<void*>(&info));
            name = generated;
        }
        WNDCLASSEXW existing{};
        existing.cbSize = sizeof(existing);
        if (::GetClassInfoExW(::GetModuleHandleW(nullptr), name, &existing))
            return name;
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = info.style;
        wc.lpfnWndProc = StartWindowProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = info.cursor ? info.cursor : ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = info.background;
        wc.lpszClassName = name;
        if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return nullptr;
        return name;
    }

    // The object arrives with WM_NCCREATE; from then on the window's user data points at it.
    static LRESULT CALLBACK StartWindowProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
        if (msg == WM_NCCREATE) {
            auto* cs = reinterpret_cast<CREATESTRUCTW*>(l);
            auto* self = static_cast<CWindowImpl*>(cs->lpCreateParams);
            self->m_hWnd = hwnd;
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->GetWindowProc()));
            return self->GetWindowProc()(hwnd, msg, w, l);
        }
        return ::DefWindowProcW(hwnd, msg, w, l);
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
        auto* self = reinterpret_cast<CWindowImpl*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (!self)
            return ::DefWindowProcW(hwnd, msg, w, l);
        MSG current{hwnd, msg, w, l, 0, {0, 0}};
        const MSG* previous = self->m_pCurrentMsg;
        self->m_pCurrentMsg = &current;
        LRESULT result = 0;
        const BOOL handled = self->ProcessWindowMessage(hwnd, msg, w, l, result, 0);
        self->m_pCurrentMsg = previous;
        if (!handled)
            result = ::DefWindowProcW(hwnd, msg, w, l);
        if (msg == WM_NCDESTROY) {
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->m_hWnd = nullptr;
            self->OnFinalMessage(hwnd);
        }
        return result;
    }
};

}  // namespace vexa

// Message maps. Handlers have ATL's signatures:
//   LRESULT OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
//   LRESULT OnCommand(WORD wNotifyCode, WORD wID, HWND hWndCtl, BOOL& bHandled);
#define BEGIN_MSG_MAP(theClass)                                                                          \
public:                                                                                                  \
    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,      \
                              DWORD dwMsgMapID = 0) override {                                           \
        BOOL bHandled = TRUE;                                                                            \
        (void)hWnd;                                                                                      \
        (void)uMsg;                                                                                      \
        (void)wParam;                                                                                    \
        (void)lParam;                                                                                    \
        (void)lResult;                                                                                   \
        (void)bHandled;                                                                                  \
        switch (dwMsgMapID) {                                                                            \
            case 0:

#define MESSAGE_HANDLER(msg, func)                        \
    if (uMsg == (msg)) {                                  \
        bHandled = TRUE;                                  \
        lResult = func(uMsg, wParam, lParam, bHandled);   \
        if (bHandled)                                     \
            return TRUE;                                  \
    }

#define MESSAGE_RANGE_HANDLER(msgFirst, msgLast, func)    \
    if (uMsg >= (msgFirst) && uMsg <= (msgLast)) {        \
        bHandled = TRUE;                                  \
        lResult = func(uMsg, wParam, lParam, bHandled);   \
        if (bHandled)                                     \
            return TRUE;                                  \
    }

#define COMMAND_HANDLER(id, code, func)                                                                  \
    if (uMsg == WM_COMMAND && (id) == LOWORD(wParam) && (code) == HIWORD(wParam)) {                       \
        bHandled = TRUE;                                                                                 \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);        \
        if (bHandled)                                                                                    \
            return TRUE;                                                                                 \
    }

#define COMMAND_ID_HANDLER(id, func)                                                                     \
    if (uMsg == WM_COMMAND && (id) == LOWORD(wParam)) {                                                  \
        bHandled = TRUE;                                                                                 \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);        \
        if (bHandled)                                                                                    \
            return TRUE;                                                                                 \
    }

#define CHAIN_MSG_MAP(theChainClass)                                                                     \
    if (theChainClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult))                        \
        return TRUE;

#define CHAIN_MSG_MAP_MEMBER(theChainMember)                                                             \
    if ((theChainMember).ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult))                      \
        return TRUE;

#define END_MSG_MAP()   \
    break;              \
    default:            \
        break;          \
        }               \
        return FALSE;   \
        }
