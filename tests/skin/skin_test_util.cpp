#include "skin/skin_test_util.h"

#include <objbase.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "skin/lum_skin.h"

namespace vexa::test {
namespace {

// The image decoder runs for the whole test program, as it does for the application.
class GdiplusEnvironment : public testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(session_.Start()); }
    void TearDown() override { session_.Stop(); }

private:
    CGdiplusSession session_;
};

[[maybe_unused]] testing::Environment* const g_gdiplus = testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

void PutLe(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

bool PngEncoder(CLSID& clsid) {
    UINT count = 0;
    UINT size = 0;
    if (Gdiplus::DllExports::GdipGetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return false;
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::DllExports::GdipGetImageEncoders(count, size, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && std::wcscmp(codecs[i].MimeType, L"image/png") == 0) {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

}  // namespace

Dib::Dib(int width, int height, uint32_t fill) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<uint32_t*>(bits);
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_);
    Fill(fill);
}

Dib::~Dib() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
}

void Dib::Fill(uint32_t argb) {
    GdiFlush();
    for (int i = 0; i < width_ * height_; ++i)
        bits_[i] = argb;
}

uint32_t Dib::At(int x, int y) const {
    GdiFlush();
    return bits_[static_cast<size_t>(y) * width_ + x];
}

void Dib::Set(int x, int y, uint32_t argb) {
    GdiFlush();
    bits_[static_cast<size_t>(y) * width_ + x] = argb;
}

Pixels Dib::Read() const {
    GdiFlush();
    Pixels pixels;
    pixels.width = width_;
    pixels.height = height_;
    pixels.data.assign(bits_, bits_ + static_cast<size_t>(width_) * height_);
    return pixels;
}

Pixels ReadBitmap(HBITMAP bitmap) {
    Pixels pixels;
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info))
        return pixels;
    pixels.width = info.bmWidth;
    pixels.height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    pixels.data.resize(static_cast<size_t>(pixels.width) * pixels.height);
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(header.bmiHeader);
    header.bmiHeader.biWidth = pixels.width;
    header.bmiHeader.biHeight = -pixels.height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bitmap, 0, pixels.height, pixels.data.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    return pixels;
}

std::string ResourceBytes(UINT id, const wchar_t* type) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!resource)
        return {};
    const void* data = LockResource(LoadResource(module, resource));
    return std::string(static_cast<const char*>(data), SizeofResource(module, resource));
}

std::string MakeBmpFile(int width, int height, int bits, uint32_t (*pixel)(int x, int y)) {
    const int stride = ((width * bits / 8) + 3) & ~3;
    const uint32_t image_size = static_cast<uint32_t>(stride * height);
    std::string out = "BM";
    PutLe(out, 14 + 40 + image_size, 4);
    PutLe(out, 0, 4);
    PutLe(out, 14 + 40, 4);
    PutLe(out, 40, 4);
    PutLe(out, static_cast<uint32_t>(width), 4);
    PutLe(out, static_cast<uint32_t>(height), 4);  // bottom-up
    PutLe(out, 1, 2);
    PutLe(out, static_cast<uint32_t>(bits), 2);
    PutLe(out, BI_RGB, 4);
    PutLe(out, image_size, 4);
    PutLe(out, 2835, 4);
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    for (int y = height - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            const uint32_t p = pixel(x, y);
            PutLe(row, p & 0xFFFFFF, 3);
            if (bits == 32)
                row.push_back(static_cast<char>(p >> 24));
        }
        row.resize(static_cast<size_t>(stride), '\0');
        out += row;
    }
    return out;
}

bool SavePng(const Pixels& pixels, const std::wstring& path) {
    CLSID png{};
    if (!PngEncoder(png))
        return false;
    Gdiplus::GpBitmap* image = nullptr;
    // The pixels are copied row by row into a bitmap of the decoder's own.
    if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(pixels.width, pixels.height, pixels.width * 4,
                                                       PixelFormat32bppRGB,
                                                       const_cast<BYTE*>(reinterpret_cast<const BYTE*>(
                                                           pixels.data.data())),
                                                       &image) != Gdiplus::Ok) {
        return false;
    }
    const bool saved = Gdiplus::DllExports::GdipSaveImageToFile(image, path.c_str(), &png, nullptr) == Gdiplus::Ok;
    Gdiplus::DllExports::GdipDisposeImage(image);
    return saved;
}

bool NearColor(uint32_t p, COLORREF c, int tolerance) {
    return std::abs(Red(p) - GetRValue(c)) <= tolerance && std::abs(Green(p) - GetGValue(c)) <= tolerance &&
           std::abs(Blue(p) - GetBValue(c)) <= tolerance;
}

}  // namespace vexa::test
