#pragma once
// fMain, the game's one window: its controls as laid out in the window description, start-up,
// layout, pause and shut-down. The game itself runs in the renderer's frame loop, which
// start-up enters and which every other handler of the window runs nested in.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

#include "game/game.h"
#include "game/game_state.h"
#include "game/planner.h"
#include "game/random.h"
#include "game/slider.h"
#include "records/entry.h"
#include "records/run.h"
#include "render/crender.h"
#include "render/palette.h"
#include "render/qt/scene_change.h"
#include "shell/dialogs.h"
#include "shell/field_note.h"
#include "shell/frame_pacer.h"
#include "shell/layout.h"
#include "shell/leaving.h"
#include "shell/picture_box.h"
#include "shell/preferences.h"
#include "shell/qt_slider.h"
#include "shell/sound_switch.h"
#include "shell/window_display.h"
#include "sound/system_output.h"

class QCloseEvent;
class QImage;
class QMouseEvent;
class QResizeEvent;

namespace kestro {
class RuntimeError;
class TrapDialog;
}  // namespace kestro

namespace kestro::shell {

// A gap of more than this between two wake-ups of the game clock is a stalled (suspended)
// machine: only this much of it is played.
inline constexpr Millis kStallLimitMs = 1000;
// The longest the game clock sleeps at once; it wakes earlier when something can change. Well
// below the stall limit, so that a sleep is never taken for a suspended machine.
inline constexpr Millis kMaxClockWaitMs = 500;
// The longest the clock waits for a frame while it is advanced once a frame (60 Hz).
inline constexpr Millis kMaxClockFrameMs = 17;
// While the clock is advanced once a frame, each presented frame advances it after the frame's
// wait; its own timer is set this much past the frame, so that it wakes the game only when no
// frame comes (the picture did not change), and a frame costs one wake-up, not two.
inline constexpr Millis kClockFrameSlackMs = 4;

// How long the banner of a completed level stays over the playfield.
inline constexpr int kLevelBannerMs = 2000;

// Begins the message of a save that failed, followed by the reason.
inline constexpr const char* kNotSavedMessage = "The game was not saved: ";

// The hint over the playfield while "Pause" is checked.
inline constexpr const char* kPauseHintText = "Paused: press P or clear Pause to play";

class fMain final : public QMainWindow {
  public:
    // trap answers the renderer's error trap; prompt shows the game's OK-only messages.
    fMain(TrapDialog& trap, MessagePrompt& prompt);
    // time: the clock the game runs on, the machine's steady clock unless a test gives one it
    // moves by hand. It must outlive the window.
    fMain(TrapDialog& trap, MessagePrompt& prompt, const TimeSource& time);
    ~fMain() override;
    fMain(const fMain&) = delete;
    fMain& operator=(const fMain&) = delete;

    // Start-up. Returns only when the game has ended: after a close request has stopped the
    // frame loop, the renderer has been released and the log closed.
    void Form_Load();

    void Form_Resize();
    void Form_DblClick() {}
    void Form_Unload();
    void cPaused_Click();
    void mnuQuit_Click();
    // A close request from outside the window (a signal): closes the dialog that is open, if
    // any, then the window, which runs the orderly shut-down.
    void requestClose();
    void DispUpdate_Timer();
    void renderer_render(std::int16_t& objectsRendered);

    // Play Sounds (on from the start): while off no audio device is opened (fmain_sound.cpp).
    void setSoundsOn(bool on);
    bool soundsOn() const;
    // Where the sounds go, for tests: the sound server unless this gives another output.
    void setSoundOutput(sound::OpenOutput open);
    // Fires every game tick that is due by the window's time, then sleeps until the next one.
    // The clock timer calls it when a tick is due; a time moved by hand calls it after the move.
    void advanceClock();

    // The pointer over the playfield, with or without buttons: the pointer wall follows it.
    void Kestro_MouseMove(int button, int shift, float x, float y);

