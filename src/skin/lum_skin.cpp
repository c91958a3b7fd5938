#include "skin/lum_skin.h"

#include <objbase.h>
#include <gdiplus.h>

#include "skin/skin_art_ids.h"

namespace vexa {
namespace {

constexpr wchar_t kDefaultFace[] = L"Segoe UI";

struct FontSpec {
    int height;
    int weight;  // 0: the weight of the system's default GUI font
};
constexpr FontSpec kFontTable[CLumSkin::kFontCount] = {
    {-12, 0},   {-12, 700}, {-14, 400}, {-14, 700}, {-16, 400},
    {-16, 700}, {-18, 400}, {-18, 700}, {-24, 400}, {-24, 700},
};

int DefaultGuiFontWeight() {
    LOGFONTW font{};
    if (::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font))
        return font.lfWeight;
    return FW_NORMAL;
}

}  // namespace

bool LumFontMetrics(int n, int& height, int& weight) {
    if (n < 1 || n > CLumSkin::kFontCount)
        return false;
    height = kFontTable[n - 1].height;
    weight = kFontTable[n - 1].weight ? kFontTable[n - 1].weight : DefaultGuiFontWeight();
    return true;
}

CLumSkin& CLumSkin::Get() {
    // Never destroyed: windows may paint until the very end of the process.
    static CLumSkin* skin = new CLumSkin;
    return *skin;
}

CLumSkin::CLumSkin()
    : m_shadowFrame(IDP_SKIN_SHADOW_FRAME, 30, 180, 30, 113, 1, CLumBitmap::kPng),
      m_windowBackground(IDP_SKIN_WINDOW_BACKGROUND, 10, 40, 250, 300, 1, CLumBitmap::kPng),
      m_textButton(IDP_SKIN_TEXT_BUTTON, 5, 44, 4, CLumBitmap::kPng),
      m_closeButton(IDP_SKIN_CLOSE_BUTTON, 4, CLumBitmap::kPng),
      m_logo(IDP_SKIN_LOGO, 1, CLumBitmap::kPng),
      m_progressSlider(IDP_SKIN_PROGRESS_STREAK, 1, CLumBitmap::kPng) {
    SetFace(kDefaultFace);
    m_memoryDC = ::CreateCompatibleDC(nullptr);
    m_bufferDC = ::CreateCompatibleDC(nullptr);
    HDC screen = ::GetDC(nullptr);
    m_buffer = ::CreateCompatibleBitmap(screen, kBufferWidth, kBufferHeight);
    ::ReleaseDC(nullptr, screen);
    if (m_bufferDC && m_buffer)
        m_bufferOld = ::SelectObject(m_bufferDC, m_buffer);
}

CLumSkin::~CLumSkin() {
    DeleteFonts();
    if (m_bufferDC) {
        if (m_bufferOld)
            ::SelectObject(m_bufferDC, m_bufferOld);
        ::DeleteDC(m_bufferDC);
    }
    if (m_buffer)
        ::DeleteObject(m_buffer);
    if (m_memoryDC)
        ::DeleteDC(m_memoryDC);
}

HFONT CLumSkin::GetFont(int n) const {
    return n >= 1 && n <= kFontCount ? m_fonts[n - 1] : nullptr;
}

void CLumSkin::DeleteFonts() {
    for (HFONT& font : m_fonts) {
        if (font)
            ::DeleteObject(font);
        font = nullptr;
    }
}

void CLumSkin::SetFace(const wchar_t* face) {
    DeleteFonts();
    m_face = face ? face : L"";
    for (int n = 1; n <= kFontCount; ++n) {
        int height = 0;
        int weight = 0;
        LumFontMetrics(n, height, weight);
        LOGFONTW font{};
        font.lfHeight = height;
        font.lfWeight = weight;
        font.lfCharSet = DEFAULT_CHARSET;
        font.lfOutPrecision = OUT_DEFAULT_PRECIS;
        font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        font.lfQuality = DEFAULT_QUALITY;
        font.lfPitchAndFamily = DEFAULT_PITCH;
        lstrcpynW(font.lfFaceName, m_face.c_str(), LF_FACESIZE);
        m_fonts[n - 1] = ::CreateFontIndirectW(&font);
    }
}

CGdiplusSession::~CGdiplusSession() {
    Stop();
}

bool CGdiplusSession::Start() {
    if (m_token)
        return true;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&m_token, &input, nullptr) != Gdiplus::Ok)
        m_token = 0;
    return m_token != 0;
}

void CGdiplusSession::Stop() {
    if (m_token)
        Gdiplus::GdiplusShutdown(m_token);
    m_token = 0;
}

}  // namespace vexa
