// The number rules of the entity text form: writing singles, the lenient reader, the strict
// integer conversion and the numeric test.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "render/numbers.h"
#include "tests/render/entity_error_expect.h"
#include "tests/render/show_text.h"

namespace kestro {
namespace {

using test::expectRuntimeError;
using test::show;

TEST(EntityFormatSingle, GeneralFormTable) {
    struct Case {
        float value;
        const char* text;
    };
    const Case cases[] = {
        // The forms the game writes.
        {30.0f, "30"},
        {270.5f, "270.5"},
        {0.25f, "0.25"},
        {-3.0f, "-3"},
        {0.0f, "0"},
        {-0.0f, "0"},
        {100.0f, "100"},
        {1000000.0f, "1000000"},
        {-0.5f, "-0.5"},
        {0.1f, "0.1"},
        {12.125f, "12.125"},
        // At most seven significant digits, rounded.
        {1.0f / 3.0f, "0.3333333"},
        {2.0f / 3.0f, "0.6666667"},
        {3.14159274f, "3.141593"},
        {123456.7f, "123456.7"},
        {1234567.0f, "1234567"},
        {9999999.0f, "9999999"},
        {0.99999994f, "0.9999999"},  // the largest single below 1
        {0.01f, "0.01"},             // the nearest single lies below 0.01
        {1234567.5f, "1234568"},
        {1234568.5f, "1234568"},  // a tie goes to the even digit
        // The ends of the plain range.
        {0.0001f, "0.0001"},
        {0.00012345f, "0.00012345"},
        {-0.00098765f, "-0.00098765"},
        {0.00099752f, "0.0009975201"},  // singles lie further apart than the seventh digit here
        // Beyond it: shortest digits that read back, with an exponent.
        {1e7f, "1E+07"},
        {16777216.0f, "1.6777216E+07"},
        {-12345678.0f, "-1.2345678E+07"},
        {1e-5f, "1E-05"},
        {-2.5e-7f, "-2.5E-07"},
        {std::numeric_limits<float>::max(), "3.4028235E+38"},
        {std::numeric_limits<float>::denorm_min(), "1E-45"},
        // Values the game never produces.
        {std::numeric_limits<float>::quiet_NaN(), "NaN"},
        {std::numeric_limits<float>::infinity(), "Infinity"},
        {-std::numeric_limits<float>::infinity(), "-Infinity"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatSingle(c.value), c.text) << "value " << c.value;
    }
}

TEST(EntityReadNumber, LenientReaderTable) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        // Plain decimals and signs.
        {"30", 30.0},
        {"270.5", 270.5},
        {"-3", -3.0},
        {"+3", 3.0},
        {".5", 0.5},
        {"-.5", -0.5},
        {"5.", 5.0},
        {"007", 7.0},
        {"0.000125", 0.000125},
        // Blanks, tabs and line feeds vanish wherever they stand; other control characters stop.
        {"  12", 12.0},
        {"1 2 3", 123.0},
        {"\t-\t4\n5", -45.0},
        {"1 . 5", 1.5},
        {"1 e 2", 100.0},
        {"\n\n7", 7.0},
        {"1\r2", 1.0},
        {"\r5", 0.0},
        // Exponents with E or D, either case, optional sign; a letter without digits ends it.
        {"1E3", 1000.0},
        {"1e3", 1000.0},
        {"1D3", 1000.0},
        {"1d-2", 0.01},
        {"2.5E+2", 250.0},
        {"1E", 1.0},
        {"1E+", 1.0},
        {"1Ex", 1.0},
        {"0.1e1", 1.0},
        // Hexadecimal and octal: the plain non-negative value of the digits.
        {"&H1F", 31.0},
        {"&h1f", 31.0},
        {"& H 1 0", 16.0},
        {"&HFFFF", 65535.0},
        {"&HFFFFFFFF", 4294967295.0},
        {"&O17", 15.0},
        {"&o777", 511.0},
        {"&O78", 7.0},
        {"&H1FG", 31.0},
        {"&H00000000000000000000000000001", 1.0},
        {"&HFFFFFFFFFFFFFFFFFFFF", 1208925819614629174706176.0},  // 2^80 - 1 rounds to 2^80
        {"&H100000000000008001", 0x1.0000000000001p68},           // a lost digit breaks the tie
        {"&H", 0.0},
        {"&O", 0.0},
        {"&HG", 0.0},
        {"&O8", 0.0},
        {"&X10", 0.0},
        {"&10", 0.0},
        {"-&H10", 0.0},
        // Reading stops at the first character that cannot continue the number.
        {"12abc", 12.0},
        {"1.5.5", 1.5},
        {"1,000", 1.0},
        {"3-4", 3.0},
        {"0x10", 0.0},
        {"12px", 12.0},
        // No leading number reads 0.
        {"abc", 0.0},
        {"", 0.0},
        {"-", 0.0},
        {".", 0.0},
        {"-.", 0.0},
        {"--3", 0.0},
        {"+-3", 0.0},
        {"$5", 0.0},
        {"   ", 0.0},
        // Far exponents are exact as long as the value fits.
        {"1e-400", 0.0},
        {"0.0000000001e10", 1.0},
        {"100000000000000000000000000000000000000000e-40", 10.0},
        {"1e-9999999999999999999999", 0.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readNumber(c.text), c.value) << show(c.text);
    }
}

