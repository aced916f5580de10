#include "base/Rounding.h"

#include <cmath>
#include <limits>

int64_t RoundHalfEven(double value) {
    if (std::isnan(value)) return 0;
    // Saturate instead of invoking undefined conversions on huge values.
    constexpr double lo = -9223372036854775808.0;
    constexpr double hi = 9223372036854774784.0; // largest double below 2^63
    if (value <= lo) return std::numeric_limits<int64_t>::min();
    if (value >= hi) return std::numeric_limits<int64_t>::max();
    // By hand rather than nearbyint(): independent of the FPU rounding mode.
    const double fl = std::floor(value);
    const double diff = value - fl; // exact for doubles
    const auto base = int64_t(fl);
    if (diff < 0.5) return base;
    if (diff > 0.5) return base + 1;
    return (base % 2 == 0) ? base : base + 1;
}
