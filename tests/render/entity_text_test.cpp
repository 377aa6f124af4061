// The entity record's text form: writing, parsing, and the failures of parsing.

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "render/entity.h"
#include "tests/render/entity_error_expect.h"
#include "tests/render/show_text.h"

namespace kestro {
namespace {

using namespace std::string_literals;
using test::expectRuntimeError;
using test::show;

TEST(EntityText, TheBlackRectangleExample) {
    const renderEntity entity{30.0f, 40.0f, 20.0f, 30.0f, 24, "c0"};
    const std::string text = entityToText(entity);
    EXPECT_EQ(text, "30\r\n40\r\n20\r\n30\r\n24\r\nc0");
    EXPECT_EQ(text.size(), 22u);
    EXPECT_EQ(textToEntity(text), entity);
}

TEST(EntityText, FieldsComeInTheOrderX1X2Y1Y2) {
    const renderEntity entity{1.0f, 2.0f, 3.0f, 4.0f, 8, "t"};
    EXPECT_EQ(entityToText(entity), "1\r\n2\r\n3\r\n4\r\n8\r\nt");
    const renderEntity parsed = textToEntity("1\r\n2\r\n3\r\n4\r\n8\r\nt");
    EXPECT_EQ(parsed.x1, 1.0f);
    EXPECT_EQ(parsed.x2, 2.0f);
    EXPECT_EQ(parsed.y1, 3.0f);
    EXPECT_EQ(parsed.y2, 4.0f);
    EXPECT_EQ(parsed.flags, 8);
    EXPECT_EQ(parsed.text, "t");
}

TEST(EntityText, WritesEveryField) {
    struct Case {
        renderEntity entity;
        std::string text;
    };
    const Case cases[] = {
        {{270.5f, 0.25f, -3.0f, 0.0f, 0, ""}, "270.5\r\n0.25\r\n-3\r\n0\r\n0\r\n"},
        {{-0.0f, 1e7f, 1e-5f, 0.1f, -1, "x"}, "0\r\n1E+07\r\n1E-05\r\n0.1\r\n-1\r\nx"},
        {{0.0f, 0.0f, 0.0f, 0.0f, std::numeric_limits<std::int32_t>::min(), "Kestro Version 4.0"},
         "0\r\n0\r\n0\r\n0\r\n-2147483648\r\nKestro Version 4.0"},
        {{0.0f, 0.0f, 0.0f, 0.0f, std::numeric_limits<std::int32_t>::max(), "a\r\nb"},
         "0\r\n0\r\n0\r\n0\r\n2147483647\r\na\r\nb"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(entityToText(c.entity), c.text) << show(c.text);
    }
}

TEST(EntityText, TheSixthFieldTakesTheRestUnchanged) {
    const std::string texts[] = {
        "",   "\r\n",       "a\r\nb",       "\r\n\r\n\r\n\r\n\r\n\r\n",  "c255\r\n", "\r",
        "\n", "  spaced  ", "nul\0inside"s, "\xc3\xa4 and \xe2\x82\xac",
    };
    for (const auto& text : texts) {
        const renderEntity entity{1.5f, 2.5f, 3.5f, 4.5f, 32, text};
        const std::string form = entityToText(entity);
        EXPECT_EQ(textToEntity(form), entity) << show(form);
    }
    // A text whose fifth delimiter ends it gives an empty sixth field.
    EXPECT_EQ(textToEntity("1\r\n2\r\n3\r\n4\r\n8\r\n").text, "");
}

TEST(EntityText, FewerThanFiveDelimitersGiveTheEmptyRecord) {
    const std::string texts[] = {
        "",
        "30",
        "1\r\n2\r\n3\r\n4\r\n8",
        "\r\n\r\n\r\n\r\n",
        "a\r\nb\r\nc\r\nd\r\nnot a number",  // nothing else is examined
        "1e99\r\n2\r\n3\r\n4\r\n5",
        "1\r2\r3\r4\r5\r6",
        "1\n2\n3\n4\n5\n6",
        "1\n\r2\n\r3\n\r4\n\r5\n\r6",
    };
    for (const auto& text : texts) {
        EXPECT_EQ(textToEntity(text), renderEntity{}) << show(text);
    }
}

TEST(EntityText, EmptyFieldsAroundFiveDelimiters) {
    expectRuntimeError([] { (void)textToEntity("\r\n\r\n\r\n\r\n\r\n"); }, 13, "Type mismatch",
                       "five empty fields");
    EXPECT_EQ(textToEntity("\r\n\r\n\r\n\r\n0\r\n"), renderEntity{});
}

TEST(EntityText, TheFlagsFieldIsConvertedStrictly) {
    struct Good {
        const char* field;
        std::int32_t flags;
    };
    const Good good[] = {{" 24 ", 24}, {"2.5", 2}, {"3.5", 4}, {"-1", -1}, {"&H20", 32}};
    for (const auto& g : good) {
        EXPECT_EQ(textToEntity("0\r\n0\r\n0\r\n0\r\n"s + g.field + "\r\nc0").flags, g.flags)
            << g.field;
    }
    struct Bad {
        const char* field;
        std::int32_t number;
        const char* description;
    };
    const Bad bad[] = {
        {"", 13, "Type mismatch"},      {"abc", 13, "Type mismatch"},
        {"24x", 13, "Type mismatch"},   {"2 4", 13, "Type mismatch"},
        {"2147483648", 6, "Overflow"},  {"&HFFFFFFFF", 6, "Overflow"},
        {"-2147483649", 6, "Overflow"},
    };
    for (const auto& b : bad) {
        const std::string text = "0\r\n0\r\n0\r\n0\r\n"s + b.field + "\r\nc0";
        expectRuntimeError([&] { (void)textToEntity(text); }, b.number, b.description, show(text));
    }
}

TEST(EntityText, CoordinatesAreReadLeniently) {
    const renderEntity parsed = textToEntity("  30\r\n4 0\r\nabc\r\n12px\r\n8\r\nc0");
    EXPECT_EQ(parsed, (renderEntity{30.0f, 40.0f, 0.0f, 12.0f, 8, "c0"}));
    EXPECT_EQ(textToEntity("&H1E\r\n1D1\r\n-.5\r\n\t7\r\n0\r\n"),
              (renderEntity{30.0f, 10.0f, -0.5f, 7.0f, 0, ""}));
    // A line feed inside a field is skipped like a blank; a lone CR ends the number.
    EXPECT_EQ(textToEntity("1\n2\r\n3\r4\r\n0\r\n0\r\n0\r\n").x1, 12.0f);
    EXPECT_EQ(textToEntity("1\n2\r\n3\r4\r\n0\r\n0\r\n0\r\n").x2, 3.0f);
}

TEST(EntityText, ACoordinateBeyondTheSingleRangeIsOverflow) {
    for (const char* text : {"1e39\r\n0\r\n0\r\n0\r\n0\r\n", "0\r\n0\r\n0\r\n-1e39\r\n0\r\n"}) {
        expectRuntimeError([&] { (void)textToEntity(text); }, 6, "Overflow", show(text));
    }
}

}  // namespace
}  // namespace kestro
