#pragma once
// The one range check of the program's fixed-width integers: whether a value fits a narrower
// signed type, and the narrowing that reports an overflow error (6) when it does not, as the
// game's fixed-width arithmetic has always reported it.

#include <concepts>
#include <cstdint>
#include <limits>

#include "common/runtime_error.h"

namespace kestro {

template <std::signed_integral T>
constexpr bool fitsIn(std::int64_t v) {
    return v >= std::numeric_limits<T>::min() && v <= std::numeric_limits<T>::max();
}

template <std::signed_integral T>
T checkedNarrow(std::int64_t v) {
    if (!fitsIn<T>(v)) {
        throw overflowError();
    }
    return static_cast<T>(v);
}

inline std::int16_t checked16(std::int64_t v) {
    return checkedNarrow<std::int16_t>(v);
}
inline std::int32_t checked32(std::int64_t v) {
    return checkedNarrow<std::int32_t>(v);
}

}  // namespace kestro
