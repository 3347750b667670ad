// The colour manager's row routines. Each is a straight loop over the pixel positions of one
// row; the sample widths are template arguments, chosen once per row.

#include <array>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "graphics/color_manager.h"
#include "graphics/color_samples.h"

namespace pogoda {

using namespace color_detail;

namespace {

using One = std::integral_constant<int, 1>;
using Two = std::integral_constant<int, 2>;

// Calls body(sourceBytes, targetBytes) with the sample widths (8 or 16 bits) as constants.
template <class Body>
void ByWidths(int sourceBits, int targetBits, Body&& body) {
    if (sourceBits == 8) {
        targetBits == 8 ? body(One{}, One{}) : body(One{}, Two{});
    } else {
        targetBits == 8 ? body(Two{}, One{}) : body(Two{}, Two{});
    }
}

// Calls convert(target) for every position the mask selects; the target advances by step
// for every position, selected or not.
template <class Convert>
void ForSelected(uint8_t* target, uint32_t count, uint8_t mask, size_t step, Convert&& convert) {
    if (mask == 0xFF) {
        for (uint32_t i = 0; i < count; ++i, target += step) {
            convert(target);
        }
        return;
    }
    for (uint32_t i = 0; i < count; ++i, target += step) {
        if (mask & (0x80u >> (i & 7))) {
            convert(target);
        }
    }
}

// The source pixels of a row: interleaved behind one pointer, or one plane per channel.
class TSourceCursor {
public:
    TSourceCursor(TSampleSources source, size_t sampleBytes, size_t samplesPerPixel, bool planar)
        : m_planar(planar), m_sampleBytes(sampleBytes),
          m_pixelBytes(sampleBytes * samplesPerPixel) {
        const size_t planes = planar ? std::min<size_t>(source.size(), 4) : 1;
        for (size_t k = 0; k < planes; ++k) {
            m_at[k] = source[k];
        }
    }
    const uint8_t* Channel(size_t k) const {
        return m_planar ? m_at[k] : m_at[0] + k * m_sampleBytes;
    }
    void Next() {
        if (!m_planar) {
            m_at[0] += m_pixelBytes;
            return;
        }
        for (auto& plane : m_at) {
            if (plane) {
                plane += m_sampleBytes;
            }
        }
    }

private:
    std::array<const uint8_t*, 4> m_at{};
    bool m_planar;
    size_t m_sampleBytes;
    size_t m_pixelBytes;
};

// Samples of 1..8 bits packed most significant bits first.
class TBitReader {
public:
    TBitReader(const uint8_t* data, int bits)
        : m_data(data), m_bits(bits), m_perByte(8 / bits), m_mask((1u << bits) - 1) {}
    uint32_t Next() {
        const uint32_t v = (*m_data >> (8 - m_bits * (m_slot + 1))) & m_mask;
        if (++m_slot == m_perByte) {
            m_slot = 0;
            ++m_data;
        }
        return v;
    }

private:
    const uint8_t* m_data;
    int m_bits;
    int m_perByte;
    uint32_t m_mask;
    int m_slot = 0;
};

class TBitWriter {
public:
    TBitWriter(uint8_t* data, int bits)
        : m_data(data), m_bits(bits), m_perByte(8 / bits), m_mask((1u << bits) - 1) {}
    // Stores v into the current slot, keeping the other bits of the byte.
    void Put(uint32_t v) {
        const int shift = 8 - m_bits * (m_slot + 1);
        *m_data = static_cast<uint8_t>((*m_data & ~(m_mask << shift)) | ((v & m_mask) << shift));
    }
    void Skip() {
        if (++m_slot == m_perByte) {
            m_slot = 0;
            ++m_data;
        }
    }

private:
    uint8_t* m_data;
    int m_bits;
    int m_perByte;
    uint32_t m_mask;
    int m_slot = 0;
};

// Walks count positions: a selected one takes value(), every one moves the writer.
template <class Value>
void PackSelected(uint8_t* target, int bits, uint32_t count, uint8_t mask, Value&& value) {
    TBitWriter writer(target, bits);
    for (uint32_t i = 0; i < count; ++i) {
        if (mask & (0x80u >> (i & 7))) {
            writer.Put(value());
        }
        writer.Skip();
    }
}

template <int SourceBytes, int TargetBytes>
void PutColour(const TSampleScaler& scaler, const uint8_t* in, uint8_t* out) {
    if constexpr (SourceBytes == 1 && TargetBytes == 1) {
        *out = scaler.Colour8(*in);
    } else if constexpr (SourceBytes == 2 && TargetBytes == 1) {
        *out = scaler.Colour16To8(Load16(in));
    } else if constexpr (SourceBytes == 1) {
        Store16(out, scaler.Colour8To16(*in));
    } else {
        Store16(out, scaler.Copy16(Load16(in)));
    }
}

template <int SourceBytes, int TargetBytes>
void PutAlpha(const TSampleScaler& scaler, const uint8_t* in, uint8_t* out) {
    if constexpr (SourceBytes == 1 && TargetBytes == 1) {
        *out = *in;
    } else if constexpr (SourceBytes == 2 && TargetBytes == 1) {
        *out = scaler.Alpha16To8(Load16(in));
    } else if constexpr (SourceBytes == 1) {
        Store16(out, scaler.Alpha8To16(*in));
    } else {
        Store16(out, scaler.Copy16(Load16(in)));
    }
}

// Reads one 8-bit-or-wider sample as an 8-bit value (16-bit samples scaled, no gamma).
template <int SourceBytes>
uint8_t Sample8(const TSampleScaler& scaler, const uint8_t* in) {
    if constexpr (SourceBytes == 1) {
        return *in;
    } else {
        return scaler.Alpha16To8(Load16(in));
    }
}

// Writes an 8-bit result as an 8-bit or 16-bit sample (x 257).
template <int TargetBytes>
void PutResult8(uint8_t* out, uint8_t v) {
    if constexpr (TargetBytes == 1) {
        *out = v;
    } else {
        Store16(out, static_cast<uint16_t>(v * 257));
    }
}

// Places three results in the target's channel order.
template <bool Bgr, int TargetBytes>
void PutRGB8(uint8_t* out, uint8_t r, uint8_t g, uint8_t b) {
    PutResult8<TargetBytes>(out, Bgr ? b : r);
    PutResult8<TargetBytes>(out + TargetBytes, g);
    PutResult8<TargetBytes>(out + 2 * TargetBytes, Bgr ? r : b);
}

// Interleaved 8-bit pixels with every position selected, the common case: the pixel layout
// and gamma are constants here, where the general loop decides them per sample.
template <bool Cross, bool Gamma, size_t InStep, size_t OutStep, bool CopyAlpha>
void Straight8(const uint8_t* in, uint8_t* out, uint32_t count, const uint8_t* gamma) {
    constexpr size_t kFirst = Cross ? 2 : 0;
    constexpr size_t kThird = Cross ? 0 : 2;
    for (uint32_t i = 0; i < count; ++i, in += InStep, out += OutStep) {
        out[0] = Gamma ? gamma[in[kFirst]] : in[kFirst];
        out[1] = Gamma ? gamma[in[1]] : in[1];
        out[2] = Gamma ? gamma[in[kThird]] : in[kThird];
        if constexpr (CopyAlpha) {
            out[3] = in[3];
        }
    }
}

template <bool Cross, bool Gamma>
void Straight8(const uint8_t* in, uint8_t* out, uint32_t count, const uint8_t* gamma,
               bool sourceAlpha, bool targetAlpha) {
    if (sourceAlpha && targetAlpha) {
        Straight8<Cross, Gamma, 4, 4, true>(in, out, count, gamma);
    } else if (sourceAlpha) {
        Straight8<Cross, Gamma, 4, 3, false>(in, out, count, gamma);
    } else if (targetAlpha) {
        Straight8<Cross, Gamma, 3, 4, false>(in, out, count, gamma);
    } else {
        Straight8<Cross, Gamma, 3, 3, false>(in, out, count, gamma);
    }
}

}  // namespace

void TColorManager::RowIndexed(TSampleSources source, uint8_t* target, uint32_t count,
                               uint8_t mask) {
    const int s = m_sourceBits;
    const int t = m_targetBits;
    if (s == t && mask == 0xFF) {
        std::memcpy(target, source[0], (uint64_t{count} * s + 7) / 8);
        return;
    }
    TBitReader reader(source[0], s);
    const uint32_t sourceMax = (1u << s) - 1;
    const uint32_t targetMax = (1u << t) - 1;
    PackSelected(target, t, count, mask, [&] { return reader.Next() * targetMax / sourceMax; });
}

void TColorManager::RowIndexed16To16(TSampleSources source, uint8_t* target, uint32_t count,
                                     uint8_t mask) {
    const TSampleScaler scaler{nullptr, (m_sourceOptions & coBigEndian16) != 0};
    const uint8_t* in = source[0];
    ForSelected(target, count, mask, 2, [&](uint8_t* out) {
        Store16(out, scaler.Copy16(Load16(in)));
        in += 2;
    });
}

void TColorManager::RowIndexed16ToN(TSampleSources source, uint8_t* target, uint32_t count,
                                    uint8_t mask) {
    const TSampleScaler scaler{nullptr, (m_sourceOptions & coBigEndian16) != 0};
    const uint8_t* in = source[0];
    const uint32_t targetMax = (1u << m_targetBits) - 1;
    PackSelected(target, m_targetBits, count, mask, [&] {
        const uint32_t v = scaler.Copy16(Load16(in));
        in += 2;
        return v * targetMax / 65535;
    });
}

void TColorManager::RowIndexedNTo16(TSampleSources source, uint8_t* target, uint32_t count,
                                    uint8_t mask) {
    const bool swap = (m_sourceOptions & coBigEndian16) != 0;
    TBitReader reader(source[0], m_sourceBits);
    const uint32_t sourceMax = (1u << m_sourceBits) - 1;
    ForSelected(target, count, mask, 2, [&](uint8_t* out) {
        const auto v = static_cast<uint16_t>(reader.Next() * 65535 / sourceMax);
        Store16(out, swap ? Swap16(v) : v);
    });
}

// Gray rows take the gray sample of each pixel; gamma for gray images lives in the palette.
void TColorManager::RowGray(TSampleSources source, uint8_t* target, uint32_t count, uint8_t mask) {
    const TSampleScaler scaler{nullptr, (m_sourceOptions & coBigEndian16) != 0};
    const size_t samples = (m_sourceOptions & coAlphaPresent) ? 2 : 1;
    ByWidths(m_sourceBits, m_targetBits, [&](auto sb, auto tb) {
        constexpr int kSource = decltype(sb)::value;
        constexpr int kTarget = decltype(tb)::value;
        TSourceCursor in(source, kSource, samples, source.size() > 1);
        ForSelected(target, count, mask, kTarget, [&](uint8_t* out) {
            PutAlpha<kSource, kTarget>(scaler, in.Channel(0), out);
            in.Next();
        });
    });
}

template <bool Cross>
void TColorManager::RowRGB(TSampleSources source, uint8_t* target, uint32_t count, uint8_t mask) {
    const TSampleScaler scaler{(m_targetOptions & coGammaCorrect) ? m_gamma.data() : nullptr,
                               (m_sourceOptions & coBigEndian16) != 0};
    const bool sourceAlpha = (m_sourceOptions & coAlphaPresent) != 0;
    const bool targetAlpha = (m_targetOptions & coAlphaPresent) != 0;
    const bool copyAlpha = sourceAlpha && targetAlpha;
    if (m_sourceBits == 8 && m_targetBits == 8 && source.size() == 1 && mask == 0xFF) {
        if (scaler.Gamma) {
            Straight8<Cross, true>(source[0], target, count, scaler.Gamma, sourceAlpha,
                                   targetAlpha);
        } else {
            Straight8<Cross, false>(source[0], target, count, nullptr, sourceAlpha, targetAlpha);
        }
        return;
    }
    ByWidths(m_sourceBits, m_targetBits, [&](auto sb, auto tb) {
        constexpr int kSource = decltype(sb)::value;
        constexpr int kTarget = decltype(tb)::value;
        constexpr size_t kFirst = Cross ? 2 : 0;
        constexpr size_t kThird = Cross ? 0 : 2;
        TSourceCursor in(source, kSource, sourceAlpha ? 4 : 3, source.size() > 1);
        const size_t step = (targetAlpha ? 4 : 3) * size_t{kTarget};
        ForSelected(target, count, mask, step, [&](uint8_t* out) {
            PutColour<kSource, kTarget>(scaler, in.Channel(kFirst), out);
            PutColour<kSource, kTarget>(scaler, in.Channel(1), out + kTarget);
            PutColour<kSource, kTarget>(scaler, in.Channel(kThird), out + 2 * kTarget);
            if (copyAlpha) {
                PutAlpha<kSource, kTarget>(scaler, in.Channel(3), out + 3 * kTarget);
            }
            in.Next();
        });
    });
}

template <bool Bgr>
void TColorManager::RowCMYK(TSampleSources source, uint8_t* target, uint32_t count, uint8_t mask) {
    const TSampleScaler scaler{nullptr, (m_sourceOptions & coBigEndian16) != 0};
    const bool targetAlpha = (m_targetOptions & coAlphaPresent) != 0;
    ByWidths(m_sourceBits, m_targetBits, [&](auto sb, auto tb) {
        constexpr int kSource = decltype(sb)::value;
        constexpr int kTarget = decltype(tb)::value;
        TSourceCursor in(source, kSource, 4, source.size() == 4);
        const size_t step = (targetAlpha ? 4 : 3) * size_t{kTarget};
        ForSelected(target, count, mask, step, [&](uint8_t* out) {
            std::array<int64_t, 4> c{};
            for (size_t k = 0; k < 4; ++k) {
                c[k] = kSource == 1 ? *in.Channel(k) : scaler.Copy16(Load16(in.Channel(k)));
            }
            const int64_t k = c[3];
            std::array<int64_t, 3> rgb{};
            for (size_t i = 0; i < 3; ++i) {
                const int64_t s = c[i];
                if constexpr (kSource == 1) {
                    rgb[i] = Clamp8(s * k / 255 - s - k + 255);
                    if constexpr (kTarget == 2) {
                        rgb[i] *= 257;
                    }
                } else if constexpr (kTarget == 1) {
                    rgb[i] = Clamp8(255 - (((s + k - s * k / 65535) & 0xFFFF) * 255) / 65535);
                } else {
                    rgb[i] = (s * k / 65535 - s - k - 1) & 0xFFFF;
                }
            }
            const int64_t first = Bgr ? rgb[2] : rgb[0];
            const int64_t third = Bgr ? rgb[0] : rgb[2];
            const std::array<int64_t, 3> ordered{first, rgb[1], third};
            for (size_t i = 0; i < 3; ++i) {
                if constexpr (kTarget == 1) {
                    out[i] = static_cast<uint8_t>(ordered[i]);
                } else {
                    Store16(out + 2 * i, static_cast<uint16_t>(ordered[i]));
                }
            }
            in.Next();
        });
    });
}

// 16-bit L*a*b* samples are first scaled to 8 bits; the conversion itself is 8-bit.
template <bool Bgr>
void TColorManager::RowLab(TSampleSources source, uint8_t* target, uint32_t count, uint8_t mask) {
    const TSampleScaler scaler{nullptr, (m_sourceOptions & coBigEndian16) != 0};
    const bool lightness255 = (m_sourceOptions & coLabLightness255) != 0;
    const bool biased = (m_sourceOptions & coLabChromaBiased) != 0;
    const bool targetAlpha = (m_targetOptions & coAlphaPresent) != 0;
    ByWidths(m_sourceBits, m_targetBits, [&](auto sb, auto tb) {
        constexpr int kSource = decltype(sb)::value;
        constexpr int kTarget = decltype(tb)::value;
        TSourceCursor in(source, kSource, 3, source.size() > 1);
        const size_t step = (targetAlpha ? 4 : 3) * size_t{kTarget};
        ForSelected(target, count, mask, step, [&](uint8_t* out) {
            const uint8_t l8 = Sample8<kSource>(scaler, in.Channel(0));
            const uint8_t a8 = Sample8<kSource>(scaler, in.Channel(1));
            const uint8_t b8 = Sample8<kSource>(scaler, in.Channel(2));
            const long double l = lightness255 ? l8 / 2.55L : static_cast<long double>(l8);
            const long double a = biased ? a8 - 128.0L : static_cast<int8_t>(a8);
            const long double b = biased ? b8 - 128.0L : static_cast<int8_t>(b8);
            long double x;
            long double y;
            long double z;
            if (l < 7.9996L) {
                y = l / 903.3L;
                x = y + a / 3893.5L;
                z = y - b / 1557.4L;
            } else {
                const long double f = (l + 16) / 116;
                x = std::pow(f + a / 500, 3.0L);
                y = f * f * f;
                z = std::pow(f - b / 200, 3.0L);
            }
            auto channel = [](long double v) { return Clamp8(std::lrint(v * 255)); };
            const uint8_t blue = channel(0.099L * x - 0.198L * y + 1.099L * z);
            const uint8_t green = channel(-0.952L * x + 1.893L * y + 0.059L * z);
            const uint8_t red = channel(2.998L * x - 1.458L * y - 0.541L * z);
            PutRGB8<Bgr, kTarget>(out, red, green, blue);
            in.Next();
        });
    });
}

template <bool Bgr>
void TColorManager::RowYCC(TSampleSources source, uint8_t* target, uint32_t count, uint8_t mask) {
    const TSampleScaler scaler{nullptr, (m_sourceOptions & coBigEndian16) != 0};
    const bool targetAlpha = (m_targetOptions & coAlphaPresent) != 0;
    ByWidths(m_sourceBits, m_targetBits, [&](auto sb, auto tb) {
        constexpr int kSource = decltype(sb)::value;
        constexpr int kTarget = decltype(tb)::value;
        TSourceCursor in(source, kSource, 3, source.size() > 1);
        const size_t step = (targetAlpha ? 4 : 3) * size_t{kTarget};
        ForSelected(target, count, mask, step, [&](uint8_t* out) {
            if constexpr (kSource == 2 && kTarget == 2) {
                // Wide samples keep full precision and are not clamped.
                const long double y = scaler.Copy16(Load16(in.Channel(0)));
                const long double c1 = scaler.Copy16(Load16(in.Channel(1))) - 40092.0L;
                const long double c2 = scaler.Copy16(Load16(in.Channel(2))) - 35209.0L;
                const auto blue = static_cast<uint16_t>(std::llrint(1.3584L * y + 2.2179L * c1));
                const auto green = static_cast<uint16_t>(
                    std::llrint(1.3584L * y - 0.9271435L * c2 - 0.4302726L * c1));
                const auto red = static_cast<uint16_t>(std::llrint(1.3584L * y + 1.8215L * c2));
                Store16(out, Bgr ? blue : red);
                Store16(out + 2, green);
                Store16(out + 4, Bgr ? red : blue);
            } else {
                const int y = Sample8<kSource>(scaler, in.Channel(0));
                const auto cb = static_cast<size_t>(Sample8<kSource>(scaler, in.Channel(1)));
                const auto cr = static_cast<size_t>(Sample8<kSource>(scaler, in.Channel(2)));
                const uint8_t blue = Clamp8(y + m_blueFromCb[cb]);
                const uint8_t green = Clamp8(y + m_greenFromCb[cb] + m_greenFromCr[cr]);
                const uint8_t red = Clamp8(y + m_redFromCr[cr]);
                PutRGB8<Bgr, kTarget>(out, red, green, blue);
            }
            in.Next();
        });
    });
}

template void TColorManager::RowRGB<false>(TSampleSources, uint8_t*, uint32_t, uint8_t);
template void TColorManager::RowRGB<true>(TSampleSources, uint8_t*, uint32_t, uint8_t);
template void TColorManager::RowCMYK<false>(TSampleSources, uint8_t*, uint32_t, uint8_t);
template void TColorManager::RowCMYK<true>(TSampleSources, uint8_t*, uint32_t, uint8_t);
template void TColorManager::RowLab<false>(TSampleSources, uint8_t*, uint32_t, uint8_t);
template void TColorManager::RowLab<true>(TSampleSources, uint8_t*, uint32_t, uint8_t);
template void TColorManager::RowYCC<false>(TSampleSources, uint8_t*, uint32_t, uint8_t);
template void TColorManager::RowYCC<true>(TSampleSources, uint8_t*, uint32_t, uint8_t);

}  // namespace pogoda
