// fMain's sounds: the switch the Settings menu's "Play Sounds" item and its preference turn.

#include "shell/fmain.h"

namespace kestro::shell {

void fMain::setSoundsOn(bool on) {
    sound_.setOn(on);
}

bool fMain::soundsOn() const {
    return sound_.on();
}

void fMain::setSoundOutput(sound::OpenOutput open) {
    sound_.setOutput(std::move(open));
}

}  // namespace kestro::shell
