#pragma once
// Test helpers: the cells where two grids differ, for failure messages, and a display that
// remembers what the game showed.

#include <map>
#include <string>

#include "game/display.h"
#include "game/grid_text.h"
#include "game/tiles.h"

namespace kestro::testing {

// The cells where two grids differ, as "(x,y) a->b" lines.
inline std::string gridDiff(const Tiles& expected, const Tiles& actual) {
    std::string out;
    for (int y = 0; y < kRows; ++y) {
        for (int x = 0; x < kCols; ++x) {
            if (expected.at(x, y) != actual.at(x, y)) {
                out += "(" + std::to_string(x) + "," + std::to_string(y) + ") expected " +
                       tileChar(expected.at(x, y)) + " got " + tileChar(actual.at(x, y)) + "\n";
            }
        }
    }
    return out;
}

class RecordingDisplay final : public GameDisplay {
  public:
    void setLabel(LabelId label, const std::string& caption) override { labels[label] = caption; }
    void showScore(std::int32_t) override {}
    void showMessage(const std::string&) override {}

    std::map<LabelId, std::string> labels;
};

}  // namespace kestro::testing
