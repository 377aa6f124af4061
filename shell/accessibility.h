#pragma once
// What screen readers and the keyboard get of the window: each control's accessible name,
// description and role, the sliders' tooltips telling what their values mean in the game, the
// score box's score as its value, the playfield's short description, and the Tab order through
// the controls. The visible captions stay as they are.
//
// The texts that change with the game are read when asked for (nothing is computed while no
// screen reader listens); the updaters below only tell a listening screen reader that they
// changed.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include <QString>

#include "game/game_state.h"
#include "game/slider.h"

class QCheckBox;
class QPushButton;
class QSlider;

namespace kestro::shell {

class PictureBox;

// The controls screen readers and the keyboard reach, by what they do.
struct AccessibleControls {
    QCheckBox& pause;
    PictureBox& score;
    PictureBox& field;
    QSlider& speed;
    QSlider& accel;
    QSlider& level;
    QPushButton& reset;
    QPushButton& apply;
};

// Names and describes the controls, gives the score box and the playfield what a screen reader
// reads of them, and sets the Tab order: "Pause", the sliders from top to bottom (top speed,
// acceleration, level), "Reset", "Apply". score gives the score the box shows (nothing while it
// is blank); field gives the game's state for the playfield's description.
void makeAccessible(const AccessibleControls& controls,
                    std::function<std::optional<std::int32_t>()> score,
                    std::function<const GameState&()> field);

// The accessible name of a slider: "Level", "Acceleration" or "Top Speed".
QString sliderName(const SliderSetting& setting);
// What a slider's value means in the game, for its tooltip and its description.
std::string sliderMeaning(const SliderSetting& setting, std::int32_t value);
// The playfield's description: its level, the goals left and the score.
std::string fieldSummary(const GameState& s);

// A slider's value has changed: its tooltip and description follow it.
void sliderChanged(QSlider& slider, const SliderSetting& setting);
// The score box has been written: a listening screen reader hears its new value.
void scoreChanged(PictureBox& score);
// A level has been built or loaded: a listening screen reader hears the playfield's new
// description.
void fieldChanged(PictureBox& field);

}  // namespace kestro::shell
