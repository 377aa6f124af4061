#include "common/rounding.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace kestro {
namespace {

struct RoundCase {
    double in;
    double out;
};

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    const RoundCase cases[] = {
        {2.5, 2.0},     {3.5, 4.0},         {-2.5, -2.0},
        {-3.5, -4.0},   {0.5, 0.0},         {1.5, 2.0},
        {-0.5, -0.0},   {2.4999, 2.0},      {2.5001, 3.0},
        {392.5, 392.0}, {60.2, 60.0},       {-1.25, -1.0},
        {7.0, 7.0},     {1e15 + 0.5, 1e15}, {4503599627370497.0, 4503599627370497.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(roundHalfEven(c.in), c.out) << c.in;
    }
}

TEST(Rounding, NearestChecksTheTargetWidth) {
    EXPECT_EQ(nearest<std::int16_t>(32767.4), 32767);
    EXPECT_EQ(nearest<std::int16_t>(-32768.5), -32768);
    EXPECT_FALSE(tryNearest<std::int16_t>(32767.5).has_value());
    EXPECT_FALSE(tryNearest<std::int16_t>(-32769.0).has_value());
    EXPECT_EQ(nearest<std::int32_t>(2147483647.0), 2147483647);
    EXPECT_FALSE(tryNearest<std::int32_t>(2147483648.0).has_value());
    EXPECT_FALSE(tryNearest<std::int64_t>(9223372036854775808.0).has_value());
    EXPECT_FALSE(tryNearest<std::int32_t>(std::numeric_limits<double>::quiet_NaN()).has_value());
    EXPECT_FALSE(tryNearest<std::int32_t>(std::numeric_limits<double>::infinity()).has_value());
}

TEST(Rounding, OverflowIsRuntimeError6) {
    try {
        (void)nearest<std::int16_t>(40000.0);
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 6);
        EXPECT_EQ(e.description(), "Overflow");
    }
}

}  // namespace
}  // namespace kestro
