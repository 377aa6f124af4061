#pragma once
// The tile grid: 59 columns by 47 rows of 16-bit tile codes, the column varying fastest.

#include <array>
#include <cstdint>

namespace kestro {

inline constexpr int kCols = 59;
inline constexpr int kRows = 47;
inline constexpr int kCells = kCols * kRows;  // 2,773

inline constexpr std::int16_t tileEmpty = 0;
inline constexpr std::int16_t tileWall = 1;
inline constexpr std::int16_t tileBall = 2;
inline constexpr std::int16_t tileBlock = 4;
inline constexpr std::int16_t tileGoal = 8;
inline constexpr std::int16_t tileMarker = 10;

// Cell (x, y) of the grid.
struct Cell {
    int x = 0;
    int y = 0;
    friend bool operator==(const Cell&, const Cell&) = default;
};

inline constexpr bool insideGrid(int x, int y) {
    return x >= 0 && x < kCols && y >= 0 && y < kRows;
}

// The grid never lets an access leave its 2,773 cells: a read outside gives tileWall (the ball
// reflects off the edge of the world as off the border) and a write outside is dropped.
class Tiles {
  public:
    std::int16_t at(int x, int y) const {
        return insideGrid(x, y) ? cells_[static_cast<std::size_t>(x + kCols * y)] : tileWall;
    }
    void set(int x, int y, std::int16_t code) {
        if (insideGrid(x, y)) {
            cells_[static_cast<std::size_t>(x + kCols * y)] = code;
        }
    }
    void clear() { cells_.fill(tileEmpty); }

    // Element n is cell (n mod 59, n div 59).
    const std::array<std::int16_t, kCells>& cells() const { return cells_; }
    std::array<std::int16_t, kCells>& cells() { return cells_; }

    friend bool operator==(const Tiles&, const Tiles&) = default;

  private:
    std::array<std::int16_t, kCells> cells_{};
};

}  // namespace kestro
