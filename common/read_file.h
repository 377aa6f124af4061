#pragma once
// Reading a regular file with a bound: only a regular file is read (a FIFO or a device would
// block or never end), and what lies beyond the bound is refused or left unread.

#include <cstdint>
#include <filesystem>
#include <string>

#include "common/result.h"

namespace kestro {

// Why a file was not read.
struct ReadFailure {
    enum class Kind { CannotOpen, CannotRead, Folder, NotRegular, TooLarge };
    Kind kind = Kind::CannotOpen;
    int error = 0;             // the system's error number, for CannotOpen and CannotRead
    std::uintmax_t limit = 0;  // the bound, for TooLarge
};

// What is done with a file longer than the bound.
enum class Beyond {
    Refuse,  // the file is refused as too large
    Ignore,  // its first bytes, up to the bound, are read and the rest is left alone
};

Result<std::string, ReadFailure> readRegularFile(const std::filesystem::path& path,
                                                 std::uintmax_t limit,
                                                 Beyond beyond = Beyond::Refuse);

// The reason, to follow the file's name: "cannot open: <error>", "is a folder", "is not a
// regular file", "is larger than N MiB" (or "N bytes"), or "cannot read: <error>".
std::string describe(const ReadFailure& failure);

// The sentence naming the path: "cannot open '<path>': <error>", "'<path>' is a folder", ...
std::string describe(const ReadFailure& failure, const std::filesystem::path& path);

}  // namespace kestro
