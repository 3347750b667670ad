#include "graphics/png_filters.h"

#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pogoda {

namespace {

// Written without branches on the data: the choice compiles to conditional moves, which the
// noise of photographs would otherwise turn into mispredicted jumps.
inline uint8_t Paeth(int a, int up, int upLeft) {
    const int pa = std::abs(up - upLeft);
    const int pb = std::abs(a - upLeft);
    const int pc = std::abs(a + up - 2 * upLeft);
    const int notA = pb <= pc ? up : upLeft;
    return static_cast<uint8_t>(pa <= pb && pa <= pc ? a : notA);
}

// Up adds the row above bytewise, eight bytes at a time without carries between them.
void UnfilterUp(uint8_t* row, const uint8_t* previous, size_t length) {
    constexpr uint64_t kHigh = 0x8080808080808080u;
    size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        uint64_t x;
        uint64_t y;
        std::memcpy(&x, row + i, 8);
        std::memcpy(&y, previous + i, 8);
        const uint64_t sum = ((x & ~kHigh) + (y & ~kHigh)) ^ ((x ^ y) & kHigh);
        std::memcpy(row + i, &sum, 8);
    }
    for (; i < length; ++i) {
        row[i] = static_cast<uint8_t>(row[i] + previous[i]);
    }
}

// The filters that look left, with the pixel width known to the compiler; the first pixel,
// which has nothing to its left, is done apart so the loops carry no test for it.
template <size_t B>
void UnfilterLeft(uint8_t filter, uint8_t* row, const uint8_t* previous, size_t length, size_t b) {
    if constexpr (B != 0) {
        b = B;
    }
    const size_t first = b < length ? b : length;
    switch (filter) {
        case 1:
            for (size_t i = b; i < length; ++i) {
                row[i] = static_cast<uint8_t>(row[i] + row[i - b]);
            }
            break;
        case 3:
            for (size_t i = 0; i < first; ++i) {
                row[i] = static_cast<uint8_t>(row[i] + (previous[i] >> 1));
            }
            for (size_t i = b; i < length; ++i) {
                row[i] = static_cast<uint8_t>(row[i] + ((unsigned{row[i - b]} + previous[i]) >> 1));
            }
            break;
        case 4:
            for (size_t i = 0; i < first; ++i) {
                row[i] = static_cast<uint8_t>(row[i] + previous[i]);
            }
            for (size_t i = b; i < length; ++i) {
                row[i] =
                    static_cast<uint8_t>(row[i] + Paeth(row[i - b], previous[i], previous[i - b]));
            }
            break;
        default:
            break;
    }
}

#if defined(__SSE2__)
// Sub, Average and Paeth on pixels of 3 to 8 bytes: one pixel per step, its bytes side by side
// in 16-bit lanes, so the per-byte arithmetic of the scalar loops runs on all of them at once.
// Three bytes are put together in a register: a partial copy into a word in memory would make
// the processor wait for the stores before the load of the whole word.
template <size_t B>
__m128i LoadPixel(const uint8_t* p) {
    uint32_t low;
    uint32_t high = 0;
    if constexpr (B == 3) {
        low = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
    } else {
        std::memcpy(&low, p, 4);
        if constexpr (B == 6) {
            high = uint32_t{p[4]} | uint32_t{p[5]} << 8;
        } else if constexpr (B == 8) {
            std::memcpy(&high, p + 4, 4);
        }
    }
    const __m128i bytes = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(low)),
                                             _mm_cvtsi32_si128(static_cast<int>(high)));
    return _mm_unpacklo_epi8(bytes, _mm_setzero_si128());
}

template <size_t B>
void StorePixel(uint8_t* p, __m128i pixel) {
    const __m128i bytes = _mm_packus_epi16(pixel, pixel);
    const auto low = static_cast<uint32_t>(_mm_cvtsi128_si32(bytes));
    std::memcpy(p, &low, B < 4 ? B : 4);
    if constexpr (B > 4) {
        const auto high = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(bytes, 4)));
        std::memcpy(p + 4, &high, B - 4);
    }
}

__m128i Abs16(__m128i v) { return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v)); }

__m128i Choose(__m128i mask, __m128i ifSet, __m128i ifClear) {
    return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, ifClear));
}

template <size_t B>
void UnfilterPixels(uint8_t filter, uint8_t* row, const uint8_t* previous, size_t length) {
    const __m128i low = _mm_set1_epi16(0xFF);
    __m128i a = _mm_setzero_si128();
    __m128i upLeft = _mm_setzero_si128();
    for (size_t i = 0; i + B <= length; i += B) {
        const __m128i x = LoadPixel<B>(row + i);
        const __m128i up = LoadPixel<B>(previous + i);
        __m128i predictor;
        if (filter == 1) {
            predictor = a;
        } else if (filter == 3) {
            predictor = _mm_srli_epi16(_mm_add_epi16(a, up), 1);
        } else {
            const __m128i pa = Abs16(_mm_sub_epi16(up, upLeft));
            const __m128i pb = Abs16(_mm_sub_epi16(a, upLeft));
            const __m128i pc =
                Abs16(_mm_sub_epi16(_mm_add_epi16(a, up), _mm_add_epi16(upLeft, upLeft)));
            const __m128i smallest = _mm_min_epi16(pa, _mm_min_epi16(pb, pc));
            predictor = Choose(_mm_cmpeq_epi16(smallest, pa), a,
                               Choose(_mm_cmpeq_epi16(smallest, pb), up, upLeft));
            upLeft = up;
        }
        a = _mm_and_si128(_mm_add_epi16(x, predictor), low);
        StorePixel<B>(row + i, a);
    }
}
#endif

}  // namespace

void Unfilter(uint8_t filter, uint8_t* row, const uint8_t* previous, size_t length,
              size_t bytesPerPixel) {
    if (filter == 2) {
        UnfilterUp(row, previous, length);
        return;
    }
    if (filter != 1 && filter != 3 && filter != 4) {
        return;  // None, and unknown types, leave the row unchanged.
    }
#if defined(__SSE2__)
    if (bytesPerPixel >= 3 && length % bytesPerPixel == 0) {
        switch (bytesPerPixel) {
            case 3:
                UnfilterPixels<3>(filter, row, previous, length);
                return;
            case 4:
                UnfilterPixels<4>(filter, row, previous, length);
                return;
            case 6:
                UnfilterPixels<6>(filter, row, previous, length);
                return;
            case 8:
                UnfilterPixels<8>(filter, row, previous, length);
                return;
            default:
                break;
        }
    }
#endif
    switch (bytesPerPixel) {
        case 1:
            UnfilterLeft<1>(filter, row, previous, length, 1);
            break;
        case 2:
            UnfilterLeft<2>(filter, row, previous, length, 2);
            break;
        case 3:
            UnfilterLeft<3>(filter, row, previous, length, 3);
            break;
        case 4:
            UnfilterLeft<4>(filter, row, previous, length, 4);
            break;
        case 6:
            UnfilterLeft<6>(filter, row, previous, length, 6);
            break;
        case 8:
            UnfilterLeft<8>(filter, row, previous, length, 8);
            break;
        default:
            UnfilterLeft<0>(filter, row, previous, length, bytesPerPixel);
            break;
    }
}

}  // namespace pogoda
