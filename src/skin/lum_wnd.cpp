#include "skin/lum_wnd.h"

namespace vexa {

BOOL CLumWnd::Create(ILumWndManager* manager, UINT flags) {
    return Create(manager, 0, 0, 0, 0, 0, flags);
}

BOOL CLumWnd::Create(ILumWndManager* manager, UINT id, UINT flags) {
    return Create(manager, 0, 0, 0, 0, id, flags);
}

BOOL CLumWnd::Create(ILumWndManager* manager, int x, int y, int cx, int cy, UINT id, UINT flags) {
    if (!manager)
        return FALSE;
    m_manager = manager;
    m_id = id;
    m_flags = flags;
    m_rect = RECT{x, y, x + cx, y + cy};
    manager->AddWnd(this);
    OnCreate();
    OnMove(x, y);
    OnSize(cx, cy);
    return TRUE;
}

void CLumWnd::SetVisible(BOOL visible) {
    if (!visible == !IsVisible())
        return;
    if (visible)
        m_flags |= LWS_VISIBLE;
    else
        m_flags &= ~LWS_VISIBLE;
    // A control being hidden gets the host background painted over it.
    if (m_manager)
        m_manager->InvalidateWnd(this, nullptr, TRUE, 0);
}

void CLumWnd::SetEnabled(BOOL enabled) {
    if (!enabled == !IsEnabled())
        return;
    if (enabled)
        m_flags &= ~LWS_DISABLED;
    else
        m_flags |= LWS_DISABLED;
    Invalidate();
}

void CLumWnd::Invalidate(const RECT* rect, int part) {
    if (m_manager)
        m_manager->InvalidateWnd(this, rect, FALSE, part);
}

void CLumWnd::SetWndPos(int x, int y) {
    if (m_manager)
        m_manager->SetWndPos(this, x, y);
}

void CLumWnd::SetWndSize(int cx, int cy) {
    if (m_manager)
        m_manager->SetWndSize(this, cx, cy);
}

void CLumWnd::SetWndRect(int x, int y, int cx, int cy) {
    if (m_manager)
        m_manager->SetWndRect(this, x, y, cx, cy);
}

}  // namespace vexa
