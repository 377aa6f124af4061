#include "render/routines.h"

namespace kestro {

namespace {

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::int64_t countOccurrences(std::string_view text, std::string_view needle) {
    if (lowerTrim(needle).empty()) {
        return static_cast<std::int64_t>(lowerTrim(text).size());
    }
    // Each search starts one character after the previous hit, so overlapping hits all count.
    std::int64_t count = 0;
    for (auto pos = text.find(needle); pos != std::string_view::npos;
         pos = text.find(needle, pos + 1)) {
        ++count;
    }
    return count;
}

std::string lowerTrim(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    std::string out(text.substr(first, last - first + 1));
    for (char& c : out) {
        c = asciiLower(c);
    }
    return out;
}

std::string escapeLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace kestro
