// The host side of the windowless controls.
//
//   CLumToolTipAdpater  bookkeeping of tooltip areas (tool ids from 1) and, when a
//                       tooltip window is attached, their registration with it
//   CLumWndManager      keeps a host's controls in z-order, routes the host's mouse
//                       messages to them, tracks capture and hover, paints them over the
//                       host background and turns clicks into WM_COMMAND
//
// A host derives from its window implementation and CLumWndManager, and its message map
// chains to the manager first: CHAIN_MSG_MAP(CLumWndManager). It overrides DrawBackground.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <vector>

#include "skin/lum_wnd.h"

namespace vexa {

class CLumToolTipAdpater {
public:
    struct Tool {
        CLumWnd* wnd;
        UINT subId;
        bool hasRect;
        RECT rect;  // as given at registration, control-local
    };

    // Registers the tools recorded so far, and those to come, with |tooltip|, as tools of
    // |owner|. Null detaches.
    void AttachToolTip(HWND tooltip, HWND owner);
    HWND GetToolTip() const { return m_toolTip; }
    const Tool* FindTool(UINT toolId) const;
    size_t GetToolCount() const { return m_tools.size(); }

protected:
    ~CLumToolTipAdpater() = default;
    // The new tool's id, or 0 when (wnd, subId) is registered already.
    UINT AddToolEntry(CLumWnd* wnd, UINT subId, const RECT* rect);
    void RemoveToolEntries(CLumWnd* wnd);
    void ClearTools();

private:
    void RegisterTool(UINT toolId, const Tool& tool);

    std::map<UINT, Tool> m_tools;
    std::map<CLumWnd*, std::map<UINT, UINT>> m_wndTools;  // control -> sub id -> tool id
    HWND m_toolTip = nullptr;
    HWND m_toolOwner = nullptr;
};

class CLumWndManager : public ILumWndManager, public CLumToolTipAdpater {
public:
    static constexpr UINT_PTR kTimerId = 54321;
    static constexpr UINT kTimerPeriodMs = 100;

    CLumWndManager() = default;
    CLumWndManager(const CLumWndManager&) = delete;
    CLumWndManager& operator=(const CLumWndManager&) = delete;

    // The host's message map calls this first; TRUE ends the host's handling with lResult.
    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,
                              DWORD dwMsgMapID = 0);

    BOOL AddWnd(CLumWnd* wnd) override;
    BOOL RemoveWnd(CLumWnd* wnd) override;
    void SetCapture(CLumWnd* wnd) override;
    void ReleaseCapture(CLumWnd* wnd) override;
    LRESULT SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT SendCommand(CLumWnd* wnd, WORD code, WORD id) override;
    BOOL PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void SetWndRect(CLumWnd* wnd, int x, int y, int cx, int cy) override;
    void SetWndSize(CLumWnd* wnd, int cx, int cy) override;
    void SetWndPos(CLumWnd* wnd, int x, int y) override;
    void InvalidateWnd(CLumWnd* wnd, const RECT* rect, BOOL eraseIfHidden, int part) override;
    UINT AddTool(CLumWnd* wnd, UINT subId, const RECT* rect) override;
    void RemoveTools(CLumWnd* wnd) override;
    void FreezeUpdate() override;
    void ThawUpdate() override;
    // Without an override: the host window class's background brush, if it has one.
    void DrawBackground(HDC hdc, const RECT& rect) override;
    void DrawWnds(HDC hdc, const RECT& rect) override;

    // Paints one control: with |erase| the host background under it first (composed in the
    // skin's offscreen buffer when |draw| is set and the control fits), with |exclude| its
    // rectangle is then taken out of hdc's clip region.
    void DrawWnd(HDC hdc, CLumWnd* wnd, BOOL draw, BOOL erase, BOOL exclude, int part);

    // The first visible, enabled control, in z-order, whose rectangle holds |pt| (client).
    CLumWnd* HitTest(POINT pt) const;

    HWND GetHostWindow() const { return m_hWndHost; }
    CLumWnd* GetCaptureWnd() const { return m_captureWnd; }
    CLumWnd* GetHotWnd() const { return m_hotWnd; }
    const std::vector<CLumWnd*>& GetWnds() const { return m_wnds; }
    BOOL IsRedrawEnabled() const { return m_redraw; }
    BOOL IsImmediatePainting() const { return m_immediate; }

protected:
    ~CLumWndManager() = default;

private:
    LRESULT OnMouseMove(POINT pt, BOOL& handled);
    LRESULT OnButton(UINT msg, POINT pt, BOOL& handled);
    LRESULT OnSetCursor(BOOL& handled);
    LRESULT OnPaint(UINT msg, WPARAM wParam);
    void OnHoverCheck();
    void OnDestroy();
    void SetHot(CLumWnd* wnd, POINT client_pt);
    // Repaints an area of the host after a control moved or resized.
    void InvalidateHostRect(const RECT& rect);
    void ApplyWndRect(CLumWnd* wnd, const RECT& rect);

    BOOL m_redraw = TRUE;
    BOOL m_immediate = TRUE;
    HWND m_hWndHost = nullptr;
    std::vector<CLumWnd*> m_wnds;  // z-order: the first is topmost
    CLumWnd* m_captureWnd = nullptr;
    CLumWnd* m_hotWnd = nullptr;
};

}  // namespace vexa
