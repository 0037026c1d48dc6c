#pragma once
// Rounding as the figures are defined: halves go to the even neighbour.

#include <cmath>
#include <cstdint>

namespace corv::analysis {

inline int64_t RoundEven(double v) {
    return static_cast<int64_t>(std::nearbyint(v));
}

// num / den rounded, halves to even, without going through floating point (den > 0).
inline int64_t DivRoundEven(int64_t num, int64_t den) {
    int64_t q = num / den;
    int64_t r = num % den;
    if (r < 0) {  // make the remainder non-negative
        r += den;
        --q;
    }
    if (2 * r > den || (2 * r == den && (q & 1))) ++q;
    return q;
}

}  // namespace corv::analysis
