#include "skin/lum_text_wnd.h"

#include <shellapi.h>

#include <cstdarg>
#include <cwchar>

#include "common/handles.h"
#include "skin/lum_skin.h"

namespace vexa {
namespace {

void ShellOpen(const std::wstring& target) {
    ::ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOW);
}

CLumTextWnd::OpenTargetFn g_openTarget = ShellOpen;

}  // namespace

void CLumTextWnd::SetOpenTarget(OpenTargetFn fn) {
    g_openTarget = fn ? fn : ShellOpen;
}

void CLumTextWnd::OnCreate() {
    m_flags |= LWS_TRANSPARENT;
    m_hoverLink = m_pressedLink = -1;
    Layout();
}

void CLumTextWnd::SetText(const wchar_t* markup) {
    const std::wstring text = markup ? markup : L"";
    if (text == m_markup)
        return;
    // Forget the press before letting go of the capture: a new text is not a click.
    const bool pressed = m_pressedLink != -1;
    m_hoverLink = m_pressedLink = -1;
    if (pressed && m_manager)
        m_manager->ReleaseCapture(this);
    m_markup = text;
    m_segments.clear();
    for (LumMarkupSegment& parsed : ParseLumMarkup(m_markup))
        m_segments.push_back(Segment{std::move(parsed), RECT{}});
    Layout();
    Invalidate();
}

void CLumTextWnd::SetTextFormat(const wchar_t* format, ...) {
    if (!format) {
        SetText(nullptr);
        return;
    }
    std::wstring text(256, L'\0');
    for (;;) {
        va_list args;
        va_start(args, format);
        const int written = std::vswprintf(&text[0], text.size(), format, args);
        va_end(args);
        if (written >= 0) {
            text.resize(static_cast<size_t>(written));
            break;
        }
        if (text.size() >= 65536) {  // a format that never fits: show nothing rather than garbage
            text.clear();
            break;
        }
        text.resize(text.size() * 2);
    }
    SetText(text.c_str());
}

void CLumTextWnd::SetFont(HFONT font) {
    m_font = font;
    Layout();
}

void CLumTextWnd::SetDefaultColor(COLORREF color) {
    if (color == m_defaultColor)
        return;
    m_defaultColor = color;
    Invalidate();
}

void CLumTextWnd::SetMaxWidth(int width) {
    m_maxWidth = width < 0 ? -1 : width;
    Layout();
}

HFONT CLumTextWnd::SegmentFont(const Segment& segment) const {
    if (segment.markup.font)
        return CLumSkin::Get().GetFont(segment.markup.font);
    return m_font ? m_font : CLumSkin::Get().GetFont(1);
}

void CLumTextWnd::Layout() {
    HDC dc = CLumSkin::Get().GetMemoryDC();
    std::vector<SIZE> sizes(m_segments.size());
    int line_height = 0;
    for (size_t i = 0; i < m_segments.size(); ++i) {
        const std::wstring& text = m_segments[i].markup.text;
        ScopedSelectObject font(dc, SegmentFont(m_segments[i]));
        if (!::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &sizes[i]))
            sizes[i] = SIZE{0, 0};
        if (sizes[i].cy > line_height)
            line_height = sizes[i].cy;
    }
    // One line; segments of different heights share their bottom edge.
    int x = 0;
    for (size_t i = 0; i < m_segments.size(); ++i) {
        m_segments[i].rect = RECT{x, line_height - sizes[i].cy, x + sizes[i].cx, line_height};
        x += sizes[i].cx;
    }
    if ((m_flags & LWS_AUTOSIZE) && m_manager) {
        const int width = m_maxWidth >= 0 && m_maxWidth < x ? m_maxWidth : x;
        m_manager->SetWndSize(this, width, line_height);
    }
}

bool CLumTextWnd::IsLink(int index) const {
    return index >= 0 && index < static_cast<int>(m_segments.size()) && !m_segments[index].markup.link.empty();
}

COLORREF CLumTextWnd::GetSegmentColor(int index) const {
    if (!IsEnabled())
        return kDisabledColor;
    const LumMarkupSegment& segment = m_segments[index].markup;
    if (index == m_hoverLink)
        return kHoverLinkColor;
    if (segment.color >= 0)
        return static_cast<COLORREF>(segment.color) & 0xFFFFFF;
    return segment.link.empty() ? m_defaultColor : kLinkColor;
}

bool CLumTextWnd::IsSegmentUnderlined(int index) const {
    return index == m_hoverLink && index >= 0 && m_segments[index].markup.underline;
}

