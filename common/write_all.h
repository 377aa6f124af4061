#pragma once
// Writing a whole buffer to a file descriptor.

#include <cstddef>

#include "common/result.h"

namespace kestro {

// Writes all size bytes at data to fd, retrying after interruptions and short writes.
// Fails with the error number of the write that failed (EIO when a write makes no progress); how
// much was written before a failure is not told.
SystemResult writeAll(int fd, const void* data, std::size_t size) noexcept;

}  // namespace kestro
