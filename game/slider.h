#pragma once
// What the game relies on of a slider control: Min, Max, Value, and a Change notification
// whenever Value is set (by the player or by the program). The window adapts its real sliders to
// this interface; the headless game and the tools use SliderModel. The three settings' ranges,
// start values, label captions and steps live here, once, for everything that needs them.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestro {

// One setting's slider: its range, the value it starts with, the text its label puts before the
// value, and how far the keyboard moves it (arrow keys by lineStep, Page Up/Down by pageStep).
struct SliderSetting {
    std::string_view name;
    std::int32_t min;
    std::int32_t max;
    std::int32_t start;
    std::string_view caption;
    std::int32_t lineStep;
    std::int32_t pageStep;

    constexpr bool contains(std::int32_t v) const { return v >= min && v <= max; }
};

inline constexpr SliderSetting kLevelSlider{"SLvl", 0, 80, 1, "Level: ", 1, 10};
inline constexpr SliderSetting kAccelSlider{"SAccel", 1, 20, 5, "Acceleration: ", 1, 5};
inline constexpr SliderSetting kSpeedSlider{"SSpeed", -1, 500, 300, "Top Speed: ", 1, 50};

// The label text for a value: the caption followed by the value in decimal, no leading blank.
inline std::string sliderCaption(const SliderSetting& setting, std::int32_t value) {
    return std::string(setting.caption) + std::to_string(value);
}

class Slider {
  public:
    virtual ~Slider() = default;
    virtual std::int32_t min() const = 0;
    virtual std::int32_t max() const = 0;
    virtual std::int32_t value() const = 0;
    // Sets Value, kept within Min..Max, and raises Change.
    virtual void setValue(std::int32_t v) = 0;
};

class SliderModel final : public Slider {
  public:
    SliderModel(std::int32_t min, std::int32_t max, std::int32_t value)
        : min_(min), max_(max), value_(value) {}
    explicit SliderModel(const SliderSetting& setting)
        : SliderModel(setting.min, setting.max, setting.start) {}

    std::int32_t min() const override { return min_; }
    std::int32_t max() const override { return max_; }
    std::int32_t value() const override { return value_; }
    void setValue(std::int32_t v) override {
        value_ = v < min_ ? min_ : (v > max_ ? max_ : v);
        for (const auto& f : onChange_) {
            f();
        }
    }
    void onChange(std::function<void()> f) { onChange_.push_back(std::move(f)); }

  private:
    std::int32_t min_, max_, value_;
    std::vector<std::function<void()>> onChange_;
};

// The three settings, by the names of their controls.
struct Sliders {
    Slider& SLvl;    // level
    Slider& SAccel;  // acceleration
    Slider& SSpeed;  // top speed
};

// Three headless sliders with the window's ranges and start values.
struct StandardSliders {
    SliderModel SLvl{kLevelSlider};
    SliderModel SAccel{kAccelSlider};
    SliderModel SSpeed{kSpeedSlider};
    Sliders view() { return Sliders{SLvl, SAccel, SSpeed}; }
};

}  // namespace kestro
