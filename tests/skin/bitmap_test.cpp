// Skin images: loading (PNG resources, BMP and PNG files), cells, premultiplied alpha,
// nine- and three-slice drawing into DIB sections, the font table.
#include <gtest/gtest.h>

#include "skin/lum_bitmap.h"
#include "skin/lum_skin.h"
#include "skin/skin_art_ids.h"
#include "skin/skin_test_util.h"
#include "support/test_support.h"

namespace vexa {
namespace {

using test::Dib;
using test::Pixels;

// Counts pixels of |got| at (gx, gy) that differ from |want| at (wx, wy) over w x h.
int CountDifferences(const Pixels& got, int gx, int gy, const Pixels& want, int wx, int wy, int w, int h) {
    int differences = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (got.At(gx + x, gy + y) != want.At(wx + x, wy + y))
                ++differences;
        }
    }
    return differences;
}

TEST(LumBitmap, FourCellStripDrawsTheCellItIsAskedFor) {
    CLumBitmap strip(IDP_SKIN_CLOSE_BUTTON, 4, CLumBitmap::kPng);
    EXPECT_EQ(strip.GetCellWidth(), 32);
    EXPECT_EQ(strip.GetCellHeight(), 31);
    EXPECT_EQ(strip.GetCellCount(), 4);
    EXPECT_TRUE(strip.HasAlpha());
    const Pixels source = test::ReadBitmap(strip.GetBitmap());
    ASSERT_EQ(source.width, 128);
    ASSERT_EQ(source.height, 31);
    for (int cell = 0; cell < 4; ++cell) {
        SCOPED_TRACE(cell);
        Dib target(32, 31);
        strip.Draw(target.dc(), 0, 0, cell);
        const Pixels drawn = target.Read();
        // Cell 3 comes from x = 96, and so on; on a transparent target the copy is exact.
        EXPECT_EQ(CountDifferences(drawn, 0, 0, source, cell * 32, 0, 32, 31), 0);
        // The cells differ, so drawing the wrong one would show.
        for (int other = 0; other < 4; ++other) {
            if (other != cell) {
                EXPECT_GT(CountDifferences(drawn, 0, 0, source, other * 32, 0, 32, 31), 0) << "vs cell " << other;
            }
        }
    }
}

TEST(LumBitmap, VerticalStripUsesWholeCellsAndNeverTheLastRow) {
    test::ScopedTempDir dir(L"strip");
    // 2 cells stacked in 35 rows of 24-bit colour: each row has its own colour.
    const std::wstring path = dir / L"strip.bmp";
    ASSERT_TRUE(test::WriteFileBytes(path, test::MakeBmpFile(6, 35, 24, [](int, int y) -> uint32_t {
                                         return 0xFF000000u | static_cast<uint32_t>(y * 7) << 16 | 0x40;
                                     })));
    CLumBitmap strip(path.c_str(), 2, CLumBitmap::kBmp, true);
    EXPECT_EQ(strip.GetCellWidth(), 6);
    EXPECT_EQ(strip.GetCellHeight(), 17);
    EXPECT_FALSE(strip.HasAlpha()) << "24-bit images are copied opaquely";
    Dib target(6, 20, 0xFF123456);
    strip.Draw(target.dc(), 0, 0, 1);
    for (int y = 0; y < 17; ++y)
        EXPECT_EQ(test::Red(target.At(3, y)), (17 + y) * 7) << "row " << y << " comes from row " << 17 + y;
    EXPECT_EQ(target.At(3, 17), 0xFF123456u & 0xFFFFFFFFu) << "nothing below the cell";
}

TEST(LumBitmap, BmpWithAlphaIsPremultipliedOnLoad) {
    test::ScopedTempDir dir(L"bmp32");
    const std::wstring path = dir / L"alpha.bmp";
    ASSERT_TRUE(test::WriteFileBytes(path, test::MakeBmpFile(3, 1, 32, [](int x, int) -> uint32_t {
                                         const uint32_t pixels[] = {0x80FF0000, 0x00C86432, 0xFF102030};
                                         return pixels[x];
                                     })));
    CLumBitmap image(path.c_str(), 1, CLumBitmap::kBmp);
    ASSERT_TRUE(image.HasAlpha());
    const Pixels pixels = test::ReadBitmap(image.GetBitmap());
    ASSERT_EQ(pixels.width, 3);
    EXPECT_EQ(pixels.At(0, 0), 0x80800000u) << "alpha 128, red 255 -> red 128";
    EXPECT_EQ(pixels.At(1, 0), 0x00000000u) << "fully transparent -> black";
    EXPECT_EQ(pixels.At(2, 0), 0xFF102030u) << "opaque pixels stay";
}

