#pragma once

// A small PNG encoder for building test files: chunks with their CRC, IHDR, filtered rows
// (also Adam7 passes) deflated with zlib.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pogoda::test {

using Bytes = std::vector<uint8_t>;

// An image as packed, unfiltered rows of the given depth and colour type.
struct RawImage {
    uint32_t width = 0;
    uint32_t height = 0;
    uint8_t depth = 8;
    uint8_t colorType = 0;
    std::vector<Bytes> rows;

    int Channels() const;
    int BitsPerPixel() const { return depth * Channels(); }
    size_t RowBytes(uint32_t pixels) const { return (size_t{pixels} * BitsPerPixel() + 7) / 8; }
    uint32_t Sample(uint32_t x, uint32_t y, int channel) const;
};

// A test image whose samples run through many values.
RawImage Pattern(uint32_t width, uint32_t height, uint8_t depth, uint8_t colorType);

Bytes Chunk(const std::string& type, const Bytes& data);
Bytes Ihdr(uint32_t width, uint32_t height, uint8_t depth, uint8_t colorType, uint8_t interlace = 0,
           uint8_t compression = 0);
Bytes Be16(uint32_t v);
Bytes Be32(uint32_t v);
Bytes Deflate(const Bytes& raw);

// Filter type for row y of a pass (pass 0 when not interlaced).
using FilterChoice = std::function<uint8_t(int pass, uint32_t y)>;

// The filtered scanlines (filter byte + data) of the image, interlaced or not.
Bytes FilteredData(const RawImage& image, bool interlaced, const FilterChoice& filter);

// A whole file: signature, IHDR, the extra chunks before the data, IDAT (split in pieces of
// idatPiece bytes when non-zero), IEND.
Bytes BuildPng(const RawImage& image, bool interlaced, const std::vector<Bytes>& before = {},
               const FilterChoice& filter = {}, size_t idatPiece = 0);

Bytes Concat(std::initializer_list<Bytes> parts);
extern const Bytes kSignature;

}  // namespace pogoda::test
