#include "skin/lum_bitmap.h"

#include <objbase.h>
#include <gdiplus.h>

#include <cstring>

#include "common/handles.h"
#include "skin/lum_skin.h"

namespace vexa {
namespace {

namespace gp = Gdiplus::DllExports;

// A decoded GDI+ image as a 32-bit bitmap over |background| (ARGB); null on failure.
HBITMAP ToHBitmap(Gdiplus::GpBitmap* image, Gdiplus::ARGB background) {
    HBITMAP bitmap = nullptr;
    if (gp::GdipCreateHBITMAPFromBitmap(image, &bitmap, background) != Gdiplus::Ok)
        bitmap = nullptr;
    gp::GdipDisposeImage(image);
    return bitmap;
}

HBITMAP LoadPngResource(HMODULE module, LPCWSTR id) {
    HRSRC resource = ::FindResourceW(module, id, L"PNG");
    if (!resource)
        return nullptr;
    const DWORD size = ::SizeofResource(module, resource);
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes || size == 0)
        return nullptr;
    // The decoder reads from a stream; the stream reads from a copy in global memory.
    unique_hglobal block(::GlobalAlloc(GMEM_FIXED, size));
    if (!block)
        return nullptr;
    std::memcpy(block.get(), bytes, size);
    IStream* stream = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(block.get(), FALSE, &stream)))
        return nullptr;
    Gdiplus::GpBitmap* image = nullptr;
    HBITMAP bitmap = nullptr;
    if (gp::GdipCreateBitmapFromStream(stream, &image) == Gdiplus::Ok)
        bitmap = ToHBitmap(image, 0x00000000);  // fully transparent ground: premultiplied pixels
    stream->Release();
    return bitmap;
}

HBITMAP LoadImageFile(const wchar_t* path) {
    Gdiplus::GpBitmap* image = nullptr;
    if (gp::GdipCreateBitmapFromFile(path, &image) != Gdiplus::Ok)
        return nullptr;
    return ToHBitmap(image, 0x00FFFFFF);
}

HBITMAP LoadBmp(LPCWSTR source, bool from_file) {
    const UINT flags = LR_CREATEDIBSECTION | (from_file ? LR_LOADFROMFILE : 0);
    HMODULE module = from_file ? nullptr : ::GetModuleHandleW(nullptr);
    auto bitmap = static_cast<HBITMAP>(::LoadImageW(module, source, IMAGE_BITMAP, 0, 0, flags));
    if (!bitmap)
        return nullptr;
    DIBSECTION dib{};
    if (::GetObjectW(bitmap, sizeof(dib), &dib) == sizeof(dib) && dib.dsBm.bmBitsPixel == 32 && dib.dsBm.bmBits) {
        ::GdiFlush();
        PremultiplyPixels(dib.dsBm.bmBits, dib.dsBm.bmWidth, dib.dsBm.bmHeight);
    }
    return bitmap;
}

}  // namespace

void PremultiplyPixels(void* bits, int width, int height) {
    auto* pixel = static_cast<BYTE*>(bits);
    const long long count = static_cast<long long>(width) * (height < 0 ? -height : height);
    for (long long i = 0; i < count; ++i, pixel += 4) {
        const unsigned alpha = pixel[3];
        pixel[0] = static_cast<BYTE>(pixel[0] * alpha / 255);
        pixel[1] = static_cast<BYTE>(pixel[1] * alpha / 255);
        pixel[2] = static_cast<BYTE>(pixel[2] * alpha / 255);
    }
}

CLumBitmap::CLumBitmap(UINT resource_id, WORD cell_count, BYTE kind, bool vertical)
    : m_source(MAKEINTRESOURCEW(resource_id)),
      m_cellCount(cell_count),
      m_constructedCellCount(cell_count),
      m_kind(kind),
      m_vertical(vertical) {}

