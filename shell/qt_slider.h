#pragma once
// The game's Slider over a QSlider. Change is raised after every value set by the program (even
// to the value it already has) and after every change by the player that is not a drag; Scroll
// is raised while the player drags the thumb, and Change once more when the thumb is released.

#include <cstdint>
#include <functional>
#include <vector>

#include <QMetaObject>
#include <QSlider>

#include "game/slider.h"

namespace kestro::shell {

class QtSlider final : public Slider {
  public:
    // Sets the slider's range, start value and steps from its setting; it takes keyboard focus
    // by tab and by click.
    QtSlider(QSlider& slider, const SliderSetting& setting);
    ~QtSlider() override;
    QtSlider(const QtSlider&) = delete;
    QtSlider& operator=(const QtSlider&) = delete;

    std::int32_t min() const override { return slider_.minimum(); }
    std::int32_t max() const override { return slider_.maximum(); }
    std::int32_t value() const override { return slider_.value(); }
    void setValue(std::int32_t v) override;

    void setOnChange(std::function<void()> f) { onChange_ = std::move(f); }
    void setOnScroll(std::function<void()> f) { onScroll_ = std::move(f); }

    QSlider& widget() { return slider_; }

  private:
    void raiseChange();
    void raiseScroll();

    QSlider& slider_;
    bool settingValue_ = false;
    std::function<void()> onChange_;
    std::function<void()> onScroll_;
    std::vector<QMetaObject::Connection> connections_;
};

}  // namespace kestro::shell
