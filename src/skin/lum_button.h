// Buttons and pictures of the skin.
//
//   CLumButton3          an image button: one cell of a four-state background, an
//                        optional icon centred on it
//   CLumWndTipImpl<T>    adds a tooltip text to a control
//   CLumButton4          a text button on a background stretched to its width, with an
//                        optional icon; can look and act like a link
//   CLumImageWnd         a picture; clicks go through to the host
//
// Button images hold four cells: normal, hover, pressed, disabled. A click is a press and
// a release over the same button; it reaches the host as WM_COMMAND with the button's id.
#pragma once

#include <windows.h>

#include <string>

#include "skin/lum_bitmap.h"
#include "skin/lum_wnd.h"

namespace vexa {

// The cell a button shows: 3 disabled, 2 pressed under the pointer, 1 under the pointer,
// 0 otherwise (a pressed button the pointer has left shows 0).
int LumButtonState(bool enabled, bool hover, bool pressed);

// Press, capture and hover handling that both buttons share.
class CLumButtonBase : public CLumWnd {
public:
    void OnCaptureLost() override;
    BOOL OnLButtonDown(POINT pt) override;
    BOOL OnLButtonUp(POINT pt) override;
    BOOL OnLButtonDblClk(POINT pt) override;
    void OnMouseEnter(POINT pt) override;
    void OnMouseLeave() override;

    bool IsHover() const { return m_hover; }
    bool IsPressed() const { return m_pressed; }

protected:
    bool m_hover = false;
    bool m_pressed = false;
};

class CLumButton3 : public CLumButtonBase {
public:
    void OnCreate() override;
    void Draw(HDC hdc, int rightClip, int part) override;

    // With LWS_AUTOSIZE the button takes the image's cell size.
    void SetBkImage(CLumBitmap* image);
    void SetIcon(CLumBitmap* icon, int state);
    int GetStateIndex() const { return LumButtonState(IsEnabled() != FALSE, m_hover, m_pressed); }

protected:
    CLumBitmap* m_icon = nullptr;
    int m_iconState = 0;
    CLumBitmap* m_bk = nullptr;
};

template <class TBase>
class CLumWndTipImpl : public TBase {
public:
    void SetTipText(const wchar_t* text) { m_tipText = text ? text : L""; }
    const std::wstring& GetTipText() const { return m_tipText; }

    void OnMouseEnter(POINT pt) override {
        if (!m_tipText.empty() && this->m_manager)
            this->m_manager->AddTool(this, 0, nullptr);
        TBase::OnMouseEnter(pt);
    }
    void OnMouseLeave() override {
        if (this->m_manager)
            this->m_manager->RemoveTools(this);
        TBase::OnMouseLeave();
    }
    void OnGetTipText(UINT /*subId*/, NMTTDISPINFOW* info) override {
        if (info)
            info->lpszText = const_cast<wchar_t*>(m_tipText.c_str());
    }

protected:
    std::wstring m_tipText;
};

class CLumButton4 : public CLumButtonBase {
public:
    static constexpr COLORREF kDisabledTextColor = 0x808080;

    void OnCreate() override;
    void Draw(HDC hdc, int rightClip, int part) override;
    BOOL OnSetCursor(POINT pt) override;

    void SetText(const wchar_t* text);
    void SetBkImage(CLumBitmap* image);
    void SetIcon(CLumBitmap* icon, int state);
    void SetTextColor(COLORREF color) { m_textColor = color; }
    void SetBold(BOOL bold) { m_bold = bold; }
    // A link always shows cell 0 and the hand cursor.
    void SetLinkStyle(bool link) { m_linkStyle = link; }

    const std::wstring& GetText() const { return m_text; }
    int GetContentX() const { return m_contentX; }
    int GetStateIndex() const {
        return m_linkStyle ? 0 : LumButtonState(IsEnabled() != FALSE, m_hover, m_pressed);
    }

private:
    // Centres icon and text; with LWS_AUTOSIZE and a background the button grows to its
    // content plus 20 pixels, never narrower than one background cell.
    void Layout();

    std::wstring m_text;
    COLORREF m_textColor = 0;
    BOOL m_bold = FALSE;
    CLumBitmap* m_icon = nullptr;
    int m_iconState = 0;
    CLumBitmap* m_bk = nullptr;
    int m_contentX = 0;
    bool m_linkStyle = false;
};

class CLumImageWnd : public CLumWnd {
public:
    void OnCreate() override { Layout(); }
    void Draw(HDC hdc, int rightClip, int part) override;

    // With LWS_AUTOSIZE the picture takes the image's cell size; it is transparent exactly
    // when the image has alpha.
    void SetImage(CLumBitmap* image, int state);
    CLumBitmap* GetImage() const { return m_image; }

private:
    void Layout();

    CLumBitmap* m_image = nullptr;
    int m_state = 0;
};

}  // namespace vexa
