#include "game/ball.h"

#include <array>
#include <cstdint>
#include <initializer_list>

#include "common/int_range.h"

namespace kestro {

// Why no coordinate ever leaves 16 bits or the grid:
// The step (sx, sy) is ball - last and the plain move ball + step, both checked. Every
// destination below is then one of lastX/nextX combined with one of lastY/nextY, or an empty
// cell of the escape search (empty cells lie inside the grid). A column bx + sx is chosen only
// when the column neighbour is not a wall, and a row by + sy only when the row neighbour is not
// a wall; since everything outside the grid reads as a wall, such a column or row is inside.
// So a ball and a last cell inside the grid always give a destination inside the grid, whatever
// the grid holds and even when the last cell is not diagonal to the ball. The cells two steps
// away (case of two blocks, the cell beyond a pushed block) are only read or written through
// Tiles, which keeps every access inside the grid.

namespace {

// A block at (px, py) pushed along (sx, sy): it solidifies against a wall or a block, moves onto
// an empty cell, and stays where it is in front of anything else (a goal, a marker), where the
// ball meets it as it would a wall.
GameEvent pushBlock(Tiles& tiles, int px, int py, int sx, int sy) {
    const int tx = px + sx;
    const int ty = py + sy;
    const std::int16_t beyond = tiles.at(tx, ty);
    if (beyond == tileWall || beyond == tileBlock) {
        tiles.set(px, py, tileWall);
        return GameEvent::BlockToWall;
    }
    if (beyond == tileEmpty) {
        tiles.set(px, py, tileEmpty);
        tiles.set(tx, ty, tileBlock);
        return GameEvent::BlockPushed;
    }
    return GameEvent::WallBounce;
}

// A reflecting wall is the pointer's own when it stands in the cell cursorX/cursorY names.
bool isPointerWall(const GameState& s, int x, int y) {
    return s.cursorX != 0 && s.cursorY != 0 && x == s.cursorX && y == s.cursorY;
}

GameEvent bounceOff(const GameState& s, std::initializer_list<Cell> walls) {
    for (const Cell& w : walls) {
        if (isPointerWall(s, w.x, w.y)) {
            return GameEvent::PointerBounce;
        }
    }
    return GameEvent::WallBounce;
}

void tell(const EventReport& report, GameEvent e) {
    if (report) {
        report(e);
    }
}

// The ball's way out when the cell ahead is closed: of its four diagonal neighbours, in a fixed
// order whatever the direction, the last empty one; the cell ahead when none is empty.
Cell escape(const Tiles& tiles, int bx, int by, Cell ahead) {
    const std::array<Cell, 4> order{
        {{bx - 1, by - 1}, {bx - 1, by + 1}, {bx + 1, by - 1}, {bx + 1, by + 1}}};
    Cell destination = ahead;
    for (const Cell& c : order) {
        if (tiles.at(c.x, c.y) == tileEmpty) {
            destination = c;
        }
    }
    return destination;
}

}  // namespace

void Ball_Timer(GameState& s, const EventReport& report) {
    // The direction is not stored: it is the difference between the current and previous cell.
    const std::int16_t stepX = checked16(std::int64_t{s.ballX} - s.lastX);
    const std::int16_t stepY = checked16(std::int64_t{s.ballY} - s.lastY);
    const std::int16_t plainX = checked16(std::int64_t{s.ballX} + stepX);
    const std::int16_t plainY = checked16(std::int64_t{s.ballY} + stepY);

    Tiles& tiles = s.tiles;
    const int bx = s.ballX;
    const int by = s.ballY;
    const int sx = stepX;
    const int sy = stepY;

    tiles.set(bx, by, tileEmpty);
    s.stepX = stepX;
    s.stepY = stepY;
    s.nextX = plainX;
    s.nextY = plainY;

    // The three cells that decide the tick, read once after the ball has been lifted.
    const std::int16_t column = tiles.at(bx + sx, by);
    const std::int16_t row = tiles.at(bx, by + sy);
    const std::int16_t ahead = tiles.at(bx + sx, by + sy);

    Cell next{plainX, plainY};
    const Cell back{s.lastX, s.lastY};
    const Cell columnCell{bx + sx, by};
    const Cell rowCell{bx, by + sy};
    const Cell aheadCell{bx + sx, by + sy};
    if (row == tileWall && column == tileWall) {
        tell(report, bounceOff(s, {columnCell, rowCell}));
        next = back;
    } else if (column == tileWall) {
        tell(report, bounceOff(s, {columnCell}));
        next = {back.x, plainY};
    } else if (row == tileWall) {
        tell(report, bounceOff(s, {rowCell}));
        next = {plainX, back.y};
    } else if (row == tileBlock && column == tileBlock) {
        // Wedged between two blocks: the cell ahead is cleared and a block appears beyond it.
        tiles.set(bx + sx, by + sy, tileEmpty);
        tiles.set(bx + 2 * sx, by + 2 * sy, tileBlock);
        tell(report, GameEvent::BlockJump);
        next = back;
    } else if (column == tileBlock) {
        tell(report, pushBlock(tiles, bx + sx, by, sx, sy));
        next = {back.x, plainY};
    } else if (row == tileBlock) {
        tell(report, pushBlock(tiles, bx, by + sy, sx, sy));
        next = {plainX, back.y};
    } else if (ahead == tileBlock) {
        tell(report, pushBlock(tiles, bx + sx, by + sy, sx, sy));
        next = escape(tiles, bx, by, next);
    } else if (ahead == tileWall) {
        tell(report, bounceOff(s, {aheadCell}));
        next = escape(tiles, bx, by, next);
    }

    // The ball overwrites whatever its new cell holds: a goal or marker is collected this way.
    s.nextX = static_cast<std::int16_t>(next.x);
    s.nextY = static_cast<std::int16_t>(next.y);
    s.lastX = s.ballX;
    s.lastY = s.ballY;
    s.ballX = s.nextX;
    s.ballY = s.nextY;
    const std::int16_t landed = tiles.at(s.ballX, s.ballY);
    if (landed == tileGoal) {
        tell(report, GameEvent::GoalCollected);
    } else if (landed == tileMarker) {
        tell(report, GameEvent::MarkerErased);
    }
    tiles.set(s.ballX, s.ballY, tileBall);
}

}  // namespace kestro
