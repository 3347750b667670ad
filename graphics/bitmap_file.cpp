// Windows bitmap files: the stream form of TBitmap.

#include <array>
#include <cstring>

#include "framework/core/exceptions.h"
#include "framework/core/streams.h"
#include "graphics/bitmap.h"

namespace pogoda {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr std::array<uint32_t, 3> kMasks565 = {0xF800, 0x07E0, 0x001F};
constexpr std::array<uint32_t, 3> kMasks555 = {0x7C00, 0x03E0, 0x001F};
constexpr std::array<uint32_t, 3> kMasks888 = {0xFF0000, 0x00FF00, 0x0000FF};

[[noreturn]] void RaiseInvalidBitmap() { throw EInvalidGraphic("Bitmap image is not valid"); }

class ByteWriter {
public:
    void U16(uint32_t v) { Bytes(v, 2); }
    void U32(uint32_t v) { Bytes(v, 4); }
    void Bytes(uint32_t v, int count) {
        for (int i = 0; i < count; ++i) {
            m_bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
        }
    }
    void Flush(TStream& stream) {
        stream.WriteBuffer(m_bytes.data(), static_cast<int64_t>(m_bytes.size()));
        m_bytes.clear();
    }

private:
    std::vector<uint8_t> m_bytes;
};

uint32_t U32At(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t U16At(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

TPixelFormat FormatOf(int bits) {
    switch (bits) {
        case 1: return pf1bit;
        case 4: return pf4bit;
        case 8: return pf8bit;
        case 16: return pf15bit;
        case 24: return pf24bit;
        case 32: return pf32bit;
        default: RaiseInvalidBitmap();
    }
}

}  // namespace

void TBitmap::SaveStream(TStream& stream) const {
    const int bits = BitsPerPixel();
    const int colors = bits <= 8 ? m_palette.Count() : 0;
    const bool bitfields = m_pixelFormat == pf16bit;
    const uint32_t tableSize = bitfields ? 12 : static_cast<uint32_t>(colors) * 4;
    const uint32_t offset = kFileHeaderSize + kInfoHeaderSize + tableSize;
    // The pixel memory is at most 1 GiB, so every size here fits in 32 bits.
    const auto imageSize = static_cast<uint32_t>(m_bits.size());

    ByteWriter out;
    out.U16(0x4D42);  // "BM"
    out.U32(offset + imageSize);
    out.U32(0);
    out.U32(offset);
    out.U32(kInfoHeaderSize);
    out.U32(static_cast<uint32_t>(m_width));
    out.U32(static_cast<uint32_t>(m_height));
    out.U16(1);
    out.U16(static_cast<uint32_t>(bits));
    out.U32(bitfields ? kBiBitfields : kBiRgb);
    out.U32(imageSize);
    out.U32(0);
    out.U32(0);
    out.U32(static_cast<uint32_t>(colors));
    out.U32(0);
    if (bitfields) {
        for (uint32_t mask : kMasks565) {
            out.U32(mask);
        }
    }
    for (const TPaletteEntry& e : m_palette.Entries().first(static_cast<size_t>(colors))) {
        out.U32(static_cast<uint32_t>(e.Blue | (e.Green << 8) | (e.Red << 16)));
    }
    out.Flush(stream);
    stream.WriteBuffer(m_bits.data(), static_cast<int64_t>(m_bits.size()));
}

void TBitmap::LoadStream(TStream& stream) {
    const int64_t start = stream.Position();
    uint8_t header[kFileHeaderSize + kInfoHeaderSize];
    stream.ReadBuffer(header, sizeof header);
    const uint8_t* info = header + kFileHeaderSize;
    const uint32_t infoSize = U32At(info);
    if (U16At(header) != 0x4D42 || infoSize < kInfoHeaderSize || U16At(info + 12) != 1) {
        RaiseInvalidBitmap();
    }
    const auto width = static_cast<int32_t>(U32At(info + 4));
    const auto rawHeight = static_cast<int32_t>(U32At(info + 8));
    const int bits = U16At(info + 14);
    const uint32_t compression = U32At(info + 16);
    uint32_t colors = U32At(info + 32);
    const bool topDown = rawHeight < 0;
    if (width < 0 || rawHeight == INT32_MIN) {
        RaiseInvalidBitmap();
    }
    const int height = topDown ? -rawHeight : rawHeight;

    TPixelFormat format = FormatOf(bits);
    stream.Seek(infoSize - kInfoHeaderSize, soCurrent);
    if (compression == kBiBitfields && (bits == 16 || bits == 32)) {
        std::array<uint32_t, 3> masks{};
        uint8_t raw[12];
        stream.ReadBuffer(raw, sizeof raw);
        for (size_t i = 0; i < 3; ++i) {
            masks[i] = U32At(raw + 4 * i);
        }
        if (bits == 16 && masks == kMasks565) {
            format = pf16bit;
        } else if (!(bits == 16 && masks == kMasks555) && !(bits == 32 && masks == kMasks888)) {
            RaiseInvalidBitmap();
        }
    } else if (compression != kBiRgb) {
        RaiseInvalidBitmap();
    }

    TBitmap image;
    if (bits <= 8) {
        const uint32_t maxColors = 1u << bits;
        if (colors == 0 || colors > maxColors) {
            colors = maxColors;
        }
        std::vector<uint8_t> table(colors * 4);
        stream.ReadBuffer(table.data(), static_cast<int64_t>(table.size()));
        std::vector<TPaletteEntry> entries;
        for (uint32_t i = 0; i < colors; ++i) {
            entries.push_back({table[4 * i + 2], table[4 * i + 1], table[4 * i], 0});
        }
        image.m_palette = TPalette(std::move(entries));
    }
    const uint32_t offset = U32At(header + 10);
    if (offset != 0) {
        stream.SetPosition(start + offset);
    }

    // Refuse a size the stream cannot fill before any pixel memory is taken.
    const int64_t stride = (int64_t{width} * bits + 31) / 32 * 4;
    const int64_t remaining = stream.Size() - stream.Position();
    if (height > 0 && stride > remaining / height) {
        throw EReadError(messages::kReadError);
    }
    const TPalette palette = image.m_palette;
    image.Allocate(width, height, format);
    image.m_palette = palette;
    for (int row = 0; row < height; ++row) {
        // File rows run bottom-up unless the height is negative.
        stream.ReadBuffer(image.ScanLine(topDown ? row : height - 1 - row), stride);
    }
    Assign(&image);
}

}  // namespace pogoda
