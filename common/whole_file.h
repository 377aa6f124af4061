#pragma once
// Writing a file whole or not at all.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace kestro {

// Replaces the file at path with bytes: they go to a new file ".kestro-XXXXXX" in the target's
// folder, which is synced and renamed over the target, and the folder is synced after it.
//
// A symbolic link at path (also one reached through other links, or one whose target does not
// exist yet) is followed, and its target is written; the link stays. A target that exists and is
// not a regular file (a folder, a device, a FIFO, a socket) is refused. A file written over keeps
// its permission bits; a new one gets 0666 less the umask.
//
// Returns nothing when the file is in place, else the reason, naming the path and the system's
// error. Any failure before the rename leaves the target as it was and no temporary file behind.
std::optional<std::string> writeWholeFile(const std::filesystem::path& path,
                                          std::span<const std::uint8_t> bytes);

}  // namespace kestro
