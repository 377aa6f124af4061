#pragma once
// Small helpers shared by the subcommands of kestro-sim.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kestro::sim {

// A usage or input error: main prints "kestro-sim: <what>" on stderr and exits with status 1.
class CliError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The whole of text as a decimal integer within [lo, hi], or a CliError naming the option.
std::int64_t parseInteger(const std::string& text, const std::string& option, std::int64_t lo,
                          std::int64_t hi);

// The whole of text as a finite 32-bit float (a leading '+' allowed), or nothing.
std::optional<float> parseFiniteFloat(std::string_view text);

}  // namespace kestro::sim
