#pragma once
// The window's sounds, on or off: while on, the game's events go to a sound player, which opens
// the output on its own thread; while off there is no player and no device is opened.

#include <memory>

#include "game/game.h"
#include "sound/player.h"
#include "sound/sound_output.h"

namespace kestro::shell {

class SoundSwitch {
  public:
    // Sounds start on or off as `on` says. open is how the player reaches the output (the sound
    // server unless a test gives another).
    SoundSwitch(Game& game, sound::OpenOutput open, bool on);
    ~SoundSwitch();
    SoundSwitch(const SoundSwitch&) = delete;
    SoundSwitch& operator=(const SoundSwitch&) = delete;

    void setOn(bool on);
    bool on() const { return player_ != nullptr; }
    // Replaces the output; a player that is on starts afresh with it.
    void setOutput(sound::OpenOutput open);

  private:
    Game& game_;
    sound::OpenOutput open_;
    std::unique_ptr<sound::SoundPlayer> player_;
};

}  // namespace kestro::shell
