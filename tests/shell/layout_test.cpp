// The window's layout arithmetic in twips and the frame pacing schedule, without a window.

#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "shell/frame_pacer.h"
#include "shell/layout.h"

namespace kestro::shell {
namespace {

TEST(ShellLayout, DesignClientAreaGivesThePlayfieldOfTheDesign) {
    // Client 8730 x 10215, reset button at 8520, playfield at Left 0, Top 420.
    const TwipSize field = playfieldSize(8730, 10215, 8520, 420, 0);
    EXPECT_DOUBLE_EQ(field.width, 8730.0);
    EXPECT_NEAR(field.height, 7879.65, 1e-9);
    EXPECT_EQ(pixelsFromTwips(field.width), 582);
    EXPECT_EQ(pixelsFromTwips(field.height), 525);
}

TEST(ShellLayout, PlayfieldSizeTakesMagnitudes) {
    struct Case {
        double w, h, r, t, l;
        double width, height;
    };
    const Case cases[] = {
        // A taller client: the playfield grows by H - 1.13 (H - R).
        {12000, 15000, 8520, 420, 0, 12000, 15000 - ((15000 - 8520) * 1.13 + 420)},
        // Below the reset button the bracket is negative and the height exceeds H.
        {8730, 8000, 8520, 420, 0, 8730, 8000 - ((8000 - 8520) * 1.13 + 420)},
        // A height that would be negative is taken as its magnitude.
        {8730, 9000, 0, 420, 0, 8730, (9000 * 1.13 + 420) - 9000},
        // A Left margin on both sides; one wider than half the client is a magnitude too.
        {1000, 10215, 8520, 420, 100, 800, 7879.65},
        {1000, 10215, 8520, 420, 600, 200, 7879.65},
    };
    for (const Case& c : cases) {
        const TwipSize field = playfieldSize(c.w, c.h, c.r, c.t, c.l);
        EXPECT_NEAR(field.width, c.width, 1e-9) << c.w << " x " << c.h;
        EXPECT_NEAR(field.height, c.height, 1e-9) << c.w << " x " << c.h;
        EXPECT_GE(field.height, 0.0);
    }
}

TEST(ShellLayout, MinimumOuterSizeSnapsOnePastTheThreshold) {
    struct Case {
        double outer;
        std::optional<double> height;  // what a window of this outer height becomes
        std::optional<double> width;   // what a window of this outer width becomes
    };
    const Case cases[] = {
        {11115, std::nullopt, std::nullopt},
        {11114, 11116, std::nullopt},
        {8850, 11116, std::nullopt},
        {8849, 11116, 8851},
        {0, 11116, 8851},
        {20000, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(snappedOuterHeight(c.outer), c.height) << c.outer;
        EXPECT_EQ(snappedOuterWidth(c.outer), c.width) << c.outer;
    }
    // The snapped sizes are whole pixels that are no longer below the thresholds.
    EXPECT_EQ(pixelsFromTwips(kSnapOuterHeight), 741);
    EXPECT_FALSE(snappedOuterHeight(twipsFromPixels(741)));
    EXPECT_EQ(pixelsFromTwips(kSnapOuterWidth), 590);
    EXPECT_FALSE(snappedOuterWidth(twipsFromPixels(590)));
}

TEST(ShellLayout, TheMinimumNeverExceedsTheScreensAvailableSize) {
    struct Case {
        double outer;
        double available;
        std::optional<double> snapped;
    };
    const Case cases[] = {
        // A screen that holds the designed minimum changes nothing.
        {11114, 11116, 11116},
        {11115, 11116, std::nullopt},
        {11114, 50000, 11116},
        // A smaller screen: the window snaps to what the screen has, and may be that tall.
        {10000, 10800, 10800},
        {0, 10800, 10800},
        {10800, 10800, std::nullopt},
        {10799, 10800, 10800},
        // Larger than the screen is not the layout's minimum: it stays.
        {11114, 10800, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(snappedOuterHeight(c.outer, c.available), c.snapped)
            << c.outer << " on " << c.available;
    }
    EXPECT_EQ(snappedOuterWidth(8849, 8851), 8851);
    EXPECT_EQ(snappedOuterWidth(7000, 8000), 8000);
    EXPECT_EQ(snappedOuterWidth(8000, 8000), std::nullopt);
}

TEST(ShellLayout, ThePanelMovesOnlyOnAScreenTooSmallForTheDesign) {
    struct Case {
        TwipSize client;
        TwipSize available;
        PanelShift shift;
    };
    const TwipSize large{20000, 20000};
    const Case cases[] = {
        // Wherever the screen holds the designed window, nothing moves, however small the client
        // area (a window manager may make it smaller than designed).
        {kDesignClient, large, {}},
        {{8000, 9000}, large, {}},
        {{8000, 9000}, {kSnapOuterWidth, kSnapOuterHeight}, {}},
        // A lower screen: the panel rises by the client area's shortfall, and only then.
        {{8730, 9900}, {20000, 10800}, {315, 0}},
        {{8730, 10300}, {20000, 10800}, {}},
        // A narrower screen: the right-hand column moves left.
        {{8000, 10215}, {8100, 20000}, {0, 730}},
        // Never past the playfield's top or the sliders' left end.
        {{100, 100}, {100, 100}, {8100, 6780}},
    };
    for (const Case& c : cases) {
        const PanelShift got = panelShift(c.client, c.available);
        EXPECT_EQ(got, c.shift) << c.client.width << "x" << c.client.height << " got " << got.left
                                << "," << got.up;
    }
}

TEST(ShellLayout, TwipsBecomeWholePixelsHalvesToEven) {
    const std::pair<double, int> cases[] = {{15, 1},  {22.5, 2}, {37.5, 2},  {52.5, 4},
                                            {7.4, 0}, {7.6, 1},  {8730, 582}};
    for (const auto& [twips, pixels] : cases) {
        EXPECT_EQ(pixelsFromTwips(twips), pixels) << twips;
    }
}

TEST(ShellLayout, CellSizeIsThePlayfieldOverTheGrid) {
    const CellSize cell = cellSize(582, 525);
    EXPECT_FLOAT_EQ(cell.tileW, 9.86440678f);
    EXPECT_FLOAT_EQ(cell.tileH, 11.1702128f);
    const CellSize exact = cellSize(590, 470);
    EXPECT_EQ(exact.tileW, 10.0f);
    EXPECT_EQ(exact.tileH, 10.0f);
}

TEST(ShellFramePacing, WaitsForTheTickAndKeepsTheSchedule) {
    using namespace std::chrono;
    const PaceClock::time_point t0{};
    const auto period = milliseconds(16);
    struct Case {
        PaceClock::duration now;  // since t0, with the tick due at t0 + 16 ms
        PaceClock::duration wait;
        PaceClock::duration nextTick;
    };
    const Case cases[] = {
        // Early: wait for the tick; the next one is a whole period after it, not after now.
        {milliseconds(3), milliseconds(13), milliseconds(32)},
        {microseconds(15999), microseconds(1), milliseconds(32)},
        // On the tick or late: no wait, and the schedule restarts from now.
        {milliseconds(16), milliseconds(0), milliseconds(32)},
        {milliseconds(50), milliseconds(0), milliseconds(66)},
    };
    for (const Case& c : cases) {
        const PaceStep step = paceStep(t0 + c.now, t0 + milliseconds(16), period);
        EXPECT_EQ(step.wait, c.wait) << duration_cast<microseconds>(c.now).count();
        EXPECT_EQ(step.nextTick, t0 + c.nextTick) << duration_cast<microseconds>(c.now).count();
    }
}

TEST(ShellFramePacing, UnusableRefreshRatesFallBackTo60) {
    EXPECT_EQ(paceRate(75.0), 75.0);
    EXPECT_EQ(paceRate(59.94), 59.94);
    for (double hz : {0.0, -60.0, 0.5, 1e9, std::numeric_limits<double>::quiet_NaN(),
                      std::numeric_limits<double>::infinity()}) {
        EXPECT_EQ(paceRate(hz), 60.0) << hz;
    }
}

}  // namespace
}  // namespace kestro::shell
