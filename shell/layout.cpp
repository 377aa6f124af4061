#include "shell/layout.h"

#include <cmath>

#include "common/rounding.h"
#include "game/tiles.h"

namespace kestro::shell {

std::optional<double> snappedOuterHeight(double outerHeight) {
    if (outerHeight < kMinOuterHeight) {
        return kSnapOuterHeight;
    }
    return std::nullopt;
}

std::optional<double> snappedOuterWidth(double outerWidth) {
    if (outerWidth < kMinOuterWidth) {
        return kSnapOuterWidth;
    }
    return std::nullopt;
}

TwipSize playfieldSize(double clientWidth, double clientHeight, double resetTop, double playTop,
                       double playLeft) {
    const double h = clientHeight;
    const double height = std::fabs(h - ((h - resetTop) * 1.13 + playTop));
    const double width = std::fabs(clientWidth - 2.0 * playLeft);
    return TwipSize{width, height};
}

std::int32_t pixelsFromTwips(double twips) {
    return nearest<std::int32_t>(twips / kTwipsPerPixel);
}

double twipsFromPixels(std::int32_t pixels) {
    return static_cast<double>(pixels) * kTwipsPerPixel;
}

CellSize cellSize(std::int32_t scaleWidth, std::int32_t scaleHeight) {
    return CellSize{static_cast<float>(static_cast<double>(scaleWidth) / kCols),
                    static_cast<float>(static_cast<double>(scaleHeight) / kRows)};
}

}  // namespace kestro::shell
