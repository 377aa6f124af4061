#include "game/planner.h"

#include <algorithm>
#include <bit>

#include "game/ball.h"
#include "game/level.h"
#include "game/pointer.h"

namespace kestro {

// How the planner looks ahead: every choice of the next few ball ticks (the pointer stays, or
// its wall goes onto one of the three cells that decide the tick) is played on a copy of the
// state with Ball_Timer and Kestro_MouseMove themselves. Where the look-ahead ends, a tour
// estimate takes over: the fewest ticks to every goal still standing, in the best order, over
// maps of ticks to each goal that charge extra for passing blocks and walls. The choice with
// the fewest ticks to the last goal wins; on a tie the earlier one in the order Stay, Lift,
// column, row, ahead.

namespace {

constexpr int kLookAhead = 3;      // ball ticks played out before the estimate takes over
constexpr int kDeepLookAhead = 5;  // when the usual look-ahead finds no way forward
constexpr std::uint8_t kBlockCost = 3;
constexpr std::uint8_t kWallCost = 6;
constexpr std::uint8_t kOutside = 0xff;  // the border and beyond: the ball never stands there

int index(int x, int y) {
    return x + kCols * y;
}

// The goals still standing, one bit per entry of kGoalCells.
unsigned standingGoals(const Tiles& tiles) {
    unsigned left = 0;
    for (std::size_t g = 0; g < kGoalCells.size(); ++g) {
        if (tiles.at(kGoalCells[g].x, kGoalCells[g].y) == tileGoal) {
            left |= 1u << g;
        }
    }
    return left;
}

// The three cells that decide the coming tick, in the order column, row, ahead.
std::array<Cell, 3> decidingCells(const GameState& s) {
    const int sx = s.ballX - s.lastX;
    const int sy = s.ballY - s.lastY;
    return {{{s.ballX + sx, s.ballY}, {s.ballX, s.ballY + sy}, {s.ballX + sx, s.ballY + sy}}};
}

// Where on one axis the pointer stands for cell c of `count` cells of `tile` pixels: the middle of
// the cell's pointer range first, then a quarter cell either side (the playfield ends inside the
// last cell's range). The axes map apart, so the other one is held on its first cell.
std::optional<float> axisPosition(int c, float tile, int count, bool across) {
    constexpr std::array<float, 3> offsets{1.0f, 0.75f, 1.25f};
    for (const float o : offsets) {
        const float p = (static_cast<float>(c) + o) * tile;
        if (!(p >= 0.0f && p < static_cast<float>(count) * tile)) {
            continue;
        }
        const auto cell =
            across ? pointerCell(p, tile, tile, tile) : pointerCell(tile, p, tile, tile);
        if (cell && (across ? cell->x : cell->y) == c) {
            return p;
        }
    }
    return std::nullopt;
}

std::optional<PointerPosition> cellPosition(Cell cell, float tileW, float tileH) {
    const auto x = axisPosition(cell.x, tileW, kCols, true);
    const auto y = axisPosition(cell.y, tileH, kRows, false);
    if (!x || !y) {
        return std::nullopt;
    }
    return PointerPosition{*x, *y};
}

// The choices worth trying before a tick, each with the position that makes it.
struct Option {
    PlannerChoice choice;
    std::optional<PointerPosition> position;
};

// At most Stay, Lift and the three deciding cells.
struct Options {
    std::array<Option, 5> items{};
    std::size_t count = 0;
    const Option* begin() const { return items.data(); }
    const Option* end() const { return items.data() + count; }
};

Options options(const GameState& s, const PointerAxes& axes, bool withLift) {
    Options found;
    found.items[found.count++] = Option{PlannerChoice{}, std::nullopt};
    const auto add = [&](PlannerChoice c) {
        if (const auto p = axes.of(c.cell)) {
            found.items[found.count++] = Option{c, p};
        }
    };
    const bool wallUp =
        s.cursorX != 0 && s.cursorY != 0 && s.tiles.at(s.cursorX, s.cursorY) == tileWall;
    if (withLift && wallUp && s.tiles.at(0, 0) != tileEmpty) {
        add({PlannerChoice::Kind::Lift, {0, 0}});
    }
    const auto cells = decidingCells(s);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const Cell c = cells[i];
        const bool repeated = std::find(cells.begin(), cells.begin() + static_cast<long>(i), c) !=
                              cells.begin() + static_cast<long>(i);
        if (!repeated && s.tiles.at(c.x, c.y) == tileEmpty) {
            add({PlannerChoice::Kind::Wall, c});
        }
    }
    return found;
}

GameState played(const GameState& s, const Option& o) {
    GameState next = s;
    if (o.position) {
        Kestro_MouseMove(next, o.position->x, o.position->y);
    }
    Ball_Timer(next);
    return next;
}

}  // namespace

