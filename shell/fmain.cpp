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
#include "shell/help_dialogs.h"
#include "shell/layout.h"
#include "shell/qt_dialogs.h"

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

// steadyTime_ is made before time_ and game_, which refer to it.
fMain::fMain(TrapDialog& trap, MessagePrompt& prompt) : fMain(trap, prompt, steadyTime_) {}

fMain::fMain(TrapDialog& trap, MessagePrompt& prompt, const TimeSource& time)
    : client_(this),
      cPaused(QStringLiteral("Pause"), &client_),
      Label4(QStringLiteral("Score:"), &client_),
      ScoreDisp("ScoreDisp", &client_),
      Kestro("Kestro", &client_),
      SSpeed(&client_),
      Label3(QStringLiteral("Top Speed:"), &client_),
      SAccel(&client_),
      Label2(QStringLiteral("Acceleration:"), &client_),
      SLvl(&client_),
      Label1(QStringLiteral("Level: "), &client_),
      reset(QStringLiteral("Reset"), &client_),
      apply(QStringLiteral("Apply"), &client_),
      File(QStringLiteral("&File"), this),
      mnuSave(QStringLiteral("&Save"), this),
      mnuOpen(QStringLiteral("&Open"), this),
      mnuQuit(QStringLiteral("&Quit"), this),
      Help(QStringLiteral("&Help"), this),
      About(QStringLiteral("About"), this),
      Help2(QStringLiteral("Help"), this),
      trap_(trap),
      prompt_(prompt),
      sspeed_(SSpeed, kSpeedSlider),
      saccel_(SAccel, kAccelSlider),
      slvl_(SLvl, kLevelSlider),
      display_(Label1, Label2, Label3, ScoreDisp, prompt),
      time_(time),
      game_(sliders(), random_, display_, &time_) {
    setObjectName(QStringLiteral("fMain"));
    setWindowTitle(QStringLiteral("physics"));
    setFont(controlFont());
    setCentralWidget(&client_);

    const std::pair<QObject*, const char*> names[] = {
        {&cPaused, "cPaused"}, {&Label4, "Label4"},   {&SSpeed, "SSpeed"},
        {&Label3, "Label3"},   {&SAccel, "SAccel"},   {&Label2, "Label2"},
        {&SLvl, "SLvl"},       {&Label1, "Label1"},   {&reset, "reset"},
        {&apply, "apply"},     {&File, "File"},       {&mnuSave, "mnuSave"},
        {&mnuOpen, "mnuOpen"}, {&mnuQuit, "mnuQuit"}, {&Help, "Help"},
        {&About, "About"},     {&Help2, "Help2"},     {&DispUpdate, "DispUpdate"},
        {&clock_, "GameClock"}};
    for (const auto& [object, name] : names) {
        object->setObjectName(QString::fromLatin1(name));
    }

    placeControls(shift_);

    // The check box starts checked, so the game starts paused. It takes clicks once start-up
    // has everything in place.
    cPaused.setCheckState(Qt::Checked);
    cPaused.setEnabled(false);

    for (QLabel* label : {&Label3, &Label2, &Label1}) {
        label->setFont(labelFont());
    }
    Kestro.surface().setFont(playfieldFont());
    Kestro.surface().setTag("true");
    apply.setToolTip(QStringLiteral("Will restart level!"));

    menuBar()->addMenu(&File);
    File.addAction(&mnuSave);
    File.addAction(&mnuOpen);
    File.addAction(&mnuQuit);
    menuBar()->addMenu(&Help);
    Help.addAction(&About);
    Help.addAction(&Help2);
    // The desktop's keys beside the mnemonics.
    setStandardKeys(mnuSave, QKeySequence::Save, QKeySequence(Qt::CTRL | Qt::Key_S));
    setStandardKeys(mnuOpen, QKeySequence::Open, QKeySequence(Qt::CTRL | Qt::Key_O));
    setStandardKeys(mnuQuit, QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q));
    setStandardKeys(Help2, QKeySequence::HelpContents, QKeySequence(Qt::Key_F1));

    // The game's own timers start when "Pause" is cleared; the window wakes them with one
    // timer set for the next tick that is due. The tile dump is never started.
    clock_.setSingleShot(true);
    clock_.setTimerType(Qt::PreciseTimer);
    DispUpdate.setTimerType(Qt::PreciseTimer);
    DispUpdate.setInterval(10);
    // A suspended machine does not replay the ticks it missed.
    game_.setStallLimit(kStallLimitMs);

    // Apply and Reset build levels: they wait for start-up to have built the first one.
    apply.setEnabled(false);
    reset.setEnabled(false);

    ownFileDialog_ = std::make_unique<QtFileDialog>(this);
    fileDialog_ = ownFileDialog_.get();
    ownInfoPrompt_ = std::make_unique<QtInfoPrompt>(this);
    infoPrompt_ = ownInfoPrompt_.get();

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
    place(cPaused, {0, 0, 1665, 405});
    place(Label4, {7320 - left, 30, 495, 255});
    place(ScoreDisp, {7860 - left, 30, 855, 375});
    place(Kestro, {0, 420, 8175, 7215});
    // The sliders end where they end by design, clear of the buttons at their right.
    place(SSpeed, {660, 8640 - up, 6735 - left, 255});
    place(Label3, {3360, 8880 - up, 1095, 255});
    place(SAccel, {660, 9120 - up, 6735 - left, 255});
    place(Label2, {3420, 9360 - up, 1215, 255});
    place(SLvl, {660, 9600 - up, 6735 - left, 255});
    place(Label1, {3600, 9840 - up, 615, 255});
    place(reset, {7440 - left, 8520 - up, 975, 375});
    place(apply, {7440 - left, 9480 - up, 975, 375});
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
    connect(&cPaused, &QCheckBox::stateChanged, this, guarded(&fMain::cPaused_Click));
    connect(&reset, &QPushButton::clicked, this, guarded(&fMain::reset_Click));
    connect(&apply, &QPushButton::clicked, this, guarded(&fMain::apply_Click));
    connect(&mnuSave, &QAction::triggered, this, guarded(&fMain::mnuSave_Click));
    connect(&mnuOpen, &QAction::triggered, this, guarded(&fMain::mnuOpen_Click));
    connect(&mnuQuit, &QAction::triggered, this, guarded(&fMain::mnuQuit_Click));
    connect(&About, &QAction::triggered, this, guarded(&fMain::About_Click));
    connect(&Help2, &QAction::triggered, this, guarded(&fMain::Help2_Click));

    connect(&clock_, &QTimer::timeout, this, guarded(&fMain::advanceClock));
    connect(&DispUpdate, &QTimer::timeout, this, guarded(&fMain::DispUpdate_Timer));

    slvl_.setOnChange(guarded(&fMain::SLvl_Change));
    slvl_.setOnScroll(guarded(&fMain::SLvl_Scroll));
    saccel_.setOnChange(guarded(&fMain::SAccel_Change));
    saccel_.setOnScroll(guarded(&fMain::SAccel_Scroll));
    sspeed_.setOnChange(guarded(&fMain::SSpeed_Change));
    sspeed_.setOnScroll(guarded(&fMain::SSpeed_Scroll));

    Kestro.setOnMouseMove([this](int button, int shift, float x, float y) {
        try {
            Kestro_MouseMove(button, shift, x, y);
        } catch (const RuntimeError& e) {
            fatalError(e);
        }
    });
    Kestro.surface().setOnRefresh([this] { presentFrame(); });
    // On a screen with another pixel ratio the playfield has other pixels, so other cells.
    Kestro.setOnPixelRatioChanged([this] { updateCellSize(); });
    ScoreDisp.surface().setOnRefresh([this] { ScoreDisp.update(); });
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

    const TwipSize field = playfieldSize(
        twipsFromPixels(client_.width()), twipsFromPixels(client_.height()),
        twipsFromPixels(reset.y()), twipsFromPixels(Kestro.y()), twipsFromPixels(Kestro.x()));
    Kestro.resize(pixelsFromTwips(field.width), pixelsFromTwips(field.height));
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
    const QSize pixels = Kestro.devicePixelSize();
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
