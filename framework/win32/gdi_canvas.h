#pragma once

// The canvas of a window's device context.

#include <windows.h>

#include "graphics/canvas.h"

namespace pogoda {

class TGdiCanvas : public TCanvas {
public:
    explicit TGdiCanvas(HDC dc) : m_dc(dc) {}

    void FillRect(const TRect& rect) override;
    // Transparent bitmaps are drawn opaque: no image control here asks for transparency.
    void StretchDraw(const TRect& rect, const TBitmap& bitmap) override;
    void CopyToBitmap(const TRect& rect, TBitmap& target) const override;
    int BitsPerPixel() const override;

private:
    HDC m_dc;
};

}  // namespace pogoda
