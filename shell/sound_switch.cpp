#include "shell/sound_switch.h"

#include <utility>

namespace kestro::shell {

SoundSwitch::SoundSwitch(Game& game, sound::OpenOutput open, bool on)
    : game_(game), open_(std::move(open)) {
    setOn(on);
}

SoundSwitch::~SoundSwitch() {
    game_.setEvents(nullptr);
}

void SoundSwitch::setOn(bool on) {
    if (on == this->on()) {
        return;
    }
    game_.setEvents(nullptr);
    player_.reset();  // closes the output, if it was opened
    if (on) {
        player_ = std::make_unique<sound::SoundPlayer>(open_);
        game_.setEvents(player_.get());
    }
}

void SoundSwitch::setOutput(sound::OpenOutput open) {
    open_ = std::move(open);
    if (on()) {
        setOn(false);
        setOn(true);
    }
}

}  // namespace kestro::shell
