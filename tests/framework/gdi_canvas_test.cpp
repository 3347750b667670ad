// The canvas over a device context: bitmaps reach the surface the right way up, through
// their palette, scaled when asked; fills use the brush; blending reads the surface back.

#include "framework/win32/gdi_canvas.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "graphics/bitmap.h"
#include "graphics/palette.h"

namespace pogoda {
namespace {

// A 32-bit, top-down surface selected into a memory device context.
class TSurface {
public:
    TSurface(int width, int height) : m_width(width) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc = CreateCompatibleDC(nullptr);
        m_section = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &m_bits, nullptr, 0);
        m_old = SelectObject(m_dc, m_section);
    }
    ~TSurface() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_section);
        DeleteDC(m_dc);
    }
    TSurface(const TSurface&) = delete;
    TSurface& operator=(const TSurface&) = delete;

    HDC Dc() const { return m_dc; }
    TColor At(int x, int y) const {
        GdiFlush();
        const auto* p = static_cast<const uint8_t*>(m_bits) + (y * m_width + x) * 4;
        return RGBColor(p[2], p[1], p[0]);
    }

private:
    int m_width;
    HDC m_dc = nullptr;
    HBITMAP m_section = nullptr;
    HGDIOBJ m_old = nullptr;
    void* m_bits = nullptr;
};

TEST(GdiCanvas, FillRectUsesTheBrushColour) {
    TSurface surface(4, 4);
    TGdiCanvas canvas(surface.Dc());
    canvas.SetBrushColor(RGBColor(10, 20, 30));
    canvas.FillRect(Rect(1, 1, 3, 3));
    EXPECT_EQ(surface.At(1, 1), RGBColor(10, 20, 30));
    EXPECT_EQ(surface.At(2, 2), RGBColor(10, 20, 30));
    EXPECT_EQ(surface.At(0, 0), clBlack);
    EXPECT_EQ(surface.At(3, 3), clBlack);
    EXPECT_EQ(canvas.BitsPerPixel(), 32);
}

TEST(GdiCanvas, PalettedBitmapIsDrawnUprightThroughItsColourTable) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf8bit);
    bitmap.SetSize(2, 2);
    bitmap.SetPalette(TPalette(std::vector<TPaletteEntry>{
        {200, 0, 0, 0}, {0, 200, 0, 0}, {0, 0, 200, 0}, {50, 60, 70, 0}}));
    bitmap.ScanLine(0)[0] = 0;
    bitmap.ScanLine(0)[1] = 1;
    bitmap.ScanLine(1)[0] = 2;
    bitmap.ScanLine(1)[1] = 3;

    TSurface surface(6, 4);
    TGdiCanvas canvas(surface.Dc());
    canvas.Draw(1, 1, bitmap);
    EXPECT_EQ(surface.At(1, 1), RGBColor(200, 0, 0));
    EXPECT_EQ(surface.At(2, 1), RGBColor(0, 200, 0));
    EXPECT_EQ(surface.At(1, 2), RGBColor(0, 0, 200));
    EXPECT_EQ(surface.At(2, 2), RGBColor(50, 60, 70));
    EXPECT_EQ(surface.At(0, 0), clBlack);
    EXPECT_EQ(surface.At(3, 1), clBlack);
}

TEST(GdiCanvas, StretchDrawScalesTrueColourBitmaps) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(2, 1);
    bitmap.FillRect(Rect(0, 0, 1, 1), RGBColor(1, 2, 3));
    bitmap.FillRect(Rect(1, 0, 2, 1), RGBColor(250, 240, 230));

    TSurface surface(4, 2);
    TGdiCanvas canvas(surface.Dc());
    canvas.StretchDraw(Rect(0, 0, 4, 2), bitmap);
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(surface.At(0, y), RGBColor(1, 2, 3));
        EXPECT_EQ(surface.At(1, y), RGBColor(1, 2, 3));
        EXPECT_EQ(surface.At(2, y), RGBColor(250, 240, 230));
        EXPECT_EQ(surface.At(3, y), RGBColor(250, 240, 230));
    }
}

TEST(GdiCanvas, AlphaBlendMixesWithWhatIsOnTheSurface) {
    TSurface surface(3, 2);
    TGdiCanvas canvas(surface.Dc());
    canvas.SetBrushColor(RGBColor(100, 100, 100));
    canvas.FillRect(Rect(0, 0, 3, 2));

    TBitmap bitmap;
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(2, 1);
    const uint8_t pixels[] = {200, 0, 40, 128, 10, 20, 30, 0};  // blue, green, red, alpha
    std::copy(std::begin(pixels), std::end(pixels), bitmap.ScanLine(0));
    canvas.AlphaBlend(1, 1, bitmap);
    // d := (s * a + d * (256 - a)) div 256
    EXPECT_EQ(surface.At(1, 1), RGBColor(70, 50, 150));
    EXPECT_EQ(surface.At(2, 1), RGBColor(100, 100, 100));
    EXPECT_EQ(surface.At(0, 1), RGBColor(100, 100, 100));
    EXPECT_EQ(surface.At(1, 0), RGBColor(100, 100, 100));
}

}  // namespace
}  // namespace pogoda
