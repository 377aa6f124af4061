#pragma once
// The running game: its state and its four timers, advanced only by the time it is given. The
// window gives it real time, the simulator and the tests virtual time; the same events at the
// same times give the same game.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "game/display.h"
#include "game/events.h"
#include "game/game_state.h"
#include "game/random.h"
#include "game/slider.h"
#include "game/timer_set.h"

namespace kestro {

// Where the time comes from while a game message is open: the time a message stays open counts
// as paused. Virtual time does not move while a message is answered.
class TimeSource {
  public:
    virtual ~TimeSource() = default;
    virtual Millis now() const = 0;
};

// Milliseconds on the machine's monotonic clock since the source was made.
class SteadyTime final : public TimeSource {
  public:
    SteadyTime();
    Millis now() const override;

  private:
    std::int64_t originNs_;
};

enum class LevelEnd { Completed, Lost };

class Game {
  public:
    // messageTime: the clock that measures how long a game message stays open; null when
    // messages take no time (virtual time).
    Game(const Sliders& sliders, RandomSource& random, GameDisplay& display,
         const TimeSource* messageTime = nullptr);
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    GameState& state() { return state_; }
    const GameState& state() const { return state_; }
    const TimerSet& timers() const { return timers_; }
    const Sliders& sliders() const { return sliders_; }

    // Builds a level from the sliders on the grid as it is (start-up, on an empty grid).
    void generateLevel();

    // The pause switch: the four game timers run exactly while the game is not paused. Running
    // them at time t starts each count afresh.
    void setPaused(bool paused, Millis t);
    bool paused() const { return !timers_.enabled(); }

    // The earliest time at which anything can change that the player sees, or when the ball
    // moves: the next Ball or Score tick, the next acceleration tick while it changes the ball's
    // period, the next level check once no goal is left, a pointer move waiting for its time.
    // The ticks before it change nothing until then and an advance to it fires them in order,
    // so a front end may sleep until it. Nothing while paused.
    std::optional<Millis> nextWakeTime() const;

    // Fires, in order, every timer due at or before t. Does nothing while a game message is
    // open: a timer never interrupts one.
    void advanceTo(Millis t);
    // When set, a gap of more than this many milliseconds between two advances (a suspended
    // machine) is not made up: the excess counts as paused.
    void setStallLimit(std::optional<Millis> limit) { stallLimit_ = limit; }

    // A pointer movement over the playfield, in its pixels.
    void mouseMove(float x, float y);
    // A pointer movement that happened at time t, for a front end that advances the clock less
    // often than the timers fire: the next advance to t or later first fires every timer due by
    // t, then moves the wall, so the game is the one advancing to t and moving there would give.
    // While paused (no timer runs) the wall moves at once. Moves are given in time order.
    void mouseMoveAt(Millis t, float x, float y);
    // Apply: a new level from the sliders, keeping the banked score.
    void apply();
    // Reset: a new level from the sliders, from nothing.
    void reset();

    // Shows a dialog the player answers (a game message, a file dialog, a help text) with the
    // game held: no timer fires while it is open and the time it stays open counts as paused.
    // A dialog opened from inside another is held by the outer one.
    void holdWhile(const std::function<void()>& dialog);
    bool messageOpen() const { return messageOpen_; }

    // How many times each timer has fired, by TimerId.
    const std::array<std::int64_t, kTimerCount>& ticks() const { return ticks_; }

    // Called after a level completion or loss has built the next level, with the time of the
    // tick that ended it and the number of the level that ended (the state holds the next one).
    std::function<void(LevelEnd, Millis, std::int16_t)> onLevelEnd;
    // The core's per-tick observer: called after every timer handler has run, with the timer
    // that fired. One advance may fire several timers in the same millisecond (their ties go
    // Ball, accel, LevelUp, Score), so only this hook sees each state between two of them;
    // the soak test checks every such state through it.
    std::function<void(TimerId)> onTick;

    // Where the rules' events go as they happen, with the time of the tick that made them;
    // null (the default) when nobody listens. The listener must outlive the game or be unset.
    void setEvents(GameEvents* events) { events_ = events; }

  private:
    // The display the handlers see: a game message holds the timers while it is open.
    class MessageGuard final : public GameDisplay {
      public:
        explicit MessageGuard(Game& game) : game_(game) {}
        void setLabel(LabelId label, const std::string& caption) override;
        void showScore(std::int32_t score) override;
        void showMessage(const std::string& text) override;

      private:
        Game& game_;
    };

    void fire(TimerId id, Millis at);
    // Fires every timer due by t (after making up no more than the stall limit) and sets now.
    void advanceStep(Millis t);
    // Moves the wall for every pointer move given, in order, without firing a timer.
    void applyPendingMoves();

    struct TimedMove {
        Millis at;
        float x, y;
    };

    GameState state_;
    TimerSet timers_;
    const Sliders sliders_;
    RandomSource& random_;
    GameDisplay& display_;
    const TimeSource* messageTime_;
    MessageGuard guard_{*this};
    bool messageOpen_ = false;
    std::optional<Millis> stallLimit_;
    Millis lastAdvance_ = 0;
    std::array<std::int64_t, kTimerCount> ticks_{};
    GameEvents* events_ = nullptr;
    std::vector<TimedMove> pendingMoves_;  // in time order, not yet applied
};

}  // namespace kestro
