#include "graphics/memory_canvas.h"

#include <algorithm>
#include <cstring>

#include "framework/core/exceptions.h"
#include "graphics/bitmap.h"

namespace pogoda {

namespace {

bool Is32Bit(const TBitmap& bitmap) {
    return bitmap.PixelFormat() == pf32bit || bitmap.PixelFormat() == pfDevice;
}

void Require32Bit(const TBitmap& bitmap) {
    if (!Is32Bit(bitmap)) {
        throw EInvalidGraphicOperation("Drawing on a bitmap needs a 32-bit bitmap");
    }
}

}  // namespace

void TBitmapCanvas::FillRect(const TRect& rect) { m_target.FillRect(rect, BrushColor()); }

void TBitmapCanvas::StretchDraw(const TRect& rect, const TBitmap& bitmap) {
    Require32Bit(m_target);
    if (&bitmap == &m_target) {
        TBitmap copy;
        copy.Assign(&bitmap);
        StretchDraw(rect, copy);
        return;
    }
    if (bitmap.Empty() || rect.IsEmpty()) {
        return;
    }
    const int64_t sw = bitmap.Width();
    const int64_t sh = bitmap.Height();
    const int64_t rw = rect.Width();
    const int64_t rh = rect.Height();
    const bool keyed = bitmap.Transparent();
    const TColor key = keyed ? bitmap.TransparentColor() : clNone;
    const bool rawCopy = Is32Bit(bitmap);
    const int top = std::max(rect.Top, 0);
    const int bottom = std::min(rect.Bottom, m_target.Height());
    const int left = std::max(rect.Left, 0);
    const int right = std::min(rect.Right, m_target.Width());
    for (int y = top; y < bottom; ++y) {
        const auto sy = static_cast<int>((y - rect.Top) * sh / rh);
        const uint8_t* source = bitmap.ScanLine(sy);
        uint8_t* target = m_target.ScanLine(y);
        for (int x = left; x < right; ++x) {
            const auto sx = static_cast<int>((x - rect.Left) * sw / rw);
            const TColor color = bitmap.PixelColor(sx, sy);
            if (keyed && color == key) {
                continue;
            }
            uint8_t* d = target + 4 * x;
            if (rawCopy) {
                std::memcpy(d, source + 4 * sx, 4);
            } else {
                d[0] = BlueOf(color);
                d[1] = GreenOf(color);
                d[2] = RedOf(color);
                d[3] = 0;
            }
        }
    }
}

void TBitmapCanvas::CopyToBitmap(const TRect& rect, TBitmap& target) const {
    Require32Bit(m_target);
    if (target.PixelFormat() != pf32bit || target.Width() != rect.Width() ||
        target.Height() != rect.Height()) {
        throw EInvalidGraphicOperation("The target must be a 32-bit bitmap of the rectangle's size");
    }
    for (int row = 0; row < target.Height(); ++row) {
        uint8_t* d = target.ScanLine(row);
        const int y = rect.Top + row;
        for (int col = 0; col < target.Width(); ++col, d += 4) {
            const int x = rect.Left + col;
            if (y >= 0 && y < m_target.Height() && x >= 0 && x < m_target.Width()) {
                std::memcpy(d, m_target.ScanLine(y) + 4 * x, 4);
            } else {
                std::memset(d, 0, 4);
            }
        }
    }
}

}  // namespace pogoda
