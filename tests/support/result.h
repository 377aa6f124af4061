#pragma once
// The reason of a failed operation that gives nothing else, or nothing when it succeeded: for
// checks that compare reasons and print them when an operation fails unexpectedly.

#include <optional>
#include <string>

#include "common/result.h"

namespace kestro::test {

inline std::optional<std::string> reasonOf(const Result<void>& result) {
    return result ? std::nullopt : std::optional<std::string>(result.error());
}

// The error number of a failed system call, or 0 when it succeeded.
inline int errorNumberOf(const SystemResult& result) {
    return result ? 0 : result.error();
}

}  // namespace kestro::test
