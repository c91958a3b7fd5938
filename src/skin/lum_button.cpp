#include "skin/lum_button.h"

#include "common/handles.h"
#include "skin/lum_skin.h"

namespace vexa {

int LumButtonState(bool enabled, bool hover, bool pressed) {
    if (!enabled)
        return 3;
    if (hover && pressed)
        return 2;
    return hover ? 1 : 0;
}

// --- CLumButtonBase --------------------------------------------------------------------

BOOL CLumButtonBase::OnLButtonDown(POINT /*pt*/) {
    if (!m_pressed) {
        m_pressed = true;
        Invalidate();
        if (m_manager)
            m_manager->SetCapture(this);
    }
    return TRUE;
}

BOOL CLumButtonBase::OnLButtonDblClk(POINT pt) {
    return CLumButtonBase::OnLButtonDown(pt);
}

BOOL CLumButtonBase::OnLButtonUp(POINT /*pt*/) {
    if (m_pressed && m_manager)
        m_manager->ReleaseCapture(this);
    return TRUE;
}

void CLumButtonBase::OnCaptureLost() {
    if (!m_pressed)
        return;
    m_pressed = false;
    Invalidate();
    // Released over the button: that is the click.
    if (m_hover && m_manager)
        m_manager->SendCommand(this, 0, static_cast<WORD>(m_id));
}

void CLumButtonBase::OnMouseEnter(POINT /*pt*/) {
    if (!m_hover) {
        m_hover = true;
        Invalidate();
    }
}

void CLumButtonBase::OnMouseLeave() {
    if (m_hover) {
        m_hover = false;
        Invalidate();
    }
}

// --- CLumButton3 -----------------------------------------------------------------------

void CLumButton3::OnCreate() {
    m_flags |= LWS_TRANSPARENT;
    m_hover = m_pressed = false;
    if (m_bk && m_bk->GetCellWidth() != 0 && (m_flags & LWS_AUTOSIZE))
        CLumWnd::SetWndSize(m_bk->GetCellWidth(), m_bk->GetCellHeight());
}

void CLumButton3::SetBkImage(CLumBitmap* image) {
    m_bk = image;
    if (m_bk && (m_flags & LWS_AUTOSIZE))
        CLumWnd::SetWndSize(m_bk->GetCellWidth(), m_bk->GetCellHeight());
    Invalidate();
}

void CLumButton3::SetIcon(CLumBitmap* icon, int state) {
    m_icon = icon;
    m_iconState = state;
}

void CLumButton3::Draw(HDC hdc, int /*rightClip*/, int /*part*/) {
    // Without a background the button shows only its icon (or nothing).
    if (m_bk)
        m_bk->Draw(hdc, 0, 0, GetStateIndex());
    if (m_icon) {
        m_icon->Draw(hdc, (GetWidth() - m_icon->GetCellWidth()) / 2, (GetHeight() - m_icon->GetCellHeight()) / 2,
                     m_iconState);
    }
}

// --- CLumButton4 -----------------------------------------------------------------------

void CLumButton4::OnCreate() {
    m_flags |= LWS_TRANSPARENT;
    m_hover = m_pressed = false;
}

void CLumButton4::SetText(const wchar_t* text) {
    m_text = text ? text : L"";
    Layout();
}

void CLumButton4::SetBkImage(CLumBitmap* image) {
    m_bk = image;
    Layout();
}

void CLumButton4::SetIcon(CLumBitmap* icon, int state) {
    m_icon = icon;
    m_iconState = state;
    Layout();
}

void CLumButton4::Layout() {
    m_contentX = 0;
    int content = 0;
    if (m_icon)
        content += m_icon->GetCellWidth();
    if (!m_text.empty()) {
        // Measured in font 1 whatever the bold setting, as the layout always was.
        HDC dc = CLumSkin::Get().GetMemoryDC();
        ScopedSelectObject font(dc, CLumSkin::Get().GetFont(1));
        SIZE size{};
        if (::GetTextExtentPoint32W(dc, m_text.c_str(), static_cast<int>(m_text.size()), &size))
            content += size.cx;
    }
    if (m_icon && !m_text.empty())
        content += 5;
    if (m_flags & LWS_AUTOSIZE) {
        if (m_bk) {
            int width = content + 20;
            if (width < m_bk->GetCellWidth())
                width = m_bk->GetCellWidth();
            CLumWnd::SetWndSize(width, m_bk->GetCellHeight());
            m_contentX = (width - content) / 2;
        }
    } else {
        m_contentX = (GetWidth() - content) / 2;
    }
    Invalidate();
}

void CLumButton4::Draw(HDC hdc, int /*rightClip*/, int /*part*/) {
    const int state = GetStateIndex();
    if (m_bk)
        m_bk->DrawStretchedWidth(hdc, 0, 0, GetWidth(), state);
    int x = m_contentX;
    if (m_icon) {
        m_icon->Draw(hdc, x, (GetHeight() - m_icon->GetCellHeight()) / 2, m_iconState);
        x += m_icon->GetCellWidth() + 5;
    }
    if (m_text.empty() || !m_bk)
        return;
    const int old_mode = ::SetBkMode(hdc, TRANSPARENT);
    const COLORREF old_color = ::SetTextColor(hdc, IsEnabled() ? m_textColor : kDisabledTextColor);
    HGDIOBJ old_font = ::SelectObject(hdc, CLumSkin::Get().GetFont(m_bold ? 6 : 1));
    RECT box{};
    UINT format = DT_SINGLELINE | DT_VCENTER;
    if (m_icon) {
        box = RECT{x, 0, x + 1000, m_bk->GetCellHeight()};
    } else {
        box = RECT{0, 0, GetWidth(), m_bk->GetCellHeight()};
        format |= DT_CENTER;
    }
    ::DrawTextW(hdc, m_text.c_str(), static_cast<int>(m_text.size()), &box, format);
    if (old_font && old_font != HGDI_ERROR)
        ::SelectObject(hdc, old_font);
    ::SetTextColor(hdc, old_color);
    ::SetBkMode(hdc, old_mode);
}

BOOL CLumButton4::OnSetCursor(POINT /*pt*/) {
    if (!m_linkStyle)
        return FALSE;
    ::SetCursor(::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
    return TRUE;
}

// --- CLumImageWnd ----------------------------------------------------------------------

void CLumImageWnd::SetImage(CLumBitmap* image, int state) {
    m_image = image;
    m_state = state;
    Layout();
    Invalidate();
}

void CLumImageWnd::Layout() {
    if (!m_image)
        return;
    if (m_flags & LWS_AUTOSIZE)
        CLumWnd::SetWndSize(m_image->GetCellWidth(), m_image->GetCellHeight());
    if (m_image->HasAlpha())
        m_flags |= LWS_TRANSPARENT;
    else
        m_flags &= ~LWS_TRANSPARENT;
}

void CLumImageWnd::Draw(HDC hdc, int /*rightClip*/, int /*part*/) {
    if (m_image)
        m_image->Draw(hdc, 0, 0, m_state);
}

}  // namespace vexa