    void SLvl_Change();
    void SLvl_Scroll() { SLvl_Change(); }
    void SAccel_Change();
    void SAccel_Scroll() { SAccel_Change(); }
    void SSpeed_Change();
    void SSpeed_Scroll() { SSpeed_Change(); }
    void apply_Click();
    void reset_Click();
    void mnuSave_Click();
    void mnuOpen_Click();
    void About_Click();
    void Help2_Click();
    // The Game menu: New Game does what Reset does, Restart Level what Apply does; Pause clicks
    // the "Pause" box. The Settings menu's item keeps its preference.
    void mnuNew_Click();
    void mnuRestart_Click();
    void mnuPause_Click();
    void mnuPauseWhenLeft_Click();
    // Game > Demo: the computer plays the game from where it stands until the player takes over
    // (Demo again, Esc, P or a click on the playfield).
    void mnuDemo_Click();
    void mnuPlaySounds_Click();
    bool demoPlaying() const { return demo_.has_value(); }
    // Settings > Colours: the playfield's palette, kept as a preference.
    void usePalette(PaletteId id);
    void mnuHighScores_Click();
    void mnuResume_Click();

    // Loads a saved game into the running game, as File > Open does once its dialog has closed;
    // a file that cannot be loaded is told through the message prompt and changes nothing.
    void loadGame(const std::string& path);
    // The saved game start-up loads once it has built the first level: the command line's file.
    void setStartupFile(std::string path) { startupFile_ = std::move(path); }
    // The seed start-up gives the level generator: the time of day unless a test gives one, so
    // that two windows build the same levels.
    void setSeed(std::uint64_t seed) { seed_ = seed; }

    // The dialog the File menu asks for paths; Qt's own until a test gives another.
    void setFileDialog(FileDialog& dialog) { fileDialog_ = &dialog; }
    // The box the Help menu shows its texts in; Qt's own until a test gives another.
    void setInfoPrompt(InfoPrompt& prompt) { infoPrompt_ = &prompt; }
    // The high-score table's dialogs; Qt's own until a test gives others.
    void setRecordsPrompt(RecordsPrompt& prompt) { recordsPrompt_ = &prompt; }

    // The runs of this window's game: the one going on, and where they are kept.
    const records::RunTracker& runs() const { return runs_; }
    // Whether the game saved when the window last closed is there and loads (File > Resume Last
    // Game is enabled then).
    bool lastGameLoads() const;

    GameState& gameState() { return game_.state(); }
    const GameState& gameState() const { return game_.state(); }
    // The game with its four timers (Ball, accel, LevelUp, Score), which the window drives with
    // real time.
    Game& game() { return game_; }
    const Game& game() const { return game_; }
    // The one window timer that wakes the game when its next tick is due; it runs only while a
    // game timer runs.
    const QTimer& clockTimer() const { return clock_; }
    // The single shot that takes the banner of a completed level away again.
    const QTimer& levelBannerTimer() const { return levelBannerTimer_; }
    Sliders sliders() { return Sliders{slvl_, saccel_, sspeed_}; }
    GameDisplay& display() { return display_; }
    // The renderer between start-up and unload, else null.
    cRender* renderer() const { return renderer_.get(); }

    // Called once the start-up's frames (the banner and the first level) are on the screen: when
    // the frame loop first waits for something to happen, or after the second frame's wait if
    // frames keep coming. Work that need not delay the first level goes here.
    void setAfterStartUp(std::function<void()> f) { afterStartUp_ = std::move(f); }

    // Called with the playfield's image each time a frame is presented (tests watch frames).
    void setFramePresented(std::function<void(const QImage&)> f) { framePresented_ = std::move(f); }

    // The value of the Pause check box as the platform counts it: 0 clear, 1 checked, 2 grayed.
    int cPausedValue() const;

  private:
    // The window's controls, by the names the window description, the log and the tests use.
    struct Controls {
        // The widgets sit on client; the menus and their actions belong to window.
        Controls(QWidget& client, QMainWindow& window);

        QCheckBox cPaused;
        QLabel Label4;
        PictureBox ScoreDisp;
        PictureBox Kestro;
        QSlider SSpeed;
        QLabel Label3;
        QSlider SAccel;
        QLabel Label2;
        QSlider SLvl;
        QLabel Label1;
        QPushButton reset;
        QPushButton apply;
        // Notes over the playfield, never part of its image: the hint shown while the game is
        // paused, and the banner of a completed level above it.
        FieldNote PauseHint;
        FieldNote LevelBanner;

