#pragma once
// The computer's play: before each ball tick, where the pointer wall should stand. It looks
// ahead with the game's own ball tick and pointer wall on copies of the state, and it moves the
// wall only through a pointer position inside the playfield, as a player's pointer would.

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "game/game_state.h"

namespace kestro {

// A pointer position in playfield pixels.
struct PointerPosition {
    float x = 0.0f;
    float y = 0.0f;
    friend bool operator==(const PointerPosition&, const PointerPosition&) = default;
};

// One decision before a ball tick: the pointer stays where it is, moves onto a cell that holds
// something (lifting its wall and putting none), or puts its wall on an empty cell.
struct PlannerChoice {
    enum class Kind : std::uint8_t { Stay, Lift, Wall };
    Kind kind = Kind::Stay;
    Cell cell{};  // the wall's cell (Wall) or the cell the pointer rests on (Lift)
    friend bool operator==(const PlannerChoice&, const PlannerChoice&) = default;
};

// The pointer position inside the playfield (kCols by kRows cells of tileW by tileH) that makes
// the choice through Kestro_MouseMove; nothing for Stay, or when no position maps to the cell.
std::optional<PointerPosition> positionFor(const GameState& s, const PlannerChoice& choice);

// The pointer position of each column and each row at one cell size (NaN where none maps), as
// positionFor gives them.
struct PointerAxes {
    float tileW = 0.0f;
    float tileH = 0.0f;
    std::array<float, kCols> xs{};
    std::array<float, kRows> ys{};
    static PointerAxes at(float tileW, float tileH);
    std::optional<PointerPosition> of(Cell c) const;
};

class Planner {
  public:
    // The choice for the ball tick about to come. It depends on the state alone: the planner
    // keeps only a cache of what it worked out from the grid's obstacles, reused only for the
    // same obstacles.
    PlannerChoice choose(const GameState& s);

    // The pointer position to move to before the next ball tick, or nothing when the pointer
    // stays where it is.
    std::optional<PointerPosition> pointerFor(const GameState& s);

  private:
    static constexpr int kGoals = 4;
    static constexpr std::uint16_t kFar = 0x3fff;
    using Map = std::array<std::uint16_t, kCells>;

    void refreshMaps(const GameState& s, unsigned remaining);
    int estimate(const GameState& s, unsigned remaining) const;
    int search(const GameState& s, int depth, int limit, unsigned remaining) const;

    PointerAxes axes_;  // for the cell size of the latest state
    // What passing each cell costs (the ball and the pointer's own wall nothing, a block to
    // push aside more, a wall to turn round most), and last the goals standing: what the maps
    // were made for.
    using Obstacles = std::array<std::uint8_t, kCells + 1>;
    Obstacles obstacles_{};
    bool mapsMade_ = false;
    std::array<Map, kGoals> toGoal_{};  // ticks from each cell to each goal, roughly
    std::array<std::array<int, 1 << kGoals>, kGoals> tail_{};  // best tour from goal g over a set
};

}  // namespace kestro
