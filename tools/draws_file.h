#pragma once
// A file of random draws given in advance: one decimal number per line, blank lines skipped.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace kestro::sim {

// No level takes more than a few thousand draws; files beyond these bounds are refused.
inline constexpr std::uintmax_t kDrawsFileLimit = std::uintmax_t{64} << 20;
inline constexpr std::size_t kMostDraws = 4'000'000;

// Only a regular file is read. Each number rounded to a 32-bit float; it must lie within 0..1.
// Errors are CliErrors naming the file and the line.
std::vector<float> readDrawsFile(const std::filesystem::path& path);

}  // namespace kestro::sim
