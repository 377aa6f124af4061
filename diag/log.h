#pragma once
// The program's log file (module-wide for the whole run, like the log itself).
// Levels: 2 danger, 3 error, 4 warning, 5 info, 6 verbose, 13 debug; 1 writes nothing.
// Each record is an 11-character tag, the message without its trailing spaces, and CR LF.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestro {

// The levels that write a record, most severe first.
inline constexpr std::int32_t kLevelDanger = 2;
inline constexpr std::int32_t kLevelError = 3;
inline constexpr std::int32_t kLevelWarning = 4;
inline constexpr std::int32_t kLevelInfo = 5;
inline constexpr std::int32_t kLevelVerbose = 6;
inline constexpr std::int32_t kLevelDebug = 13;

// The most a log file grows to. Records that would take it further are dropped, the first of
// them replaced by kLogFullNotice (with the dropped record's tag); the notice and the closing
// banner are written from the last kLogReserve bytes, which ordinary records leave free.
inline constexpr std::uint64_t kLogSizeCap = 10 * 1024 * 1024;
inline constexpr std::uint64_t kLogReserve = 256;
inline constexpr std::string_view kLogFullNotice =
    "{Error Subsystem} Log file full: later records are dropped";

// open true opens the log "<exe folder>/<name>.erl" (or only sets a new threshold when it is
// open already; level 0 means 13) and writes the opening banner and the program information,
// as four records or, with oneBlock, as one. When the executable lies in the system's folders
// (an installed game) or its folder cannot hold the log, it goes to the per-user state folders
// ($XDG_STATE_HOME/kestro, then ~/.local/state/kestro); when none can, a LogUnavailable error
// (75) is thrown and nothing changes. open false writes the closing banner and closes the file;
// the threshold and the file number stay. Returns true.
bool errorLogFile(bool open, std::string_view name, std::int16_t fileNumber, std::int32_t level,
                  bool oneBlock);

// Start-up's open: errorLogFile(true, ...) that lets the program go on without a log. When no
// folder can take the log, or the program's own description cannot be read, nothing changes:
// the log stays closed and drops every write. The returned line then says so, naming the paths
// tried, for the caller to show once; nothing when the log is open.
std::optional<std::string> errorLogFileOrGoWithout(std::string_view name, std::int16_t fileNumber,
                                                   std::int32_t level, bool oneBlock);

// Writes one record when the level passes the threshold; never fails visibly. True when a
// record was written or dropped silently (closed log, failed write), and for level 1 within
// the threshold; false for levels above the threshold and for levels that write no record.
bool errorLogWrite(std::string_view message, std::int32_t errorLevel) noexcept;

// errorLogWrite at the debug level 13.
bool errorLogDebug(std::string_view message) noexcept;

// The module's state, read-only.
std::int32_t errorThreshold() noexcept;   // 0 until first used
std::int16_t errorFileNumber() noexcept;  // the number the log was last opened under
bool errorLogOpen() noexcept;
std::string errorLogPath();  // the file last opened; empty before the first open

// Forgets everything: closes the file without a banner and returns to the initial state.
// For tests, which need a fresh module each.
void resetErrorLog() noexcept;

}  // namespace kestro
