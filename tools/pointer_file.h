#pragma once
// A file of pointer movements given in advance: lines "MS X Y", the time in whole milliseconds
// (never decreasing from line to line) and the position in playfield pixels; blank lines
// skipped.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "game/timer_set.h"

namespace kestro::sim {

struct PointerMove {
    Millis ms = 0;
    float x = 0.0f;
    float y = 0.0f;
};

// Larger files are refused rather than read.
inline constexpr std::uintmax_t kPointerFileLimit = std::uintmax_t{64} << 20;

// The moves in file order. Only a regular file is read (a FIFO or a folder is refused at once
// rather than waited on). Errors are CliErrors naming the file and, for its contents, the line.
std::vector<PointerMove> readPointerFile(const std::filesystem::path& path);

// The moves as the file holds them, each position written so that reading it gives the same
// float.
std::string pointerFileText(const std::vector<PointerMove>& moves);

// Writes the moves to path, whole or not at all; an error is a CliError naming the file.
void writePointerFile(const std::filesystem::path& path, const std::vector<PointerMove>& moves);

}  // namespace kestro::sim
