#include "tools/cli.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iostream>

namespace kestro::sim {

void holdStandardStreams() noexcept {
    // Opened the wrong way round, so that reading stdin or writing stdout fails with EBADF.
    const int modes[] = {O_WRONLY, O_RDONLY, O_WRONLY};
    for (int fd = 0; fd < 3; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) {
            continue;
        }
        const int held = ::open("/dev/null", modes[fd]);
        if (held >= 0 && held != fd) {
            ::dup2(held, fd);
            ::close(held);
        }
    }
}

void flushStandardOutput() {
    std::cout.flush();
    if (!std::cout) {
        throw CliError("cannot write to standard output");
    }
}

std::string readStandardInput(std::size_t limit) {
    std::string text;
    std::size_t size = 0;
    for (;;) {
        if (size == text.size()) {
            if (size > limit) {
                break;
            }
            text.resize(std::min(size * 2 + 4096, limit + 1));
        }
        const ssize_t n = ::read(STDIN_FILENO, text.data() + size, text.size() - size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw CliError(std::string("cannot read standard input: ") + std::strerror(errno));
        }
        if (n == 0) {
            break;
        }
        size += static_cast<std::size_t>(n);
    }
    text.resize(size);
    if (size > limit) {
        constexpr std::size_t kMiB = std::size_t{1} << 20;
        throw CliError("standard input is longer than " +
                       (limit % kMiB == 0 ? std::to_string(limit / kMiB) + " MiB"
                                          : std::to_string(limit) + " bytes"));
    }
    return text;
}

std::int64_t parseInteger(const std::string& text, const std::string& option, std::int64_t lo,
                          std::int64_t hi) {
    std::int64_t value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (!text.empty() && *first == '+') {
        ++first;
    }
    const auto [ptr, ec] = std::from_chars(first, last, value);
    const bool outOfRange = ec == std::errc::result_out_of_range;
    if (ptr != last || first == last || (ec != std::errc() && !outOfRange)) {
        throw CliError(option + " needs a whole number, not '" + text + "'");
    }
    // A whole number too large even for 64 bits lies outside every range as well.
    if (outOfRange || value < lo || value > hi) {
        throw CliError(option + " must lie between " + std::to_string(lo) + " and " +
                       std::to_string(hi) + ", not " + text);
    }
    return value;
}

std::optional<float> parseFiniteFloat(std::string_view text) {
    const auto value = parseWhole<float>(text);
    if (!value || !std::isfinite(*value)) {
        return std::nullopt;
    }
    return value;
}

std::string shownLine(std::string_view line) {
    constexpr std::string_view space = " \t\r\f\v";
    const auto first = line.find_first_not_of(space);
    line = first == std::string_view::npos
               ? std::string_view()
               : line.substr(first, line.find_last_not_of(space) - first + 1);
    constexpr std::size_t kMost = 40;
    std::string out(line.substr(0, kMost));
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            c = '?';
        }
    }
    return line.size() > kMost ? out + "..." : out;
}

}  // namespace kestro::sim
