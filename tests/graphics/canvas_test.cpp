#include "graphics/memory_canvas.h"

#include <gtest/gtest.h>

#include "framework/core/exceptions.h"
#include "graphics/bitmap.h"

namespace pogoda {
namespace {

std::unique_ptr<TBitmap> MakeSurface(int width, int height, TColor color) {
    auto surface = std::make_unique<TBitmap>();
    surface->SetPixelFormat(pf32bit);
    surface->SetSize(width, height);
    surface->FillRect(Rect(0, 0, width, height), color);
    return surface;
}

TEST(BitmapCanvas, FillsClippedRectanglesWithTheBrush) {
    auto owned = MakeSurface(4, 3, clBlack);
    TBitmap& surface = *owned;
    surface.Canvas().SetBrushColor(RGBColor(10, 20, 30));
    surface.Canvas().FillRect(Rect(-5, 2, 2, 10));
    EXPECT_EQ(surface.PixelColor(0, 2), RGBColor(10, 20, 30));
    EXPECT_EQ(surface.PixelColor(1, 2), RGBColor(10, 20, 30));
    EXPECT_EQ(surface.PixelColor(2, 2), clBlack);
    EXPECT_EQ(surface.PixelColor(0, 1), clBlack);
}

TEST(BitmapCanvas, StretchesIndexedBitmapsThroughTheirPalette) {
    TBitmap image;
    image.SetPixelFormat(pf1bit);
    image.SetSize(2, 1);
    image.FillRect(Rect(1, 0, 2, 1), clWhite);
    auto owned = MakeSurface(6, 3, RGBColor(1, 1, 1));
    TBitmap& surface = *owned;
    surface.Canvas().StretchDraw(Rect(1, 1, 5, 3), image);
    const TColor expected[3][6] = {{1, 1, 1, 1, 1, 1}, {1, 0, 0, clWhite, clWhite, 1}, {1, 0, 0, clWhite, clWhite, 1}};
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 6; ++x) {
            const TColor want = expected[y][x] == 1 ? RGBColor(1, 1, 1) : expected[y][x];
            EXPECT_EQ(surface.PixelColor(x, y), want) << x << "," << y;
        }
    }
}

TEST(BitmapCanvas, TransparentColourLeavesTheTargetUnchanged) {
    TBitmap image;
    image.SetPixelFormat(pf24bit);
    image.SetSize(2, 1);
    image.FillRect(Rect(0, 0, 1, 1), RGBColor(0, 255, 0));
    image.FillRect(Rect(1, 0, 2, 1), RGBColor(9, 9, 9));
    image.SetTransparentColor(RGBColor(0, 255, 0));
    image.SetTransparent(true);
    auto owned = MakeSurface(2, 1, RGBColor(200, 0, 0));
    TBitmap& surface = *owned;
    surface.Canvas().Draw(0, 0, image);
    EXPECT_EQ(surface.PixelColor(0, 0), RGBColor(200, 0, 0));
    EXPECT_EQ(surface.PixelColor(1, 0), RGBColor(9, 9, 9));
}

TEST(BitmapCanvas, AlphaBlendUsesTheByteFormula) {
    TBitmap image;
    image.SetPixelFormat(pf32bit);
    image.SetSize(3, 1);
    uint8_t* row = image.ScanLine(0);
    const uint8_t pixels[12] = {255, 255, 255, 255,  // opaque white
                                0, 0, 255, 128,      // half red
                                255, 255, 255, 0};   // invisible
    std::copy(std::begin(pixels), std::end(pixels), row);
    auto owned = MakeSurface(4, 1, clBlack);
    TBitmap& surface = *owned;
    surface.ScanLine(0)[3] = 77;  // the surface keeps its own alpha
    surface.Canvas().AlphaBlend(0, 0, image);
    EXPECT_EQ(surface.PixelColor(0, 0), RGBColor(254, 254, 254));
    EXPECT_EQ(surface.PixelColor(1, 0), RGBColor(127, 0, 0));
    EXPECT_EQ(surface.PixelColor(2, 0), clBlack);
    EXPECT_EQ(surface.ScanLine(0)[3], 77);

    TBitmap notAlpha;
    notAlpha.SetPixelFormat(pf24bit);
    EXPECT_THROW(surface.Canvas().AlphaBlend(0, 0, notAlpha), EInvalidGraphicOperation);
}

TEST(BitmapCanvas, CopyToBitmapReadsBlackOutsideTheSurface) {
    auto owned = MakeSurface(2, 2, clWhite);
    TBitmap& surface = *owned;
    TBitmap copy;
    copy.SetPixelFormat(pf32bit);
    copy.SetSize(2, 2);
    surface.Canvas().CopyToBitmap(Rect(1, 1, 3, 3), copy);
    EXPECT_EQ(copy.PixelColor(0, 0), clWhite);
    EXPECT_EQ(copy.PixelColor(1, 0), clBlack);
    EXPECT_EQ(copy.PixelColor(0, 1), clBlack);
}

}  // namespace
}  // namespace pogoda
