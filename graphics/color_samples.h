#pragma once

// The sample primitives shared by the colour manager's row routines and palettes. All
// integer arithmetic is unsigned and truncating, as the pixel values of existing files and
// tests depend on it: 0xFFFE scales to 254, not 255.

#include <cstdint>
#include <cstring>

namespace pogoda::color_detail {

inline uint16_t Swap16(uint16_t v) { return static_cast<uint16_t>((v << 8) | (v >> 8)); }

inline uint16_t Load16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void Store16(uint8_t* p, uint16_t v) { std::memcpy(p, &v, sizeof v); }

// (x * y) div z with a 32-bit intermediate and a 16-bit result.
inline uint16_t MulDiv16(uint32_t x, uint32_t y, uint32_t z) {
    return static_cast<uint16_t>(x * y / z);
}

inline uint8_t Clamp8(int64_t v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// Sample conversions under one description: the gamma table (null when gamma is off) and
// the byte order of 16-bit samples.
struct TSampleScaler {
    const uint8_t* Gamma = nullptr;
    bool Swap = false;

    uint8_t Colour8(uint8_t v) const { return Gamma ? Gamma[v] : v; }
    uint8_t Alpha16To8(uint16_t v) const {
        return static_cast<uint8_t>(MulDiv16(Swap ? Swap16(v) : v, 255, 65535));
    }
    uint8_t Colour16To8(uint16_t v) const { return Colour8(Alpha16To8(v)); }
    uint16_t Alpha8To16(uint8_t v) const {
        const uint16_t wide = MulDiv16(v, 65535, 255);
        return Swap ? Swap16(wide) : wide;
    }
    uint16_t Colour8To16(uint8_t v) const { return Alpha8To16(Colour8(v)); }
    uint16_t Copy16(uint16_t v) const { return Swap ? Swap16(v) : v; }
};

}  // namespace pogoda::color_detail
