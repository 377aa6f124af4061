#pragma once
// A file of random draws given in advance: one decimal number per line, blank lines skipped.

#include <filesystem>
#include <vector>

namespace kestro::sim {

// Each number rounded to a 32-bit float; it must lie within 0..1. Errors are CliErrors naming
// the file and the line.
std::vector<float> readDrawsFile(const std::filesystem::path& path);

}  // namespace kestro::sim
