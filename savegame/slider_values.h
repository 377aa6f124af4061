#pragma once
// The three slider values a saved game carries, and the ranges a loaded value must respect.

#include <cstdint>

#include "game/slider.h"

namespace kestro::savegame {

struct SliderValues {
    std::int32_t SSpeed = 300;
    std::int32_t SAccel = 5;
    std::int32_t SLvl = 1;

    friend bool operator==(const SliderValues&, const SliderValues&) = default;
};

struct SliderRange {
    std::int32_t min;
    std::int32_t max;
    constexpr bool contains(std::int32_t v) const { return v >= min && v <= max; }
};

// The sliders' design-time ranges; a slider adjusts a value outside its range.
inline constexpr SliderRange kSpeedRange{-1, 500};
inline constexpr SliderRange kAccelRange{1, 20};
inline constexpr SliderRange kLevelRange{0, 80};

// The sliders' current values, read in the order the save writes them.
inline SliderValues readSliderValues(const Sliders& sliders) {
    SliderValues v;
    v.SSpeed = sliders.SSpeed.value();
    v.SAccel = sliders.SAccel.value();
    v.SLvl = sliders.SLvl.value();
    return v;
}

}  // namespace kestro::savegame
