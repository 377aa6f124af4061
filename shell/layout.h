#pragma once
// The window's layout arithmetic in twips (1/1440 inch), free of any widget so that it can be
// checked on its own. The window works at 15 twips per logical pixel.

#include <cstdint>
#include <limits>
#include <optional>

namespace kestro::shell {

inline constexpr double kTwipsPerPixel = 15.0;

// The smallest outer size the window keeps. An outer height below kMinOuterHeight is raised to
// kSnapOuterHeight, then an outer width below kMinOuterWidth to kSnapOuterWidth.
inline constexpr double kMinOuterHeight = 11115.0;
inline constexpr double kSnapOuterHeight = 11116.0;
inline constexpr double kMinOuterWidth = 8850.0;
inline constexpr double kSnapOuterWidth = 8851.0;

// On a screen whose available area is lower (narrower) than the snap value, the window snaps to
// the available height (width) instead, so that all of it stays on the screen.
inline constexpr double kUnlimited = std::numeric_limits<double>::infinity();

// The new outer height for a window of this outer height, or nothing when it may stay.
std::optional<double> snappedOuterHeight(double outerHeight, double availableHeight = kUnlimited);
// The new outer width for a window of this outer width, or nothing when it may stay.
std::optional<double> snappedOuterWidth(double outerWidth, double availableWidth = kUnlimited);

struct TwipSize {
    double width = 0.0;
    double height = 0.0;
};

// The client area the window's controls are designed for.
inline constexpr TwipSize kDesignClient{8730.0, 10215.0};

// How far the settings panel (the controls below the playfield) moves up, and the column at the
// right (the score, Reset, Apply) moves left, from their designed places. They stay where they
// are designed while the screen holds the window's designed smallest size; on a smaller screen
// they move by as much as the client area falls short of the designed one, so that they stay
// inside it, and the playfield gets what is left.
struct PanelShift {
    double up = 0.0;
    double left = 0.0;
    bool operator==(const PanelShift&) const = default;
};
PanelShift panelShift(TwipSize client, TwipSize availableOuter);

// The playfield's size for a client area of clientWidth x clientHeight: it keeps its Left and
// Top, spans the client width less a margin of Left on both sides, and ends (H - resetTop) x 1.13
// above the bottom of the client area, clear of the settings panel below it.
TwipSize playfieldSize(double clientWidth, double clientHeight, double resetTop, double playTop,
                       double playLeft);

// Twips to whole pixels, to the nearest pixel (halves to even), and back.
std::int32_t pixelsFromTwips(double twips);
double twipsFromPixels(std::int32_t pixels);

// The size of one cell in pixels for a playfield of the given pixel size.
struct CellSize {
    float tileW = 0.0f;
    float tileH = 0.0f;
};
CellSize cellSize(std::int32_t scaleWidth, std::int32_t scaleHeight);

}  // namespace kestro::shell
