#pragma once

// A bitmap that fills itself from a PNG stream: chunk and CRC checks, inflate, row filters,
// Adam7 de-interlacing, and the conversion of each row into the bitmap's own layout.
// A 32-bit result (RGBA images) is drawn blended by its per-pixel alpha.

#include <cstdint>
#include <memory>

#include "graphics/bitmap.h"
#include "graphics/color_manager.h"

namespace pogoda {

class TFileFormatsList;

// Facts from the IHDR chunk (and gAMA) of the last load.
struct TPNGImageSummary {
    uint8_t Options = 0;  // bit 0: IHDR read; bit 1: a gAMA chunk was applied
    uint32_t Width = 0;
    uint32_t Height = 0;
    TSampleScheme ColorScheme = ssUnknown;
    uint8_t BitsPerSample = 0;
    uint8_t Compression = 0;  // 2: deflate
    float FileGamma = 1.0f;
    bool Interlaced = false;
    bool HasAlpha = false;
    uint8_t FilterMethod = 0;
};

class TPNGGraphic : public TBitmap {
    POGODA_GRAPHIC_CLASS(TPNGGraphic)
public:
    TPNGGraphic();
    ~TPNGGraphic() override;

    // Decodes the PNG that starts at the stream's position. Failures raise EInvalidGraphic
    // (or EGraphicCompression, EColorConversionError, the stream's read error) with the
    // graphic left partly filled.
    void LoadStream(TStream& stream) override;
    void DrawInto(TCanvas& canvas, const TRect& rect) override;
    void Assign(const TPersistent* source) override;

    const TPNGImageSummary& ImageSummary() const { return m_summary; }
    TColorManager& ColorManager() { return *m_colorManager; }

private:
    friend class TPNGLoader;

    std::unique_ptr<TColorManager> m_colorManager;
    TRect m_progressRect;
    TPNGImageSummary m_summary;
};

// Adds "png" to the registry.
void RegisterPNGFormat(TFileFormatsList& formats);

}  // namespace pogoda
