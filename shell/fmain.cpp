#include "shell/fmain.h"

#include <cstdlib>
#include <string>
#include <vector>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFont>
#include <QMenuBar>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScreen>

#include "common/runtime_error.h"
#include "diag/error_trap.h"
#include "diag/log.h"
#include "game/ball.h"
#include "game/level.h"
#include "render/scene.h"
#include "shell/fatal.h"
#include "shell/layout.h"
#include "shell/startup.h"

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

// The size of the client area the window is designed for.
constexpr double kClientWidth = 8730.0;
constexpr double kClientHeight = 10215.0;

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

fMain::fMain(TrapDialog& trap, MessagePrompt& prompt)
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
      sspeed_(SSpeed, -1, 500, 300),
      saccel_(SAccel, 1, 20, 5),
      slvl_(SLvl, 0, 80, 1),
      display_(Label1, Label2, Label3, ScoreDisp, prompt) {
    setObjectName(QStringLiteral("fMain"));
    setWindowTitle(QStringLiteral("physics"));
    setFont(controlFont());
    setCentralWidget(&client_);

    const std::pair<QObject*, const char*> names[] = {
        {&cPaused, "cPaused"}, {&Label4, "Label4"},
        {&SSpeed, "SSpeed"},   {&Label3, "Label3"},
        {&SAccel, "SAccel"},   {&Label2, "Label2"},
        {&SLvl, "SLvl"},       {&Label1, "Label1"},
        {&reset, "reset"},     {&apply, "apply"},
        {&File, "File"},       {&mnuSave, "mnuSave"},
        {&mnuOpen, "mnuOpen"}, {&mnuQuit, "mnuQuit"},
        {&Help, "Help"},       {&About, "About"},
        {&Help2, "Help2"},     {&Ball, "Ball"},
        {&accel, "accel"},     {&LevelUp, "LevelUp"},
        {&Score, "Score"},     {&DispUpdate, "DispUpdate"}};
    for (const auto& [object, name] : names) {
        object->setObjectName(QString::fromLatin1(name));
    }

    placeControls();

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

    // The game timers start when "Pause" is cleared; the tile dump is never started.
    const std::pair<QTimer*, int> periods[] = {
        {&Ball, 500}, {&accel, 200}, {&LevelUp, 150}, {&Score, 500}, {&DispUpdate, 10}};
    for (const auto& [timer, ms] : periods) {
        timer->setTimerType(Qt::PreciseTimer);
        timer->setInterval(ms);
    }

    connectHandlers();

    // The client area of the window description; the menu bar comes on top of it.
    resize(pixelsFromTwips(kClientWidth),
           pixelsFromTwips(kClientHeight) + menuBar()->sizeHint().height());
}

fMain::~fMain() = default;

void fMain::placeControls() {
    place(cPaused, {0, 0, 1665, 405});
    place(Label4, {7320, 30, 495, 255});
    place(ScoreDisp, {7860, 30, 855, 375});
    place(Kestro, {0, 420, 8175, 7215});
    place(SSpeed, {660, 8640, 6735, 255});
    place(Label3, {3360, 8880, 1095, 255});
    place(SAccel, {660, 9120, 6735, 255});
    place(Label2, {3420, 9360, 1215, 255});
    place(SLvl, {660, 9600, 6735, 255});
    place(Label1, {3600, 9840, 615, 255});
    place(reset, {7440, 8520, 975, 375});
    place(apply, {7440, 9480, 975, 375});
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

    connect(&Ball, &QTimer::timeout, this, guarded(&fMain::Ball_Timer));
    connect(&accel, &QTimer::timeout, this, guarded(&fMain::accel_Timer));
    connect(&LevelUp, &QTimer::timeout, this, guarded(&fMain::LevelUp_Timer));
    connect(&Score, &QTimer::timeout, this, guarded(&fMain::Score_Timer));
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
    ScoreDisp.surface().setOnRefresh([this] { ScoreDisp.update(); });
}

void fMain::fatalError(const RuntimeError& e) {
    prompt_.showMessage(runTimeErrorText(e));
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

    errorLogFile(true, "kestro", 13, 0, false);
    logOpen_ = true;

    random_ = std::make_unique<SeededRandom>(timeOfDaySeed());
    generateLevel(state_, sliders(), *random_, display_);

    renderer_ = std::make_unique<cRender>(trap_, [this] { yield(); });
    renderer_->render = [this](std::int16_t& objectsRendered) { renderer_render(objectsRendered); };
    renderer_->renderInit(&Kestro.surface());

    cPaused.setEnabled(true);
    cPaused_Click();

    const std::vector<std::string> entities =
        startupEntities(static_cast<float>(Kestro.width()), static_cast<float>(Kestro.height()));
    state_.sceneReady = true;
    renderer_->renderEntitiesFill(entities, -1, -1);

    // A close request during the error trap's dialog has stopped the renderer already.
    if (!unloading_) {
        renderer_->renderStart();
    }
    finishUnload();
}

