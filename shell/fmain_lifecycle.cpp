// fMain's start-up, frames and shut-down: the renderer's frame loop runs the game from start-up
// until a close request stops it.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QScreen>
#include <QWindowStateChangeEvent>

#include "common/runtime_error.h"
#include "diag/error_trap.h"
#include "diag/log.h"
#include "render/pointer_mark.h"
#include "render/qt/scene_change.h"
#include "render/scene.h"
#include "shell/fatal.h"
#include "shell/fmain.h"
#include "shell/startup.h"

namespace kestro::shell {

void fMain::fatalError(const RuntimeError& e) {
    reportFatalError(e, prompt_);
    std::exit(1);
}

void fMain::yield() {
    QCoreApplication::processEvents();
}

void fMain::Form_Load() {
    yield();
    show();  // its first layout sets tileW and tileH
    yield();
    if (unloading_) {
        finishUnload();
        return;
    }

    // Starting never fails for want of a log: without one the game runs on, and says so once.
    if (const auto noLog = errorLogFileOrGoWithout("kestro", 13, 0, false)) {
        std::fprintf(stderr, "%s\n", noLog->c_str());
    }
    logOpen_ = errorLogOpen();

    random_.reseed(seed_ ? *seed_ : timeOfDaySeed());
    game_.generateLevel();
    showTrueScore();
    runs_.beginFresh(game_.state());
    setGameItemsEnabled(true);
    // A saved game named on the command line takes the first level's place, as File > Open
    // would; a close request while its message is open ends start-up here.
    if (startupFile_) {
        loadGame(*startupFile_);
        if (unloading_) {
            finishUnload();
            return;
        }
    }

    renderer_ = std::make_unique<cRender>(trap_, [this] { yield(); });
    renderer_->render = [this](std::int16_t& objectsRendered) { renderer_render(objectsRendered); };
    renderer_->frameWanted = [this] { return frameWanted(); };
    renderer_->renderInit(&controls_.Kestro.surface());

    setPauseEnabled(true);
    cPaused_Click();

    const QSize field = controls_.Kestro.devicePixelSize();
    const std::vector<std::string> entities =
        startupEntities(static_cast<float>(field.width()), static_cast<float>(field.height()));
    game_.state().sceneReady = true;
    renderer_->renderEntitiesFill(entities, -1, -1);

    // A close request during the error trap's dialog has stopped the renderer already.
    if (!unloading_) {
        renderer_->renderStart();
    }
    finishUnload();
}

void fMain::renderer_render(std::int16_t& objectsRendered) {
    static_cast<void>(objectsRendered);
    listOnScreen_ = true;  // the frame that raised this event has just been presented
    yield();
    composeScene();
}

fMain::SceneKey fMain::sceneKey() const {
    const GameState& s = game_.state();
    return SceneKey{s.tiles, s.tileW, s.tileH, s.sceneReady};
}

void fMain::composeScene() {
    SceneKey key = sceneKey();
    if (composedKey_ == key) {
        return;
    }
    composedKey_ = key;
    listOnScreen_ = false;
    // The frame loop's yield has run already: compose from the grid as it is now.
    kestro::renderer_render(game_.state(), *renderer_, [] {});
}

bool fMain::frameWanted() {
    // The start-up list is drawn as it is in the first frame; from then on the scene is composed
    // afresh whenever something changed it since the last composition.
    if (composedKey_) {
        composeScene();
    }
    if (!listOnScreen_) {
        limitFrameToChange();
        return true;
    }
    // The picture would not change: sleep until something happens.
    runAfterStartUp();
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return false;
}

void fMain::limitFrameToChange() {
    ImageSurface& surface = controls_.Kestro.surface();
    drawingScene_.reset();
    if (composedKey_) {
        drawingScene_ = DrawnScene{composedKey_->tiles,    composedKey_->tileW,
                                   composedKey_->tileH,    composedKey_->sceneReady,
                                   surface.image().size(), surface.devicePixelRatio(),
                                   surface.palette(),      pointerWallBox(game_.state())};
    }
    // The start-up list, and the first frame of a scene after it, are drawn whole.
    surface.setDrawClip(drawnScene_ && drawingScene_ ? sceneChange(*drawnScene_, *drawingScene_)
                                                     : std::nullopt);
}

void fMain::presentFrame() {
    controls_.Kestro.present();
    drawnScene_ = drawingScene_;
    if (framePresented_) {
        framePresented_(controls_.Kestro.surface().image());
    }
    ++framesPresented_;
    const QScreen* s = screen();
    pacer_.waitForNextTick(s != nullptr ? s->refreshRate() : 0.0);
    if (framesPresented_ >= 2) {
        runAfterStartUp();  // frames keep coming: the first level is on the screen by now
    }
    advanceClockAtFrame();
}

void fMain::runAfterStartUp() {
    if (startedUp_) {
        return;
    }
    startedUp_ = true;
    yield();  // the frames presented are painted and sent to the display first
    // The pause hint's text (a bold face of its own to load) comes once the level is shown.
    showPauseState();
    if (afterStartUp_) {
        const std::function<void()> once = std::move(afterStartUp_);
        afterStartUp_ = nullptr;
        once();
    }
}

void fMain::closeEvent(QCloseEvent* event) {
    // The window is not closed by the platform: shutting down stops the frame loop, and
    // start-up returns when it has unwound.
    event->ignore();
    try {
        Form_Unload();
    } catch (const RuntimeError& e) {
        fatalError(e);
    }
}

void fMain::Form_Unload() {
    if (unloading_) {
        return;  // a second request while shutting down
    }
    unloading_ = true;
    keepGameAtEnd();
    yield();
    game_.state().sceneReady = false;
    if (renderer_) {
        renderer_->renderStop();
        renderer_->renderDeinit();
    }
    // The renderer is released and the log closed by finishUnload() once the frame loop that
    // this handler runs in has returned. The game ends here all the same: while the loop
    // unwinds through its last yields, no game tick may run any more.
    game_.setPaused(true, time_.now());
    clock_.stop();
    controls_.DispUpdate.stop();
}

void fMain::finishUnload() {
    renderer_.reset();
    if (logOpen_) {
        errorLogFile(false, "", 0, 0, false);
        logOpen_ = false;
    }
}

void fMain::requestClose() {
    // An open dialog answers as its Close button would (Cancel, OK, Abort); the code that showed
    // it goes on once its own event loop has returned, and finds the game shutting down.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        if (w != this && w->isVisible() && w->isModal()) {
            w->close();
        }
    }
    close();
}

void fMain::mnuQuit_Click() {
    keepGameAtEnd();
    std::exit(0);
}

void fMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    WindowChange change;
    if (event->type() == QEvent::WindowStateChange) {
        const auto* state = static_cast<const QWindowStateChangeEvent*>(event);
        change.minimized =
            !(state->oldState() & Qt::WindowMinimized) && (windowState() & Qt::WindowMinimized);
    } else if (event->type() == QEvent::ActivationChange) {
        const bool active = isActiveWindow();
        change.deactivated = wasActive_ && !active;
        // The application's active window is set before its windows hear of the change: one of
        // the game's own (a dialog) or none, when another application took the activation.
        change.ownWindowActive = QApplication::activeWindow() != nullptr;
        wasActive_ = active;
    } else {
        return;
    }
    const PauseState pause{prefs_.get(kPauseWhenLeft), controls_.cPaused.isEnabled() && !unloading_,
                           controls_.cPaused.checkState() != Qt::Unchecked};
    if (leavingPauses(change, pause)) {
        controls_.cPaused.click();
    }
}

void fMain::mouseDoubleClickEvent(QMouseEvent* event) {
    Form_DblClick();
    QMainWindow::mouseDoubleClickEvent(event);
}

}  // namespace kestro::shell
