#include "game/grid_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace kestro {
namespace {

TEST(GameGridText, EachTileCodeHasItsCharacter) {
    const struct {
        std::int16_t code;
        char c;
    } cases[] = {
        {tileEmpty, '.'}, {tileWall, '#'},   {tileBall, 'o'}, {tileBlock, 'B'},
        {tileGoal, 'G'},  {tileMarker, 'm'}, {3, '?'},        {-1, '?'},
        {99, '?'},        {-32768, '?'},     {32767, '?'},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tileChar(c.code), c.c) << c.code;
    }
}

TEST(GameGridText, RowsTopToBottomColumnsLeftToRight) {
    Tiles t;
    t.set(0, 0, tileWall);
    t.set(58, 0, tileBlock);
    t.set(0, 46, tileGoal);
    t.set(58, 46, tileMarker);
    t.set(30, 20, tileBall);
    t.set(1, 0, 7);
    const std::string text = gridText(t);

    ASSERT_EQ(text.size(), 47u * 60u);
    for (int y = 0; y < kRows; ++y) {
        EXPECT_EQ(text[static_cast<std::size_t>(y * 60 + 59)], '\n') << "row " << y;
    }
    const auto at = [&](int x, int y) { return text[static_cast<std::size_t>(y * 60 + x)]; };
    EXPECT_EQ(at(0, 0), '#');
    EXPECT_EQ(at(1, 0), '?');
    EXPECT_EQ(at(58, 0), 'B');
    EXPECT_EQ(at(0, 46), 'G');
    EXPECT_EQ(at(58, 46), 'm');
    EXPECT_EQ(at(30, 20), 'o');
    EXPECT_EQ(at(20, 30), '.');
    EXPECT_EQ(std::count(text.begin(), text.end(), '.'), 47 * 59 - 6);
}

}  // namespace
}  // namespace kestro
