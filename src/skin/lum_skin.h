// The skin's shared drawing resources: the images every window draws, the font table that
// controls and markup number from 1 to 10, one memory DC that is the source of every blit
// and measures text, and the offscreen buffer in which transparent controls are composed.
//
//   CLumSkin           the resources; one per process (Get), built at start-up
//   CGdiplusSession    starts the image decoder for the process and shuts it down
#pragma once

#include <windows.h>

#include <string>

#include "skin/lum_bitmap.h"

namespace vexa {

class CLumSkin {
public:
    static constexpr int kFontCount = 10;
    static constexpr int kBufferWidth = 1024;
    static constexpr int kBufferHeight = 128;

    // The process's skin, created on first use and kept until the process ends.
    static CLumSkin& Get();

    CLumSkin();
    ~CLumSkin();
    CLumSkin(const CLumSkin&) = delete;
    CLumSkin& operator=(const CLumSkin&) = delete;

    // Font n of the table (1 to 10); null for any other n or a font that could not be made.
    HFONT GetFont(int n) const;
    // Makes all ten fonts again with |face|; the old ones are deleted.
    void SetFace(const wchar_t* face);
    const std::wstring& GetFace() const { return m_face; }

    HDC GetMemoryDC() const { return m_memoryDC; }
    // A memory DC with a kBufferWidth x kBufferHeight screen-compatible bitmap selected.
    HDC GetBufferDC() const { return m_bufferDC; }

    // The images, in the order their resources are numbered.
    CLumBitmap9Part m_shadowFrame;
    CLumBitmap9Part m_windowBackground;
    CLumBitmapHorizen3Part m_textButton;
    CLumBitmap m_closeButton;
    CLumBitmap m_logo;
    CLumBitmap m_progressSlider;

private:
    void DeleteFonts();

    HFONT m_fonts[kFontCount] = {};
    std::wstring m_face;
    HDC m_memoryDC = nullptr;
    HDC m_bufferDC = nullptr;
    HBITMAP m_buffer = nullptr;
    HGDIOBJ m_bufferOld = nullptr;
};

// Height and weight of font n (1 to 10) of the table; false for any other n. Font 1 takes
// the weight of the system's default GUI font.
bool LumFontMetrics(int n, int& height, int& weight);

class CGdiplusSession {
public:
    CGdiplusSession() = default;
    ~CGdiplusSession();
    CGdiplusSession(const CGdiplusSession&) = delete;
    CGdiplusSession& operator=(const CGdiplusSession&) = delete;
    bool Start();
    void Stop();
    bool IsStarted() const { return m_token != 0; }

private:
    ULONG_PTR m_token = 0;
};

}  // namespace vexa