TEST(EntityReadNumber, LongDigitStringsRoundCorrectly) {
    // 401 fraction digits after "0." and an exponent that brings the value back to 0.1.
    EXPECT_EQ(readNumber("0." + std::string(400, '0') + "1e400"), 0.1);
    // Many digits beyond double precision still give the nearest double.
    EXPECT_EQ(readNumber("0.1" + std::string(1000, '0') + "1"), 0.1);
    // 8^30 - 1 rounds to 2^90.
    EXPECT_EQ(readNumber("&O" + std::string(30, '7')), 0x1p90);
    EXPECT_EQ(readNumber("9007199254740993." + std::string(500, '0') + "1"), 9007199254740994.0);
}

TEST(EntityReadNumber, BeyondTheDoubleRangeIsOverflow) {
    const std::string texts[] = {"1e309",
                                 "-1.8e308",
                                 "1e9999999999999999999",
                                 std::string(400, '9'),
                                 "&H" + std::string(300, 'F'),
                                 "&O" + std::string(400, '7')};
    for (const auto& text : texts) {
        expectRuntimeError([&] { (void)readNumber(text); }, 6, "Overflow", text.substr(0, 30));
    }
    EXPECT_EQ(readNumber("1.7976931348623157e308"), std::numeric_limits<double>::max());
}

TEST(EntityReadSingle, RoundsTheDoubleToTheNearestSingle) {
    struct Case {
        const char* text;
        float value;
    };
    const Case cases[] = {
        {"0.1", 0.1f},
        {"270.5", 270.5f},
        {"16777217", 16777216.0f},  // a tie goes to the even single
        {"16777219", 16777220.0f},
        {"3.4028235e38", std::numeric_limits<float>::max()},
        {"3.40282356e38", std::numeric_limits<float>::max()},  // just below the halfway point
        {"-3.4028235e38", std::numeric_limits<float>::lowest()},
        {"1e-50", 0.0f},
        {"1.4e-45", std::numeric_limits<float>::denorm_min()},
        {"abc", 0.0f},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readSingle(c.text), c.value) << show(c.text);
    }
    for (const char* text :
         {"3.4028236e38", "-3.4028236e38", "1e39", "&HFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"}) {
        expectRuntimeError([&] { (void)readSingle(text); }, 6, "Overflow", text);
    }
}

TEST(EntityToLongStrict, WholeNumbersAndHalvesToEven) {
    struct Case {
        const char* text;
        std::int32_t value;
    };
    const Case cases[] = {
        {"24", 24},
        {" 24 ", 24},
        {"\t24\t", 24},
        {"-24", -24},
        {"+24", 24},
        {"0", 0},
        {"-0", 0},
        {"0.5", 0},
        {"1.5", 2},
        {"2.5", 2},
        {"3.5", 4},
        {"-2.5", -2},
        {"-3.5", -4},
        {"2.5000001", 3},
        {".5", 0},
        {"5.", 5},
        {"1e3", 1000},
        {"1D2", 100},
        {"25e-1", 2},
        {"&H10", 16},
        {"&O10", 8},
        {"&H7FFFFFFF", 2147483647},
        {"2147483647", 2147483647},
        {"2147483647.4", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-2147483648.5", -2147483647 - 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toLongStrict(c.text), c.value) << show(c.text);
    }
}

TEST(EntityToLongStrict, ErrorsCarryNumberAndDescription) {
    struct Case {
        const char* text;
        std::int32_t number;
        const char* description;
    };
    const Case cases[] = {
        {"", 13, "Type mismatch"},       {"   ", 13, "Type mismatch"},
        {"abc", 13, "Type mismatch"},    {"12abc", 13, "Type mismatch"},
        {"1 2", 13, "Type mismatch"},    {"- 5", 13, "Type mismatch"},
        {"1,000", 13, "Type mismatch"},  {"1.5.5", 13, "Type mismatch"},
        {"1E", 13, "Type mismatch"},     {"-", 13, "Type mismatch"},
        {".", 13, "Type mismatch"},      {"&H", 13, "Type mismatch"},
        {"&HG", 13, "Type mismatch"},    {"0x10", 13, "Type mismatch"},
        {"24\r\n", 13, "Type mismatch"}, {"\n24", 13, "Type mismatch"},
        {"c0", 13, "Type mismatch"},     {"2147483648", 6, "Overflow"},
        {"-2147483649", 6, "Overflow"},  {"2147483647.5", 6, "Overflow"},
        {"&HFFFFFFFF", 6, "Overflow"},   {"&H80000000", 6, "Overflow"},
        {"1e10", 6, "Overflow"},         {"1e400", 6, "Overflow"},
    };
    for (const auto& c : cases) {
        expectRuntimeError([&] { (void)toLongStrict(c.text); }, c.number, c.description,
                           show(c.text));
    }
}

TEST(EntityIsNumeric, NumericTestTable) {
    struct Case {
        const char* text;
        bool numeric;
    };
    const Case cases[] = {
        {"0", true},      {"255", true},      {" 255 ", true},  {"\t255\t", true}, {"-1", true},
        {"+1", true},     {"1.5", true},      {".5", true},     {"5.", true},      {"1e5", true},
        {"1E+5", true},   {"1e-5", true},     {"1D5", true},    {"&H1F", true},    {"&hff", true},
        {"&o17", true},   {"  &HFF  ", true}, {"65280", true},  {"", false},       {" ", false},
        {"abc", false},   {"1 2", false},     {"1,000", false}, {"1e", false},     {"1e+", false},
        {"-", false},     {".", false},       {"&H", false},    {"&O9", false},    {"&HG", false},
        {"12a", false},   {"0x1F", false},    {"1.2.3", false}, {"--1", false},    {"- 1", false},
        {"1\r\n", false}, {"\n1", false},     {"-&H1", false},  {"&H 1", false},   {"c255", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isNumeric(c.text), c.numeric) << show(c.text);
    }
}

}  // namespace
}  // namespace kestro