CLumBitmap::CLumBitmap(const wchar_t* path, WORD cell_count, BYTE kind, bool vertical)
    : m_source(nullptr),
      m_cellCount(cell_count),
      m_constructedCellCount(cell_count),
      m_kind(kind),
      m_vertical(vertical) {
    if (path && IS_INTRESOURCE(path)) {
        m_source = path;
    } else {
        m_path = path ? path : L"";
        m_source = m_path.c_str();
    }
}

CLumBitmap::~CLumBitmap() {
    Unload();
}

void CLumBitmap::Unload() {
    if (!m_image)
        return;
    if (m_kind == kIcon)
        ::DestroyIcon(static_cast<HICON>(m_image));
    else
        ::DeleteObject(m_image);
    m_image = nullptr;
}

HBITMAP CLumBitmap::Load() {
    const bool resource = IS_INTRESOURCE(m_source);
    if (m_kind == kBmp)
        return LoadBmp(m_source, !resource);
    if (!resource)
        return m_path.empty() ? nullptr : LoadImageFile(m_source);
    if (m_kind == kPng)
        return LoadPngResource(::GetModuleHandleW(nullptr), m_source);
    return nullptr;
}

bool CLumBitmap::EnsureLoaded() {
    if (m_loaded)
        return true;
    if (m_kind == kIcon)
        return false;  // nothing to load: the owner hands the icon over with SetIcon
    // A previous failure zeroed the cell count; the division below needs the real one.
    m_cellCount = m_constructedCellCount;
    HBITMAP bitmap = Load();
    BITMAP info{};
    if (!bitmap || m_cellCount == 0 || !::GetObjectW(bitmap, sizeof(info), &info)) {
        if (bitmap)
            ::DeleteObject(bitmap);
        m_cellCount = 0;
        m_cellWidth = m_cellHeight = 0;
        m_hasAlpha = false;
        return false;
    }
    m_image = bitmap;
    m_hasAlpha = info.bmBitsPixel == 32;
    if (m_vertical) {
        m_cellWidth = info.bmWidth;
        m_cellHeight = info.bmHeight / m_cellCount;
    } else {
        m_cellWidth = info.bmWidth / m_cellCount;
        m_cellHeight = info.bmHeight;
    }
    m_loaded = true;
    return true;
}

void CLumBitmap::SetIcon(HICON icon) {
    if (m_kind != kIcon)
        return;
    Unload();
    m_image = icon;
    m_loaded = false;
    m_cellWidth = m_cellHeight = 0;
    ICONINFO info{};
    if (icon && ::GetIconInfo(icon, &info)) {
        BITMAP bm{};
        HBITMAP shape = info.hbmColor ? info.hbmColor : info.hbmMask;
        if (::GetObjectW(shape, sizeof(bm), &bm)) {
            m_cellWidth = bm.bmWidth;
            // A monochrome icon stacks its AND and XOR masks in one bitmap.
            m_cellHeight = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
            m_loaded = true;
        }
        if (info.hbmColor)
            ::DeleteObject(info.hbmColor);
        if (info.hbmMask)
            ::DeleteObject(info.hbmMask);
    }
    m_cellCount = m_loaded ? 1 : 0;
    m_constructedCellCount = 1;
    m_hasAlpha = false;
}

HBITMAP CLumBitmap::GetBitmap() {
    EnsureLoaded();
    return m_kind == kIcon ? nullptr : static_cast<HBITMAP>(m_image);
}

int CLumBitmap::GetCellWidth() {
    EnsureLoaded();
    return m_cellWidth;
}

int CLumBitmap::GetCellHeight() {
    EnsureLoaded();
    return m_cellHeight;
}

bool CLumBitmap::HasAlpha() {
    EnsureLoaded();
    return m_hasAlpha;
}

WORD CLumBitmap::GetCellCount() {
    EnsureLoaded();
    return m_cellCount;
}