TEST(LumBitmap, PremultiplyRoundsTowardZero) {
    uint32_t pixels[] = {0x80FF0000, 0x7F010203, 0x01FFFFFF, 0xFFABCDEF};
    PremultiplyPixels(pixels, 4, 1);
    EXPECT_EQ(pixels[0], 0x80800000u);
    EXPECT_EQ(pixels[1], 0x7F000001u);  // 3 * 127 / 255 = 1
    EXPECT_EQ(pixels[2], 0x01010101u);
    EXPECT_EQ(pixels[3], 0xFFABCDEFu);
}

TEST(LumBitmap, EverySkinPngDecodesWithPremultipliedAlphaAtItsSize) {
    const struct {
        UINT id;
        int width, height;
    } images[] = {
        {IDP_SKIN_WINDOW_BACKGROUND, 50, 310}, {IDP_SKIN_CLOSE_BUTTON, 128, 31},
        {IDP_SKIN_SHADOW_FRAME, 210, 143},     {IDP_SKIN_LOGO, 140, 140},
        {IDP_SKIN_TEXT_BUTTON, 192, 32},       {IDP_SKIN_PROGRESS_STREAK, 241, 33},
        {IDP_LANGUAGE_PICTURE_EN, 194, 140},   {IDP_LANGUAGE_PICTURE_ZH_TW, 194, 140},
        {IDP_LANGUAGE_PICTURE_ZH_CN, 194, 140},
    };
    for (const auto& image : images) {
        SCOPED_TRACE(image.id);
        CLumBitmap bitmap(image.id, 1, CLumBitmap::kPng);
        EXPECT_TRUE(bitmap.HasAlpha());
        const Pixels pixels = test::ReadBitmap(bitmap.GetBitmap());
        ASSERT_EQ(pixels.width, image.width);
        ASSERT_EQ(pixels.height, image.height);
        int translucent = 0;
        int not_premultiplied = 0;
        for (uint32_t p : pixels.data) {
            const int a = test::Alpha(p);
            if (a > 0 && a < 255)
                ++translucent;
            if (test::Red(p) > a || test::Green(p) > a || test::Blue(p) > a)
                ++not_premultiplied;
        }
        EXPECT_EQ(not_premultiplied, 0);
        if (image.id != IDP_SKIN_WINDOW_BACKGROUND) {
            EXPECT_GT(translucent, 0) << "soft edges need partial alpha";
        }
    }
}

TEST(LumBitmap, ShadowAlphaFallsOffTowardTheEdges) {
    CLumBitmap shadow(IDP_SKIN_SHADOW_FRAME, 1, CLumBitmap::kPng);
    const Pixels pixels = test::ReadBitmap(shadow.GetBitmap());
    ASSERT_EQ(pixels.width, 210);
    // Along the middle row, from the outer edge inwards, and along the middle column.
    int previous = -1;
    for (int x = 0; x <= 30; ++x) {
        const int a = test::Alpha(pixels.At(x, 71));
        EXPECT_GE(a, previous) << "x " << x;
        previous = a;
    }
    EXPECT_LT(test::Alpha(pixels.At(0, 71)), 8);
    EXPECT_GT(test::Alpha(pixels.At(30, 71)), 60);
    EXPECT_LT(test::Alpha(pixels.At(105, 0)), 8);
    EXPECT_GT(test::Alpha(pixels.At(105, 30)), 60);
}

TEST(LumBitmap, NineSliceAtTheCellSizeReproducesTheCell) {
    CLumSkin& skin = CLumSkin::Get();
    CLumBitmap* images[] = {&skin.m_windowBackground, &skin.m_shadowFrame};
    for (CLumBitmap* image : images) {
        const Pixels source = test::ReadBitmap(image->GetBitmap());
        Dib target(source.width, source.height);
        image->DrawStretched(target.dc(), 0, 0, source.width, source.height, 0);
        EXPECT_EQ(CountDifferences(target.Read(), 0, 0, source, 0, 0, source.width, source.height), 0);
    }
}

TEST(LumBitmap, WiderNineSliceKeepsTheCornersPixelForPixel) {
    const struct {
        CLumBitmap* image;
        int cx, cy, left, right_start, top, bottom_start;
    } cases[] = {
        {&CLumSkin::Get().m_windowBackground, 580, 370, 10, 40, 250, 300},
        {&CLumSkin::Get().m_shadowFrame, 620, 410, 30, 180, 30, 113},
    };
    for (const auto& c : cases) {
        const Pixels source = test::ReadBitmap(c.image->GetBitmap());
        const int w = source.width;
        const int h = source.height;
        const int right = w - c.right_start;
        const int bottom = h - c.bottom_start;
        Dib target(c.cx + 20, c.cy + 20);
        c.image->DrawStretched(target.dc(), 10, 10, c.cx, c.cy, 0);
        const Pixels drawn = target.Read();
        EXPECT_EQ(CountDifferences(drawn, 10, 10, source, 0, 0, c.left, c.top), 0) << "top left";
        EXPECT_EQ(CountDifferences(drawn, 10 + c.cx - right, 10, source, c.right_start, 0, right, c.top), 0)
            << "top right";
        EXPECT_EQ(CountDifferences(drawn, 10, 10 + c.cy - bottom, source, 0, c.bottom_start, c.left, bottom), 0)
            << "bottom left";
        EXPECT_EQ(CountDifferences(drawn, 10 + c.cx - right, 10 + c.cy - bottom, source, c.right_start,
                                   c.bottom_start, right, bottom),
                  0)
            << "bottom right";
        // Nothing outside the target rectangle.
        EXPECT_EQ(drawn.At(9, 9), 0u);
        EXPECT_EQ(drawn.At(10 + c.cx, 10 + c.cy), 0u);
    }
}

