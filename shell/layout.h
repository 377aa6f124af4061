#pragma once
// The window's layout arithmetic in twips (1/1440 inch), free of any widget so that it can be
// checked on its own. The window works at 15 twips per logical pixel.

#include <cstdint>
#include <optional>

namespace kestro::shell {

inline constexpr double kTwipsPerPixel = 15.0;

// The smallest outer size the window keeps. An outer height below kMinOuterHeight is raised to
// kSnapOuterHeight, then an outer width below kMinOuterWidth to kSnapOuterWidth.
inline constexpr double kMinOuterHeight = 11115.0;
inline constexpr double kSnapOuterHeight = 11116.0;
inline constexpr double kMinOuterWidth = 8850.0;
inline constexpr double kSnapOuterWidth = 8851.0;

// The new outer height for a window of this outer height, or nothing when it may stay.
std::optional<double> snappedOuterHeight(double outerHeight);
// The new outer width for a window of this outer width, or nothing when it may stay.
std::optional<double> snappedOuterWidth(double outerWidth);

struct TwipSize {
    double width = 0.0;
    double height = 0.0;
};

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
