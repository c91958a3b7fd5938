#include "skin/lum_wnd_manager.h"

#include <windowsx.h>

#include <algorithm>

#include "skin/lum_skin.h"

namespace vexa {
namespace {

POINT PointFromLParam(LPARAM lParam) {
    // Signed: while a control holds the capture the pointer may be left of or above the host.
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

POINT ToLocal(const CLumWnd* wnd, POINT pt) {
    return POINT{pt.x - wnd->GetRect().left, pt.y - wnd->GetRect().top};
}

bool Intersects(const RECT& a, const RECT& b) {
    RECT both{};
    return ::IntersectRect(&both, &a, &b) != FALSE;
}

}  // namespace

// --- CLumToolTipAdpater ----------------------------------------------------------------

void CLumToolTipAdpater::AttachToolTip(HWND tooltip, HWND owner) {
    m_toolTip = tooltip;
    m_toolOwner = owner;
    for (const auto& entry : m_tools)
        RegisterTool(entry.first, entry.second);
}

const CLumToolTipAdpater::Tool* CLumToolTipAdpater::FindTool(UINT toolId) const {
    auto it = m_tools.find(toolId);
    return it == m_tools.end() ? nullptr : &it->second;
}

UINT CLumToolTipAdpater::AddToolEntry(CLumWnd* wnd, UINT subId, const RECT* rect) {
    std::map<UINT, UINT>& ids = m_wndTools[wnd];
    if (ids.count(subId))
        return 0;
    UINT toolId = 1;
    while (m_tools.count(toolId))  // the smallest free id; ids are few and short-lived
        ++toolId;
    Tool tool{wnd, subId, rect != nullptr, rect ? *rect : RECT{}};
    m_tools[toolId] = tool;
    ids[subId] = toolId;
    RegisterTool(toolId, tool);
    return toolId;
}

void CLumToolTipAdpater::RegisterTool(UINT toolId, const Tool& tool) {
    if (!m_toolTip)
        return;
    RECT area = tool.wnd->GetRect();
    if (tool.hasRect) {
        area = tool.rect;
        ::OffsetRect(&area, tool.wnd->GetRect().left, tool.wnd->GetRect().top);
    }
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = 0;
    info.hwnd = m_toolOwner;
    info.uId = toolId;
    info.rect = area;
    info.hinst = ::GetModuleHandleW(nullptr);
    info.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void CLumToolTipAdpater::RemoveToolEntries(CLumWnd* wnd) {
    auto it = m_wndTools.find(wnd);
    if (it == m_wndTools.end())
        return;
    for (const auto& entry : it->second) {
        m_tools.erase(entry.second);
        if (m_toolTip) {
            TOOLINFOW info{};
            info.cbSize = sizeof(info);
            info.hwnd = m_toolOwner;
            info.uId = entry.second;
            ::SendMessageW(m_toolTip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        }
    }
    m_wndTools.erase(it);
}

void CLumToolTipAdpater::ClearTools() {
    std::vector<CLumWnd*> wnds;
    for (const auto& entry : m_wndTools)
        wnds.push_back(entry.first);
    for (CLumWnd* wnd : wnds)
        RemoveToolEntries(wnd);
}

// --- CLumWndManager: messages ----------------------------------------------------------

BOOL CLumWndManager::ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,
                                          DWORD /*dwMsgMapID*/) {
    if (!m_hWndHost && uMsg != WM_NCDESTROY) {
        m_hWndHost = hWnd;
        ::SetTimer(hWnd, kTimerId, kTimerPeriodMs, nullptr);
    }
    BOOL handled = FALSE;
    lResult = 0;
    switch (uMsg) {
        case WM_NOTIFY: {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            if (!info || info->hdr.code != TTN_GETDISPINFOW || (info->uFlags & TTF_IDISHWND))
                return FALSE;
            if (const Tool* tool = FindTool(static_cast<UINT>(info->hdr.idFrom)))
                tool->wnd->OnGetTipText(tool->subId, info);
            return TRUE;
        }
        case WM_MOUSEMOVE:
            lResult = OnMouseMove(PointFromLParam(lParam), handled);
            return handled;
        case WM_ERASEBKGND:
            lResult = 1;  // WM_PAINT paints everything; erasing first would only flicker
            return TRUE;
        case WM_PAINT:
        case WM_PRINTCLIENT:
            lResult = OnPaint(uMsg, wParam);
            return TRUE;
        case WM_SETCURSOR:
            lResult = OnSetCursor(handled);
            return handled;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
            lResult = OnButton(uMsg, PointFromLParam(lParam), handled);
            return handled;
        case WM_TIMER:
            if (wParam != kTimerId)
                return FALSE;
            OnHoverCheck();
            for (size_t i = 0; i < m_wnds.size(); ++i)
                m_wnds[i]->OnTimerTick();
            lResult = 1;
            return TRUE;
        case WM_CAPTURECHANGED: {
            CLumWnd* captured = m_captureWnd;
            if (!captured)
                return FALSE;
            m_captureWnd = nullptr;
            captured->OnCaptureLost();
            return TRUE;
        }
        case WM_SETREDRAW:
            m_redraw = wParam != 0;
            return FALSE;
        case WM_DESTROY:
            OnDestroy();
            return FALSE;
        default:
            return FALSE;
    }
}

LRESULT CLumWndManager::OnMouseMove(POINT pt, BOOL& handled) {
    if (CLumWnd* captured = m_captureWnd) {
        const bool inside = ::PtInRect(&captured->GetRect(), pt) != FALSE;
        if (inside && !m_hotWnd) {
            m_hotWnd = captured;
            captured->OnMouseEnter(ToLocal(captured, pt));
        } else if (!inside && m_hotWnd == captured) {
            m_hotWnd = nullptr;
            captured->OnMouseLeave();
        }
        // The control may have let go of the capture meanwhile.
        handled = m_captureWnd == captured ? captured->OnMouseMove(ToLocal(captured, pt)) : FALSE;
        return 0;
    }
    CLumWnd* hit = HitTest(pt);
    if (hit != m_hotWnd)
        SetHot(hit, pt);
    if (hit) {
        hit->OnMouseMove(ToLocal(hit, pt));
        handled = FALSE;  // the host sees moves over controls as well
        return 0;
    }
    handled = TRUE;
    return 0;
}

void CLumWndManager::SetHot(CLumWnd* wnd, POINT client_pt) {
    CLumWnd* old = m_hotWnd;
    m_hotWnd = wnd;
    if (old)
        old->OnMouseLeave();
    if (wnd && m_hotWnd == wnd)
        wnd->OnMouseEnter(ToLocal(wnd, client_pt));
}

LRESULT CLumWndManager::OnButton(UINT msg, POINT pt, BOOL& handled) {
    CLumWnd* target = m_captureWnd;
    const bool captured = target != nullptr;
    if (!target)
        target = HitTest(pt);
    if (!target) {
        handled = FALSE;
        return 0;
    }
    const POINT local = ToLocal(target, pt);
    BOOL result = FALSE;
    if (msg == WM_LBUTTONDOWN)
        result = target->OnLButtonDown(local);
    else if (msg == WM_LBUTTONUP)
        result = target->OnLButtonUp(local);
    else
        result = target->OnLButtonDblClk(local);
    if (captured) {
        handled = TRUE;
        return result;
    }
    handled = result;
    return 0;
}

LRESULT CLumWndManager::OnSetCursor(BOOL& handled) {
    POINT pt{};
    ::GetCursorPos(&pt);
    ::ScreenToClient(m_hWndHost, &pt);
    CLumWnd* target = m_captureWnd ? m_captureWnd : HitTest(pt);
    if (!target) {
        handled = FALSE;
        return 0;
    }
    handled = target->OnSetCursor(ToLocal(target, pt));
    return handled;
}

LRESULT CLumWndManager::OnPaint(UINT msg, WPARAM wParam) {
    HDC given = reinterpret_cast<HDC>(wParam);
    if (given) {
        RECT box{};
        ::GetClipBox(given, &box);
        DrawBackground(given, box);
        DrawWnds(given, box);
        return 0;
    }
    if (msg == WM_PRINTCLIENT)
        return 0;
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(m_hWndHost, &paint);
    if (dc) {
        DrawBackground(dc, paint.rcPaint);
        DrawWnds(dc, paint.rcPaint);
    }
    ::EndPaint(m_hWndHost, &paint);
    return 0;
}

void CLumWndManager::OnHoverCheck() {
    if (!m_hotWnd || m_captureWnd)
        return;
    POINT cursor{};
    ::GetCursorPos(&cursor);
    RECT client{};
    ::GetClientRect(m_hWndHost, &client);
    ::MapWindowPoints(m_hWndHost, nullptr, reinterpret_cast<POINT*>(&client), 2);
    if (!::PtInRect(&client, cursor) || ::WindowFromPoint(cursor) != m_hWndHost) {
        CLumWnd* hot = m_hotWnd;
        m_hotWnd = nullptr;
        hot->OnMouseLeave();
    }
}

void CLumWndManager::OnDestroy() {
    if (m_hWndHost)
        ::KillTimer(m_hWndHost, kTimerId);
    if (CLumWnd* hot = m_hotWnd) {
        m_hotWnd = nullptr;
        hot->OnMouseLeave();
    }
    if (CLumWnd* captured = m_captureWnd) {
        m_captureWnd = nullptr;
        captured->OnCaptureLost();
    }
    const std::vector<CLumWnd*> wnds = m_wnds;
    for (CLumWnd* wnd : wnds) {
        wnd->OnDetach();
        wnd->m_flags = 0;
        wnd->m_id = 0;
        wnd->m_rect = RECT{};
        wnd->m_manager = nullptr;
    }
    ClearTools();
    m_redraw = TRUE;
    m_immediate = TRUE;
    m_hWndHost = nullptr;
    m_wnds.clear();
}

// --- CLumWndManager: controls ----------------------------------------------------------

BOOL CLumWndManager::AddWnd(CLumWnd* wnd) {
    if (!wnd || std::find(m_wnds.begin(), m_wnds.end(), wnd) != m_wnds.end())
        return FALSE;
    m_wnds.push_back(wnd);
    return TRUE;
}

BOOL CLumWndManager::RemoveWnd(CLumWnd* wnd) {
    if (wnd && wnd == m_captureWnd)
        ReleaseCapture(wnd);
    if (wnd && wnd == m_hotWnd) {
        m_hotWnd = nullptr;
        wnd->OnMouseLeave();
    }
    auto it = std::find(m_wnds.begin(), m_wnds.end(), wnd);
    if (it == m_wnds.end())
        return FALSE;
    m_wnds.erase(it);
    return TRUE;
}

CLumWnd* CLumWndManager::HitTest(POINT pt) const {
    for (CLumWnd* wnd : m_wnds) {
        if (wnd->IsVisible() && wnd->IsEnabled() && ::PtInRect(&wnd->GetRect(), pt))
            return wnd;
    }
    return nullptr;
}

void CLumWndManager::SetCapture(CLumWnd* wnd) {
    if (!wnd)
        return;
    // The same control asking again keeps its capture: telling it that it lost the
    // capture would read as a release.
    if (m_captureWnd && m_captureWnd != wnd) {
        CLumWnd* previous = m_captureWnd;
        m_captureWnd = nullptr;
        previous->OnCaptureLost();
    }
    m_captureWnd = wnd;
    if (m_hWndHost && ::GetCapture() != m_hWndHost)
        ::SetCapture(m_hWndHost);
}

void CLumWndManager::ReleaseCapture(CLumWnd* wnd) {
    if (!wnd || wnd != m_captureWnd)
        return;
    // Ending the platform capture sends WM_CAPTURECHANGED, which tells the control.
    ::ReleaseCapture();
    // The host may not have held the platform capture (another window took it first); the
    // control still learns that its capture is over.
    if (m_captureWnd == wnd) {
        m_captureWnd = nullptr;
        wnd->OnCaptureLost();
    }
}

LRESULT CLumWndManager::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWndHost, msg, wParam, lParam);
}

LRESULT CLumWndManager::SendCommand(CLumWnd* wnd, WORD code, WORD id) {
    return ::SendMessageW(m_hWndHost, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(wnd));
}

BOOL CLumWndManager::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(m_hWndHost, msg, wParam, lParam);
}

