#include "render/palette.h"

#include <array>
#include <utility>

#include "game/tiles.h"
#include "render/scene.h"

namespace kestro {

namespace {

constexpr std::array<PaletteId, 2> kPalettes = {PaletteId::Classic, PaletteId::HighContrast};

// The Okabe-Ito colours the high-contrast palette is made of.
constexpr std::int32_t kBlack = colourOf(0, 0, 0);
constexpr std::int32_t kWhite = colourOf(255, 255, 255);
constexpr std::int32_t kYellow = colourOf(240, 228, 66);
constexpr std::int32_t kBlue = colourOf(0, 114, 178);
constexpr std::int32_t kSkyBlue = colourOf(86, 180, 233);
// Not one of them: a dark crimson, as light as it can be while markers stay 3:1 from the sky-blue
// goals (Okabe-Ito's vermillion is 1.7:1), so that it keeps 3:1 from the black background too.
constexpr std::int32_t kCrimson = colourOf(168, 38, 64);
constexpr std::int32_t kReddishPurple = colourOf(204, 121, 167);

// Each tile's colour in high contrast. The ball is the lightest colour and the blocks the darkest
// but one, so the ball stands out by lightness under every kind of colour vision; goals (sky
// blue, light) and markers (crimson, dark) differ in lightness as much as in hue.
constexpr std::pair<std::int16_t, std::int32_t> kHighContrast[] = {
    {tileWall, kWhite},   {tileBall, kYellow},    {tileBlock, kBlue},
    {tileGoal, kSkyBlue}, {tileMarker, kCrimson},
};

}  // namespace

std::span<const PaletteId> allPalettes() {
    return kPalettes;
}

std::string_view paletteName(PaletteId id) {
    return id == PaletteId::HighContrast ? "high-contrast" : "classic";
}

std::optional<PaletteId> paletteNamed(std::string_view name) {
    for (const PaletteId id : kPalettes) {
        if (paletteName(id) == name) {
            return id;
        }
    }
    return std::nullopt;
}

std::int32_t paletteColour(PaletteId id, std::int32_t colour) {
    if (id == PaletteId::HighContrast) {
        for (const auto& [code, drawn] : kHighContrast) {
            if (tileColour(code) == colour) {
                return drawn;
            }
        }
    }
    return colour;
}

std::optional<std::int32_t> paletteBackground(PaletteId id) {
    if (id == PaletteId::HighContrast) {
        return kBlack;
    }
    return std::nullopt;
}

std::optional<std::int32_t> palettePointerWall(PaletteId id) {
    if (id == PaletteId::HighContrast) {
        return kReddishPurple;
    }
    return std::nullopt;
}

}  // namespace kestro
