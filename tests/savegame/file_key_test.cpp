#include "savegame/file_key.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace kestro::savegame {
namespace {

TEST(SaveGameFileKey, TimeOfDayRoundsToTheNearestSecondHalvesToEven) {
    const struct {
        double seconds;
        std::int32_t key;
    } cases[] = {
        {0.0, 0},         {0.4999, 0},       {0.5, 0},         {1.5, 2},         {2.5, 2},
        {59.5, 60},       {43200.49, 43200}, {86399.4, 86399}, {86399.5, 86400}, {86399.99, 86400},
        {86400.0, 86400}, {86400.7, 86400},  {-0.25, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fileKeyFromSeconds(c.seconds), c.key) << c.seconds;
    }
}

TEST(SaveGameFileKey, KeyOfNowLiesWithinTheDay) {
    const std::int32_t key = fileKeyNow();
    EXPECT_GE(key, 0);
    EXPECT_LE(key, 86400);
}

}  // namespace
}  // namespace kestro::savegame