// --- CLumWndManager: geometry ----------------------------------------------------------

void CLumWndManager::InvalidateHostRect(const RECT& rect) {
    if (m_redraw && m_hWndHost)
        ::InvalidateRect(m_hWndHost, &rect, FALSE);
}

void CLumWndManager::ApplyWndRect(CLumWnd* wnd, const RECT& rect) {
    const RECT old = wnd->m_rect;
    if (::EqualRect(&old, &rect))
        return;
    const bool visible = wnd->IsVisible() != FALSE;
    if (visible)
        InvalidateHostRect(old);
    wnd->m_rect = rect;
    if (rect.left != old.left || rect.top != old.top)
        wnd->OnMove(rect.left, rect.top);
    if (rect.right - rect.left != old.right - old.left || rect.bottom - rect.top != old.bottom - old.top)
        wnd->OnSize(rect.right - rect.left, rect.bottom - rect.top);
    if (visible) {
        InvalidateHostRect(wnd->m_rect);
        if (m_immediate && m_redraw && m_hWndHost)
            ::UpdateWindow(m_hWndHost);
    }
}

void CLumWndManager::SetWndRect(CLumWnd* wnd, int x, int y, int cx, int cy) {
    ApplyWndRect(wnd, RECT{x, y, x + cx, y + cy});
}