void CLumBitmap::CopyPiece(HDC hdc, int x, int y, const LumSlicePiece& piece, int cell) {
    const int sx = CellSourceX(cell) + piece.sx;
    const int sy = CellSourceY(cell) + piece.sy;
    HDC source = CLumSkin::Get().GetMemoryDC();
    ScopedSelectObject select(source, m_image);
    if (m_hasAlpha) {
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ::AlphaBlend(hdc, x + piece.dx, y + piece.dy, piece.dw, piece.dh, source, sx, sy, piece.sw, piece.sh, blend);
    } else if (piece.OneToOne()) {
        ::BitBlt(hdc, x + piece.dx, y + piece.dy, piece.dw, piece.dh, source, sx, sy, SRCCOPY);
    } else {
        ::SetStretchBltMode(hdc, HALFTONE);
        ::StretchBlt(hdc, x + piece.dx, y + piece.dy, piece.dw, piece.dh, source, sx, sy, piece.sw, piece.sh,
                     SRCCOPY);
    }
}

void CLumBitmap::Draw(HDC hdc, int x, int y, int cell) {
    if (m_kind == kIcon) {
        if (m_loaded)
            ::DrawIconEx(hdc, x, y, static_cast<HICON>(m_image), m_cellWidth, m_cellHeight, 0, nullptr, DI_NORMAL);
        return;
    }
    if (!ReadyToBlit(cell))
        return;
    CopyPiece(hdc, x, y, LumSlicePiece{0, 0, m_cellWidth, m_cellHeight, 0, 0, m_cellWidth, m_cellHeight}, cell);
}

void CLumBitmap::DrawStretched(HDC hdc, int x, int y, int cx, int cy, int cell) {
    if (!ReadyToBlit(cell) || cx <= 0 || cy <= 0)
        return;
    CopyPiece(hdc, x, y, LumSlicePiece{0, 0, cx, cy, 0, 0, m_cellWidth, m_cellHeight}, cell);
}

void CLumBitmap::DrawStretchedWidth(HDC hdc, int x, int y, int cx, int cell) {
    // Deliberately the plain stretch, not the virtual DrawStretched.
    if (!ReadyToBlit(cell) || cx <= 0)
        return;
    CopyPiece(hdc, x, y, LumSlicePiece{0, 0, cx, m_cellHeight, 0, 0, m_cellWidth, m_cellHeight}, cell);
}

CLumBitmap9Part::CLumBitmap9Part(UINT resource_id, int left, int right_start, int top, int bottom_start,
                                 WORD cell_count, BYTE kind)
    : CLumBitmap(resource_id, cell_count, kind, false),
      m_left(left),
      m_rightStart(right_start),
      m_top(top),
      m_bottomStart(bottom_start) {}

void CLumBitmap9Part::DrawStretched(HDC hdc, int x, int y, int cx, int cy, int cell) {
    if (!ReadyToBlit(cell))
        return;
    ::SetStretchBltMode(hdc, HALFTONE);
    for (const LumSlicePiece& piece :
         SliceCell(GetCellWidth(), GetCellHeight(), m_left, m_rightStart, m_top, m_bottomStart, cx, cy)) {
        CopyPiece(hdc, x, y, piece, cell);
    }
}

CLumBitmapHorizen3Part::CLumBitmapHorizen3Part(UINT resource_id, int left, int right_start, WORD cell_count,
                                               BYTE kind)
    : CLumBitmap(resource_id, cell_count, kind, false), m_left(left), m_rightStart(right_start) {}

void CLumBitmapHorizen3Part::DrawStretchedWidth(HDC hdc, int x, int y, int cx, int cell) {
    if (!ReadyToBlit(cell))
        return;
    const int height = GetCellHeight();
    for (const LumSlicePiece& piece : SliceCell(GetCellWidth(), height, m_left, m_rightStart, 0, height, cx, height))
        CopyPiece(hdc, x, y, piece, cell);
}

}  // namespace vexa
