// Windowless controls: every button, label and picture of a skinned window is a CLumWnd
// that lives inside one real window, its host, which routes mouse input to it and paints
// it over the host's own background.
//
//   LWS_*            state bits of a control
//   ILumWndManager   what a control asks of its host (capture, commands, geometry, paint)
//   CLumWnd          the control base: flags, command id, rectangle in host coordinates
#pragma once

#include <windows.h>
#include <commctrl.h>

// The common controls' SysLink styles use the LWS_ prefix too; the program has no SysLink
// controls, and its own control bits keep their names.
#undef LWS_TRANSPARENT

namespace vexa {

constexpr UINT LWS_VISIBLE = 0x1;      // painted and hit-tested
constexpr UINT LWS_AUTOSIZE = 0x2;     // sizes itself to its content
constexpr UINT LWS_DISABLED = 0x4;     // drawn disabled, ignored by hit-testing
constexpr UINT LWS_TRANSPARENT = 0x8;  // the host background is painted under it first

class CLumWnd;

class ILumWndManager {
public:
    virtual BOOL AddWnd(CLumWnd* wnd) = 0;
    virtual BOOL RemoveWnd(CLumWnd* wnd) = 0;
    virtual void SetCapture(CLumWnd* wnd) = 0;
    virtual void ReleaseCapture(CLumWnd* wnd) = 0;
    virtual LRESULT SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    // WM_COMMAND to the host, sent: wParam = MAKEWPARAM(id, code), lParam = the control.
    virtual LRESULT SendCommand(CLumWnd* wnd, WORD code, WORD id) = 0;
    virtual BOOL PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    virtual void SetWndRect(CLumWnd* wnd, int x, int y, int cx, int cy) = 0;
    virtual void SetWndSize(CLumWnd* wnd, int cx, int cy) = 0;
    virtual void SetWndPos(CLumWnd* wnd, int x, int y) = 0;
    // Repaints |rect| (control-local, null: all) of the control, or only its sub-area
    // |part| when part > 0.
    virtual void InvalidateWnd(CLumWnd* wnd, const RECT* rect, BOOL eraseIfHidden, int part) = 0;
    virtual UINT AddTool(CLumWnd* wnd, UINT subId, const RECT* rect) = 0;
    virtual void RemoveTools(CLumWnd* wnd) = 0;
    virtual void FreezeUpdate() = 0;
    virtual void ThawUpdate() = 0;
    // Paints the host background under |rect| (host coordinates).
    virtual void DrawBackground(HDC hdc, const RECT& rect) = 0;
    virtual void DrawWnds(HDC hdc, const RECT& rect) = 0;

protected:
    ~ILumWndManager() = default;
};

class CLumWnd {
public:
    CLumWnd() = default;
    virtual ~CLumWnd() = default;
    CLumWnd(const CLumWnd&) = delete;
    CLumWnd& operator=(const CLumWnd&) = delete;

    // Disposes of a control its owner made on the heap.
    virtual void Release() { delete this; }
    virtual void OnCreate() {}
    // The host window is being destroyed.
    virtual void OnDetach() {}
    virtual void OnTimerTick() {}
    virtual void OnMove(int /*x*/, int /*y*/) {}
    virtual void OnSize(int /*cx*/, int /*cy*/) {}
    // Paints the control; the DC's origin is the control's top-left corner. rightClip -1
    // means no clip edge; part 0 the whole control, n > 0 only its n-th sub-area.
    virtual void Draw(HDC hdc, int rightClip, int part) = 0;
    virtual void OnCaptureLost() {}
    // Points are control-local. A TRUE result means the control handled the input.
    virtual BOOL OnSetCursor(POINT /*pt*/) { return FALSE; }
    virtual BOOL OnLButtonDown(POINT /*pt*/) { return FALSE; }
    virtual BOOL OnLButtonUp(POINT /*pt*/) { return FALSE; }
    virtual BOOL OnLButtonDblClk(POINT /*pt*/) { return FALSE; }
    virtual BOOL OnMouseMove(POINT /*pt*/) { return FALSE; }
    virtual void OnMouseEnter(POINT /*pt*/) {}
    virtual void OnMouseLeave() {}
    virtual void OnGetTipText(UINT /*subId*/, NMTTDISPINFOW* /*info*/) {}

    // Attaches the control to |manager| with the rectangle (x, y, x + cx, y + cy); then
    // OnCreate, OnMove and OnSize run.
    BOOL Create(ILumWndManager* manager, UINT flags);
    BOOL Create(ILumWndManager* manager, UINT id, UINT flags);
    BOOL Create(ILumWndManager* manager, int x, int y, int cx, int cy, UINT id, UINT flags);

    void SetVisible(BOOL visible);
    BOOL IsVisible() const { return (m_flags & LWS_VISIBLE) != 0; }
    void SetEnabled(BOOL enabled);
    BOOL IsEnabled() const { return (m_flags & LWS_DISABLED) == 0; }
    // Repaints |rect| (control-local, null: all) or sub-area |part|; nothing when detached.
    void Invalidate(const RECT* rect = nullptr, int part = 0);

    // Geometry changes go through the host, which repaints; a detached control ignores them.
    void SetWndPos(int x, int y);
    void SetWndSize(int cx, int cy);
    void SetWndRect(int x, int y, int cx, int cy);

    UINT GetFlags() const { return m_flags; }
    UINT GetId() const { return m_id; }
    const RECT& GetRect() const { return m_rect; }
    int GetWidth() const { return m_rect.right - m_rect.left; }
    int GetHeight() const { return m_rect.bottom - m_rect.top; }
    ILumWndManager* GetManager() const { return m_manager; }
    bool IsAttached() const { return m_manager != nullptr; }

protected:
    UINT m_flags = 0;
    UINT m_id = 0;
    RECT m_rect{};
    ILumWndManager* m_manager = nullptr;

    friend class CLumWndManager;
};

}  // namespace vexa
