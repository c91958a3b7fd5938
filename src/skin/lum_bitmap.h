// Skin images: loaded on first use, cut into equal cells (the states of a button, the
// frames of a strip) and drawn one cell at a time with per-pixel alpha.
//
//   CLumBitmap              one image of one or more cells; PNG from resources or files,
//                           BMP, or an icon that the owner supplies
//   CLumBitmap9Part         stretches a cell with fixed corners (nine slices)
//   CLumBitmapHorizen3Part  stretches a cell's width with fixed caps (three slices)
#pragma once

#include <windows.h>

#include <string>

#include "skin/lum_slice.h"

namespace vexa {

class CLumBitmap {
public:
    enum Kind : BYTE { kIcon = 0, kBmp = 1, kPng = 2 };

    // A resource of the application's module: type "PNG" for kPng, a bitmap for kBmp.
    CLumBitmap(UINT resource_id, WORD cell_count, BYTE kind, bool vertical = false);
    // A file: kBmp through the bitmap loader, any other kind through the image decoder.
    CLumBitmap(const wchar_t* path, WORD cell_count, BYTE kind, bool vertical = false);
    virtual ~CLumBitmap();
    CLumBitmap(const CLumBitmap&) = delete;
    CLumBitmap& operator=(const CLumBitmap&) = delete;

    // Slot 0: one cell stretched to (x, y, cx, cy).
    virtual void DrawStretched(HDC hdc, int x, int y, int cx, int cy, int cell);
    // Slot 1: one cell stretched to width cx at its own height.
    virtual void DrawStretchedWidth(HDC hdc, int x, int y, int cx, int cell);

    // One cell, unscaled, at (x, y).
    void Draw(HDC hdc, int x, int y, int cell);
    int GetCellWidth();
    int GetCellHeight();
    bool HasAlpha();
    WORD GetCellCount();

    // The icon kind draws an icon that its owner supplies; the bitmap owns it from then on.
    void SetIcon(HICON icon);
    // The decoded image (null before the first use, after a failed load and for icons).
    HBITMAP GetBitmap();

protected:
    // Loads the image unless it is loaded already. A failed load leaves a 0 x 0 cell and is
    // tried again on the next use, so an image that becomes available later (the decoder
    // started late, a file written later) still shows.
    bool EnsureLoaded();
    // Copies one piece of cell |cell|: one-to-one when the sizes match, stretched
    // otherwise; with alpha always through alpha blending.
    void CopyPiece(HDC hdc, int x, int y, const LumSlicePiece& piece, int cell);
    int CellSourceX(int cell) const { return m_vertical ? 0 : cell * m_cellWidth; }
    int CellSourceY(int cell) const { return m_vertical ? cell * m_cellHeight : 0; }
    // A loaded bitmap (not an icon) that has cell |cell|.
    bool ReadyToBlit(int cell) { return m_kind != kIcon && EnsureLoaded() && cell >= 0 && cell < m_cellCount; }

private:
    HBITMAP Load();
    void Unload();

    LPCWSTR m_source;          // a resource id (IS_INTRESOURCE) or m_path
    std::wstring m_path;
    HGDIOBJ m_image = nullptr;  // HBITMAP, or HICON for the icon kind
    int m_cellWidth = 0;
    int m_cellHeight = 0;
    WORD m_cellCount;
    WORD m_constructedCellCount;
    bool m_hasAlpha = false;
    BYTE m_kind;
    bool m_vertical;
    bool m_loaded = false;
};

class CLumBitmap9Part : public CLumBitmap {
public:
    CLumBitmap9Part(UINT resource_id, int left, int right_start, int top, int bottom_start, WORD cell_count,
                    BYTE kind);
    void DrawStretched(HDC hdc, int x, int y, int cx, int cy, int cell) override;

private:
    int m_left;
    int m_rightStart;
    int m_top;
    int m_bottomStart;
};

class CLumBitmapHorizen3Part : public CLumBitmap {
public:
    CLumBitmapHorizen3Part(UINT resource_id, int left, int right_start, WORD cell_count, BYTE kind);
    void DrawStretchedWidth(HDC hdc, int x, int y, int cx, int cell) override;

private:
    int m_left;
    int m_rightStart;
};

// Multiplies blue, green and red of every pixel of a 32-bit top-down or bottom-up pixel
// block by its alpha / 255 (rounding toward zero), as alpha blending expects.
void PremultiplyPixels(void* bits, int width, int height);

}  // namespace vexa
