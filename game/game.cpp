#include "game/game.h"

#include <algorithm>
#include <chrono>

#include "game/ball.h"
#include "game/game_clock.h"
#include "game/level.h"
#include "game/pointer.h"

namespace kestro {

namespace {

std::int64_t steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

SteadyTime::SteadyTime() : originNs_(steadyNs()) {}

Millis SteadyTime::now() const {
    return (steadyNs() - originNs_) / 1'000'000;
}

Game::Game(const Sliders& sliders, RandomSource& random, GameDisplay& display,
           const TimeSource* messageTime)
    : sliders_(sliders), random_(random), display_(display), messageTime_(messageTime) {}

void Game::generateLevel() {
    kestro::generateLevel(state_, sliders_, random_, guard_);
}

void Game::setPaused(bool paused, Millis t) {
    if (paused) {
        applyPendingMoves();
        timers_.disable();
        return;
    }
    if (!timers_.enabled()) {
        timers_.enable(t);
        lastAdvance_ = timers_.now();
    }
}

std::optional<Millis> Game::nextWakeTime() const {
    if (!timers_.enabled()) {
        return std::nullopt;
    }
    Millis wake = std::min(*timers_.due(TimerId::Ball), *timers_.due(TimerId::Score));
    if (accelChangesBall(state_, timers_)) {
        wake = std::min(wake, *timers_.due(TimerId::accel));
    }
    if (levelComplete(state_)) {
        wake = std::min(wake, *timers_.due(TimerId::LevelUp));
    }
    if (!pendingMoves_.empty()) {
        wake = std::min(wake, pendingMoves_.front().at);
    }
    return wake;
}

void Game::advanceTo(Millis t) {
    if (messageOpen_) {
        return;
    }
    // Each pointer move due by t comes after the timers due by its time and before the next.
    std::size_t applied = 0;
    while (applied < pendingMoves_.size() && pendingMoves_[applied].at <= t && !messageOpen_) {
        const TimedMove move = pendingMoves_[applied++];
        advanceStep(move.at);
        Kestro_MouseMove(state_, move.x, move.y);
    }
    pendingMoves_.erase(pendingMoves_.begin(),
                        pendingMoves_.begin() + static_cast<std::ptrdiff_t>(applied));
    if (messageOpen_) {
        return;
    }
    advanceStep(t);
}

void Game::advanceStep(Millis t) {
    if (stallLimit_ && timers_.enabled() && t - lastAdvance_ > *stallLimit_) {
        timers_.postpone(t - lastAdvance_ - *stallLimit_);
    }
    while (const auto due = timers_.nextDue(t)) {
        fire(due->id, due->at);
    }
    timers_.setNow(t);
    lastAdvance_ = std::max(lastAdvance_, t);
}

void Game::fire(TimerId id, Millis at) {
    const std::int16_t playing = state_.level;  // the level a completion or loss ends
    timers_.fire(id, at);
    ++ticks_[static_cast<std::size_t>(id)];
    EventReport report;
    if (events_ != nullptr) {
        report = [events = events_, at](GameEvent e) { events->happened(e, at); };
    }
    switch (id) {
        case TimerId::Ball:
            Ball_Timer(state_, report);
            break;
        case TimerId::accel:
            accel_Timer(state_, timers_);
            break;
        case TimerId::LevelUp:
            if (LevelUp_Timer(state_, sliders_, random_, guard_, report) && onLevelEnd) {
                onLevelEnd(LevelEnd::Completed, at, playing);
            }
            break;
        case TimerId::Score:
            if (Score_Timer(state_, timers_, sliders_, random_, guard_, report) && onLevelEnd) {
                onLevelEnd(LevelEnd::Lost, at, playing);
            }
            break;
    }
    if (onTick) {
        onTick(id);
    }
}

void Game::mouseMove(float x, float y) {
    Kestro_MouseMove(state_, x, y);
}

void Game::mouseMoveAt(Millis t, float x, float y) {
    if (!timers_.enabled()) {
        applyPendingMoves();
        Kestro_MouseMove(state_, x, y);
        return;
    }
    pendingMoves_.push_back(TimedMove{t, x, y});
}

void Game::applyPendingMoves() {
    for (const TimedMove& move : pendingMoves_) {
        Kestro_MouseMove(state_, move.x, move.y);
    }
    pendingMoves_.clear();
}

void Game::apply() {
    state_.tiles.clear();
    kestro::generateLevel(state_, sliders_, random_, guard_);
}

void Game::reset() {
    state_.bankedScore = 0;
    // The window-level scratch variables are the loop counters; they end one past the grid.
    for (state_.randX = 0; state_.randX <= kCols - 1; ++state_.randX) {
        for (state_.randY = 0; state_.randY <= kRows - 1; ++state_.randY) {
            state_.tiles.set(state_.randX, state_.randY, tileEmpty);
        }
    }
    kestro::generateLevel(state_, sliders_, random_, guard_);
}

void Game::MessageGuard::setLabel(LabelId label, const std::string& caption) {
    game_.display_.setLabel(label, caption);
}

void Game::MessageGuard::showScore(std::int32_t score) {
    game_.display_.showScore(score);
}

void Game::MessageGuard::showMessage(const std::string& text) {
    game_.holdWhile([this, &text] { game_.display_.showMessage(text); });
}

void Game::holdWhile(const std::function<void()>& dialog) {
    if (messageOpen_) {
        dialog();  // the outer dialog's hold counts this one's time as well
        return;
    }
    struct Open {
        bool& flag;
        explicit Open(bool& f) : flag(f) { flag = true; }
        ~Open() { flag = false; }
        Open(const Open&) = delete;
        Open& operator=(const Open&) = delete;
    } open(messageOpen_);
    const Millis before = messageTime_ ? messageTime_->now() : 0;
    dialog();
    const Millis after = messageTime_ ? messageTime_->now() : 0;
    if (after > before) {
        timers_.postpone(after - before);
        lastAdvance_ += after - before;
    }
}

}  // namespace kestro
