#pragma once
// The three slider values a saved game carries.

#include <cstdint>

#include "game/slider.h"

namespace kestro::savegame {

struct SliderValues {
    std::int32_t SSpeed = kSpeedSlider.start;
    std::int32_t SAccel = kAccelSlider.start;
    std::int32_t SLvl = kLevelSlider.start;

    friend bool operator==(const SliderValues&, const SliderValues&) = default;
};

// The sliders' current values, read in the order the save writes them.
inline SliderValues readSliderValues(const Sliders& sliders) {
    SliderValues v;
    v.SSpeed = sliders.SSpeed.value();
    v.SAccel = sliders.SAccel.value();
    v.SLvl = sliders.SLvl.value();
    return v;
}

}  // namespace kestro::savegame
