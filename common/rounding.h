#pragma once
// The one place where floating values become integers: to the nearest integer, halves to the
// even neighbour (2.5 gives 2, 3.5 gives 4, -2.5 gives -2).

#include <cmath>
#include <concepts>
#include <cstdint>
#include <limits>
#include <optional>

#include "common/runtime_error.h"

namespace kestro {

// The nearest integral value of v as a double, ties to even. NaN and infinities pass through.
inline double roundHalfEven(double v) {
    if (!std::isfinite(v)) {
        return v;
    }
    const double lower = std::floor(v);
    const double diff = v - lower;
    if (diff < 0.5) {
        return lower;
    }
    if (diff > 0.5) {
        return lower + 1.0;
    }
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

// nearest(v) as an integer of type T, or nothing when the rounded value does not fit in T
// (or v is NaN).
template <std::signed_integral T>
std::optional<T> tryNearest(double v) {
    const double r = roundHalfEven(v);
    if (!(r >= static_cast<double>(std::numeric_limits<T>::min()) &&
          r < -static_cast<double>(std::numeric_limits<T>::min()))) {
        return std::nullopt;
    }
    return static_cast<T>(r);
}

// nearest(v) as an integer of type T; a value that does not fit is an overflow error (6).
template <std::signed_integral T>
T nearest(double v) {
    if (auto r = tryNearest<T>(v)) {
        return *r;
    }
    throw overflowError();
}

}  // namespace kestro