void CLumWndManager::SetWndSize(CLumWnd* wnd, int cx, int cy) {
    const RECT& r = wnd->GetRect();
    ApplyWndRect(wnd, RECT{r.left, r.top, r.left + cx, r.top + cy});
}

void CLumWndManager::SetWndPos(CLumWnd* wnd, int x, int y) {
    const RECT& r = wnd->GetRect();
    ApplyWndRect(wnd, RECT{x, y, x + (r.right - r.left), y + (r.bottom - r.top)});
}

// --- CLumWndManager: painting ----------------------------------------------------------

void CLumWndManager::InvalidateWnd(CLumWnd* wnd, const RECT* rect, BOOL eraseIfHidden, int part) {
    if (!m_redraw || !m_hWndHost || !wnd)
        return;
    const BOOL visible = wnd->IsVisible();
    const BOOL erase = visible ? (wnd->GetFlags() & LWS_TRANSPARENT) != 0 : eraseIfHidden;
    if (!visible && !erase)
        return;
    RECT area = wnd->GetRect();
    if (rect) {
        RECT shifted = *rect;
        ::OffsetRect(&shifted, wnd->GetRect().left, wnd->GetRect().top);
        if (!::IntersectRect(&area, &shifted, &wnd->GetRect()))
            return;
    }
    if (!m_immediate) {
        ::InvalidateRect(m_hWndHost, &area, FALSE);
        return;
    }
    HDC dc = ::GetDC(m_hWndHost);
    if (!dc)
        return;
    ::IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    DrawWnd(dc, wnd, visible, erase, FALSE, part);
    ::ReleaseDC(m_hWndHost, dc);
}

