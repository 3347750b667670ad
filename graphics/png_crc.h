#pragma once

// The CRC-32 of PNG chunks (reflected polynomial 0xEDB88320), table-driven, eight bytes per
// step. Start with crc = 0 and feed the chunk type, then the data; an empty piece leaves the
// running value as it is.

#include <cstddef>
#include <cstdint>

namespace pogoda {

uint32_t UpdatePNGCrc(uint32_t crc, const uint8_t* data, size_t length);

}  // namespace pogoda