PointerAxes PointerAxes::at(float tileW, float tileH) {
    PointerAxes axes;
    axes.tileW = tileW;
    axes.tileH = tileH;
    for (int x = 0; x < kCols; ++x) {
        axes.xs[static_cast<std::size_t>(x)] = axisPosition(x, tileW, kCols, true).value_or(NAN);
    }
    for (int y = 0; y < kRows; ++y) {
        axes.ys[static_cast<std::size_t>(y)] = axisPosition(y, tileH, kRows, false).value_or(NAN);
    }
    return axes;
}

std::optional<PointerPosition> PointerAxes::of(Cell c) const {
    if (!insideGrid(c.x, c.y)) {
        return std::nullopt;
    }
    const float x = xs[static_cast<std::size_t>(c.x)];
    const float y = ys[static_cast<std::size_t>(c.y)];
    if (std::isnan(x) || std::isnan(y)) {
        return std::nullopt;
    }
    return PointerPosition{x, y};
}

std::optional<PointerPosition> positionFor(const GameState& s, const PlannerChoice& choice) {
    switch (choice.kind) {
        case PlannerChoice::Kind::Stay:
            return std::nullopt;
        case PlannerChoice::Kind::Lift:
            // The pointer must rest on a cell that holds something other than its own wall.
            if (s.tiles.at(choice.cell.x, choice.cell.y) == tileEmpty ||
                (choice.cell.x == s.cursorX && choice.cell.y == s.cursorY)) {
                return std::nullopt;
            }
            return cellPosition(choice.cell, s.tileW, s.tileH);
        case PlannerChoice::Kind::Wall:
            if (s.tiles.at(choice.cell.x, choice.cell.y) != tileEmpty) {
                return std::nullopt;
            }
            return cellPosition(choice.cell, s.tileW, s.tileH);
    }
    return std::nullopt;
}

void Planner::refreshMaps(const GameState& s, unsigned remaining) {
    Obstacles cost;
    const auto& cells = s.tiles.cells();
    for (std::size_t i = 0; i < cells.size(); ++i) {
        cost[i] = static_cast<std::uint8_t>((cells[i] == tileBlock ? kBlockCost : 0) +
                                            (cells[i] == tileWall ? kWallCost : 0));
    }
    if (insideGrid(s.cursorX, s.cursorY) && s.tiles.at(s.cursorX, s.cursorY) == tileWall) {
        cost[static_cast<std::size_t>(index(s.cursorX, s.cursorY))] = 0;  // the pointer's own
    }
    for (int x = 0; x < kCols; ++x) {
        cost[static_cast<std::size_t>(index(x, 0))] = kOutside;
        cost[static_cast<std::size_t>(index(x, kRows - 1))] = kOutside;
    }
    for (int y = 0; y < kRows; ++y) {
        cost[static_cast<std::size_t>(index(0, y))] = kOutside;
        cost[static_cast<std::size_t>(index(kCols - 1, y))] = kOutside;
    }
    cost[kCells] = static_cast<std::uint8_t>(remaining);  // the maps made are those wanted
    if (mapsMade_ && cost == obstacles_) {
        return;
    }
    obstacles_ = cost;
    mapsMade_ = true;
    const std::uint8_t* w = obstacles_.data();

    // Ticks to each goal on the ball's diagonal steps, by Dial's buckets: a step onto u costs
    // one tick and the pass cost of u and of the two cells beside the step.
    constexpr int kMostStep = 1 + 3 * kWallCost;
    constexpr int kBuckets = kMostStep + 1;
    std::array<std::vector<int>, kBuckets> buckets;
    for (auto& b : buckets) {
        b.reserve(kCells);
    }
    for (int g = 0; g < kGoals; ++g) {
        if ((remaining & (1u << g)) == 0) {
            continue;
        }
        Map& d = toGoal_[static_cast<std::size_t>(g)];
        d.fill(kFar);
        const Cell goal = kGoalCells[static_cast<std::size_t>(g)];
        d[static_cast<std::size_t>(index(goal.x, goal.y))] = 0;
        buckets[0].push_back(index(goal.x, goal.y));
        int pending = 1;
        for (int at = 0; pending > 0; ++at) {
            auto& bucket = buckets[static_cast<std::size_t>(at % kBuckets)];
            while (!bucket.empty()) {
                const int u = bucket.back();
                bucket.pop_back();
                --pending;
                if (d[static_cast<std::size_t>(u)] != at) {
                    continue;
                }
                for (const int dx : {-1, 1}) {
                    for (const int dy : {-kCols, kCols}) {
                        const int v = u + dx + dy;
                        const int side1 = u + dx;
                        const int side2 = u + dy;
                        if (w[v] == kOutside) {
                            continue;
                        }
                        // The sides of a step between interior cells lie inside the grid.
                        const int step = 1 + w[u] + (w[side1] == kOutside ? 0 : w[side1]) +
                                         (w[side2] == kOutside ? 0 : w[side2]);
                        if (at + step < d[static_cast<std::size_t>(v)]) {
                            d[static_cast<std::size_t>(v)] = static_cast<std::uint16_t>(at + step);
                            buckets[static_cast<std::size_t>((at + step) % kBuckets)].push_back(v);
                            ++pending;
                        }
                    }
                }
            }
        }
    }

    // The best tour from each goal over each set of the others still standing.
    for (unsigned set = 0; set < (1u << kGoals); ++set) {
        for (int g = 0; g < kGoals; ++g) {
            int best = set == 0 ? 0 : kFar * kGoals;
            const Cell from = kGoalCells[static_cast<std::size_t>(g)];
            for (int h = 0; h < kGoals; ++h) {
                if ((set & (1u << h)) != 0 && (remaining & (1u << h)) != 0) {
                    const int leg = toGoal_[static_cast<std::size_t>(h)]
                                           [static_cast<std::size_t>(index(from.x, from.y))];
                    best =
                        std::min(best, leg + tail_[static_cast<std::size_t>(h)][set & ~(1u << h)]);
                }
            }
            tail_[static_cast<std::size_t>(g)][set] = best;
        }
    }
}

