#pragma once
// Reading a whole input file with a bound: only a regular file is read (a FIFO or a device would
// block or never end), and one larger than the bound is refused rather than read.

#include <cstdint>
#include <filesystem>
#include <string>

namespace kestro {

struct FileText {
    std::string text;
    std::string error;  // empty when the file was read; else why not, without the path
    bool ok() const { return error.empty(); }
};

// "cannot open: <reason>", "is not a regular file", "is larger than N MiB" (or "N bytes"), or
// "cannot read: <reason>".
FileText readRegularFile(const std::filesystem::path& path, std::uintmax_t limit);

}  // namespace kestro