void CLumWndManager::FreezeUpdate() {
    m_immediate = FALSE;
}

void CLumWndManager::ThawUpdate() {
    m_immediate = TRUE;
    if (m_redraw && m_hWndHost)
        ::UpdateWindow(m_hWndHost);
}

void CLumWndManager::DrawBackground(HDC hdc, const RECT& rect) {
    if (!m_hWndHost)
        return;
    auto brush = reinterpret_cast<HBRUSH>(::GetClassLongPtrW(m_hWndHost, GCLP_HBRBACKGROUND));
    if (brush)
        ::FillRect(hdc, &rect, brush);  // also takes a system colour index + 1
}

void CLumWndManager::DrawWnds(HDC hdc, const RECT& rect) {
    for (size_t i = 0; i < m_wnds.size(); ++i) {
        CLumWnd* wnd = m_wnds[i];
        if (wnd->IsVisible() && Intersects(wnd->GetRect(), rect))
            DrawWnd(hdc, wnd, TRUE, (wnd->GetFlags() & LWS_TRANSPARENT) != 0, TRUE, 0);
    }
}

void CLumWndManager::DrawWnd(HDC hdc, CLumWnd* wnd, BOOL draw, BOOL erase, BOOL exclude, int part) {
    const RECT rect = wnd->GetRect();
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC target = hdc;
    if (erase) {
        HDC buffer = CLumSkin::Get().GetBufferDC();
        if (draw && buffer && width <= CLumSkin::kBufferWidth && height <= CLumSkin::kBufferHeight) {
            // Compose background and control off screen and show them in one blit.
            target = buffer;
            ::SetViewportOrgEx(buffer, -rect.left, -rect.top, nullptr);
        }
        DrawBackground(target, rect);
    }
    if (draw) {
        if (target == hdc) {
            POINT old{};
            ::OffsetViewportOrgEx(hdc, rect.left, rect.top, &old);
            wnd->Draw(hdc, -1, part);
            ::SetViewportOrgEx(hdc, old.x, old.y, nullptr);
        } else {
            ::SetViewportOrgEx(target, 0, 0, nullptr);
            wnd->Draw(target, -1, part);
            ::BitBlt(hdc, rect.left, rect.top, width, height, target, 0, 0, SRCCOPY);
        }
    }
    if (exclude)
        ::ExcludeClipRect(hdc, rect.left, rect.top, rect.right, rect.bottom);
}

UINT CLumWndManager::AddTool(CLumWnd* wnd, UINT subId, const RECT* rect) {
    return AddToolEntry(wnd, subId, rect);
}

void CLumWndManager::RemoveTools(CLumWnd* wnd) {
    RemoveToolEntries(wnd);
}

}  // namespace vexa