        QMenu File;
        QAction mnuSave;
        QAction mnuOpen;
        QAction mnuQuit;
        QMenu Help;
        QAction About;
        QAction Help2;

        QTimer DispUpdate;

        QMenu Game;
        QAction mnuNew;
        QAction mnuRestart;
        QAction mnuPause;
        QMenu Settings;
        QAction mnuPauseWhenLeft;
        QAction mnuResume;
        QAction mnuHighScores;
        QMenu Colours;
        QAction mnuClassic;
        QAction mnuHighContrast;
        QActionGroup ColoursGroup;  // one palette at a time
        QAction mnuDemo;
        // The note while the computer plays, and the key that hands the game back.
        FieldNote DemoNote;
        QAction TakeOver;
        QAction mnuPlaySounds;
    };

  public:
    // The window's controls by their names (cPaused, Label1..Label4, ScoreDisp, Kestro, SSpeed,
    // SAccel, SLvl, reset, apply, the menus File and Help with mnuSave, mnuOpen, mnuQuit, About
    // and Help2, the DispUpdate timer, the Game menu with mnuNew, mnuRestart and mnuPause, and the
    // Settings menu with mnuPauseWhenLeft; mnuResume in File and mnuHighScores in Game), for tests
    // and the window's own handlers.
    Controls& controls() { return controls_; }
    const Controls& controls() const { return controls_; }
    // The player's preferences, as read at construction and changed since.
    const Preferences& preferences() const { return prefs_; }

  private:
    QWidget client_;     // the client area below the menu bar; the controls sit on it
    Controls controls_;  // after client_, which parents them

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // Minimizing the window or turning to another application pauses the game.
    void changeEvent(QEvent* event) override;

  private:
    void yield();
    void presentFrame();

    // What a frame of the playfield shows: the grid, the cell size and sceneReady that the
    // renderer's list was composed from. Equal keys draw equal pictures.
    struct SceneKey {
        Tiles tiles;
        float tileW = 0.0f;
        float tileH = 0.0f;
        bool sceneReady = false;
        bool operator==(const SceneKey&) const = default;
    };
    SceneKey sceneKey() const;
    // Hands the renderer the scene as it is now, unless its list shows that scene already.
    void composeScene();
    // Asked by the frame loop before each frame: a frame is drawn only when it would change the
    // picture; otherwise this waits for the next event (a tick, the pointer, a click, a resize,
    // a close) and answers false.
    bool frameWanted();
    void finishUnload();
    // Places the controls as designed, moved by shift (nothing on a screen large enough).
    void placeControls(const PanelShift& shift);
    // The screen's area that windows may take, in twips; unlimited without a screen.
    TwipSize availableOuterSize() const;
    void resizeNested(QSize size);
    // Shows the message of a run-time error that no handler deals with and ends the program.
    [[noreturn]] void fatalError(const RuntimeError& e);
    void connectHandlers();
    void buildMenus();
    // Apply, Reset and their menu items take clicks once start-up has built the first level.
    void setGameItemsEnabled(bool enabled);
    // The "Pause" box and its menu item take clicks once start-up has everything in place.
    void setPauseEnabled(bool enabled);
    // The Pause item and the hint over the playfield show the box's state.
    void showPauseState();
    // Shows a Help menu text; the game holds while it is open.
    void showInfo(const std::string& title, const std::string& text);
    // Runs a dialog of the window (a file dialog, a message, a help text) with the game held, as
    // a game message holds it: the time it stays open counts as paused.
    void holdGame(const std::function<void()>& dialog);
    // A message of the window's own, with the game held.
    void showMessage(const std::string& text);
    // Reads and applies a saved game; false (the player told why) when it did not load.
    bool loadInto(const std::string& path);
    // A run has ended with `entry` (if it has points): it goes into the high-score table.
    // Asking, the player names an entry that enters the ten and sees the table; otherwise (the
    // game is ending) it goes in under the last name and failures are only logged.
    void keepRun(std::optional<records::Entry> entry, bool ask);
    // The run's side of a level's end (Game::onLevelEnd).
    void runLevelEnded(LevelEnd end);
    // The game ends: the running game and its run are saved for File > Resume Last Game, and
    // the run goes into the table without a question.
    void keepGameAtEnd();
    void startDemo();
    void stopDemo();
    // Advances the game to `now` with the computer moving the pointer wall before each ball tick.
    void advanceDemo(Millis now);
    // Sets the cell size from the playfield's size in device pixels.
    void updateCellSize();
    void armClock();
    // After a presented frame's wait: advances the clock when it goes once a frame and is set.
    void advanceClockAtFrame();
    // Limits the frame about to be drawn to what differs from the picture on the playfield.
    void limitFrameToChange();
    // Runs the work set by setAfterStartUp, once, after the window's pending paints.
    void runAfterStartUp();
    // The screen's frame period in whole milliseconds, 1 to kMaxClockFrameMs.
    Millis framePeriodMs() const;
    // Whether the clock is advanced once a frame: the ball's period is shorter than a frame, so
    // a wake-up for each of its ticks would show nothing more; pointer moves then carry their
    // times and the game plays them between the ticks they fell between.
    bool clockPerFrame() const;
    // A level has ended and the next one is built (Game::onLevelEnd): the score box shows the
    // new level's score, and a completion is told by the banner over the playfield.
    void levelEnded(LevelEnd end, Millis at, std::int16_t level);
    // The score box shows the game's score, whatever last changed it.
    void showTrueScore();

