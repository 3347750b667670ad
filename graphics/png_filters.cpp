#include "graphics/png_filters.h"

#include <cstdlib>

namespace pogoda {

namespace {

uint8_t Paeth(int a, int up, int upLeft) {
    const int p = a + up - upLeft;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - up);
    const int pc = std::abs(p - upLeft);
    if (pa <= pb && pa <= pc) {
        return static_cast<uint8_t>(a);
    }
    return static_cast<uint8_t>(pb <= pc ? up : upLeft);
}

}  // namespace

void Unfilter(uint8_t filter, uint8_t* row, const uint8_t* previous, size_t length,
              size_t bytesPerPixel) {
    const size_t b = bytesPerPixel;
    switch (filter) {
        case 1:
            for (size_t i = b; i < length; ++i) {
                row[i] = static_cast<uint8_t>(row[i] + row[i - b]);
            }
            break;
        case 2:
            for (size_t i = 0; i < length; ++i) {
                row[i] = static_cast<uint8_t>(row[i] + previous[i]);
            }
            break;
        case 3:
            for (size_t i = 0; i < length; ++i) {
                const unsigned a = i >= b ? row[i - b] : 0;
                row[i] = static_cast<uint8_t>(row[i] + ((a + previous[i]) >> 1));
            }
            break;
        case 4:
            for (size_t i = 0; i < length; ++i) {
                const int a = i >= b ? row[i - b] : 0;
                const int upLeft = i >= b ? previous[i - b] : 0;
                row[i] = static_cast<uint8_t>(row[i] + Paeth(a, previous[i], upLeft));
            }
            break;
        default:
            break;  // None, and unknown types, leave the row unchanged.
    }
}

}  // namespace pogoda
