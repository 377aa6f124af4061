#pragma once
// Integer results stored in 16 or 32 bits. A result that does not fit is an overflow error, as
// the game's fixed-width arithmetic has always reported it.

#include <cstdint>
#include <limits>

#include "common/runtime_error.h"

namespace kestro {

template <typename T>
T checkedNarrow(std::int64_t v) {
    if (v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max()) {
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
