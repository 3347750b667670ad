#pragma once

// CRC-32 (the zlib polynomial) a byte at a time from a table: httpget prints it for every
// body, and a benchmark peer uses the same code, so both spend the same on it.

#include <array>
#include <cstdint>

namespace pogoda {

inline uint32_t Crc32(const uint8_t* data, int64_t size) {
    static constexpr std::array<uint32_t, 256> kTable = [] {
        std::array<uint32_t, 256> table{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
            table[i] = c;
        }
        return table;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (int64_t i = 0; i < size; ++i) crc = kTable[(crc ^ data[i]) & 0xFFu] ^ (crc >> 8);
    return ~crc;
}

}  // namespace pogoda
