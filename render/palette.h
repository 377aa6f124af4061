#pragma once
// The palettes the playfield can be drawn in. A palette changes only the colours of the pixels
// drawn: the entity texts, their order and everything logged stay those of the scene. Classic is
// the game's own colours; High Contrast, chosen from the Okabe-Ito set, shows the ball light on
// dark blue blocks, goals and markers apart in lightness as well as hue, white walls on black,
// and the pointer's wall marked apart from the other walls.
//
// Colours are colour numbers: red + 256 x green + 65536 x blue.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kestro {

enum class PaletteId { Classic, HighContrast };

// Every palette, Classic first.
std::span<const PaletteId> allPalettes();

// "classic" or "high-contrast"; paletteNamed takes exactly these names.
std::string_view paletteName(PaletteId id);
std::optional<PaletteId> paletteNamed(std::string_view name);

// The colour a tile colour is drawn in; a colour that is no tile's colour is drawn as it is.
std::int32_t paletteColour(PaletteId id, std::int32_t colour);

// The background the palette draws on, or nothing when it keeps the surface's own.
std::optional<std::int32_t> paletteBackground(PaletteId id);

// The colour the inside of the pointer's wall is drawn in, or nothing when it is drawn as any
// other wall.
std::optional<std::int32_t> palettePointerWall(PaletteId id);

// A colour number from its red, green and blue.
constexpr std::int32_t colourOf(int red, int green, int blue) {
    return red + 256 * green + 65536 * blue;
}

}  // namespace kestro
