#pragma once
// General string routines.

#include <cstdint>
#include <string>
#include <string_view>

namespace kestro {

// Occurrences of needle in text, overlapping ones included, case-sensitive. A needle that is
// empty after lowerTrim counts as the length of lowerTrim(text).
std::int64_t countOccurrences(std::string_view text, std::string_view needle);

// text without leading and trailing spaces (the space character only), in lower case.
std::string lowerTrim(std::string_view text);

// text with CR written as \r and LF as \n, so that it stays on one line; nothing else changes.
std::string escapeLineEnds(std::string_view text);

}  // namespace kestro
