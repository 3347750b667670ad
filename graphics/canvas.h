#pragma once

// The drawing surface that graphics paint on: an HDC on Windows, an in-memory 32-bit surface
// natively and in tests.

#include "graphics/graphics_types.h"

namespace pogoda {

class TBitmap;

class TCanvas {
public:
    TCanvas() = default;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    virtual ~TCanvas() = default;

    TColor BrushColor() const { return m_brushColor; }
    void SetBrushColor(TColor color) { m_brushColor = color; }

    // Fills the rectangle with the brush colour.
    virtual void FillRect(const TRect& rect) = 0;
    // Draws the whole bitmap stretched into rect, through its palette; a bitmap with its
    // transparent flag set leaves the target unchanged where it has its transparent colour.
    virtual void StretchDraw(const TRect& rect, const TBitmap& bitmap) = 0;
    // Copies the surface under rect into target, which must be a pf32bit bitmap of rect's
    // size; parts of rect outside the surface read as black.
    virtual void CopyToBitmap(const TRect& rect, TBitmap& target) const = 0;
    // Bits per pixel of the surface.
    virtual int BitsPerPixel() const = 0;

    void Draw(int x, int y, const TBitmap& bitmap);
    // Blends a pf32bit bitmap at (x, y) by its per-pixel alpha: for blue, green and red,
    // d := (s * a + d * (256 - a)) div 256; the surface's own alpha is left as it was.
    void AlphaBlend(int x, int y, const TBitmap& bitmap);

private:
    TColor m_brushColor = clWhite;
};

}  // namespace pogoda
