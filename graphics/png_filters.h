#pragma once

// Row filters and the Adam7 pass geometry of PNG image data.

#include <array>
#include <cstddef>
#include <cstdint>

namespace pogoda {

// Undoes the row filter in place. previous is the reconstructed row above (all zeros for the
// first row of an image or pass); bytesPerPixel is the filter distance. An unknown filter
// type leaves the row as it is.
void Unfilter(uint8_t filter, uint8_t* row, const uint8_t* previous, size_t length,
              size_t bytesPerPixel);

struct TAdam7Pass {
    uint32_t StartRow;
    uint32_t StartColumn;
    uint32_t RowStep;
    uint32_t ColumnStep;
    uint8_t Mask;  // the pass's columns within each group of 8, most significant bit first
};

inline constexpr std::array<TAdam7Pass, 7> kAdam7Passes{{
    {0, 0, 8, 8, 0x80},
    {0, 4, 8, 8, 0x08},
    {4, 0, 8, 4, 0x88},
    {0, 2, 4, 4, 0x22},
    {2, 0, 4, 2, 0xAA},
    {0, 1, 2, 2, 0x55},
    {1, 0, 2, 1, 0xFF},
}};

}  // namespace pogoda
