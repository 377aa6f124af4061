#include "shell/qt_slider.h"

#include <QObject>

namespace kestro::shell {

QtSlider::QtSlider(QSlider& slider, const SliderSetting& setting) : slider_(slider) {
    slider_.setOrientation(Qt::Horizontal);
    slider_.setRange(setting.min, setting.max);
    slider_.setSingleStep(setting.lineStep);
    slider_.setPageStep(setting.pageStep);
    slider_.setFocusPolicy(Qt::StrongFocus);
    slider_.setValue(setting.start);
    connections_.push_back(QObject::connect(&slider_, &QSlider::valueChanged, [this](int) {
        if (settingValue_) {
            return;  // setValue raises Change itself
        }
        if (slider_.isSliderDown()) {
            raiseScroll();
        } else {
            raiseChange();
        }
    }));
    connections_.push_back(
        QObject::connect(&slider_, &QSlider::sliderReleased, [this] { raiseChange(); }));
}

QtSlider::~QtSlider() {
    for (const auto& c : connections_) {
        QObject::disconnect(c);
    }
}

void QtSlider::setValue(std::int32_t v) {
    settingValue_ = true;
    slider_.setValue(v);  // QSlider keeps the value within its range
    settingValue_ = false;
    raiseChange();
}

void QtSlider::raiseChange() {
    if (onChange_) {
        onChange_();
    }
}

void QtSlider::raiseScroll() {
    if (onScroll_) {
        onScroll_();
    }
}

}  // namespace kestro::shell
