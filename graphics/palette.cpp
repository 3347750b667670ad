#include "graphics/palette.h"

#include "framework/core/exceptions.h"

namespace pogoda {

namespace {

TPaletteEntry Entry(uint8_t r, uint8_t g, uint8_t b) { return {r, g, b, 0}; }

// The first ten and the last ten colours of the system palette.
std::vector<TPaletteEntry> StaticColorsLow() {
    return {Entry(0, 0, 0),       Entry(128, 0, 0),     Entry(0, 128, 0),   Entry(128, 128, 0),
            Entry(0, 0, 128),     Entry(128, 0, 128),   Entry(0, 128, 128), Entry(192, 192, 192),
            Entry(192, 220, 192), Entry(166, 202, 240)};
}

std::vector<TPaletteEntry> StaticColorsHigh() {
    return {Entry(255, 251, 240), Entry(160, 160, 164), Entry(128, 128, 128), Entry(255, 0, 0),
            Entry(0, 255, 0),     Entry(255, 255, 0),   Entry(0, 0, 255),     Entry(255, 0, 255),
            Entry(0, 255, 255),   Entry(255, 255, 255)};
}

}  // namespace

TPalette::TPalette(std::vector<TPaletteEntry> entries) : m_entries(std::move(entries)) {
    if (m_entries.size() > kMaxEntries) {
        throw EInvalidGraphic("Invalid palette");
    }
}

TColor TPalette::ColorAt(int index) const {
    if (index < 0 || index >= Count()) {
        return clBlack;
    }
    const TPaletteEntry& e = m_entries[static_cast<size_t>(index)];
    return RGBColor(e.Red, e.Green, e.Blue);
}

TPalette TPalette::BlackWhite() { return TPalette({Entry(0, 0, 0), Entry(255, 255, 255)}); }

TPalette TPalette::SystemColors16() {
    std::vector<TPaletteEntry> low = StaticColorsLow();
    std::vector<TPaletteEntry> high = StaticColorsHigh();
    // Black to silver, then gray to white: the sixteen colours of a 4-bit screen.
    std::vector<TPaletteEntry> entries(low.begin(), low.begin() + 8);
    entries.insert(entries.end(), high.begin() + 2, high.end());
    return TPalette(std::move(entries));
}

TPalette TPalette::Halftone() {
    std::vector<TPaletteEntry> entries = StaticColorsLow();
    for (int r = 0; r < 6; ++r) {
        for (int g = 0; g < 6; ++g) {
            for (int b = 0; b < 6; ++b) {
                entries.push_back(Entry(static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51),
                                        static_cast<uint8_t>(b * 51)));
            }
        }
    }
    // Twenty grays between the cube's levels fill the palette up to 256 entries.
    for (int i = 1; i <= 20; ++i) {
        const auto level = static_cast<uint8_t>(i * 255 / 21);
        entries.push_back(Entry(level, level, level));
    }
    std::vector<TPaletteEntry> high = StaticColorsHigh();
    entries.insert(entries.end(), high.begin(), high.end());
    return TPalette(std::move(entries));
}

}  // namespace pogoda
