#pragma once

// A colour palette of up to 256 RGB entries: the default palettes of the indexed pixel
// formats and the palettes that decoders build. On Windows it is realised as a GDI palette
// at the moment it is drawn.

#include <cstdint>
#include <span>
#include <vector>

#include "graphics/graphics_types.h"

namespace pogoda {

struct TPaletteEntry {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    uint8_t Flags = 0;
    friend bool operator==(const TPaletteEntry&, const TPaletteEntry&) = default;
};

class TPalette {
public:
    static constexpr int kMaxEntries = 256;

    TPalette() = default;
    // More than 256 entries raise EInvalidGraphic "Invalid palette".
    explicit TPalette(std::vector<TPaletteEntry> entries);

    int Count() const { return static_cast<int>(m_entries.size()); }
    bool IsEmpty() const { return m_entries.empty(); }
    const TPaletteEntry& operator[](int index) const { return m_entries[static_cast<size_t>(index)]; }
    std::span<const TPaletteEntry> Entries() const { return m_entries; }
    // The entry's colour; an index past the end gives black.
    TColor ColorAt(int index) const;
    friend bool operator==(const TPalette&, const TPalette&) = default;

    static TPalette BlackWhite();      // 2 entries
    static TPalette SystemColors16();  // the 16 system colours
    static TPalette Halftone();        // 256 entries: 20 system colours around a 6x6x6 cube

private:
    std::vector<TPaletteEntry> m_entries;
};

}  // namespace pogoda
