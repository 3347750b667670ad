#include "tests/png/png_writer.h"

#include <cstdlib>
#include <stdexcept>
#include <zlib.h>

namespace pogoda::test {

const Bytes kSignature{0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

int RawImage::Channels() const {
    switch (colorType) {
        case 2:
            return 3;
        case 4:
            return 2;
        case 6:
            return 4;
        default:
            return 1;
    }
}

namespace {

uint32_t GetBits(const Bytes& row, uint64_t bitOffset, int bits) {
    uint32_t v = 0;
    for (int i = 0; i < bits; ++i) {
        const uint64_t bit = bitOffset + static_cast<uint64_t>(i);
        v = v << 1 | ((row[bit / 8] >> (7 - bit % 8)) & 1);
    }
    return v;
}

void SetBits(Bytes& row, uint64_t bitOffset, int bits, uint32_t v) {
    for (int i = 0; i < bits; ++i) {
        const uint64_t bit = bitOffset + static_cast<uint64_t>(i);
        const uint8_t mask = static_cast<uint8_t>(0x80 >> (bit % 8));
        if ((v >> (bits - 1 - i)) & 1) {
            row[bit / 8] |= mask;
        } else {
            row[bit / 8] &= static_cast<uint8_t>(~mask);
        }
    }
}

int PaethPredict(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) {
        return a;
    }
    return pb <= pc ? b : c;
}

// Appends one filtered scanline: the filter byte, then each byte minus its prediction.
void AppendFiltered(Bytes& out, const Bytes& row, const Bytes& prior, size_t bpp, uint8_t type) {
    out.push_back(type);
    for (size_t i = 0; i < row.size(); ++i) {
        const int a = i >= bpp ? row[i - bpp] : 0;
        const int b = prior[i];
        const int c = i >= bpp ? prior[i - bpp] : 0;
        int predicted = 0;
        switch (type) {
            case 1:
                predicted = a;
                break;
            case 2:
                predicted = b;
                break;
            case 3:
                predicted = (a + b) / 2;
                break;
            case 4:
                predicted = PaethPredict(a, b, c);
                break;
            default:
                break;
        }
        out.push_back(static_cast<uint8_t>(row[i] - predicted));
    }
}

struct Pass {
    uint32_t row0, col0, rowStep, colStep;
};
constexpr Pass kPasses[7] = {{0, 0, 8, 8}, {0, 4, 8, 8}, {4, 0, 8, 4}, {0, 2, 4, 4},
                             {2, 0, 4, 2}, {0, 1, 2, 2}, {1, 0, 2, 1}};

}  // namespace

uint32_t RawImage::Sample(uint32_t x, uint32_t y, int channel) const {
    return GetBits(rows[y], uint64_t{x} * BitsPerPixel() + uint64_t(channel) * depth, depth);
}

RawImage Pattern(uint32_t width, uint32_t height, uint8_t depth, uint8_t colorType) {
    RawImage image{width, height, depth, colorType, {}};
    const int bpp = image.BitsPerPixel();
    uint32_t seed = 12345u + depth * 7u + colorType;
    for (uint32_t y = 0; y < height; ++y) {
        Bytes row(image.RowBytes(width));
        for (uint32_t x = 0; x < width; ++x) {
            for (int c = 0; c < image.Channels(); ++c) {
                seed = seed * 1103515245u + 12345u;
                uint32_t v = (seed >> 8) & ((1u << depth) - 1);
                if ((x + y + static_cast<uint32_t>(c)) % 5 == 0) {
                    v = (1u << depth) - 1;  // the extremes matter for scaling
                } else if ((x + y) % 7 == 3) {
                    v = 0;
                }
                SetBits(row, uint64_t{x} * bpp + uint64_t(c) * depth, depth, v);
            }
        }
        image.rows.push_back(row);
    }
    return image;
}

Bytes Be16(uint32_t v) { return {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)}; }

Bytes Be32(uint32_t v) {
    return {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
            static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

Bytes Chunk(const std::string& type, const Bytes& data) {
    Bytes body(type.begin(), type.end());
    body.insert(body.end(), data.begin(), data.end());
    const auto crc = static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size())));
    return Concat({Be32(static_cast<uint32_t>(data.size())), body, Be32(crc)});
}

Bytes Ihdr(uint32_t width, uint32_t height, uint8_t depth, uint8_t colorType, uint8_t interlace,
           uint8_t compression) {
    return Chunk(
        "IHDR", Concat({Be32(width), Be32(height), {depth, colorType, compression, 0, interlace}}));
}

Bytes Deflate(const Bytes& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(size);
    if (compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) {
        throw std::runtime_error("compress failed");
    }
    out.resize(size);
    return out;
}

Bytes FilteredData(const RawImage& image, bool interlaced, const FilterChoice& filter) {
    const size_t bpp = std::max<size_t>(1, static_cast<size_t>(image.BitsPerPixel() / 8));
    auto choose = [&](int pass, uint32_t y) {
        return filter ? filter(pass, y) : static_cast<uint8_t>(0);
    };
    Bytes out;
    if (!interlaced) {
        Bytes prior(image.RowBytes(image.width), 0);
        for (uint32_t y = 0; y < image.height; ++y) {
            AppendFiltered(out, image.rows[y], prior, bpp, choose(0, y));
            prior = image.rows[y];
        }
        return out;
    }
    const int bits = image.BitsPerPixel();
    for (int p = 0; p < 7; ++p) {
        const Pass& pass = kPasses[p];
        if (image.width <= pass.col0) {
            continue;
        }
        const uint32_t passWidth = (image.width - pass.col0 + pass.colStep - 1) / pass.colStep;
        Bytes prior(image.RowBytes(passWidth), 0);
        uint32_t passRow = 0;
        for (uint32_t y = pass.row0; y < image.height; y += pass.rowStep, ++passRow) {
            Bytes row(image.RowBytes(passWidth), 0);
            for (uint32_t i = 0; i < passWidth; ++i) {
                for (int c = 0; c < image.Channels(); ++c) {
                    SetBits(row, uint64_t{i} * bits + uint64_t(c) * image.depth, image.depth,
                            image.Sample(pass.col0 + i * pass.colStep, y, c));
                }
            }
            AppendFiltered(out, row, prior, bpp, choose(p, passRow));
            prior = row;
        }
    }
    return out;
}

Bytes BuildPng(const RawImage& image, bool interlaced, const std::vector<Bytes>& before,
               const FilterChoice& filter, size_t idatPiece) {
    Bytes out = Concat({kSignature, Ihdr(image.width, image.height, image.depth, image.colorType,
                                         interlaced ? 1 : 0)});
    for (const Bytes& chunk : before) {
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    const Bytes data = Deflate(FilteredData(image, interlaced, filter));
    const size_t piece = idatPiece == 0 ? data.size() : idatPiece;
    for (size_t at = 0; at < data.size(); at += piece) {
        const size_t n = std::min(piece, data.size() - at);
        const Bytes idat = Chunk("IDAT", Bytes(data.begin() + static_cast<ptrdiff_t>(at),
                                               data.begin() + static_cast<ptrdiff_t>(at + n)));
        out.insert(out.end(), idat.begin(), idat.end());
    }
    const Bytes iend = Chunk("IEND", {});
    out.insert(out.end(), iend.begin(), iend.end());
    return out;
}

}  // namespace pogoda::test
