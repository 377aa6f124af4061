// Contrast ratios and colour-vision simulation against values worked out by hand from WCAG 2.x
// and the published matrices.

#include <gtest/gtest.h>

#include <cstdint>

#include "render/colour_check.h"

namespace kestro {
namespace {

constexpr Rgb8 kWhite{255, 255, 255};
constexpr Rgb8 kBlack{0, 0, 0};

TEST(ContrastRatio, KnownPairs) {
    struct Case {
        Rgb8 a, b;
        double ratio;
    };
    const Case cases[] = {
        {kWhite, kBlack, 21.0},
        {kBlack, kWhite, 21.0},               // order does not matter
        {{119, 119, 119}, kWhite, 4.478},     // the grey that just misses 4.5
        {{0, 0, 255}, {64, 64, 255}, 1.389},  // the game's ball on its blocks
        {{10, 10, 10}, {10, 10, 10}, 1.0},
        {{0, 255, 0}, kBlack, 15.304},
        {{255, 0, 0}, kBlack, 5.252},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int{c.a.r} << "," << int{c.a.g} << "," << int{c.a.b});
        EXPECT_NEAR(contrastRatio(c.a, c.b), c.ratio, 0.001);
    }
}

TEST(ContrastRatio, LinearLightFollowsTheSrgbCurve) {
    EXPECT_DOUBLE_EQ(linearOf(0), 0.0);
    EXPECT_DOUBLE_EQ(linearOf(255), 1.0);
    EXPECT_NEAR(linearOf(10), 10.0 / 255 / 12.92, 1e-12);  // below the threshold: linear
    EXPECT_NEAR(linearOf(128), 0.2158605, 1e-6);
    for (int c = 0; c < 256; ++c) {
        EXPECT_EQ(channelOf(linearOf(static_cast<std::uint8_t>(c))), c);
    }
    EXPECT_EQ(channelOf(-0.2), 0);
    EXPECT_EQ(channelOf(1.7), 255);
}

TEST(VisionSimulation, MatrixRowsSumToOneSoGreysStayGrey) {
    for (const Vision v : allVisions()) {
        SCOPED_TRACE(visionName(v));
        for (const auto& row : visionMatrix(v)) {
            EXPECT_NEAR(row[0] + row[1] + row[2], 1.0, 2e-6);
        }
        for (const int level : {0, 1, 60, 128, 200, 255}) {
            const auto grey = static_cast<std::uint8_t>(level);
            EXPECT_EQ(simulate(v, Rgb8{grey, grey, grey}), (Rgb8{grey, grey, grey}));
        }
    }
}

// The matrices work on linear light: pure red through protanopia is the first column of the
// matrix, turned back into sRGB (an sRGB-space product would give 39, 29, 0).
TEST(VisionSimulation, PrimariesAsSeenWithEachDeficiency) {
    struct Case {
        Vision vision;
        Rgb8 in, out;
    };
    const Case cases[] = {
        {Vision::Normal, {255, 0, 0}, {255, 0, 0}},
        {Vision::Protanopia, {255, 0, 0}, {109, 95, 0}},
        {Vision::Deuteranopia, {255, 0, 0}, {163, 144, 0}},
        {Vision::Tritanopia, {0, 0, 255}, {0, 107, 150}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(visionName(c.vision));
        EXPECT_EQ(simulate(c.vision, c.in), c.out);
    }
}

TEST(VisionSimulation, ColourNumbersAreRedFirst) {
    EXPECT_EQ(rgbOfColour(255), (Rgb8{255, 0, 0}));
    EXPECT_EQ(rgbOfColour(16728128), (Rgb8{64, 64, 255}));
}

}  // namespace
}  // namespace kestro