TEST(LumBitmap, TextButtonKeepsItsCapsAt110Pixels) {
    CLumBitmap& button = CLumSkin::Get().m_textButton;
    ASSERT_EQ(button.GetCellWidth(), 48);
    ASSERT_EQ(button.GetCellHeight(), 32);
    const Pixels source = test::ReadBitmap(button.GetBitmap());
    for (int state = 0; state < 4; ++state) {
        SCOPED_TRACE(state);
        Dib target(110, 40);
        button.DrawStretchedWidth(target.dc(), 0, 0, 110, state);
        const Pixels drawn = target.Read();
        EXPECT_EQ(CountDifferences(drawn, 0, 0, source, state * 48, 0, 5, 32), 0) << "left cap";
        EXPECT_EQ(CountDifferences(drawn, 106, 0, source, state * 48 + 44, 0, 4, 32), 0) << "right cap";
        // The middle is the stretched middle column: uniform across, as in the cell.
        EXPECT_EQ(drawn.At(55, 16), source.At(state * 48 + 24, 16));
        EXPECT_EQ(drawn.At(0, 32), 0u) << "drawn at the image's own height";
    }
}

TEST(LumBitmap, SlicedDrawSmallerThanItsBordersStaysInsideTheTarget) {
    CLumSkin& skin = CLumSkin::Get();
    const uint32_t sentinel = 0x01020304;
    const struct {
        const char* name;
        int cx, cy;
        bool nine;
    } cases[] = {
        {"text button 6 wide", 6, 32, false},
        {"text button 1 wide", 1, 32, false},
        {"window background 15 x 20", 15, 20, true},
        {"window background 60 x 100", 60, 100, true},
        {"shadow 10 x 10", 10, 10, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Dib target(100, 160, sentinel);
        if (c.nine) {
            CLumBitmap& image = std::string(c.name).rfind("shadow", 0) == 0 ? static_cast<CLumBitmap&>(skin.m_shadowFrame)
                                                                            : skin.m_windowBackground;
            image.DrawStretched(target.dc(), 20, 30, c.cx, c.cy, 0);
        } else {
            skin.m_textButton.DrawStretchedWidth(target.dc(), 20, 30, c.cx, 0);
        }
        const Pixels drawn = target.Read();
        int outside_changed = 0;
        for (int y = 0; y < drawn.height; ++y) {
            for (int x = 0; x < drawn.width; ++x) {
                const bool inside = x >= 20 && x < 20 + c.cx && y >= 30 && y < 30 + c.cy;
                if (!inside && drawn.At(x, y) != sentinel)
                    ++outside_changed;
            }
        }
        EXPECT_EQ(outside_changed, 0);
    }
    // The opaque window background covers every pixel of the small target.
    Dib target(100, 160, sentinel);
    skin.m_windowBackground.DrawStretched(target.dc(), 20, 30, 15, 20, 0);
    for (int y = 30; y < 50; ++y) {
        for (int x = 20; x < 35; ++x)
            EXPECT_EQ(test::Alpha(target.At(x, y)), 255) << x << "," << y;
    }
    // Empty and negative targets draw nothing.
    Dib untouched(100, 100, sentinel);
    skin.m_windowBackground.DrawStretched(untouched.dc(), 20, 20, 0, 50, 0);
    skin.m_windowBackground.DrawStretched(untouched.dc(), 20, 20, -30, 50, 0);
    skin.m_textButton.DrawStretchedWidth(untouched.dc(), 20, 20, -5, 0);
    for (uint32_t p : untouched.Read().data)
        ASSERT_EQ(p, sentinel);
}

TEST(LumBitmap, MissingImageHasNoSizeAndLoadsOnceItExists) {
    test::ScopedTempDir dir(L"late");
    const std::wstring path = dir / L"close.png";
    CLumBitmap late(path.c_str(), 4, CLumBitmap::kPng);
    EXPECT_EQ(late.GetCellWidth(), 0);
    EXPECT_EQ(late.GetCellHeight(), 0);
    EXPECT_EQ(late.GetCellCount(), 0);
    EXPECT_FALSE(late.HasAlpha());
    Dib target(64, 64, 0x05050505);
    late.Draw(target.dc(), 0, 0, 0);
    late.DrawStretched(target.dc(), 0, 0, 64, 64, 0);
    late.DrawStretchedWidth(target.dc(), 0, 0, 64, 0);
    for (uint32_t p : target.Read().data)
        ASSERT_EQ(p, 0x05050505u) << "a missing image draws nothing";
    // The next use tries again, with the cell count given at construction.
    ASSERT_TRUE(test::WriteFileBytes(path, test::ResourceBytes(IDP_SKIN_CLOSE_BUTTON, L"PNG")));
    EXPECT_EQ(late.GetCellWidth(), 32);
    EXPECT_EQ(late.GetCellHeight(), 31);
    EXPECT_EQ(late.GetCellCount(), 4);

    CLumBitmap absent(54321, 1, CLumBitmap::kPng);
    EXPECT_EQ(absent.GetCellWidth(), 0);
    EXPECT_EQ(absent.GetBitmap(), nullptr);
    absent.Draw(target.dc(), 0, 0, 0);

    CLumBitmap no_cells(IDP_SKIN_LOGO, 0, CLumBitmap::kPng);
    EXPECT_EQ(no_cells.GetCellWidth(), 0) << "a count of 0 is a failed load, not a division by zero";
}

TEST(LumBitmap, PngFileIsDecodedOverWhite) {
    test::ScopedTempDir dir(L"pngfile");
    const std::wstring path = dir / L"shadow.png";
    ASSERT_TRUE(test::WriteFileBytes(path, test::ResourceBytes(IDP_SKIN_SHADOW_FRAME, L"PNG")));
    CLumBitmap image(path.c_str(), 1, CLumBitmap::kPng);
    EXPECT_EQ(image.GetCellWidth(), 210);
    EXPECT_EQ(image.GetCellHeight(), 143);
}

TEST(LumSkin, FontTable) {
    CLumSkin skin;
    const struct {
        int height, weight;
    } table[] = {{-12, 0}, {-12, 700}, {-14, 400}, {-14, 700}, {-16, 400},
                 {-16, 700}, {-18, 400}, {-18, 700}, {-24, 400}, {-24, 700}};
    LOGFONTW gui{};
    ASSERT_TRUE(GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(gui), &gui));
    for (int n = 1; n <= 10; ++n) {
        SCOPED_TRACE(n);
        LOGFONTW font{};
        ASSERT_TRUE(GetObjectW(skin.GetFont(n), sizeof(font), &font));
        EXPECT_EQ(font.lfHeight, table[n - 1].height);
        EXPECT_EQ(font.lfWeight, n == 1 ? gui.lfWeight : table[n - 1].weight);
        EXPECT_EQ(font.lfWidth, 0);
        EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);
        EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
        EXPECT_STREQ(font.lfFaceName, L"Segoe UI");
    }
    EXPECT_EQ(skin.GetFont(0), nullptr);
    EXPECT_EQ(skin.GetFont(11), nullptr);

    HFONT old_five = skin.GetFont(5);
    skin.SetFace(L"Tahoma");
    EXPECT_EQ(GetObjectType(old_five), 0u) << "the old fonts are deleted";
    for (int n = 1; n <= 10; ++n) {
        LOGFONTW font{};
        ASSERT_TRUE(GetObjectW(skin.GetFont(n), sizeof(font), &font));
        EXPECT_STREQ(font.lfFaceName, L"Tahoma") << n;
        EXPECT_EQ(font.lfHeight, table[n - 1].height) << n;
    }
    EXPECT_EQ(skin.GetFace(), L"Tahoma");
}

TEST(LumSkin, SharedDeviceContexts) {
    CLumSkin& skin = CLumSkin::Get();
    EXPECT_EQ(&skin, &CLumSkin::Get());
    ASSERT_NE(skin.GetMemoryDC(), nullptr);
    ASSERT_NE(skin.GetBufferDC(), nullptr);
    BITMAP buffer{};
    ASSERT_TRUE(GetObjectW(GetCurrentObject(skin.GetBufferDC(), OBJ_BITMAP), sizeof(buffer), &buffer));
    EXPECT_EQ(buffer.bmWidth, 1024);
    EXPECT_EQ(buffer.bmHeight, 128);
    // Drawing restores the memory DC's own bitmap.
    HGDIOBJ before = GetCurrentObject(skin.GetMemoryDC(), OBJ_BITMAP);
    Dib target(32, 31);
    skin.m_closeButton.Draw(target.dc(), 0, 0, 1);
    EXPECT_EQ(GetCurrentObject(skin.GetMemoryDC(), OBJ_BITMAP), before);
}

}  // namespace
}  // namespace vexa
