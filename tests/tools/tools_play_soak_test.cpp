// An hour of game time through `kestro-sim play`, labelled soak.

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "tests/tools/long_play.h"

namespace kestro::sim {
namespace {

TEST(ToolsPlaySoak, AnHourAtLevel40IsRepeatable) {
    const kestro::test::TempDir dir("kestro-play-soak");
    test::expectLongPlayRepeatable(3'600'000, dir.path());
}

}  // namespace
}  // namespace kestro::sim