void CLumTextWnd::Draw(HDC hdc, int rightClip, int part) {
    if (rightClip == -1)
        rightClip = m_maxWidth;
    const int old_mode = ::SetBkMode(hdc, TRANSPARENT);
    const COLORREF old_color = ::GetTextColor(hdc);
    RECT box{};
    ::GetClipBox(hdc, &box);
    for (int i = 0; i < static_cast<int>(m_segments.size()); ++i) {
        const Segment& segment = m_segments[i];
        RECT overlap{};
        if (part != 0 ? i != part - 1 : !::IntersectRect(&overlap, &segment.rect, &box))
            continue;
        RECT rect = segment.rect;
        if (rightClip != -1) {
            if (rect.left > rightClip)
                continue;
            if (rect.right > rightClip)
                rect.right = rightClip;
        }
        HFONT font = SegmentFont(segment);
        unique_hgdiobj underlined;
        if (IsSegmentUnderlined(i)) {
            LOGFONTW copy{};
            if (font && ::GetObjectW(font, sizeof(copy), &copy)) {
                copy.lfUnderline = TRUE;
                underlined.reset(::CreateFontIndirectW(&copy));
                if (underlined)
                    font = static_cast<HFONT>(underlined.get());
            }
        }
        ::SetTextColor(hdc, GetSegmentColor(i));
        ScopedSelectObject select(hdc, font);
        ::DrawTextW(hdc, segment.markup.text.c_str(), static_cast<int>(segment.markup.text.size()), &rect,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    ::SetTextColor(hdc, old_color);
    ::SetBkMode(hdc, old_mode);
}

int CLumTextWnd::SegmentAt(POINT pt) const {
    for (int i = 0; i < static_cast<int>(m_segments.size()); ++i) {
        if (::PtInRect(&m_segments[i].rect, pt))
            return i;
    }
    return -1;
}

void CLumTextWnd::InvalidateSegment(int index) {
    if (index < 0 || index >= static_cast<int>(m_segments.size()))
        return;
    // Only the segment's own area: the rest of the label stays as it is on screen.
    Invalidate(&m_segments[index].rect, index + 1);
}

BOOL CLumTextWnd::OnMouseMove(POINT pt) {
    const int index = SegmentAt(pt);
    if (index == -1)
        return FALSE;
    const int hover = IsLink(index) ? index : -1;
    if (hover != m_hoverLink) {
        const int previous = m_hoverLink;
        m_hoverLink = hover;
        InvalidateSegment(hover);
        InvalidateSegment(previous);
    }
    return FALSE;
}

void CLumTextWnd::OnMouseLeave() {
    const int previous = m_hoverLink;
    m_hoverLink = -1;
    InvalidateSegment(previous);
}

BOOL CLumTextWnd::OnSetCursor(POINT pt) {
    return IsLink(SegmentAt(pt)) ? TRUE : FALSE;
}

BOOL CLumTextWnd::OnLButtonDown(POINT pt) {
    const int index = SegmentAt(pt);
    if (index == -1)
        return m_pressedLink != -1;
    const int previous = m_pressedLink;
    if (IsLink(index)) {
        if (index != m_pressedLink) {
            m_pressedLink = index;
            InvalidateSegment(index);
            if (m_manager)
                m_manager->SetCapture(this);
        }
    } else {
        m_pressedLink = -1;
    }
    if (previous != m_pressedLink)
        InvalidateSegment(previous);
    return m_pressedLink != -1;
}

BOOL CLumTextWnd::OnLButtonDblClk(POINT pt) {
    return CLumTextWnd::OnLButtonDown(pt);
}

BOOL CLumTextWnd::OnLButtonUp(POINT /*pt*/) {
    if (m_pressedLink == -1)
        return FALSE;
    if (m_manager)
        m_manager->ReleaseCapture(this);
    return TRUE;
}

void CLumTextWnd::OnCaptureLost() {
    if (m_pressedLink == -1)
        return;
    const int pressed = m_pressedLink;
    m_pressedLink = -1;
    InvalidateSegment(pressed);
    // The link under the pointer at release, which need not be the one pressed.
    if (IsLink(m_hoverLink))
        Activate(m_segments[m_hoverLink].markup.link);
}

void CLumTextWnd::Activate(const std::wstring& target) {
    unsigned short id = 0;
    if (ParseLumCommandId(target, id)) {
        if (m_manager)
            m_manager->SendCommand(this, 0, id);
        return;
    }
    g_openTarget(target);
}

}  // namespace vexa
