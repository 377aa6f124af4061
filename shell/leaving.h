#pragma once
// When leaving the window pauses the game: the player who minimizes the window or turns to
// another application comes back to a paused game. The window's own dialogs are not leaving it.

namespace kestro::shell {

// What a change of the window's state or activation was.
struct WindowChange {
    bool minimized = false;        // the window became minimized by this change
    bool deactivated = false;      // it was the active window and is no longer
    bool ownWindowActive = false;  // another window of the game (its dialog) is active now
};

// The pause as it stands when the window changes.
struct PauseState {
    bool pauseWhenLeft = true;  // the player's preference
    bool canPause = false;      // the "Pause" box takes clicks (start-up has finished)
    bool paused = false;        // "Pause" is checked already
};

// True when the change checks "Pause", as a click on it would.
constexpr bool leavingPauses(const WindowChange& change, const PauseState& pause) {
    if (!pause.pauseWhenLeft || !pause.canPause || pause.paused) {
        return false;
    }
    return change.minimized || (change.deactivated && !change.ownWindowActive);
}

}  // namespace kestro::shell
