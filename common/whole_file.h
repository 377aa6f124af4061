#pragma once
// Writing a file whole or not at all.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "common/result.h"

namespace kestro {

// Replaces the file at path with bytes: they go to a new file ".kestro-XXXXXX" in the target's
// folder, which is synced and renamed over the target, and the folder is synced after it.
//
// A symbolic link at path (also one reached through other links, or one whose target does not
// exist yet) is followed, and its target is written; the link stays. A target that exists and is
// not a regular file (a folder, a device, a FIFO, a socket) is refused, and so is one the user
// may not write (as access(W_OK) tells, so root may, as with any write) and one with more than one
// hard link, which a new copy would split from its other names. A file written over keeps its
// owner, group and permission bits, or is not written; a new one gets 0666 less the umask.
//
// Succeeds when the file is in place, else gives the reason, naming the path and the system's
// error. Any failure before the rename leaves the target as it was and no temporary file behind.
Result<void> writeWholeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// Why writeWholeFile(path, ...) would be refused, as far as can be told without writing: the
// target as above, a folder the user may not create files in, a file of another user (which only
// root can keep as it is); a success when the write may go ahead. For refusing a long task's output
// before the task starts; the write itself still reports what only writing shows.
Result<void> checkWritable(const std::filesystem::path& path);

}  // namespace kestro