    TrapDialog& trap_;
    MessagePrompt& prompt_;
    QtSlider sspeed_;
    QtSlider saccel_;
    QtSlider slvl_;
    WindowDisplay display_;
    SeededRandom random_{0};  // seeded from the time of day at start-up
    SteadyTime steadyTime_;   // the window's time unless another was given
    const TimeSource& time_;
    Game game_;
    QTimer clock_;
    Millis clockAdvancedAt_ = 0;  // when advanceClock last ran
    QTimer levelBannerTimer_;
    std::unique_ptr<cRender> renderer_;
    FramePacer pacer_;
    std::function<void(const QImage&)> framePresented_;
    std::function<void()> afterStartUp_;
    int framesPresented_ = 0;
    bool startedUp_ = false;  // the start-up's frames are on the screen (runAfterStartUp ran)
    std::unique_ptr<FileDialog> ownFileDialog_;
    FileDialog* fileDialog_ = nullptr;
    std::unique_ptr<InfoPrompt> ownInfoPrompt_;
    InfoPrompt* infoPrompt_ = nullptr;
    std::optional<std::string> startupFile_;
    std::unique_ptr<RecordsPrompt> ownRecordsPrompt_;
    RecordsPrompt* recordsPrompt_ = nullptr;
    records::RunTracker runs_;
    std::optional<std::filesystem::path> scoresFile_;  // nothing: no home to keep it in
    std::optional<std::filesystem::path> lastGameFile_;
    bool toldNotKept_ = false;  // a table that cannot be written is told once
    bool keptAtEnd_ = false;
    std::optional<std::uint64_t> seed_;
    Preferences prefs_;
    std::optional<Planner> demo_;  // while the computer plays
    bool demoInRun_ = false;       // the run going on was played by the computer, in part or all
    std::optional<SceneKey> composedKey_;     // the scene of the renderer's list, once composed
    std::optional<DrawnScene> drawnScene_;    // what the picture on the playfield shows, if known
    std::optional<DrawnScene> drawingScene_;  // what the frame being drawn shows, if known
    bool listOnScreen_ = false;               // that list has been drawn and presented
    bool logOpen_ = false;
    bool unloading_ = false;
    int resizeDepth_ = 0;
    bool wasActive_ = false;  // the window was the active one at its last activation change
    PanelShift shift_;
    SoundSwitch sound_{game_, sound::openSystemOutput,
                       prefs_.get(kPlaySounds)};  // last: it leaves the game first
};

}  // namespace kestro::shell
