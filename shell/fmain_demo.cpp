// fMain's demo: the computer plays the game through the pointer wall, as a player would, until
// the player takes over. Its runs never go into the high-score table.

#include "game/autopilot.h"
#include "shell/fmain.h"

namespace kestro::shell {

// What the playfield says while the computer plays.
inline constexpr const char* kDemoNoteText = "Demo: press Esc to take over";

void fMain::mnuDemo_Click() {
    if (demo_) {
        stopDemo();
    } else {
        startDemo();
    }
}

void fMain::startDemo() {
    if (!controls_.cPaused.isEnabled()) {
        controls_.mnuDemo.setChecked(false);
        return;  // before start-up or while shutting down
    }
    demo_.emplace();
    demoInRun_ = true;
    controls_.mnuDemo.setChecked(true);
    controls_.TakeOver.setEnabled(true);
    controls_.DemoNote.showText(QString::fromUtf8(kDemoNoteText));
    if (controls_.cPaused.checkState() != Qt::Unchecked) {
        controls_.cPaused.click();  // the demo plays: Pause is cleared as a click would
    }
    armClock();
}

void fMain::stopDemo() {
    if (!demo_) {
        return;
    }
    demo_.reset();
    controls_.mnuDemo.setChecked(false);
    controls_.TakeOver.setEnabled(false);
    controls_.DemoNote.hide();
    armClock();
}

void fMain::advanceDemo(Millis now) {
    playAhead(game_, *demo_, now, [this](Millis, PointerPosition p) { game_.mouseMove(p.x, p.y); });
    game_.advanceTo(now);
}

}  // namespace kestro::shell
