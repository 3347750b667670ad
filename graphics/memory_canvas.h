#pragma once

// A canvas over a bitmap in memory. It fills rectangles on any pixel format and draws,
// stretches and reads pixels on a 32-bit target (pfDevice or pf32bit); other targets raise
// EInvalidGraphicOperation. Stretching takes the nearest source pixel.

#include "graphics/canvas.h"

namespace pogoda {

class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap& target) : m_target(target) {}

    void FillRect(const TRect& rect) override;
    void StretchDraw(const TRect& rect, const TBitmap& bitmap) override;
    void CopyToBitmap(const TRect& rect, TBitmap& target) const override;
    int BitsPerPixel() const override { return 32; }

private:
    TBitmap& m_target;
};

}  // namespace pogoda
