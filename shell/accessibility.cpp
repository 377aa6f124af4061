#include "shell/accessibility.h"

#include <memory>
#include <utility>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QPushButton>
#include <QSlider>

#include "game/level.h"
#include "game/timer_set.h"
#include "shell/picture_box.h"

namespace kestro::shell {

namespace {

// A picture box as a screen reader sees it: the role, value and description the box was given,
// the rest as for any widget.
class PictureBoxInterface final : public QAccessibleWidget {
  public:
    explicit PictureBoxInterface(PictureBox& box)
        : QAccessibleWidget(&box, box.spoken().role), box_(box) {}

    QAccessible::Role role() const override { return box_.spoken().role; }

    QString text(QAccessible::Text t) const override {
        const PictureBox::Spoken& spoken = box_.spoken();
        if (t == QAccessible::Value && spoken.value) {
            return spoken.value();
        }
        if (t == QAccessible::Description && spoken.description) {
            return spoken.description();
        }
        return QAccessibleWidget::text(t);
    }

  private:
    PictureBox& box_;
};

// Qt asks its factories for an object's interface under each class name of the object, its own
// first; a picture box has no class name of its own, so it is recognised by its type. Qt keeps
// the interface and deletes it with the object.
QAccessibleInterface* pictureBoxInterface(const QString& className, QObject* object) {
    static_cast<void>(className);
    auto* box = dynamic_cast<PictureBox*>(object);
    if (box == nullptr) {
        return nullptr;
    }
    return std::make_unique<PictureBoxInterface>(*box).release();
}

std::string plural(std::int32_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// When a slider's value takes effect: the sliders are read only when a level is built.
constexpr const char* kFromNextLevel =
    " Takes effect when the next level is built (Apply, Reset, or the end of a level).";

std::string levelMeaning(std::int32_t value) {
    const ScatterCounts counts = scatterCounts(static_cast<std::int16_t>(value));
    return "The level to play: level " + std::to_string(value) + " scatters " +
           plural(counts.blocks, "block", "blocks") + " and " +
           plural(counts.markers, "marker", "markers") +
           " on the playfield. Completing a level moves it on by one." + kFromNextLevel;
}

std::string accelMeaning(std::int32_t value) {
    return "How fast the ball speeds up: every " + std::to_string(kAccelPeriod) +
           " ms its step gets " + std::to_string(value) +
           " ms shorter, until it reaches the top speed." + kFromNextLevel;
}

std::string speedMeaning(std::int32_t value) {
    const std::int32_t base = kSpeedSlider.max + 1;
    return "The ball's top speed: its fastest step is " + std::to_string(base) +
           " minus the value, in milliseconds (now " + std::to_string(base - value) + " ms)." +
           kFromNextLevel;
}

void describeSlider(QSlider& slider, const SliderSetting& setting) {
    slider.setAccessibleName(sliderName(setting));
    sliderChanged(slider, setting);
}

}  // namespace

QString sliderName(const SliderSetting& setting) {
    if (setting.name == kLevelSlider.name) {
        return QStringLiteral("Level");
    }
    if (setting.name == kAccelSlider.name) {
        return QStringLiteral("Acceleration");
    }
    return QStringLiteral("Top Speed");
}

std::string sliderMeaning(const SliderSetting& setting, std::int32_t value) {
    if (setting.name == kLevelSlider.name) {
        return levelMeaning(value);
    }
    if (setting.name == kAccelSlider.name) {
        return accelMeaning(value);
    }
    return speedMeaning(value);
}

std::string fieldSummary(const GameState& s) {
    return "Level " + std::to_string(s.level) + ", " + plural(goalsLeft(s.tiles), "goal", "goals") +
           " left, score " + std::to_string(s.score);
}

void makeAccessible(const AccessibleControls& c, std::function<std::optional<std::int32_t>()> score,
                    std::function<const GameState&()> field) {
    QAccessible::installFactory(&pictureBoxInterface);  // once: Qt ignores a second install

    c.pause.setAccessibleName(QStringLiteral("Pause"));
    c.pause.setAccessibleDescription(
        QStringLiteral("Stops and resumes the game's timers; the game starts paused."));

    c.score.setAccessibleName(QStringLiteral("Score"));
    c.score.setAccessibleDescription(
        QStringLiteral("The level's score, counting down; what is left when the four goals are "
                       "taken is carried into the next level."));
    c.score.setSpoken({QAccessible::StaticText,
                       [score = std::move(score)] {
                           const std::optional<std::int32_t> shown = score();
                           return shown ? QString::number(*shown) : QString();
                       },
                       nullptr});

    c.field.setAccessibleName(QStringLiteral("Playfield"));
    c.field.setSpoken({QAccessible::Graphic, nullptr, [field = std::move(field)] {
                           return QString::fromStdString(fieldSummary(field()));
                       }});

    describeSlider(c.speed, kSpeedSlider);
    describeSlider(c.accel, kAccelSlider);
    describeSlider(c.level, kLevelSlider);

    c.reset.setAccessibleName(QStringLiteral("Reset"));
    c.reset.setAccessibleDescription(
        QStringLiteral("Starts again from nothing: drops the score carried so far and builds a "
                       "new level from the sliders."));
    c.apply.setAccessibleName(QStringLiteral("Apply"));
    c.apply.setAccessibleDescription(
        QStringLiteral("Restarts the level with the sliders' settings, keeping the score carried "
                       "so far."));

    // Reading order: the check box at the top, then the settings panel's sliders from top to
    // bottom, then its buttons from top to bottom. The score box and the playfield take no
    // focus: they show, and the pointer steers.
    QWidget::setTabOrder(&c.pause, &c.speed);
    QWidget::setTabOrder(&c.speed, &c.accel);
    QWidget::setTabOrder(&c.accel, &c.level);
    QWidget::setTabOrder(&c.level, &c.reset);
    QWidget::setTabOrder(&c.reset, &c.apply);
}

void sliderChanged(QSlider& slider, const SliderSetting& setting) {
    const QString meaning = QString::fromStdString(sliderMeaning(setting, slider.value()));
    slider.setToolTip(meaning);
    slider.setAccessibleDescription(meaning);
}

void scoreChanged(PictureBox& score) {
    if (QAccessible::isActive() && score.spoken().value) {
        QAccessibleValueChangeEvent event(&score, score.spoken().value());
        QAccessible::updateAccessibility(&event);
    }
}

void fieldChanged(PictureBox& field) {
    if (QAccessible::isActive()) {
        QAccessibleEvent event(&field, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
    }
}

}  // namespace kestro::shell
