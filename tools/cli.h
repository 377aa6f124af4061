#pragma once
// Small helpers shared by the subcommands of kestro-sim.

#include <charconv>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

#include "common/runtime_error.h"

namespace kestro::sim {

// A usage or input error: main prints "kestro-sim: <what>" on stderr and exits with status 1.
class CliError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Runs one subcommand; its errors name it: "step: ...". A run-time error of the game becomes
// "step: run-time error N (description)".
template <class F>
int run(const std::string& command, F&& body) {
    try {
        return body();
    } catch (const CliError& e) {
        throw CliError(command + ": " + e.what());
    } catch (const RuntimeError& e) {
        throw CliError(command + ": run-time error " + std::to_string(e.number()) + " (" +
                       e.description() + ")");
    }
}

// The longest run of play --ms, about 115 days of game time: far beyond any real use, and small
// enough that every count of ticks and steps stays far from overflow.
inline constexpr std::int64_t kMostMillis = 10'000'000'000;
// The most ball steps of step --ticks: as many as kMostMillis of play at the fastest ball, one
// step per millisecond (the shortest interval the speed slider gives).
inline constexpr std::int64_t kMostTicks = kMostMillis;

// A closed standard stream would hand its number to the next file opened, so that output meant
// for the terminal would land in that file. Each closed one is opened on /dev/null the wrong way
// round instead (stdin for writing, stdout for reading), so that any use of it fails and is
// reported. Called first thing in main.
void holdStandardStreams() noexcept;

// Flushes std::cout; a CliError when anything written to it was lost (a full disk, a closed
// stdout, a reader that went away).
void flushStandardOutput();

// The whole of standard input, at most limit bytes; a CliError when it cannot be read (closed, a
// folder) or is longer.
std::string readStandardInput(std::size_t limit);

// The whole of text as a decimal integer within [lo, hi], or a CliError naming the option.
std::int64_t parseInteger(const std::string& text, const std::string& option, std::int64_t lo,
                          std::int64_t hi);

// The whole of text as a T read by std::from_chars (a leading '+' allowed, not "+-"), or nothing.
template <class T>
std::optional<T> parseWhole(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    T value{};
    const char* const last = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), last, value);
    if (text.empty() || ec != std::errc() || ptr != last) {
        return std::nullopt;
    }
    return value;
}

// The whole of text as a finite 32-bit float (a leading '+' allowed), or nothing.
std::optional<float> parseFiniteFloat(std::string_view text);

// A line of an input file as an error message shows it: without the surrounding blanks, at most
// 40 bytes, control characters as '?', so that the message stays one line.
std::string shownLine(std::string_view line);

}  // namespace kestro::sim