void fMain::renderer_render(std::int16_t& objectsRendered) {
    static_cast<void>(objectsRendered);
    kestro::renderer_render(state_, *renderer_, [this] { yield(); });
}

void fMain::presentFrame() {
    Kestro.update();
    if (framePresented_) {
        framePresented_(Kestro.surface().image());
    }
    const QScreen* s = screen();
    pacer_.waitForNextTick(s != nullptr ? s->refreshRate() : 0.0);
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
        const QRect outer = frameGeometry();
        if (const auto h = snappedOuterHeight(twipsFromPixels(outer.height()))) {
            resizeNested(QSize(width(), pixelsFromTwips(*h) - (outer.height() - height())));
        }
        const QRect outerNow = frameGeometry();
        if (const auto w = snappedOuterWidth(twipsFromPixels(outerNow.width()))) {
            resizeNested(QSize(pixelsFromTwips(*w) - (outerNow.width() - width()), height()));
        }
        --resizeDepth_;
    }

    const TwipSize field = playfieldSize(
        twipsFromPixels(client_.width()), twipsFromPixels(client_.height()),
        twipsFromPixels(reset.y()), twipsFromPixels(Kestro.y()), twipsFromPixels(Kestro.x()));
    Kestro.resize(pixelsFromTwips(field.width), pixelsFromTwips(field.height));

    const CellSize cell = cellSize(Kestro.width(), Kestro.height());
    state_.tileW = cell.tileW;
    state_.tileH = cell.tileH;
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

int fMain::cPausedValue() const {
    switch (cPaused.checkState()) {
        case Qt::Unchecked:
            return 0;
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
    }
    return 1;
}

void fMain::cPaused_Click() {
    for (QTimer* timer : {&Ball, &accel, &LevelUp, &Score}) {
        if (cPausedValue() == 0) {
            if (!timer->isActive()) {
                timer->start();
            }
        } else {
            timer->stop();
        }
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
    yield();
    state_.sceneReady = false;
    if (renderer_) {
        renderer_->renderStop();
        renderer_->renderDeinit();
    }
    // The renderer is released and the log closed by finishUnload() once the frame loop that
    // this handler runs in has returned. The game ends here all the same: while the loop
    // unwinds through its last yields, no timer of the window may fire any more.
    for (QTimer* timer : {&Ball, &accel, &LevelUp, &Score, &DispUpdate}) {
        timer->stop();
    }
}

void fMain::finishUnload() {
    renderer_.reset();
    if (logOpen_) {
        errorLogFile(false, "", 0, 0, false);
        logOpen_ = false;
    }
}

void fMain::mnuQuit_Click() {
    std::exit(0);
}

void fMain::mouseDoubleClickEvent(QMouseEvent* event) {
    Form_DblClick();
    QMainWindow::mouseDoubleClickEvent(event);
}

void fMain::DispUpdate_Timer() {
    ImageSurface& surface = Kestro.surface();
    surface.cls();
    state_.scanY = 46;
    state_.scanX = -1;
    for (state_.scanY = 46; state_.scanY >= 0; --state_.scanY) {
        for (state_.scanX = 0; state_.scanX <= 58; ++state_.scanX) {
            surface.setCurrentX(static_cast<float>(state_.scanX * 140.05 - 90.0));
            surface.setCurrentY(static_cast<float>((46 - state_.scanY) * 157.56 - 146.0));
            const std::int16_t code = state_.tiles.at(state_.scanX, state_.scanY);
            if (code > 0) {
                surface.print(std::to_string(code));
            }
        }
    }
    state_.scanX = 0;
    state_.scanY = 0;
}

void fMain::Ball_Timer() {
    kestro::Ball_Timer(state_);
}

void fMain::SLvl_Change() {
    Label1.setText(QStringLiteral("Level: ") + QString::number(slvl_.value()));
}

void fMain::SAccel_Change() {
    Label2.setText(QStringLiteral("Acceleration: ") + QString::number(saccel_.value()));
}

void fMain::SSpeed_Change() {
    Label3.setText(QStringLiteral("Top Speed: ") + QString::number(sspeed_.value()));
}

}  // namespace kestro::shell
