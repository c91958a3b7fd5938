// CLumTextWnd: the skin's label, one line of text assembled from markup (lum_markup.h)
// with fonts, colours, underline and links. A link either sends a command to the host
// ("button:<id>") or opens its target with the shell.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "skin/lum_markup.h"
#include "skin/lum_wnd.h"

namespace vexa {

class CLumTextWnd : public CLumWnd {
public:
    static constexpr COLORREF kHoverLinkColor = 0xFFBC5D;
    static constexpr COLORREF kLinkColor = 0xE59422;
    static constexpr COLORREF kDisabledColor = 0xC7C7C7;

    struct Segment {
        LumMarkupSegment markup;
        RECT rect;  // label-local, from the layout
    };

    // Hands a link target that is not a command to the shell; tests replace it.
    using OpenTargetFn = void (*)(const std::wstring& target);

    void OnCreate() override;
    void Draw(HDC hdc, int rightClip, int part) override;
    BOOL OnSetCursor(POINT pt) override;
    BOOL OnLButtonDown(POINT pt) override;
    BOOL OnLButtonUp(POINT pt) override;
    BOOL OnLButtonDblClk(POINT pt) override;
    BOOL OnMouseMove(POINT pt) override;
    void OnMouseLeave() override;
    void OnCaptureLost() override;

    // Parses and lays out |markup| unless it equals the current text; null counts as empty.
    void SetText(const wchar_t* markup);
    // printf-style formatting, then SetText.
    void SetTextFormat(const wchar_t* format, ...);
    // The font of segments that name none; null: font 1 of the skin's table.
    void SetFont(HFONT font);
    void SetDefaultColor(COLORREF color);
    // Cuts an auto-sized label at |width| pixels (-1: no limit); the cut ends in "...".
    void SetMaxWidth(int width);

    const std::wstring& GetText() const { return m_markup; }
    const std::vector<Segment>& GetSegments() const { return m_segments; }
    int GetHoverLink() const { return m_hoverLink; }
    int GetPressedLink() const { return m_pressedLink; }
    // The colour segment |index| is drawn in now, with the label's state.
    COLORREF GetSegmentColor(int index) const;
    // Whether segment |index| is drawn underlined now.
    bool IsSegmentUnderlined(int index) const;

    static void SetOpenTarget(OpenTargetFn fn);

private:
    void Layout();
    HFONT SegmentFont(const Segment& segment) const;
    int SegmentAt(POINT pt) const;
    bool IsLink(int index) const;
    void InvalidateSegment(int index);
    void Activate(const std::wstring& target);

    std::wstring m_markup;
    std::vector<Segment> m_segments;
    HFONT m_font = nullptr;
    COLORREF m_defaultColor = 0;
    int m_maxWidth = -1;
    int m_hoverLink = -1;
    int m_pressedLink = -1;
};

}  // namespace vexa