int Planner::estimate(const GameState& s, unsigned remaining) const {
    const int ball = index(s.ballX, s.ballY);
    const int nx = s.ballX + (s.ballX - s.lastX);
    const int ny = s.ballY + (s.ballY - s.lastY);
    int best = kFar * (kGoals + 1);
    for (int g = 0; g < kGoals; ++g) {
        if ((remaining & (1u << g)) == 0) {
            continue;
        }
        const Map& d = toGoal_[static_cast<std::size_t>(g)];
        const int here = insideGrid(s.ballX, s.ballY) ? d[static_cast<std::size_t>(ball)] : kFar;
        // Heading away from the goal costs a turn.
        const bool away = !insideGrid(nx, ny) || d[static_cast<std::size_t>(index(nx, ny))] >= here;
        best = std::min(best, here + (away ? 1 : 0) +
                                  tail_[static_cast<std::size_t>(g)][remaining & ~(1u << g)]);
    }
    return best;
}

int Planner::search(const GameState& s, int depth, int limit, unsigned remaining) const {
    if (depth == limit) {
        return depth + estimate(s, remaining);
    }
    int best = kFar * (kGoals + 2);
    for (const Option& o : options(s, axes_, false)) {
        const GameState next = played(s, o);
        const unsigned left = remaining & standingGoals(next.tiles);
        if (left == 0) {
            return depth + 1;
        }
        best = std::min(best, search(next, depth + 1, limit, left));
    }
    return best;
}

PlannerChoice Planner::choose(const GameState& s) {
    const unsigned remaining = standingGoals(s.tiles);
    if (remaining == 0 || !insideGrid(s.ballX, s.ballY)) {
        return PlannerChoice{};
    }
    refreshMaps(s, remaining);
    // The same floats compare equal, so a cell size seen before keeps its positions.
    if (!(axes_.tileW == s.tileW && axes_.tileH == s.tileH)) {
        axes_ = PointerAxes::at(s.tileW, s.tileH);
    }
    const Options choices = options(s, axes_, true);
    const auto bestAt = [&](int limit) {
        PlannerChoice choice{};
        int best = kFar * (kGoals + 2);
        for (const Option& o : choices) {
            const GameState next = played(s, o);
            const unsigned left = remaining & standingGoals(next.tiles);
            const int cost = left == 0 ? 1 : search(next, 1, limit, left);
            if (cost < best) {
                best = cost;
                choice = o.choice;
            }
        }
        return std::pair{choice, best};
    };
    const auto [choice, cost] = bestAt(kLookAhead);
    // No choice gets nearer within the look-ahead (a pocket of blocks, a dead end): look
    // further.
    if (cost >= estimate(s, remaining) + kLookAhead) {
        return bestAt(kDeepLookAhead).first;
    }
    return choice;
}

std::optional<PointerPosition> Planner::pointerFor(const GameState& s) {
    return positionFor(s, choose(s));
}

}  // namespace kestro
