#include "framework/win32/gdi_canvas.h"

#include <cstring>
#include <vector>

#include "framework/win32/colors.h"
#include "framework/win32/handles.h"
#include "graphics/bitmap.h"
#include "graphics/palette.h"

namespace pogoda {

namespace {

// A BITMAPINFO with room for a full colour table or the 16-bit masks.
struct TDibHeader {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

void DescribeBitmap(const TBitmap& bitmap, TDibHeader& info) {
    std::memset(&info, 0, sizeof(info));
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = bitmap.Width();
    info.header.biHeight = bitmap.Height();  // positive: rows bottom-up, as the bitmap keeps them
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bitmap.BitsPerPixel());
    info.header.biCompression = BI_RGB;
    if (bitmap.PixelFormat() == pf16bit) {
        info.header.biCompression = BI_BITFIELDS;
        const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
        std::memcpy(info.colors, masks, sizeof(masks));
    } else if (const TPalette* palette = bitmap.Palette()) {
        const int count = palette->Count() < 256 ? palette->Count() : 256;
        for (int i = 0; i < count; ++i) {
            const TPaletteEntry& e = (*palette)[i];
            info.colors[i] = RGBQUAD{e.Blue, e.Green, e.Red, 0};
        }
        info.header.biClrUsed = static_cast<DWORD>(count);
    }
}

}  // namespace

void TGdiCanvas::FillRect(const TRect& rect) {
    TBrushHandle brush(CreateSolidBrush(ColorToRGB(BrushColor())));
    const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
    ::FillRect(m_dc, &r, brush.Get());
}

void TGdiCanvas::StretchDraw(const TRect& rect, const TBitmap& bitmap) {
    if (bitmap.Empty()) return;
    TDibHeader info;
    DescribeBitmap(bitmap, info);
    SetStretchBltMode(m_dc, COLORONCOLOR);
    StretchDIBits(m_dc, rect.Left, rect.Top, rect.Width(), rect.Height(), 0, 0, bitmap.Width(),
                  bitmap.Height(), bitmap.ScanLine(bitmap.Height() - 1),
                  reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
}

void TGdiCanvas::CopyToBitmap(const TRect& rect, TBitmap& target) const {
    if (rect.IsEmpty()) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = rect.Width();
    info.bmiHeader.biHeight = rect.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    TUniqueHandle<HBITMAP, TGdiRelease> section(
        CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || bits == nullptr) return;
    TMemoryDcHandle memory(CreateCompatibleDC(m_dc));
    if (!memory) return;
    {
        TSelectScope select(memory.Get(), section.Get());
        BitBlt(memory.Get(), 0, 0, rect.Width(), rect.Height(), m_dc, rect.Left, rect.Top,
               SRCCOPY);
    }
    const int rowBytes = rect.Width() * 4;
    for (int row = 0; row < rect.Height() && row < target.Height(); ++row) {
        const auto* source = static_cast<const uint8_t*>(bits) +
                             static_cast<size_t>(rect.Height() - 1 - row) * static_cast<size_t>(rowBytes);
        std::memcpy(target.ScanLine(row), source, static_cast<size_t>(rowBytes));
    }
}

int TGdiCanvas::BitsPerPixel() const {
    return GetDeviceCaps(m_dc, BITSPIXEL) * GetDeviceCaps(m_dc, PLANES);
}

}  // namespace pogoda
