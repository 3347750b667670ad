#include "graphics/canvas.h"

#include "framework/core/exceptions.h"
#include "graphics/bitmap.h"

namespace pogoda {

void TCanvas::Draw(int x, int y, const TBitmap& bitmap) {
    StretchDraw(Bounds(x, y, bitmap.Width(), bitmap.Height()), bitmap);
}

void TCanvas::AlphaBlend(int x, int y, const TBitmap& bitmap) {
    if (bitmap.PixelFormat() != pf32bit) {
        throw EInvalidGraphicOperation("Alpha blending needs a 32-bit bitmap");
    }
    if (bitmap.Empty()) {
        return;
    }
    const TRect rect = Bounds(x, y, bitmap.Width(), bitmap.Height());
    TBitmap scratch;
    scratch.SetPixelFormat(pf32bit);
    scratch.SetSize(rect.Width(), rect.Height());
    CopyToBitmap(rect, scratch);
    for (int row = 0; row < scratch.Height(); ++row) {
        const uint8_t* s = bitmap.ScanLine(row);
        uint8_t* d = scratch.ScanLine(row);
        for (int col = 0; col < scratch.Width(); ++col, s += 4, d += 4) {
            const unsigned alpha = s[3];
            for (int channel = 0; channel < 3; ++channel) {
                d[channel] = static_cast<uint8_t>((s[channel] * alpha + d[channel] * (256 - alpha)) >> 8);
            }
        }
    }
    StretchDraw(rect, scratch);
}

}  // namespace pogoda
