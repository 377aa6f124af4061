#include "game/level.h"

#include <cstdint>
#include <string>

#include "common/int_range.h"
#include "common/rounding.h"

namespace kestro {

namespace {

// Everything a level derives from the sliders and the previous state. Worked out before the grid
// or any variable changes, so a value that overflows leaves the game as it was.
struct LevelNumbers {
    std::int16_t level;
    std::int16_t blocks;
    std::int16_t markers;
    std::int32_t score;
    std::int16_t accelStep;
    std::int16_t minInterval;
    std::int16_t ballInterval;
    std::int32_t topSpeed;
};

LevelNumbers deriveNumbers(const GameState& s, const Sliders& sliders) {
    LevelNumbers n{};
    n.level = checked16(sliders.SLvl.value());
    const ScatterCounts counts = scatterCounts(n.level);
    n.blocks = counts.blocks;
    n.markers = counts.markers;

    // The previous level's acceleration still counts in the starting score.
    n.topSpeed = sliders.SSpeed.value();
    const std::int16_t levelTimes20 = checked16(std::int64_t{n.level} * 20);
    const std::int16_t oldAccelTimes2 = checked16(std::int64_t{s.accelStep} * 2);
    n.score = nearest<std::int32_t>(
        ((n.level * 0.05) * levelTimes20 + n.topSpeed + oldAccelTimes2) * 0.2 + s.bankedScore);

    n.accelStep = checked16(sliders.SAccel.value());
    n.minInterval = checked16(checked32(std::int64_t{sliders.SSpeed.max()} - n.topSpeed + 1));
    const std::int16_t accelTimes3 = checked16(std::int64_t{n.accelStep} * 3);
    n.ballInterval = nearest<std::int16_t>(n.topSpeed / 0.8 + accelTimes3);
    return n;
}

// One scatter pass: for each tile a column draw, then a row draw.
void scatter(GameState& s, RandomSource& random, std::int16_t count, std::int16_t code) {
    s.scatterCount = count;
    for (int i = 0; i < count; ++i) {
        s.randX = nearest<std::int16_t>(static_cast<double>(random.draw()) * 52 + 3);
        s.randY = nearest<std::int16_t>(static_cast<double>(random.draw()) * 40 + 3);
        s.tiles.set(s.randX, s.randY, code);
    }
}

}  // namespace

int goalsLeft(const Tiles& tiles) {
    int left = 0;
    for (const Cell& g : kGoalCells) {
        if (tiles.at(g.x, g.y) == tileGoal) {
            ++left;
        }
    }
    return left;
}

ScatterCounts scatterCounts(std::int16_t level) {
    return ScatterCounts{nearest<std::int16_t>(level * 6.804),
                         nearest<std::int16_t>(level * 0.32016000000000011)};
}

void generateLevel(GameState& s, const Sliders& sliders, RandomSource& random,
                   GameDisplay& display) {
    const LevelNumbers n = deriveNumbers(s, sliders);

    // Border walls.
    for (int x = 1; x <= 58; ++x) {
        s.tiles.set(x, 0, tileWall);
        s.tiles.set(x, 46, tileWall);
    }
    for (int y = 0; y <= 46; ++y) {
        s.tiles.set(0, y, tileWall);
    }
    for (int y = 1; y <= 46; ++y) {
        s.tiles.set(58, y, tileWall);
    }

    s.level = n.level;
    scatter(s, random, n.blocks, tileBlock);
    scatter(s, random, n.markers, tileMarker);

    s.score = n.score;
    s.accelStep = n.accelStep;
    s.minInterval = n.minInterval;
    s.ballInterval = n.ballInterval;

    display.setLabel(LabelId::Label1, sliderCaption(kLevelSlider, s.level));
    display.setLabel(LabelId::Label2, sliderCaption(kAccelSlider, s.accelStep));
    display.setLabel(LabelId::Label3, sliderCaption(kSpeedSlider, n.topSpeed));

    // The ball starts at (35, 27) coming from (34, 28): its first step is right and up.
    s.lastX = 34;
    s.lastY = 28;
    s.ballX = 35;
    s.ballY = 27;
    s.tiles.set(s.ballX, s.ballY, tileBall);

    for (const Cell& goal : kGoalCells) {
        s.tiles.set(goal.x, goal.y, tileGoal);
    }
}

}  // namespace kestro
