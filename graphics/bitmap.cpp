#include "graphics/bitmap.h"

#include <algorithm>
#include <climits>

#include "framework/core/exceptions.h"
#include "framework/core/text.h"
#include "graphics/canvas.h"
#include "graphics/memory_canvas.h"

namespace pogoda {

POGODA_DEFINE_GRAPHIC_CLASS(TBitmap, TGraphic)

namespace {

int BitsOf(TPixelFormat format) {
    switch (format) {
        case pf1bit: return 1;
        case pf4bit: return 4;
        case pf8bit: return 8;
        case pf15bit:
        case pf16bit: return 16;
        case pf24bit: return 24;
        case pfDevice:
        case pf32bit:
        case pfCustom: break;
    }
    return 32;
}

TPalette DefaultPalette(TPixelFormat format) {
    switch (format) {
        case pf1bit: return TPalette::BlackWhite();
        case pf4bit: return TPalette::SystemColors16();
        case pf8bit: return TPalette::Halftone();
        default: return {};
    }
}

// 5-bit and 6-bit channels widened to 8 bits so that the maximum stays the maximum.
uint8_t Widen5(unsigned v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); }
uint8_t Widen6(unsigned v) { return static_cast<uint8_t>((v << 2) | (v >> 4)); }

int NearestIndex(const TPalette& palette, TColor color) {
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < palette.Count(); ++i) {
        const TPaletteEntry& e = palette[i];
        const int dr = e.Red - RedOf(color);
        const int dg = e.Green - GreenOf(color);
        const int db = e.Blue - BlueOf(color);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() = default;

void TBitmap::Allocate(int width, int height, TPixelFormat format) {
    if (width < 0 || height < 0) {
        throw EInvalidGraphic(Format("Invalid bitmap size %d x %d", width, height));
    }
    // Every product below is bounded well inside 64 bits; only the row count can push the
    // total past the limit, so it is checked by division.
    const int64_t rowBits = int64_t{width} * BitsOf(format);
    const int64_t stride = (rowBits + 31) / 32 * 4;
    if (height > 0 && stride > kMaxPixelBytes / height) {
        throw EInvalidGraphic(Format("Bitmap size %d x %d is too large", width, height));
    }
    std::vector<uint8_t> bits(static_cast<size_t>(stride * height), 0);
    m_bits.swap(bits);
    m_width = width;
    m_height = height;
    m_stride = static_cast<int>(stride);
    m_pixelFormat = format;
}

void TBitmap::SetWidth(int width) { SetSize(width, m_height); }

void TBitmap::SetHeight(int height) { SetSize(m_width, height); }

void TBitmap::SetSize(int width, int height) {
    if (width == m_width && height == m_height) {
        return;
    }
    Allocate(width, height, m_pixelFormat);
    NotifyChanged(this);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == pfCustom) {
        throw EInvalidGraphic("Invalid pixel format");
    }
    if (format == m_pixelFormat) {
        return;
    }
    Allocate(m_width, m_height, format);
    m_palette = DefaultPalette(format);
    NotifyChanged(this);
}

int TBitmap::BitsPerPixel() const { return BitsOf(m_pixelFormat); }

uint8_t* TBitmap::ScanLine(int row) {
    return const_cast<uint8_t*>(static_cast<const TBitmap*>(this)->ScanLine(row));
}

const uint8_t* TBitmap::ScanLine(int row) const {
    if (row < 0 || row >= m_height) {
        throw EInvalidGraphic("Scan line index out of range");
    }
    return m_bits.data() + static_cast<size_t>(m_height - row - 1) * static_cast<size_t>(m_stride);
}

const TPalette* TBitmap::Palette() const { return m_palette.IsEmpty() ? nullptr : &m_palette; }

void TBitmap::SetPalette(const TPalette& palette) {
    m_palette = palette;
    SetPaletteModified(true);
    NotifyChanged(this);
}

TColor TBitmap::PixelColor(int x, int y) const {
    if (x < 0 || x >= m_width) {
        throw EInvalidGraphic("Pixel index out of range");
    }
    const uint8_t* row = ScanLine(y);
    switch (m_pixelFormat) {
        case pf1bit: return m_palette.ColorAt((row[x / 8] >> (7 - x % 8)) & 1);
        case pf4bit: return m_palette.ColorAt(x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F);
        case pf8bit: return m_palette.ColorAt(row[x]);
        case pf15bit:
        case pf16bit: {
            const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
            if (m_pixelFormat == pf15bit) {
                return RGBColor(Widen5((v >> 10) & 31), Widen5((v >> 5) & 31), Widen5(v & 31));
            }
            return RGBColor(Widen5((v >> 11) & 31), Widen6((v >> 5) & 63), Widen5(v & 31));
        }
        case pf24bit: return RGBColor(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
        case pfDevice:
        case pf32bit:
        case pfCustom: break;
    }
    return RGBColor(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
}

void TBitmap::FillRect(const TRect& rect, TColor color) {
    const int left = std::max(rect.Left, 0);
    const int right = std::min(rect.Right, m_width);
    const int top = std::max(rect.Top, 0);
    const int bottom = std::min(rect.Bottom, m_height);
    if (left >= right || top >= bottom) {
        return;
    }
    const uint8_t r = RedOf(color);
    const uint8_t g = GreenOf(color);
    const uint8_t b = BlueOf(color);
    const auto index = static_cast<uint8_t>(NearestIndex(m_palette, color));
    for (int y = top; y < bottom; ++y) {
        uint8_t* row = ScanLine(y);
        for (int x = left; x < right; ++x) {
            switch (m_pixelFormat) {
                case pf1bit: {
                    const auto mask = static_cast<uint8_t>(0x80 >> (x % 8));
                    row[x / 8] = static_cast<uint8_t>(index ? row[x / 8] | mask : row[x / 8] & ~mask);
                    break;
                }
                case pf4bit:
                    row[x / 2] = static_cast<uint8_t>(x % 2 == 0 ? (row[x / 2] & 0x0F) | (index << 4)
                                                                 : (row[x / 2] & 0xF0) | index);
                    break;
                case pf8bit: row[x] = index; break;
                case pf15bit:
                case pf16bit: {
                    const unsigned v = m_pixelFormat == pf15bit
                                           ? ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3)
                                           : ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
                    row[2 * x] = static_cast<uint8_t>(v);
                    row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
                    break;
                }
                case pf24bit:
                    row[3 * x] = b;
                    row[3 * x + 1] = g;
                    row[3 * x + 2] = r;
                    break;
                case pfDevice:
                case pf32bit:
                case pfCustom:
                    row[4 * x] = b;
                    row[4 * x + 1] = g;
                    row[4 * x + 2] = r;
                    row[4 * x + 3] = 0;
                    break;
            }
        }
    }
    NotifyChanged(this);
}

TColor TBitmap::TransparentColor() const {
    if (m_transparentColor == clDefault && !Empty()) {
        return PixelColor(0, m_height - 1);
    }
    return m_transparentColor;
}

void TBitmap::SetTransparentColor(TColor color) {
    if (color != m_transparentColor) {
        m_transparentColor = color;
        NotifyChanged(this);
    }
}

TCanvas& TBitmap::Canvas() {
    if (!m_canvas) {
        m_canvas = std::make_unique<TBitmapCanvas>(*this);
    }
    return *m_canvas;
}

void TBitmap::Clear() {
    std::vector<uint8_t>().swap(m_bits);
    m_width = 0;
    m_height = 0;
    m_stride = 0;
    m_pixelFormat = pfDevice;
    m_palette = {};
    m_transparentColor = clDefault;
    NotifyChanged(this);
}

void TBitmap::DrawInto(TCanvas& canvas, const TRect& rect) { canvas.StretchDraw(rect, *this); }

void TBitmap::Assign(const TPersistent* source) {
    const auto* bitmap = dynamic_cast<const TBitmap*>(source);
    if (source == nullptr) {
        Clear();
        return;
    }
    if (bitmap == nullptr) {
        TGraphic::Assign(source);
        return;
    }
    if (bitmap == this) {
        return;
    }
    m_bits = bitmap->m_bits;
    m_width = bitmap->m_width;
    m_height = bitmap->m_height;
    m_stride = bitmap->m_stride;
    m_pixelFormat = bitmap->m_pixelFormat;
    m_palette = bitmap->m_palette;
    m_transparentColor = bitmap->m_transparentColor;
    SetTransparent(bitmap->Transparent());
    NotifyChanged(this);
}

}  // namespace pogoda
