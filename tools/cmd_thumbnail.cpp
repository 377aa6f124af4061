// kestro-sim thumbnail: a saved game's playfield as a small PNG for the file manager, drawn
// without Qt so that it starts and ends at once: each tile a rectangle or an ellipse in its
// colour on white, the picture at most SIZE pixels on its longer side with the playfield's
// aspect.

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/whole_file.h"
#include "game/playfield.h"
#include "game/tiles.h"
#include "savegame/codec.h"
#include "tools/cli.h"
#include "tools/commands.h"
#include "tools/game_io.h"
#include "tools/option_parser.h"
#include "tools/png_image.h"

namespace kestro::sim {

namespace {

// The playfield at the window's design size, whose aspect the thumbnail keeps.
constexpr std::int64_t kFieldWidth = kDesignFieldWidth;
constexpr std::int64_t kFieldHeight = kDesignFieldHeight;
constexpr std::int64_t kMaxSize = 4096;

constexpr Rgb kBackground{255, 255, 255};

struct TileLook {
    std::int16_t code;
    Rgb colour;
    bool round;
};

// The colours the game draws its tiles in.
constexpr TileLook kLooks[] = {
    {tileWall, {0, 0, 0}, false},      {tileBall, {0, 0, 255}, true},
    {tileBlock, {64, 64, 255}, false}, {tileGoal, {0, 255, 0}, true},
    {tileMarker, {255, 0, 0}, false},
};

const TileLook* lookOf(std::int16_t code) {
    for (const TileLook& look : kLooks) {
        if (look.code == code) {
            return &look;
        }
    }
    return nullptr;
}

// Where the centre of each of `pixels` pixels falls on an axis of `cells` cells: the cell and
// the offset from the cell's middle, -1 to 1.
struct Sample {
    int cell;
    double offset;
};
std::vector<Sample> samples(int pixels, int cells) {
    std::vector<Sample> out;
    out.reserve(static_cast<std::size_t>(pixels));
    for (int p = 0; p < pixels; ++p) {
        const double at = (p + 0.5) * cells / pixels;
        const int cell = static_cast<int>(at);
        out.push_back({cell, (at - cell) * 2.0 - 1.0});
    }
    return out;
}

RgbImage drawField(const Tiles& tiles, int width, int height) {
    RgbImage image(width, height, kBackground);
    const std::vector<Sample> xs = samples(width, kCols);
    const std::vector<Sample> ys = samples(height, kRows);
    for (int py = 0; py < height; ++py) {
        const Sample& sy = ys[static_cast<std::size_t>(py)];
        for (int px = 0; px < width; ++px) {
            const Sample& sx = xs[static_cast<std::size_t>(px)];
            const TileLook* look = lookOf(tiles.at(sx.cell, sy.cell));
            if (look == nullptr) {
                continue;
            }
            if (look->round && sx.offset * sx.offset + sy.offset * sy.offset > 1.0) {
                continue;
            }
            image.set(px, py, look->colour);
        }
    }
    return image;
}

}  // namespace

int cmdThumbnail(const Args& args) {
    return run("thumbnail", [&] {
        const ParsedArgs p = parseArgs(args, {"IN.egf", "OUT.png", "SIZE"}, {});
        const auto size = parseInteger(p.positional[2], "SIZE", 1, kMaxSize);
        const int width = static_cast<int>(size);
        const int height = static_cast<int>(
            std::max<std::int64_t>(1, (size * kFieldHeight + kFieldWidth / 2) / kFieldWidth));
        const savegame::DecodedGame game = loadDecoded(p.positional[0]);
        const std::vector<std::uint8_t> png = encodePng(drawField(game.tiles, width, height));
        if (const auto written = writeWholeFile(p.positional[1], std::span(png)); !written) {
            throw CliError(written.error());
        }
        return 0;
    });
}

}  // namespace kestro::sim
