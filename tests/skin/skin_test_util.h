// Helpers of the skin tests: 32-bit DIB sections to paint into and read back, pixels of
// a decoded image, image files written on the fly, and saving a picture as PNG.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vexa::test {

// Pixels as 0xAARRGGBB, rows top to bottom.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> data;
    uint32_t At(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
};

// A top-down 32-bit DIB section selected into its own memory DC.
class Dib {
public:
    Dib(int width, int height, uint32_t fill = 0);
    ~Dib();
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;

    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void Fill(uint32_t argb);
    uint32_t At(int x, int y) const;
    void Set(int x, int y, uint32_t argb);
    Pixels Read() const;

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
};

// The pixels of any bitmap, as a 32-bit top-down copy.
Pixels ReadBitmap(HBITMAP bitmap);

// The bytes of a resource of this program, e.g. a PNG of the skin.
std::string ResourceBytes(UINT id, const wchar_t* type);

// A BMP file of |width| x |height| pixels at |bits| (24 or 32) per pixel; |pixel| gives
// each pixel as 0xAARRGGBB (alpha ignored for 24 bits).
std::string MakeBmpFile(int width, int height, int bits, uint32_t (*pixel)(int x, int y));

// Writes |pixels| as a PNG file through the image encoder.
bool SavePng(const Pixels& pixels, const std::wstring& path);

inline int Red(uint32_t p) { return (p >> 16) & 0xFF; }
inline int Green(uint32_t p) { return (p >> 8) & 0xFF; }
inline int Blue(uint32_t p) { return p & 0xFF; }
inline int Alpha(uint32_t p) { return p >> 24; }
// Colour of a pixel as a COLORREF (red in the low byte), alpha dropped.
inline COLORREF ToColorRef(uint32_t p) { return RGB(Red(p), Green(p), Blue(p)); }
// Every channel of |p| within |tolerance| of COLORREF |c|.
bool NearColor(uint32_t p, COLORREF c, int tolerance);

}  // namespace vexa::test
