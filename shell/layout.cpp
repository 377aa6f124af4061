#include "shell/layout.h"

#include <algorithm>
#include <cmath>

#include "common/rounding.h"
#include "game/tiles.h"

namespace kestro::shell {

namespace {

std::optional<double> snapped(double outer, double threshold, double snap, double available) {
    if (outer < std::min(threshold, available)) {
        return std::min(snap, available);
    }
    return std::nullopt;
}

// How far a group moves when the client area is `client` long instead of `design`, at most
// `limit` (it never passes the playfield's top or the sliders' left end).
double shortfall(double client, double design, double limit) {
    return std::clamp(design - client, 0.0, limit);
}

// The panel's top (Reset's) less the playfield's top, and Reset's left less the sliders' left.
constexpr double kMaxShiftUp = 8520.0 - 420.0;
constexpr double kMaxShiftLeft = 7440.0 - 660.0;

}  // namespace

std::optional<double> snappedOuterHeight(double outerHeight, double availableHeight) {
    return snapped(outerHeight, kMinOuterHeight, kSnapOuterHeight, availableHeight);
}

std::optional<double> snappedOuterWidth(double outerWidth, double availableWidth) {
    return snapped(outerWidth, kMinOuterWidth, kSnapOuterWidth, availableWidth);
}

PanelShift panelShift(TwipSize client, TwipSize availableOuter) {
    PanelShift shift;
    if (availableOuter.height < kSnapOuterHeight) {
        shift.up = shortfall(client.height, kDesignClient.height, kMaxShiftUp);
    }
    if (availableOuter.width < kSnapOuterWidth) {
        shift.left = shortfall(client.width, kDesignClient.width, kMaxShiftLeft);
    }
    return shift;
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
