#pragma once

// Turns rows of decoded samples, in the layout a file format delivers them, into rows of a
// device-independent bitmap, and makes the matching palettes. The caller describes source and
// target, then hands over one row at a time; the row routine is chosen once per change of the
// description.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "framework/core/exceptions.h"
#include "framework/core/object.h"
#include "graphics/graphics_types.h"
#include "graphics/palette.h"

namespace pogoda {

POGODA_EXCEPTION(EColorConversionError, Exception);

enum TSampleScheme : uint8_t {
    ssUnknown,
    ssIndexed,
    ssGray,
    ssGrayAlpha,
    ssRGB,
    ssRGBA,
    ssBGR,
    ssBGRA,
    ssCMY,
    ssCMYK,
    ssLab,
    ssYCbCr,
    ssPhotoYCC,
};

// Option bits of the source and target descriptions.
inline constexpr uint8_t coAlphaPresent = 0x01;     // recomputed from the schemes
inline constexpr uint8_t coGammaCorrect = 0x02;     // target: colour samples use the gamma table
inline constexpr uint8_t coBigEndian16 = 0x04;      // source: 16-bit samples stored MSB first
inline constexpr uint8_t coLabLightness255 = 0x08;  // source: L* stored 0..255
inline constexpr uint8_t coLabChromaBiased = 0x10;  // source: a*, b* stored with a bias of 128

// The row routine the current description selects.
enum class TRowRoutine {
    None,
    Indexed,
    Indexed16To16,
    Indexed16ToN,
    IndexedNTo16,
    Gray,
    RGBToRGB,
    RGBToBGR,
    BGRToRGB,
    BGRToBGR,
    CMYKToRGB,
    CMYKToBGR,
    LabToRGB,
    LabToBGR,
    YCbCrToRGB,
    YCbCrToBGR,
    PhotoYCCToRGB,
    PhotoYCCToBGR,
};

// Source pointers: one for interleaved samples, one per channel for planar data.
using TSampleSources = std::span<const uint8_t* const>;

class TColorManager : public TObject {
    POGODA_CLASS_NAME(TColorManager)
public:
    TColorManager();

    // 1..16, else "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16."
    void SetSourceBitsPerSample(int bits);
    void SetTargetBitsPerSample(int bits);
    // 1..4, else "Sample count per pixel does not correspond to the given color scheme."
    void SetSourceSamplesPerPixel(int samples);
    void SetTargetSamplesPerPixel(int samples);
    void SetSourceColorScheme(TSampleScheme scheme);
    void SetTargetColorScheme(TSampleScheme scheme);
    void SetSourceOptions(uint8_t options) { m_sourceOptions = options; }
    void SetTargetOptions(uint8_t options) { m_targetOptions = options; }

    int SourceBitsPerSample() const { return m_sourceBits; }
    int TargetBitsPerSample() const { return m_targetBits; }
    int SourceSamplesPerPixel() const { return m_sourceSamples; }
    int TargetSamplesPerPixel() const { return m_targetSamples; }
    TSampleScheme SourceColorScheme() const { return m_sourceScheme; }
    TSampleScheme TargetColorScheme() const { return m_targetScheme; }
    uint8_t SourceOptions() const { return m_sourceOptions; }
    uint8_t TargetOptions() const { return m_targetOptions; }

    // A main gamma or display gamma of 0 or below stands for 1.0 or 2.2.
    void SetGamma(float mainGamma, float displayGamma);
    const std::array<uint8_t, 256>& GammaTable() const { return m_gamma; }

    // The pixel format a bitmap needs for the source (0) or target (1) layout.
    TPixelFormat PixelFormatOf(int which) const;

    // Converts one row into target: count pixel positions, of which those selected by the mask
    // (bit 7 - i mod 8 for position i) take the next source pixel and the others stay as they
    // are. Raises "Color conversion failed. Could not find a proper method." when the
    // description has no routine, and "Conversion between indexed and non-indexed pixel
    // formats is not supported." for a palette-based side facing a direct-colour one.
    void ConvertRow(TSampleSources source, uint8_t* target, uint32_t count, uint8_t mask);
    // Runs the selection when the description changed; the routine it picked.
    TRowRoutine Routine();

    // format: 0 interleaved 8-bit RGB, 1 8-bit RGBx, 2 and 3 three 8-bit planes, 4 interleaved
    // 16-bit BGR, 5 16-bit BGRx, 6 and 7 three 16-bit planes; blueFirst swaps the interleaved
    // channel order. Entries the source does not provide are black.
    TPalette BuildColourPalette(TSampleSources source, int format, uint32_t count, bool blueFirst);
    TPalette BuildGrayPalette(bool reversed);

private:
    using RowFunction = void (TColorManager::*)(TSampleSources, uint8_t*, uint32_t, uint8_t);

    void SetChanged() { m_changed = true; }
    void SelectRoutine();
    void BuildYCbCrTables();

    void RowIndexed(TSampleSources, uint8_t*, uint32_t, uint8_t);
    void RowIndexed16To16(TSampleSources, uint8_t*, uint32_t, uint8_t);
    void RowIndexed16ToN(TSampleSources, uint8_t*, uint32_t, uint8_t);
    void RowIndexedNTo16(TSampleSources, uint8_t*, uint32_t, uint8_t);
    void RowGray(TSampleSources, uint8_t*, uint32_t, uint8_t);
    template <bool Cross>
    void RowRGB(TSampleSources, uint8_t*, uint32_t, uint8_t);
    template <bool Bgr>
    void RowCMYK(TSampleSources, uint8_t*, uint32_t, uint8_t);
    template <bool Bgr>
    void RowLab(TSampleSources, uint8_t*, uint32_t, uint8_t);
    template <bool Bgr>
    void RowYCC(TSampleSources, uint8_t*, uint32_t, uint8_t);

    bool m_changed = true;
    uint8_t m_sourceBits = 8;
    uint8_t m_targetBits = 8;
    uint8_t m_sourceSamples = 3;
    uint8_t m_targetSamples = 3;
    float m_mainGamma = 1.0f;
    float m_displayGamma = 2.2f;
    std::array<uint8_t, 256> m_gamma{};
    std::vector<int32_t> m_redFromCr;
    std::vector<int32_t> m_blueFromCb;
    std::vector<int32_t> m_greenFromCr;
    std::vector<int32_t> m_greenFromCb;
    TSampleScheme m_sourceScheme = ssRGB;
    TSampleScheme m_targetScheme = ssBGR;
    RowFunction m_row = nullptr;
    TRowRoutine m_routine = TRowRoutine::None;
    uint8_t m_sourceOptions = 0;
    uint8_t m_targetOptions = 0;
};

}  // namespace pogoda
