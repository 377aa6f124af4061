#pragma once
// The program's log file (module-wide for the whole run, like the log itself).
// Levels: 2 danger, 3 error, 4 warning, 5 info, 6 verbose, 13 debug; 1 writes nothing.

#include <cstdint>
#include <string_view>

namespace kestro {

// open true opens the log "<exe folder>/<name>.erl" (or only sets a new threshold when it is
// open already); open false writes the closing banner and closes it. Opening failures throw.
bool errorLogFile(bool open, std::string_view name, std::int16_t fileNumber, std::int32_t level,
                  bool oneBlock);

// Writes one record when the level passes the threshold; never fails visibly.
bool errorLogWrite(std::string_view message, std::int32_t errorLevel);

// errorLogWrite at the debug level 13.
bool errorLogDebug(std::string_view message);

}  // namespace kestro
