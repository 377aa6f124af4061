// fMain's game handlers: pause, the game clock, the pointer, the settings panel and the tile
// dump. Each hands the event to the game and leaves the rules to it.

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <utility>

#include <QScreen>

#include "common/runtime_error.h"
#include "shell/accessibility.h"
#include "shell/fmain.h"
#include "shell/frame_pacer.h"

namespace kestro::shell {

namespace {

std::string levelBannerText(std::int16_t level, std::int32_t carried) {
    return "Level " + std::to_string(level) + " complete: " + std::to_string(carried) +
           " points carried";
}

}  // namespace

int fMain::cPausedValue() const {
    switch (controls_.cPaused.checkState()) {
        case Qt::Unchecked:
            return 0;
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
    }
    return 1;
}

void fMain::cPaused_Click() {
    // Checked (1) and grayed (2) both pause.
    game_.setPaused(cPausedValue() != 0, time_.now());
    armClock();
}

void fMain::advanceClock() {
    clockAdvancedAt_ = time_.now();
    if (demo_) {
        advanceDemo(clockAdvancedAt_);
    } else {
        game_.advanceTo(clockAdvancedAt_);
    }
    armClock();
}

Millis fMain::framePeriodMs() const {
    const QScreen* s = screen();
    const double hz = paceRate(s != nullptr ? s->refreshRate() : 0.0);
    // A screen that reports a slow rate (a virtual one may) does not slow the clock below 60 Hz.
    return std::clamp<Millis>(static_cast<Millis>(std::lround(1000.0 / hz)), 1, kMaxClockFrameMs);
}

bool fMain::clockPerFrame() const {
    return !game_.paused() && game_.timers().period(TimerId::Ball) < framePeriodMs();
}

void fMain::armClock() {
    // While a game message is open the game holds its timers; the tick that showed the message
    // sets the clock again when the message has closed.
    // The ticks before the next wake time change nothing anyone sees; that advance fires them.
    const auto due = game_.nextWakeTime();
    if (!due || game_.messageOpen() || unloading_) {
        clock_.stop();
        return;
    }
    const Millis now = time_.now();
    Millis wait = std::max<Millis>(0, *due - now);
    if (clockPerFrame()) {
        // Every tick due by then fires at the next frame's advance, in order; the timer is the
        // fallback for when no frame comes.
        wait =
            std::max<Millis>(wait, clockAdvancedAt_ + framePeriodMs() + kClockFrameSlackMs - now);
    }
    clock_.start(static_cast<int>(std::min<Millis>(wait, kMaxClockWaitMs)));
}

void fMain::advanceClockAtFrame() {
    // A clock that is not set (paused, held by a dialog, shutting down) stays as it is.
    if (!clockPerFrame() || !clock_.isActive()) {
        return;
    }
    try {
        advanceClock();
    } catch (const RuntimeError& e) {
        fatalError(e);
    }
}

void fMain::Kestro_MouseMove(int button, int shift, float x, float y) {
    static_cast<void>(button);  // the wall follows the pointer with or without buttons
    static_cast<void>(shift);
    if (game_.paused()) {
        game_.mouseMove(x, y);
        return;
    }
    // The move takes its place among the ticks by its time; the clock sleeps past ticks that
    // change nothing to see, so it is played now, after them, unless the next frame plays it.
    game_.mouseMoveAt(time_.now(), x, y);
    if (!clockPerFrame()) {
        advanceClock();
    }
}

void fMain::levelEnded(LevelEnd end, Millis at, std::int16_t level) {
    static_cast<void>(at);
    showTrueScore();
    if (end == LevelEnd::Completed) {
        // After the last level the congratulation has been answered already.
        controls_.LevelBanner.showText(
            QString::fromStdString(levelBannerText(level, game_.state().bankedScore)));
        levelBannerTimer_.start();
    } else {
        // A loss has its message; the banner of a level before it has nothing more to say.
        levelBannerTimer_.stop();
        controls_.LevelBanner.hide();
    }
    runLevelEnded(end);  // a loss ends the run: its name and the table come after the banner
}

void fMain::showTrueScore() {
    display_.showScoreIfStale(game_.state().score);
    fieldChanged(controls_.Kestro);
}

void fMain::apply_Click() {
    game_.apply();
    armClock();  // a new level: the ticks that matter are others
    showTrueScore();
    runs_.levelRebuilt(game_.state());  // the run goes on
}

void fMain::reset_Click() {
    // New Game: the run ends, and a fresh one begins on the new level.
    std::optional<records::Entry> ended = runs_.end();
    game_.reset();
    armClock();
    showTrueScore();
    runs_.beginFresh(game_.state());
    keepRun(std::move(ended), true);
}

void fMain::SLvl_Change() {
    controls_.Label1.setText(QString::fromStdString(sliderCaption(kLevelSlider, slvl_.value())));
    sliderChanged(controls_.SLvl, kLevelSlider);
}

void fMain::SAccel_Change() {
    controls_.Label2.setText(QString::fromStdString(sliderCaption(kAccelSlider, saccel_.value())));
    sliderChanged(controls_.SAccel, kAccelSlider);
}

void fMain::SSpeed_Change() {
    controls_.Label3.setText(QString::fromStdString(sliderCaption(kSpeedSlider, sspeed_.value())));
    sliderChanged(controls_.SSpeed, kSpeedSlider);
}

void fMain::DispUpdate_Timer() {
    GameState& s = game_.state();
    ImageSurface& surface = controls_.Kestro.surface();
    surface.cls();
    s.scanY = 46;
    s.scanX = -1;
    for (s.scanY = 46; s.scanY >= 0; --s.scanY) {
        for (s.scanX = 0; s.scanX <= 58; ++s.scanX) {
            surface.setCurrentX(static_cast<float>(s.scanX * 140.05 - 90.0));
            surface.setCurrentY(static_cast<float>((46 - s.scanY) * 157.56 - 146.0));
            const std::int16_t code = s.tiles.at(s.scanX, s.scanY);
            if (code > 0) {
                surface.print(std::to_string(code));
            }
        }
    }
    s.scanX = 0;
    s.scanY = 0;
}

}  // namespace kestro::shell
