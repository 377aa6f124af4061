// fMain's controls as the window description lays them out, their handlers' wiring, and the
// layout of the playfield when the window is resized.

#include "shell/fmain.h"

#include <string>

#include <QCoreApplication>
#include <QFont>
#include <QKeySequence>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>

#include "common/runtime_error.h"
#include "records/places.h"
#include "shell/accessibility.h"
#include "shell/help_dialogs.h"
#include "shell/layout.h"
#include "shell/qt_dialogs.h"
#include "shell/records_dialogs.h"

namespace kestro::shell {

namespace {

// A control's place in the client area, in twips.
struct Place {
    double left, top, width, height;
};

void place(QWidget& w, const Place& p) {
    w.setGeometry(pixelsFromTwips(p.left), pixelsFromTwips(p.top), pixelsFromTwips(p.width),
                  pixelsFromTwips(p.height));
}

// The controls' own text: a small sans serif, so that captions fit the design's sizes.
QFont controlFont() {
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(8.25);
    return f;
}

QFont labelFont() {
    QFont f(QStringLiteral("Times New Roman"));
    f.setPointSizeF(6.75);
    return f;
}

QFont playfieldFont() {
    QFont f(QStringLiteral("Times New Roman"));
    f.setPointSizeF(8.25);
    return f;
}

}  // namespace

// steadyTime_ is made before time_ and game_, which refer to it.
fMain::fMain(TrapDialog& trap, MessagePrompt& prompt) : fMain(trap, prompt, steadyTime_) {}

fMain::Controls::Controls(QWidget& client, QMainWindow& window)
    : cPaused(QStringLiteral("Pause"), &client),
      Label4(QStringLiteral("Score:"), &client),
      ScoreDisp("ScoreDisp", &client),
      Kestro("Kestro", &client),
      SSpeed(&client),
      Label3(QStringLiteral("Top Speed:"), &client),
      SAccel(&client),
      Label2(QStringLiteral("Acceleration:"), &client),
      SLvl(&client),
      Label1(QStringLiteral("Level: "), &client),
      reset(QStringLiteral("Reset"), &client),
      apply(QStringLiteral("Apply"), &client),
      PauseHint("PauseHint", Kestro, 0.5),
      LevelBanner("LevelBanner", Kestro, 0.22),
      File(QStringLiteral("&File"), &window),
      mnuSave(QStringLiteral("&Save"), &window),
      mnuOpen(QStringLiteral("&Open"), &window),
      mnuQuit(QStringLiteral("&Quit"), &window),
      Help(QStringLiteral("&Help"), &window),
      About(QStringLiteral("About"), &window),
      Help2(QStringLiteral("Help"), &window),
      Game(QStringLiteral("&Game"), &window),
      mnuNew(QStringLiteral("&New Game"), &window),
      mnuRestart(QStringLiteral("&Restart Level"), &window),
      mnuPause(QStringLiteral("&Pause"), &window),
      Settings(QStringLiteral("&Settings"), &window),
      mnuPauseWhenLeft(QStringLiteral("Pause When the Window Is &Left"), &window),
      mnuResume(QStringLiteral("&Resume Last Game"), &window),
      mnuHighScores(QStringLiteral("High &Scores"), &window),
      Colours(QStringLiteral("&Colours"), &window),
      mnuClassic(QStringLiteral("&Classic"), &window),
      mnuHighContrast(QStringLiteral("&High Contrast"), &window),
      ColoursGroup(&window),
      mnuDemo(QStringLiteral("&Demo"), &window),
      DemoNote("DemoNote", Kestro, 0.78),
      TakeOver(QStringLiteral("Take Over"), &window),
      mnuPlaySounds(QStringLiteral("Play &Sounds"), &window) {}

fMain::fMain(TrapDialog& trap, MessagePrompt& prompt, const TimeSource& time)
    : client_(this),
      controls_(client_, *this),
      trap_(trap),
      prompt_(prompt),
      sspeed_(controls_.SSpeed, kSpeedSlider),
      saccel_(controls_.SAccel, kAccelSlider),
      slvl_(controls_.SLvl, kLevelSlider),
      display_(controls_.Label1, controls_.Label2, controls_.Label3, controls_.ScoreDisp, prompt),
      time_(time),
      game_(sliders(), random_, display_, &time_),
      prefs_(Preferences::user()) {
    setObjectName(QStringLiteral("fMain"));
    setWindowTitle(QStringLiteral("physics"));
    setFont(controlFont());
    setCentralWidget(&client_);

    const std::pair<QObject*, const char*> names[] = {
        {&controls_.cPaused, "cPaused"},
        {&controls_.Label4, "Label4"},
        {&controls_.SSpeed, "SSpeed"},
        {&controls_.Label3, "Label3"},
        {&controls_.SAccel, "SAccel"},
        {&controls_.Label2, "Label2"},
        {&controls_.SLvl, "SLvl"},
        {&controls_.Label1, "Label1"},
        {&controls_.reset, "reset"},
        {&controls_.apply, "apply"},
        {&controls_.File, "File"},
        {&controls_.mnuSave, "mnuSave"},
        {&controls_.mnuOpen, "mnuOpen"},
        {&controls_.mnuQuit, "mnuQuit"},
        {&controls_.Help, "Help"},
        {&controls_.About, "About"},
        {&controls_.Help2, "Help2"},
        {&controls_.DispUpdate, "DispUpdate"},
        {&controls_.Game, "Game"},
        {&controls_.mnuNew, "mnuNew"},
        {&controls_.mnuRestart, "mnuRestart"},
        {&controls_.mnuPause, "mnuPause"},
        {&controls_.Settings, "Settings"},
        {&controls_.mnuPauseWhenLeft, "mnuPauseWhenLeft"},
        {&controls_.mnuResume, "mnuResume"},
        {&controls_.mnuHighScores, "mnuHighScores"},
        {&controls_.Colours, "Colours"},
        {&controls_.mnuClassic, "mnuClassic"},
        {&controls_.mnuHighContrast, "mnuHighContrast"},
        {&controls_.mnuDemo, "mnuDemo"},
        {&controls_.TakeOver, "TakeOver"},
        {&controls_.mnuPlaySounds, "mnuPlaySounds"},
        {&clock_, "GameClock"},
        {&levelBannerTimer_, "LevelBannerTimer"}};
    for (const auto& [object, name] : names) {
        object->setObjectName(QString::fromLatin1(name));
    }

    placeControls(shift_);

    // The check box starts checked, so the game starts paused. It takes clicks once start-up
    // has everything in place.
    controls_.cPaused.setCheckState(Qt::Checked);

    for (QLabel* label : {&controls_.Label3, &controls_.Label2, &controls_.Label1}) {
        label->setFont(labelFont());
    }
    controls_.Kestro.surface().setFont(playfieldFont());
    controls_.Kestro.surface().setTag("true");
    controls_.apply.setToolTip(QStringLiteral("Will restart level!"));
    makeAccessible(
        {controls_.cPaused, controls_.ScoreDisp, controls_.Kestro, controls_.SSpeed,
         controls_.SAccel, controls_.SLvl, controls_.reset, controls_.apply},
        [this] { return display_.shownScore(); },
        [this]() -> const GameState& { return game_.state(); });

    buildMenus();
    setPauseEnabled(false);
    showPauseState();

    // The game's own timers start when "Pause" is cleared; the window wakes them with one
    // timer set for the next tick that is due. The tile dump is never started.
    clock_.setSingleShot(true);
    clock_.setTimerType(Qt::PreciseTimer);
    controls_.DispUpdate.setTimerType(Qt::PreciseTimer);
    controls_.DispUpdate.setInterval(10);
    // A suspended machine does not replay the ticks it missed.
    game_.setStallLimit(kStallLimitMs);
    game_.onLevelEnd = [this](LevelEnd end, Millis at, std::int16_t level) {
        levelEnded(end, at, level);
    };
    // The banner of a completed level goes by itself; the game runs on meanwhile.
    levelBannerTimer_.setSingleShot(true);
    levelBannerTimer_.setInterval(kLevelBannerMs);
    connect(&levelBannerTimer_, &QTimer::timeout, &controls_.LevelBanner, &QWidget::hide);

    // Apply and Reset build levels: they wait for start-up to have built the first one.
    setGameItemsEnabled(false);

    ownFileDialog_ = std::make_unique<QtFileDialog>(this);
    fileDialog_ = ownFileDialog_.get();
    ownInfoPrompt_ = std::make_unique<QtInfoPrompt>(this);
    infoPrompt_ = ownInfoPrompt_.get();
    ownRecordsPrompt_ = std::make_unique<QtRecordsPrompt>(this);
    recordsPrompt_ = ownRecordsPrompt_.get();
    scoresFile_ = records::scoresPath();
    lastGameFile_ = records::lastGamePath();

    connectHandlers();

    // The client area of the window description; the menu bar comes on top of it.
    resize(pixelsFromTwips(kDesignClient.width),
           pixelsFromTwips(kDesignClient.height) + menuBar()->sizeHint().height());
}

fMain::~fMain() = default;

void fMain::placeControls(const PanelShift& shift) {
    shift_ = shift;
    const double up = shift.up;
    const double left = shift.left;
    place(controls_.cPaused, {0, 0, 1665, 405});
    place(controls_.Label4, {7320 - left, 30, 495, 255});
    place(controls_.ScoreDisp, {7860 - left, 30, 855, 375});
    place(controls_.Kestro, {0, 420, 8175, 7215});
    // The sliders end where they end by design, clear of the buttons at their right.
    place(controls_.SSpeed, {660, 8640 - up, 6735 - left, 255});
    place(controls_.Label3, {3360, 8880 - up, 1095, 255});
    place(controls_.SAccel, {660, 9120 - up, 6735 - left, 255});
    place(controls_.Label2, {3420, 9360 - up, 1215, 255});
    place(controls_.SLvl, {660, 9600 - up, 6735 - left, 255});
    place(controls_.Label1, {3600, 9840 - up, 615, 255});
    place(controls_.reset, {7440 - left, 8520 - up, 975, 375});
    place(controls_.apply, {7440 - left, 9480 - up, 975, 375});
}

void fMain::connectHandlers() {
    // Each handler runs when the platform calls it; a run-time error in one of them ends the
    // program with its message.
    const auto guarded = [this](void (fMain::*handler)()) {
        return [this, handler] {
            try {
                (this->*handler)();
            } catch (const RuntimeError& e) {
                fatalError(e);
            }
        };
    };
    connect(&controls_.cPaused, &QCheckBox::stateChanged, this, guarded(&fMain::cPaused_Click));
    connect(&controls_.cPaused, &QCheckBox::stateChanged, this, [this] { showPauseState(); });
    connect(&controls_.reset, &QPushButton::clicked, this, guarded(&fMain::reset_Click));
    connect(&controls_.apply, &QPushButton::clicked, this, guarded(&fMain::apply_Click));
    connect(&controls_.mnuSave, &QAction::triggered, this, guarded(&fMain::mnuSave_Click));
    connect(&controls_.mnuOpen, &QAction::triggered, this, guarded(&fMain::mnuOpen_Click));
    connect(&controls_.mnuQuit, &QAction::triggered, this, guarded(&fMain::mnuQuit_Click));
    connect(&controls_.About, &QAction::triggered, this, guarded(&fMain::About_Click));
    connect(&controls_.Help2, &QAction::triggered, this, guarded(&fMain::Help2_Click));
    connect(&controls_.mnuResume, &QAction::triggered, this, guarded(&fMain::mnuResume_Click));
    connect(&controls_.mnuClassic, &QAction::triggered, this,
            [this] { usePalette(PaletteId::Classic); });
    connect(&controls_.mnuHighContrast, &QAction::triggered, this,
            [this] { usePalette(PaletteId::HighContrast); });
    connect(&controls_.mnuDemo, &QAction::triggered, this, guarded(&fMain::mnuDemo_Click));
    connect(&controls_.mnuPlaySounds, &QAction::triggered, this,
            guarded(&fMain::mnuPlaySounds_Click));
    connect(&controls_.TakeOver, &QAction::triggered, this, guarded(&fMain::stopDemo));
    controls_.Kestro.setOnMousePress([this] {
        if (demo_) {
            stopDemo();
        }
    });
    connect(&controls_.mnuHighScores, &QAction::triggered, this,
            guarded(&fMain::mnuHighScores_Click));
    // The last game is looked for each time the File menu opens.
    connect(&controls_.File, &QMenu::aboutToShow, this,
            [this] { controls_.mnuResume.setEnabled(lastGameLoads()); });
    connect(&controls_.mnuNew, &QAction::triggered, this, guarded(&fMain::mnuNew_Click));
    connect(&controls_.mnuRestart, &QAction::triggered, this, guarded(&fMain::mnuRestart_Click));
    connect(&controls_.mnuPause, &QAction::triggered, this, guarded(&fMain::mnuPause_Click));
    connect(&controls_.mnuPauseWhenLeft, &QAction::triggered, this,
            guarded(&fMain::mnuPauseWhenLeft_Click));

    connect(&clock_, &QTimer::timeout, this, guarded(&fMain::advanceClock));
    connect(&controls_.DispUpdate, &QTimer::timeout, this, guarded(&fMain::DispUpdate_Timer));

    slvl_.setOnChange(guarded(&fMain::SLvl_Change));
    slvl_.setOnScroll(guarded(&fMain::SLvl_Scroll));
    saccel_.setOnChange(guarded(&fMain::SAccel_Change));
    saccel_.setOnScroll(guarded(&fMain::SAccel_Scroll));
    sspeed_.setOnChange(guarded(&fMain::SSpeed_Change));
    sspeed_.setOnScroll(guarded(&fMain::SSpeed_Scroll));

    controls_.Kestro.setOnMouseMove([this](int button, int shift, float x, float y) {
        if (demo_) {
            return;  // the computer has the pointer wall
        }
        try {
            Kestro_MouseMove(button, shift, x, y);
        } catch (const RuntimeError& e) {
            fatalError(e);
        }
    });
    controls_.Kestro.surface().setOnRefresh([this] { presentFrame(); });
    // On a screen with another pixel ratio the playfield has other pixels, so other cells.
    controls_.Kestro.setOnPixelRatioChanged([this] { updateCellSize(); });
}

void fMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    try {
        Form_Resize();
    } catch (const RuntimeError& e) {
        fatalError(e);
    }
}

