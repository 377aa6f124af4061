// fMain's menu bar: File, Game, Settings and Help, their keys, and the Pause item that stays in
// step with the "Pause" check box both ways.

#include <QKeySequence>
#include <QList>
#include <QMenuBar>
#include <QSignalBlocker>

#include "render/pointer_mark.h"
#include "shell/fmain.h"

namespace kestro::shell {

namespace {

// The platform's keys for a standard item, and the usual key as well when the platform has none
// of its own (Quit has none on some platforms).
void setStandardKeys(QAction& item, QKeySequence::StandardKey standard, const QKeySequence& usual) {
    QList<QKeySequence> keys = QKeySequence::keyBindings(standard);
    if (!keys.contains(usual)) {
        keys.append(usual);
    }
    item.setShortcuts(keys);
}

}  // namespace

void fMain::buildMenus() {
    Controls& c = controls_;
    menuBar()->addMenu(&c.File);
    c.File.addAction(&c.mnuSave);
    c.File.addAction(&c.mnuOpen);
    c.File.addAction(&c.mnuResume);
    c.File.addAction(&c.mnuQuit);
    menuBar()->addMenu(&c.Game);
    c.Game.addAction(&c.mnuNew);
    c.Game.addAction(&c.mnuRestart);
    c.Game.addSeparator();
    c.Game.addAction(&c.mnuPause);
    c.Game.addSeparator();
    c.Game.addAction(&c.mnuDemo);
    c.Game.addAction(&c.mnuHighScores);
    menuBar()->addMenu(&c.Settings);
    c.Settings.addAction(&c.mnuPauseWhenLeft);
    c.Settings.addAction(&c.mnuPlaySounds);
    c.Settings.addMenu(&c.Colours);
    c.Colours.addAction(&c.mnuClassic);
    c.Colours.addAction(&c.mnuHighContrast);
    for (QAction* a : {&c.mnuClassic, &c.mnuHighContrast}) {
        a->setCheckable(true);
        c.ColoursGroup.addAction(a);
    }
    menuBar()->addMenu(&c.Help);
    c.Help.addAction(&c.About);
    c.Help.addAction(&c.Help2);

    // The desktop's keys beside the mnemonics, and the keys players of desktop games know.
    setStandardKeys(c.mnuSave, QKeySequence::Save, QKeySequence(Qt::CTRL | Qt::Key_S));
    setStandardKeys(c.mnuOpen, QKeySequence::Open, QKeySequence(Qt::CTRL | Qt::Key_O));
    setStandardKeys(c.mnuQuit, QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q));
    setStandardKeys(c.Help2, QKeySequence::HelpContents, QKeySequence(Qt::Key_F1));
    setStandardKeys(c.mnuNew, QKeySequence::New, QKeySequence(Qt::CTRL | Qt::Key_N));
    c.mnuRestart.setShortcut(QKeySequence(Qt::Key_F5));
    c.mnuHighScores.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    c.mnuPause.setShortcuts({QKeySequence(Qt::Key_P), QKeySequence(Qt::Key_Pause)});

    c.mnuPause.setCheckable(true);
    c.mnuDemo.setCheckable(true);
    // Esc hands the game back while the computer plays; it does nothing else.
    c.TakeOver.setShortcut(QKeySequence(Qt::Key_Escape));
    c.TakeOver.setEnabled(false);
    addAction(&c.TakeOver);
    c.mnuPauseWhenLeft.setCheckable(true);
    c.mnuPauseWhenLeft.setChecked(prefs_.get(kPauseWhenLeft));
    c.mnuPlaySounds.setCheckable(true);
    c.mnuPlaySounds.setChecked(prefs_.get(kPlaySounds));

    // The palette kept from the last run (a name no palette has: Classic), and the pointer's wall
    // that High Contrast marks.
    c.Kestro.surface().setPointerWall([this] { return pointerWallBox(game_.state()); });
    const auto kept = paletteNamed(prefs_.get(kColours));
    const PaletteId palette = kept ? *kept : PaletteId::Classic;
    c.Kestro.usePalette(palette);
    (palette == PaletteId::HighContrast ? c.mnuHighContrast : c.mnuClassic).setChecked(true);
}

void fMain::mnuNew_Click() {
    reset_Click();
}

void fMain::mnuRestart_Click() {
    apply_Click();
}

void fMain::mnuPause_Click() {
    stopDemo();  // P hands the game back too
    // The item toggles as a click on the box would; the box decides, and the item follows it.
    controls_.cPaused.click();
    showPauseState();
}

void fMain::usePalette(PaletteId id) {
    controls_.Kestro.usePalette(id);
    (id == PaletteId::HighContrast ? controls_.mnuHighContrast : controls_.mnuClassic)
        .setChecked(true);
    prefs_.set(kColours, std::string(paletteName(id)));
    // The next frame draws the scene afresh in the new colours, whether the choice came while the
    // frame loop waits for an event or while a presented frame waits for its pacer (whose end
    // marks the list as on screen).
    composedKey_.reset();
    drawnScene_.reset();
    listOnScreen_ = false;
}

void fMain::mnuPlaySounds_Click() {
    const bool on = controls_.mnuPlaySounds.isChecked();
    setSoundsOn(on);
    prefs_.set(kPlaySounds, on);
}

void fMain::mnuPauseWhenLeft_Click() {
    prefs_.set(kPauseWhenLeft, controls_.mnuPauseWhenLeft.isChecked());
}

void fMain::setGameItemsEnabled(bool enabled) {
    controls_.apply.setEnabled(enabled);
    controls_.reset.setEnabled(enabled);
    controls_.mnuNew.setEnabled(enabled);
    controls_.mnuRestart.setEnabled(enabled);
}

void fMain::setPauseEnabled(bool enabled) {
    controls_.cPaused.setEnabled(enabled);
    controls_.mnuPause.setEnabled(enabled);
}

void fMain::showPauseState() {
    const bool paused = controls_.cPaused.checkState() != Qt::Unchecked;
    {
        const QSignalBlocker quiet(controls_.mnuPause);
        controls_.mnuPause.setChecked(paused);
    }
    if (paused && startedUp_) {
        controls_.PauseHint.showText(QString::fromUtf8(kPauseHintText));
    } else {
        controls_.PauseHint.hide();
    }
}

}  // namespace kestro::shell
