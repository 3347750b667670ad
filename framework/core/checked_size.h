#pragma once

// Sizes computed from untrusted input (file headers, lengths on the wire) go through these
// helpers: 64-bit arithmetic that refuses to wrap, and a narrowing that refuses to truncate.
// A size that cannot be represented raises EOutOfMemory "Out of memory", since nothing of that
// size could be allocated anyway.

#include <cstdint>
#include <limits>

#include "framework/core/exceptions.h"

namespace pogoda {

[[noreturn]] inline void RaiseSizeOverflow() { throw EOutOfMemory(messages::kOutOfMemory); }

inline uint64_t CheckedAdd(uint64_t a, uint64_t b) {
    uint64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) {
        RaiseSizeOverflow();
    }
    return sum;
}

inline uint64_t CheckedMul(uint64_t a, uint64_t b) {
    uint64_t product = 0;
    if (__builtin_mul_overflow(a, b, &product)) {
        RaiseSizeOverflow();
    }
    return product;
}

template <class T>
T CheckedNarrow(uint64_t value) {
    if (value > static_cast<uint64_t>(std::numeric_limits<T>::max())) {
        RaiseSizeOverflow();
    }
    return static_cast<T>(value);
}

}  // namespace pogoda