void fMain::Form_Resize() {
    if (isMinimized()) {
        return;
    }
    // Raising the size to the minimum resizes the window again, which lays it out from inside
    // this call; the depth limit keeps a window system that refuses the size from recursing.
    constexpr int kMaxSnapDepth = 4;
    if (resizeDepth_ < kMaxSnapDepth) {
        ++resizeDepth_;
        const TwipSize available = availableOuterSize();
        const QRect outer = frameGeometry();
        if (const auto h = snappedOuterHeight(twipsFromPixels(outer.height()), available.height)) {
            resizeNested(QSize(width(), pixelsFromTwips(*h) - (outer.height() - height())));
        }
        const QRect outerNow = frameGeometry();
        if (const auto w = snappedOuterWidth(twipsFromPixels(outerNow.width()), available.width)) {
            resizeNested(QSize(pixelsFromTwips(*w) - (outerNow.width() - width()), height()));
        }
        --resizeDepth_;
    }

    // On a screen too small for the designed window the controls move into the client area.
    const PanelShift shift =
        panelShift(TwipSize{twipsFromPixels(client_.width()), twipsFromPixels(client_.height())},
                   availableOuterSize());
    if (shift != shift_) {
        placeControls(shift);
    }

    const TwipSize field =
        playfieldSize(twipsFromPixels(client_.width()), twipsFromPixels(client_.height()),
                      twipsFromPixels(controls_.reset.y()), twipsFromPixels(controls_.Kestro.y()),
                      twipsFromPixels(controls_.Kestro.x()));
    controls_.Kestro.resize(pixelsFromTwips(field.width), pixelsFromTwips(field.height));
    updateCellSize();
}

TwipSize fMain::availableOuterSize() const {
    const QScreen* s = screen();
    if (s == nullptr) {
        return TwipSize{kUnlimited, kUnlimited};
    }
    const QRect area = s->availableGeometry();
    return TwipSize{twipsFromPixels(area.width()), twipsFromPixels(area.height())};
}

void fMain::updateCellSize() {
    // The game draws and takes the pointer in the playfield's device pixels.
    const QSize pixels = controls_.Kestro.devicePixelSize();
    const CellSize cell = cellSize(pixels.width(), pixels.height());
    game_.state().tileW = cell.tileW;
    game_.state().tileH = cell.tileH;
}

void fMain::resizeNested(QSize size) {
    const QSize old = this->size();
    resize(size);
    // A shown window reports the new size at once; while it is being shown the platform would
    // report it only at the next showing, so report it here.
    if (!isVisible() && this->size() != old) {
        setAttribute(Qt::WA_PendingResizeEvent, false);
        QResizeEvent event(this->size(), old);
        QCoreApplication::sendEvent(this, &event);
    }
}

}  // namespace kestro::shell
