#pragma once

// A device-independent bitmap: rows stored bottom-up, each row padded to 32 bits, in the
// pixel formats of Windows, with an optional palette of up to 256 colours.
//
// Size limit: a bitmap holds at most kMaxPixelBytes (1 GiB) of pixel memory; a width,
// height or format that would need more, or a negative dimension, raises EInvalidGraphic
// "Bitmap size %d x %d is too large" (or "Invalid bitmap size %d x %d") and leaves the
// bitmap as it was.

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/graphic.h"
#include "graphics/palette.h"

namespace pogoda {

class TBitmapCanvas;

class TBitmap : public TGraphic {
    POGODA_GRAPHIC_CLASS(TBitmap)
public:
    static constexpr int64_t kMaxPixelBytes = int64_t{1} << 30;

    TBitmap();
    ~TBitmap() override;

    bool Empty() const override { return m_width == 0 || m_height == 0; }
    int Width() const override { return m_width; }
    int Height() const override { return m_height; }
    // Resizing gives new, black pixel memory.
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    void SetSize(int width, int height);

    // A new bitmap is pfDevice, stored as 32 bits per pixel. Changing the format gives new,
    // black pixel memory; pf1bit, pf4bit and pf8bit install their default palette
    // (black/white, the 16 system colours, the halftone palette). pfCustom raises
    // EInvalidGraphic "Invalid pixel format".
    TPixelFormat PixelFormat() const { return m_pixelFormat; }
    void SetPixelFormat(TPixelFormat format);
    int BitsPerPixel() const;
    // Bytes per row: the row's bit length rounded up to 32 bits.
    int Stride() const { return m_stride; }

    // Row 0 is the top row. An index outside 0..Height-1 raises EInvalidGraphic
    // "Scan line index out of range".
    uint8_t* ScanLine(int row);
    const uint8_t* ScanLine(int row) const;

    // Null when the bitmap has no palette (formats above 8 bits).
    const TPalette* Palette() const override;
    // The bitmap keeps its own copy; sets the palette-modified flag.
    void SetPalette(const TPalette& palette) override;

    // The colour of one pixel, through the palette or the format's bit fields
    // (pf16bit: 5-6-5, pf15bit: 5-5-5).
    TColor PixelColor(int x, int y) const;
    // Fills the rectangle (clipped to the bitmap) with a colour; indexed formats take the
    // nearest palette entry.
    void FillRect(const TRect& rect, TColor color);

    // The colour drawn as see-through when the transparent flag is set; clDefault (the
    // default) means the colour of the bottom-left pixel.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor color);

    // A canvas that draws onto this bitmap (32-bit formats; FillRect on every format).
    TCanvas& Canvas();

    // Releases the image: the bitmap becomes empty, pfDevice, without palette, with the
    // default transparent colour.
    void Clear();

    void DrawInto(TCanvas& canvas, const TRect& rect) override;
    // Windows bitmap files: 14-byte file header, 40-byte info header, colour table, rows
    // bottom-up. The reader takes uncompressed 1, 4, 8, 16, 24 and 32-bit files.
    void LoadStream(TStream& stream) override;
    void SaveStream(TStream& stream) const override;

    // Copies another bitmap (pixels, format, palette, transparency); null empties it.
    void Assign(const TPersistent* source) override;

private:
    void Allocate(int width, int height, TPixelFormat format);

    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    TPixelFormat m_pixelFormat = pfDevice;
    std::vector<uint8_t> m_bits;
    TPalette m_palette;
    TColor m_transparentColor = clDefault;
    std::unique_ptr<TBitmapCanvas> m_canvas;
};

}  // namespace pogoda
