#pragma once
// Texts with control characters shown readably in failure messages.

#include <string>
#include <string_view>

#include "render/routines.h"

namespace kestro::test {

// The text in double quotes, with CR, LF and tab written as \r, \n and \t.
inline std::string show(std::string_view text) {
    std::string out = "\"";
    for (const char c : escapeLineEnds(text)) {
        if (c == '\t') {
            out += "\\t";
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace kestro::test
