#include "graphics/png_crc.h"

#include <array>

namespace pogoda {

namespace {

using CrcTables = std::array<std::array<uint32_t, 256>, 8>;

// Table k gives the CRC contribution of a byte followed by k zero bytes.
CrcTables BuildTables() {
    CrcTables tables{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        tables[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n) {
        for (size_t k = 1; k < 8; ++k) {
            const uint32_t previous = tables[k - 1][n];
            tables[k][n] = tables[0][previous & 0xFF] ^ (previous >> 8);
        }
    }
    return tables;
}

}  // namespace

uint32_t UpdatePNGCrc(uint32_t crc, const uint8_t* data, size_t length) {
    static const CrcTables tables = BuildTables();
    uint32_t c = ~crc;
    while (length >= 8) {
        const uint32_t low = c ^ (uint32_t{data[0]} | uint32_t{data[1]} << 8 |
                                  uint32_t{data[2]} << 16 | uint32_t{data[3]} << 24);
        c = tables[7][low & 0xFF] ^ tables[6][(low >> 8) & 0xFF] ^ tables[5][(low >> 16) & 0xFF] ^
            tables[4][low >> 24] ^ tables[3][data[4]] ^ tables[2][data[5]] ^ tables[1][data[6]] ^
            tables[0][data[7]];
        data += 8;
        length -= 8;
    }
    while (length-- > 0) {
        c = tables[0][(c ^ *data++) & 0xFF] ^ (c >> 8);
    }
    return ~c;
}

}  // namespace pogoda
