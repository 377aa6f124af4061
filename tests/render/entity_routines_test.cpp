// The general string routines the entity parser rests on.

#include <gtest/gtest.h>

#include <string>

#include "render/routines.h"

namespace kestro {
namespace {

std::string repeat(const std::string& piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

TEST(EntityCountOccurrences, CountsOverlappingCaseSensitiveHits) {
    struct Case {
        std::string text;
        std::string needle;
        std::int64_t count;
    };
    const Case cases[] = {
        {"aaa", "aa", 2},
        {"aaaa", "aa", 3},
        {"abcabc", "abc", 2},
        {"Aa", "a", 1},
        {"abc", "abcd", 0},
        {"", "x", 0},
        {"a a", " a", 1},
        {"\r\n\r\n", "\r\n", 2},
        {"\r\r\n\n", "\r\n", 1},
        // A needle that is empty after trimming counts the trimmed text's characters.
        {"  Ab ", "  ", 2},
        {"  Ab ", "", 2},
        {"abc", "", 3},
        {" x ", " ", 1},
        {"\tx", "", 2},
        {"   ", "", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(countOccurrences(c.text, c.needle), c.count)
            << "'" << c.text << "' / '" << c.needle << "'";
    }
}

TEST(EntityCountOccurrences, CountsTheDelimitersOfATextForm) {
    for (std::size_t n = 0; n <= 7; ++n) {
        EXPECT_EQ(countOccurrences(repeat("x\r\n", n) + "y", "\r\n"), static_cast<std::int64_t>(n));
    }
}

TEST(EntityCountOccurrences, CountsBeyondSixteenBits) {
    EXPECT_EQ(countOccurrences(repeat("\r\n", 40000), "\r\n"), 40000);
    EXPECT_EQ(countOccurrences(std::string(70000, 'a'), "aa"), 69999);
    EXPECT_EQ(countOccurrences(std::string(40000, 'b'), ""), 40000);
}

TEST(EntityLowerTrim, TrimsSpacesOnlyAndLowersAscii) {
    struct Case {
        std::string text;
        std::string out;
    };
    const Case cases[] = {
        {"  Ab ", "ab"},
        {"\tAb", "\tab"},
        {"Ab\t ", "ab\t"},
        {"", ""},
        {"   ", ""},
        {"ABC xyz", "abc xyz"},
        {" \r\nX\r\n ", "\r\nx\r\n"},
        {"MiXeD 123!@[`", "mixed 123!@[`"},
        {"C0", "c0"},
        {"\xc3\x84", "\xc3\x84"},  // bytes outside ASCII stay as they are
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lowerTrim(c.text), c.out) << "'" << c.text << "'";
    }
}

TEST(EntityEscapeLineEnds, WritesCrAndLfAsEscapesAndKeepsTheRest) {
    using namespace std::string_literals;
    struct Case {
        std::string text;
        std::string out;
    };
    const Case cases[] = {
        {"", ""},
        {"c0", "c0"},
        {"a\r\nb", "a\\r\\nb"},
        {"\n\r", "\\n\\r"},
        {"lone\rcr", "lone\\rcr"},
        {"tab\tand \\r stay", "tab\tand \\r stay"},
        {"nul\0x"s, "nul\0x"s},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(escapeLineEnds(c.text), c.out) << c.out;
    }
}

}  // namespace
}  // namespace kestro
