#include "graphics/color_manager.h"

#include <algorithm>
#include <cmath>

#include "graphics/color_samples.h"

namespace pogoda {

using namespace color_detail;

namespace {

enum class TColorFailure { BadDepth, BadSampleCount, IndexedMix, NoMethod };

[[noreturn]] void Fail(TColorFailure failure) {
    static constexpr const char* kMessages[] = {
        "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.",
        "Sample count per pixel does not correspond to the given color scheme.",
        "Conversion between indexed and non-indexed pixel formats is not supported.",
        "Color conversion failed. Could not find a proper method.",
    };
    throw EColorConversionError(kMessages[static_cast<int>(failure)]);
}

bool HasAlpha(TSampleScheme scheme) {
    return scheme == ssGrayAlpha || scheme == ssRGBA || scheme == ssBGRA;
}

bool IsRGBOrder(TSampleScheme scheme) { return scheme == ssRGB || scheme == ssRGBA; }
bool IsBGROrder(TSampleScheme scheme) { return scheme == ssBGR || scheme == ssBGRA; }
bool IsByteOrWord(int bits) { return bits == 8 || bits == 16; }

uint8_t WithAlphaFlag(uint8_t options, TSampleScheme scheme) {
    return HasAlpha(scheme) ? static_cast<uint8_t>(options | coAlphaPresent)
                            : static_cast<uint8_t>(options & ~coAlphaPresent);
}

size_t ChannelCount(TSampleScheme scheme) {
    switch (scheme) {
        case ssIndexed:
        case ssGray:
            return 1;
        case ssGrayAlpha:
            return 2;
        case ssRGBA:
        case ssBGRA:
        case ssCMYK:
            return 4;
        default:
            return 3;
    }
}

// Rounds to the nearest integer, halves to even (the default rounding mode).
long RoundEven(long double v) { return std::lrint(v); }

// The gamma table for a product of main and display gamma, over the sample ranges.
void FillGammaTable(std::array<uint8_t, 256>& table, float gammaProduct, int sourceBits,
                    int targetBits) {
    const float exponent = 1.0f / gammaProduct;
    const int sourceBound = sourceBits < 8 ? (1 << sourceBits) - 1 : 255;
    const int targetBound = targetBits < 8 ? (1 << targetBits) - 1 : 255;
    for (int i = 0; i <= sourceBound; ++i) {
        const long double ratio = static_cast<long double>(i) / sourceBound;
        table[static_cast<size_t>(i)] = static_cast<uint8_t>(
            RoundEven(std::pow(ratio, static_cast<long double>(exponent)) * targetBound));
    }
}

}  // namespace

// Every loaded picture makes a colour manager; the table of its default description is
// worked out once.
TColorManager::TColorManager() {
    static const std::array<uint8_t, 256> kDefaultTable = [] {
        std::array<uint8_t, 256> table{};
        FillGammaTable(table, 1.0f * 2.2f, 8, 8);
        return table;
    }();
    m_gamma = kDefaultTable;
}

void TColorManager::SetSourceBitsPerSample(int bits) {
    if (bits < 1 || bits > 16) {
        Fail(TColorFailure::BadDepth);
    }
    if (m_sourceBits != bits) {
        m_sourceBits = static_cast<uint8_t>(bits);
        SetChanged();
    }
}

void TColorManager::SetTargetBitsPerSample(int bits) {
    if (bits < 1 || bits > 16) {
        Fail(TColorFailure::BadDepth);
    }
    if (m_targetBits != bits) {
        m_targetBits = static_cast<uint8_t>(bits);
        SetChanged();
    }
}

void TColorManager::SetSourceSamplesPerPixel(int samples) {
    if (samples < 1 || samples > 4) {
        Fail(TColorFailure::BadSampleCount);
    }
    if (m_sourceSamples != samples) {
        m_sourceSamples = static_cast<uint8_t>(samples);
        SetChanged();
    }
}

void TColorManager::SetTargetSamplesPerPixel(int samples) {
    if (samples < 1 || samples > 4) {
        Fail(TColorFailure::BadSampleCount);
    }
    if (m_targetSamples != samples) {
        m_targetSamples = static_cast<uint8_t>(samples);
        SetChanged();
    }
}

void TColorManager::SetSourceColorScheme(TSampleScheme scheme) {
    if (m_sourceScheme != scheme) {
        m_sourceScheme = scheme;
        SetChanged();
    }
}

void TColorManager::SetTargetColorScheme(TSampleScheme scheme) {
    if (m_targetScheme != scheme) {
        m_targetScheme = scheme;
        SetChanged();
    }
}

void TColorManager::SetGamma(float mainGamma, float displayGamma) {
    m_mainGamma = mainGamma > 0 ? mainGamma : 1.0f;
    m_displayGamma = displayGamma > 0 ? displayGamma : 2.2f;
    FillGammaTable(m_gamma, m_mainGamma * m_displayGamma, m_sourceBits, m_targetBits);
}

TPixelFormat TColorManager::PixelFormatOf(int which) const {
    const int samples = which == 0 ? m_sourceSamples : m_targetSamples;
    const int bits = which == 0 ? m_sourceBits : m_targetBits;
    switch (samples) {
        case 1:
            if (bits == 1) {
                return pf1bit;
            }
            if (bits >= 2 && bits <= 4) {
                return pf4bit;
            }
            if (bits >= 8) {
                return pf8bit;
            }
            return pfCustom;
        case 3:
            return bits >= 1 && bits <= 5 ? pf15bit : pf24bit;
        case 4:
            return bits >= 8 ? pf32bit : pfCustom;
        default:
            return pfCustom;
    }
}

// The routine table. Beyond it, every routine needs sample widths it can address: packed
// indices of at most 8 bits, colour samples of 8 or 16 bits. Other widths pass the setters
// but get no routine, so no row reads or writes a width it does not understand.
void TColorManager::SelectRoutine() {
    m_row = nullptr;
    m_routine = TRowRoutine::None;
    const TSampleScheme src = m_sourceScheme;
    const TSampleScheme dst = m_targetScheme;
    const bool sourcePaletted = src == ssIndexed || src == ssGray || src == ssGrayAlpha;
    const bool targetPaletted = dst == ssIndexed || dst == ssGray;
    if (sourcePaletted != targetPaletted) {
        Fail(TColorFailure::IndexedMix);
    }
    m_sourceOptions = WithAlphaFlag(m_sourceOptions, src);
    m_targetOptions = WithAlphaFlag(m_targetOptions, dst);

    const int s = m_sourceBits;
    const int t = m_targetBits;
    const bool wide = IsByteOrWord(s) && IsByteOrWord(t);
    auto pick = [this](TRowRoutine routine, RowFunction row) {
        m_routine = routine;
        m_row = row;
    };
    const bool toRGB = IsRGBOrder(dst);
    const bool toBGR = IsBGROrder(dst);
    switch (src) {
        case ssIndexed:
            if (s == 16 && t == 16) {
                pick(TRowRoutine::Indexed16To16, &TColorManager::RowIndexed16To16);
            } else if (s == 16 && t <= 8) {
                pick(TRowRoutine::Indexed16ToN, &TColorManager::RowIndexed16ToN);
            } else if (t == 16 && s <= 8) {
                pick(TRowRoutine::IndexedNTo16, &TColorManager::RowIndexedNTo16);
            } else if (s <= 8 && t <= 8) {
                pick(TRowRoutine::Indexed, &TColorManager::RowIndexed);
            }
            break;
        case ssGray:
            if (s <= 8 && t <= 8) {
                pick(TRowRoutine::Indexed, &TColorManager::RowIndexed);
            } else if (wide) {
                pick(TRowRoutine::Gray, &TColorManager::RowGray);
            }
            break;
        case ssGrayAlpha:
            if (wide) {
                pick(TRowRoutine::Gray, &TColorManager::RowGray);
            }
            break;
        case ssRGB:
        case ssRGBA:
            if (wide && toRGB) {
                pick(TRowRoutine::RGBToRGB, &TColorManager::RowRGB<false>);
            } else if (wide && toBGR) {
                pick(TRowRoutine::RGBToBGR, &TColorManager::RowRGB<true>);
            }
            break;
        case ssBGR:
        case ssBGRA:
            if (wide && toRGB) {
                pick(TRowRoutine::BGRToRGB, &TColorManager::RowRGB<true>);
            } else if (wide && toBGR) {
                pick(TRowRoutine::BGRToBGR, &TColorManager::RowRGB<false>);
            }
            break;
        case ssCMYK:
            if (wide && toRGB) {
                pick(TRowRoutine::CMYKToRGB, &TColorManager::RowCMYK<false>);
            } else if (wide && toBGR) {
                pick(TRowRoutine::CMYKToBGR, &TColorManager::RowCMYK<true>);
            }
            break;
        case ssLab:
            if (wide && toRGB) {
                pick(TRowRoutine::LabToRGB, &TColorManager::RowLab<false>);
            } else if (wide && toBGR) {
                pick(TRowRoutine::LabToBGR, &TColorManager::RowLab<true>);
            }
            break;
        case ssYCbCr:
        case ssPhotoYCC:
            if (wide && (toRGB || toBGR)) {
                BuildYCbCrTables();
                const bool ycc = src == ssPhotoYCC;
                if (toRGB) {
                    pick(ycc ? TRowRoutine::PhotoYCCToRGB : TRowRoutine::YCbCrToRGB,
                         &TColorManager::RowYCC<false>);
                } else {
                    pick(ycc ? TRowRoutine::PhotoYCCToBGR : TRowRoutine::YCbCrToBGR,
                         &TColorManager::RowYCC<true>);
                }
            }
            break;
        default:
            break;
    }
    m_changed = false;
}

void TColorManager::BuildYCbCrTables() {
    const float kr = 0.299f;
    const float kg = 0.587f;
    const float kb = 0.114f;
    const float redCr = 2 - 2 * kr;
    const float blueCb = 2 - 2 * kb;
    const float greenCr = kr * redCr / kg;
    const float greenCb = kb * blueCb / kg;
    const bool photo = m_sourceScheme == ssPhotoYCC;
    const int crBias = photo ? 137 : 128;
    const int cbBias = photo ? 156 : 128;
    m_redFromCr.assign(256, 0);
    m_blueFromCb.assign(256, 0);
    m_greenFromCr.assign(256, 0);
    m_greenFromCb.assign(256, 0);
    for (int i = 0; i < 256; ++i) {
        const long double dr = i - crBias;
        const long double db = i - cbBias;
        const auto at = static_cast<size_t>(i);
        m_redFromCr[at] = static_cast<int32_t>(RoundEven(redCr * dr));
        m_blueFromCb[at] = static_cast<int32_t>(RoundEven(blueCb * db));
        m_greenFromCr[at] = -static_cast<int32_t>(RoundEven(greenCr * dr));
        m_greenFromCb[at] = -static_cast<int32_t>(RoundEven(greenCb * db));
    }
}

TRowRoutine TColorManager::Routine() {
    if (m_changed) {
        SelectRoutine();
    }
    return m_routine;
}

void TColorManager::ConvertRow(TSampleSources source, uint8_t* target, uint32_t count,
                               uint8_t mask) {
    if (Routine() == TRowRoutine::None) {
        Fail(TColorFailure::NoMethod);
    }
    // Planar data needs a plane for every channel (CMYK takes fewer pointers as interleaved).
    const bool planesMissing = source.size() > 1 && m_sourceScheme != ssCMYK &&
                               source.size() < ChannelCount(m_sourceScheme);
    if (source.empty() || planesMissing) {
        Fail(TColorFailure::NoMethod);
    }
    (this->*m_row)(source, target, count, mask);
}

TPalette TColorManager::BuildColourPalette(TSampleSources source, int format, uint32_t count,
                                           bool blueFirst) {
    const size_t n = std::min<uint32_t>(count, TPalette::kMaxEntries);
    std::vector<TPaletteEntry> entries(TPalette::kMaxEntries);
    const TSampleScaler scaler{(m_targetOptions & coGammaCorrect) ? m_gamma.data() : nullptr,
                               (m_sourceOptions & coBigEndian16) != 0};
    auto set = [&entries](size_t i, uint8_t r, uint8_t g, uint8_t b) {
        entries[i].Red = r;
        entries[i].Green = g;
        entries[i].Blue = b;
    };
    const bool planar = format == 2 || format == 3 || format == 6 || format == 7;
    if (source.empty() || (planar && source.size() < 3)) {
        format = -1;
    }
    switch (format) {
        case 0:
        case 1: {
            const size_t step = format == 0 ? 3 : 4;
            for (size_t i = 0; i < n; ++i) {
                const uint8_t* p = source[0] + i * step;
                const uint8_t c0 = scaler.Colour8(p[0]);
                const uint8_t c1 = scaler.Colour8(p[1]);
                const uint8_t c2 = scaler.Colour8(p[2]);
                blueFirst ? set(i, c2, c1, c0) : set(i, c0, c1, c2);
            }
            break;
        }
        case 2:
        case 3:
            for (size_t i = 0; i < n; ++i) {
                set(i, scaler.Colour8(source[0][i]), scaler.Colour8(source[1][i]),
                    scaler.Colour8(source[2][i]));
            }
            break;
        case 4:
        case 5: {
            const size_t step = format == 4 ? 6 : 8;
            for (size_t i = 0; i < n; ++i) {
                const uint8_t* p = source[0] + i * step;
                const uint8_t c0 = scaler.Colour16To8(Load16(p));
                const uint8_t c1 = scaler.Colour16To8(Load16(p + 2));
                const uint8_t c2 = scaler.Colour16To8(Load16(p + 4));
                // 16-bit samples are blue first unless the flag says otherwise.
                blueFirst ? set(i, c0, c1, c2) : set(i, c2, c1, c0);
            }
            break;
        }
        case 6:
        case 7:
            for (size_t i = 0; i < n; ++i) {
                set(i, scaler.Colour16To8(Load16(source[0] + 2 * i)),
                    scaler.Colour16To8(Load16(source[1] + 2 * i)),
                    scaler.Colour16To8(Load16(source[2] + 2 * i)));
            }
            break;
        default:
            break;
    }

    // Re-spread the entries so that the index RowIndexed scales a pixel to finds its colour.
    // Only indices of at most 8 bits can address the 256 entries read from the source.
    size_t used = n;
    if (m_targetBits <= 8 && m_sourceBits <= 8 && m_sourceBits != m_targetBits) {
        const size_t s = (size_t{1} << m_sourceBits) - 1;
        const size_t t = (size_t{1} << m_targetBits) - 1;
        if (s >= t) {
            for (size_t j = 0; j <= t; ++j) {
                entries[j] = entries[j * s / t];
            }
        } else {
            for (size_t j = t + 1; j-- > 0;) {
                entries[j] = entries[j * s / t];
            }
        }
        used = t + 1;
    }
    entries.resize(used);
    return TPalette(std::move(entries));
}

TPalette TColorManager::BuildGrayPalette(bool reversed) {
    const int n = 1 << std::min(m_targetBits * m_targetSamples, 8);
    const int step = 255 / (n - 1);
    const bool gamma = (m_targetOptions & coGammaCorrect) != 0;
    std::vector<TPaletteEntry> entries(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const int level = i * step;
        const uint8_t v = gamma ? m_gamma[static_cast<size_t>(level)] : static_cast<uint8_t>(level);
        auto& entry = entries[static_cast<size_t>(reversed ? n - 1 - i : i)];
        entry.Red = entry.Green = entry.Blue = v;
    }
    return TPalette(std::move(entries));
}

}  // namespace pogoda
