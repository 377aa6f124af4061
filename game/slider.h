#pragma once
// What the game relies on of a slider control: Min, Max, Value, and a Change notification
// whenever Value is set (by the player or by the program). The window adapts its real sliders to
// this interface; the headless game and the tools use SliderModel.

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace kestro {

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
    Slider& SLvl;    // level, 0..80
    Slider& SAccel;  // acceleration, 1..20
    Slider& SSpeed;  // top speed, -1..500
};

// Three headless sliders with the window's design-time ranges and start values.
struct StandardSliders {
    SliderModel SLvl{0, 80, 1};
    SliderModel SAccel{1, 20, 5};
    SliderModel SSpeed{-1, 500, 300};
    Sliders view() { return Sliders{SLvl, SAccel, SSpeed}; }
};

}  // namespace kestro
