// The window's controls as designed, the pause switch, the sliders and their labels, the layout
// of the playfield when the window is resized, and the tile dump.

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QMenuBar>
#include <QMouseEvent>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "common/rounding.h"

#include "shell/fmain.h"
#include "shell/qt_slider.h"
#include "tests/shell/shell_support.h"

namespace kestro::shell {
namespace {

using test::qtApp;

class ShellWindow : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { qtApp(); }

    test::ScriptedTrap trap;
    test::RecordingPrompt prompt;
    fMain window{trap, prompt};
};

TEST_F(ShellWindow, ControlsSitWhereTheDescriptionPutsThem) {
    struct Case {
        QWidget* control;
        QRect pixels;
    };
    const Case cases[] = {
        {&window.controls().cPaused, {0, 0, 111, 27}},
        {&window.controls().Label4, {488, 2, 33, 17}},
        {&window.controls().ScoreDisp, {524, 2, 57, 25}},
        {&window.controls().Kestro, {0, 28, 545, 481}},
        {&window.controls().SSpeed, {44, 576, 449, 17}},
        {&window.controls().Label3, {224, 592, 73, 17}},
        {&window.controls().SAccel, {44, 608, 449, 17}},
        {&window.controls().Label2, {228, 624, 81, 17}},
        {&window.controls().SLvl, {44, 640, 449, 17}},
        {&window.controls().Label1, {240, 656, 41, 17}},
        {&window.controls().reset, {496, 568, 65, 25}},
        {&window.controls().apply, {496, 632, 65, 25}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.control->geometry(), c.pixels) << c.control->objectName().toStdString();
        EXPECT_EQ(c.control->parentWidget(), window.centralWidget());
    }
}

TEST_F(ShellWindow, CaptionsTitleTooltipAndFonts) {
    EXPECT_EQ(window.windowTitle(), "physics");
    EXPECT_EQ(window.controls().cPaused.text(), "Pause");
    EXPECT_EQ(window.controls().cPaused.checkState(), Qt::Checked);
    EXPECT_EQ(window.cPausedValue(), 1);
    EXPECT_EQ(window.controls().Label4.text(), "Score:");
    EXPECT_EQ(window.controls().Label3.text(), "Top Speed:");
    EXPECT_EQ(window.controls().Label2.text(), "Acceleration:");
    EXPECT_EQ(window.controls().Label1.text(), "Level: ");
    EXPECT_EQ(window.controls().reset.text(), "Reset");
    EXPECT_EQ(window.controls().apply.text(), "Apply");
    EXPECT_EQ(window.controls().apply.toolTip(), "Will restart level!");
    EXPECT_TRUE(window.controls().reset.toolTip().isEmpty());

    for (QLabel* label :
         {&window.controls().Label3, &window.controls().Label2, &window.controls().Label1}) {
        EXPECT_EQ(label->font().family(), "Times New Roman");
        EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 6.75);
    }
    EXPECT_EQ(window.controls().Kestro.surface().font().family(), "Times New Roman");
    EXPECT_DOUBLE_EQ(window.controls().Kestro.surface().font().pointSizeF(), 8.25);
    // Without the named face a metric-compatible serif stands in for it.
    const QString resolved = QFontInfo(window.controls().Label1.font()).family();
    EXPECT_TRUE(resolved == "Times New Roman" || resolved == "Liberation Serif")
        << resolved.toStdString();

    EXPECT_EQ(window.controls().Kestro.surface().name(), "Kestro");
    EXPECT_EQ(window.controls().Kestro.surface().tag(), "true");
    EXPECT_TRUE(window.controls().Kestro.hasMouseTracking());
}

TEST_F(ShellWindow, MenusWithTheirMnemonics) {
    const QList<QAction*> top = window.menuBar()->actions();
    ASSERT_EQ(top.size(), 4);
    EXPECT_EQ(top[0]->text(), "&File");
    EXPECT_EQ(top[1]->text(), "&Game");
    EXPECT_EQ(top[2]->text(), "&Settings");
    EXPECT_EQ(top[3]->text(), "&Help");
    EXPECT_EQ(top[0]->menu(), &window.controls().File);
    EXPECT_EQ(top[1]->menu(), &window.controls().Game);
    EXPECT_EQ(top[2]->menu(), &window.controls().Settings);
    EXPECT_EQ(top[3]->menu(), &window.controls().Help);

    const QList<QAction*> file = window.controls().File.actions();
    ASSERT_EQ(file.size(), 4);
    EXPECT_EQ(file[0], &window.controls().mnuSave);
    EXPECT_EQ(file[1], &window.controls().mnuOpen);
    EXPECT_EQ(file[2], &window.controls().mnuResume);
    EXPECT_EQ(file[3], &window.controls().mnuQuit);
    EXPECT_EQ(window.controls().mnuSave.text(), "&Save");
    EXPECT_EQ(window.controls().mnuOpen.text(), "&Open");
    EXPECT_EQ(window.controls().mnuResume.text(), "&Resume Last Game");
    EXPECT_EQ(window.controls().mnuQuit.text(), "&Quit");

    const QList<QAction*> help = window.controls().Help.actions();
    ASSERT_EQ(help.size(), 2);
    EXPECT_EQ(help[0]->text(), "About");
    EXPECT_EQ(help[1]->text(), "Help");
    // What the two help items show is tested in desktop_test.cpp.
}

TEST_F(ShellWindow, SlidersStartWithTheirRangesAndValues) {
    struct Case {
        QSlider* slider;
        Slider* game;
        int min, max, value;
    };
    Sliders sliders = window.sliders();
    const Case cases[] = {{&window.controls().SSpeed, &sliders.SSpeed, -1, 500, 300},
                          {&window.controls().SAccel, &sliders.SAccel, 1, 20, 5},
                          {&window.controls().SLvl, &sliders.SLvl, 0, 80, 1}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.slider->minimum(), c.min);
        EXPECT_EQ(c.slider->maximum(), c.max);
        EXPECT_EQ(c.slider->value(), c.value);
        EXPECT_EQ(c.game->min(), c.min);
        EXPECT_EQ(c.game->max(), c.max);
        EXPECT_EQ(c.game->value(), c.value);
        EXPECT_EQ(c.slider->orientation(), Qt::Horizontal);
    }
}

TEST_F(ShellWindow, TimersHaveTheirPeriodsAndWaitForTheGameToStart) {
    const TimerSet& timers = window.game().timers();
    const std::pair<TimerId, int> periods[] = {{TimerId::Ball, 500},
                                               {TimerId::accel, 200},
                                               {TimerId::LevelUp, 150},
                                               {TimerId::Score, 500}};
    for (const auto& [id, ms] : periods) {
        EXPECT_EQ(timers.period(id), ms);
    }
    EXPECT_FALSE(timers.enabled());
    EXPECT_FALSE(window.clockTimer().isActive());
    EXPECT_EQ(window.controls().DispUpdate.interval(), 10);
    EXPECT_FALSE(window.controls().DispUpdate.isActive());
}

TEST_F(ShellWindow, PauseStopsTheFourGameTimersUnlessClear) {
    window.controls().cPaused.setEnabled(true);
    struct Case {
        Qt::CheckState state;
        int value;
        bool running;
    };
    const Case cases[] = {{Qt::Unchecked, 0, true},
                          {Qt::PartiallyChecked, 2, false},
                          {Qt::Unchecked, 0, true},
                          {Qt::Checked, 1, false}};
    for (const Case& c : cases) {
        window.controls().cPaused.setCheckState(c.state);  // raises the check box's click handler
        EXPECT_EQ(window.cPausedValue(), c.value);
        EXPECT_EQ(window.game().timers().enabled(), c.running) << "value " << c.value;
        // The window's wake-up timer runs only while a game timer does.
        EXPECT_EQ(window.clockTimer().isActive(), c.running) << "value " << c.value;
        EXPECT_FALSE(window.controls().DispUpdate.isActive());
    }

    // Timers that run already keep their counts when the game is unpaused again.
    window.controls().cPaused.setCheckState(Qt::Unchecked);
    const auto due = window.game().timers().due(TimerId::Ball);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    window.cPaused_Click();
    EXPECT_EQ(window.game().timers().due(TimerId::Ball), due);
}

TEST_F(ShellWindow, SliderHandlersWriteTheirLabels) {
    Sliders sliders = window.sliders();
    struct Case {
        Slider* slider;
        QLabel* label;
        int set;
        const char* caption;
    };
    const Case cases[] = {
        {&sliders.SLvl, &window.controls().Label1, 80, "Level: 80"},
        {&sliders.SLvl, &window.controls().Label1, 0, "Level: 0"},
        {&sliders.SAccel, &window.controls().Label2, 20, "Acceleration: 20"},
        {&sliders.SSpeed, &window.controls().Label3, -1, "Top Speed: -1"},
        {&sliders.SSpeed, &window.controls().Label3, 500, "Top Speed: 500"},
        // Out of range, the slider keeps to its Min and Max and the label shows that value.
        {&sliders.SLvl, &window.controls().Label1, 81, "Level: 80"},
        {&sliders.SAccel, &window.controls().Label2, 0, "Acceleration: 1"},
    };
    for (const Case& c : cases) {
        c.slider->setValue(c.set);
        EXPECT_EQ(c.label->text().toStdString(), c.caption);
    }

    // Setting the value the slider already has still raises Change.
    window.controls().Label1.setText("x");
    sliders.SLvl.setValue(sliders.SLvl.value());
    EXPECT_EQ(window.controls().Label1.text(), "Level: 80");

    // Dragging the thumb updates the label while it moves.
    window.controls().SAccel.setSliderDown(true);
    window.controls().SAccel.setSliderPosition(7);
    EXPECT_EQ(window.controls().Label2.text(), "Acceleration: 7");
    window.controls().SAccel.setSliderDown(false);
    EXPECT_EQ(window.controls().Label2.text(), "Acceleration: 7");
}

TEST(ShellSlider, ChangeAfterEverySetScrollWhileDragging) {
    qtApp();
    QSlider widget;
    QtSlider slider(widget, kLevelSlider);
    int changes = 0;
    int scrolls = 0;
    int seen = -100;
    slider.setOnChange([&] {
        ++changes;
        seen = slider.value();  // handlers read the value when they run
    });
    slider.setOnScroll([&] { ++scrolls; });
    EXPECT_EQ(widget.pageStep(), 10);
    EXPECT_EQ(widget.singleStep(), 1);
    EXPECT_EQ(widget.focusPolicy(), Qt::StrongFocus);

    struct Case {
        int set;
        int value;
    };
    const Case sets[] = {{40, 40}, {40, 40}, {-5, 0}, {1000, 80}, {0, 0}};
    int expectedChanges = 0;
    for (const Case& c : sets) {
        slider.setValue(c.set);
        ++expectedChanges;
        EXPECT_EQ(slider.value(), c.value);
        EXPECT_EQ(changes, expectedChanges) << "set " << c.set;
        EXPECT_EQ(seen, c.value);
    }
    EXPECT_EQ(scrolls, 0);

    // The player: a page step is a change; a drag scrolls, and its release is a change.
    widget.triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(changes, expectedChanges + 1);
    EXPECT_EQ(seen, 10);
    widget.setSliderDown(true);
    widget.setSliderPosition(11);
    widget.setSliderPosition(12);
    EXPECT_EQ(scrolls, 2);
    EXPECT_EQ(changes, expectedChanges + 1);
    widget.setSliderDown(false);
    EXPECT_EQ(changes, expectedChanges + 2);
    EXPECT_EQ(seen, 12);
}

// The playfield's height for a client area of the given pixel height.
int expectedPlayfieldHeight(int clientHeight) {
    const double h = clientHeight * 15.0;
    return nearest<std::int32_t>(std::fabs(h - ((h - 8520.0) * 1.13 + 420.0)) / 15.0);
}

TEST_F(ShellWindow, ShowingSnapsToTheMinimumAndLaysOutThePlayfield) {
    window.show();
    // The outer size includes whatever frame the platform draws around the window.
    const QSize frame = window.frameGeometry().size() - window.size();
    EXPECT_EQ(window.frameGeometry().size(), QSize(590, 741));
    const QWidget* client = window.centralWidget();
    EXPECT_EQ(client->width(), 590 - frame.width());
    EXPECT_EQ(client->height(), 741 - frame.height() - window.menuBar()->height());

    EXPECT_EQ(window.controls().Kestro.pos(), QPoint(0, 28));
    EXPECT_EQ(window.controls().Kestro.width(), client->width());
    EXPECT_EQ(window.controls().Kestro.height(), expectedPlayfieldHeight(client->height()));
    EXPECT_EQ(window.controls().Kestro.surface().image().size(), window.controls().Kestro.size());
    EXPECT_EQ(window.gameState().tileW,
              static_cast<float>(window.controls().Kestro.width() / 59.0));
    EXPECT_EQ(window.gameState().tileH,
              static_cast<float>(window.controls().Kestro.height() / 47.0));
    // The rest keeps its place.
    EXPECT_EQ(window.controls().reset.geometry(), QRect(496, 568, 65, 25));
    EXPECT_EQ(window.controls().SLvl.geometry(), QRect(44, 640, 449, 17));
}

TEST_F(ShellWindow, ResizingFollowsTheMinimumAndThePlayfieldFollowsTheWindow) {
    window.show();
    const QSize frame = window.frameGeometry().size() - window.size();
    struct Case {
        QSize requested;  // outer size asked for
        QSize outer;      // outer size that results
    };
    const Case cases[] = {
        {{800, 1000}, {800, 1000}}, {{590, 741}, {590, 741}}, {{589, 741}, {590, 741}},
        {{700, 740}, {700, 741}},   {{300, 200}, {590, 741}}, {{1200, 741}, {1200, 741}},
    };
    for (const Case& c : cases) {
        window.resize(c.requested - frame);
        const std::string name =
            std::to_string(c.requested.width()) + "x" + std::to_string(c.requested.height());
        EXPECT_EQ(window.frameGeometry().size(), c.outer) << name;
        const QWidget* client = window.centralWidget();
        EXPECT_EQ(window.controls().Kestro.width(), client->width()) << name;
        EXPECT_EQ(window.controls().Kestro.height(), expectedPlayfieldHeight(client->height()))
            << name;
        EXPECT_EQ(window.gameState().tileW,
                  static_cast<float>(window.controls().Kestro.width() / 59.0))
            << name;
        EXPECT_EQ(window.gameState().tileH,
                  static_cast<float>(window.controls().Kestro.height() / 47.0))
            << name;
    }
}

TEST_F(ShellWindow, MinimizedWindowIsNotLaidOut) {
    window.show();
    const float tileW = window.gameState().tileW;
    window.setWindowState(Qt::WindowMinimized);
    window.controls().Kestro.resize(10, 10);
    window.Form_Resize();
    EXPECT_EQ(window.controls().Kestro.size(), QSize(10, 10));
    EXPECT_EQ(window.gameState().tileW, tileW);

    window.setWindowState(Qt::WindowNoState);
    window.Form_Resize();
    EXPECT_EQ(window.controls().Kestro.width(), window.centralWidget()->width());
}

TEST_F(ShellWindow, TileDumpClearsThePlayfieldAndPrintsCodesFromTheBottomRowUp) {
    window.show();
    ImageSurface& field = window.controls().Kestro.surface();
    const QRgb background = field.backColor().rgb();
    const QSize size = field.image().size();
    // Something on the playfield that the dump must clear.
    field.setForeColor(255);
    field.setFillColor(255);
    field.setFillStyle(0);
    field.rectangle(0, 0, size.width(), size.height());
    field.setForeColor(0);

    GameState& s = window.gameState();
    s.tiles.set(1, 45, tileBlock);  // printed at (50.05, 11.56): on the playfield
    s.tiles.set(2, 44, -3);         // not above 0: nothing at (190.1, 169.12)
    s.tiles.set(0, 45, tileWall);   // at x -90: off the playfield
    s.tiles.set(3, 46, tileGoal);   // at y -146: off the playfield
    window.DispUpdate_Timer();

    EXPECT_EQ(s.scanX, 0);
    EXPECT_EQ(s.scanY, 0);
    const QImage& image = field.image();
    const QRect glyph(50, 11, 12, 20);
    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == background) {
                continue;
            }
            ASSERT_TRUE(glyph.contains(x, y)) << "unexpected ink at " << x << "," << y;
            EXPECT_EQ(qGray(image.pixel(x, y)), 0) << "printed in the fore colour, black";
            ++inked;
        }
    }
    EXPECT_GT(inked, 5) << "the code 4 is printed near (50, 12)";
}

TEST_F(ShellWindow, DisplayWritesLabelsScoreAndMessages) {
    window.show();
    GameDisplay& display = window.display();
    display.setLabel(LabelId::Label1, "Level: 7");
    display.setLabel(LabelId::Label2, "Acceleration: 3");
    display.setLabel(LabelId::Label3, "Top Speed: -1");
    EXPECT_EQ(window.controls().Label1.text(), "Level: 7");
    EXPECT_EQ(window.controls().Label2.text(), "Acceleration: 3");
    EXPECT_EQ(window.controls().Label3.text(), "Top Speed: -1");

    // The score box is cleared and the score printed at its top left.
    const QImage& box = window.controls().ScoreDisp.surface().image();
    ASSERT_EQ(box.size(), QSize(57, 25));
    const QRgb background = window.controls().ScoreDisp.surface().backColor().rgb();
    const auto inkRight = [&] {
        int right = -1;
        for (int y = 0; y < box.height(); ++y) {
            for (int x = 0; x < box.width(); ++x) {
                if (box.pixel(x, y) != background) {
                    right = std::max(right, x);
                    EXPECT_LT(y, 20) << "one line at the top";
                }
            }
        }
        return right;
    };
    display.showScore(8888888);
    const int wide = inkRight();
    display.showScore(1);
    const int narrow = inkRight();
    EXPECT_GT(wide, 30);
    EXPECT_GE(narrow, 0);
    EXPECT_LT(narrow, 10) << "the longer score before was cleared";

    display.showMessage("Congratulations, you have über skillz");
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0], "Congratulations, you have über skillz");
}

TEST(ShellPictureBox, ShowsItsImageAndReportsPointerMovesInItsPixels) {
    qtApp();
    PictureBox box("Probe", nullptr);
    box.resize(40, 30);
    box.show();
    ImageSurface& surface = box.surface();
    ASSERT_EQ(surface.image().size(), QSize(40, 30));
    surface.setForeColor(255);
    surface.setFillColor(255);
    surface.setFillStyle(0);
    surface.rectangle(10, 5, 20, 15);
    surface.refresh();
    const QImage shown = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, surface.image());

    struct Move {
        Qt::MouseButtons buttons;
        Qt::KeyboardModifiers modifiers;
        int button, shift;
    };
    const Move moves[] = {
        {Qt::NoButton, Qt::NoModifier, 0, 0},
        {Qt::LeftButton, Qt::ShiftModifier, 1, 1},
        {Qt::RightButton | Qt::MiddleButton, Qt::ControlModifier | Qt::AltModifier, 6, 6},
    };
    for (const Move& m : moves) {
        int button = -1;
        int shift = -1;
        QPointF at;
        box.setOnMouseMove([&](int b, int s, float x, float y) {
            button = b;
            shift = s;
            at = QPointF(x, y);
        });
        QMouseEvent event(QEvent::MouseMove, QPointF(12.5, 7.25),
                          box.mapToGlobal(QPointF(12.5, 7.25)), Qt::NoButton, m.buttons,
                          m.modifiers);
        QApplication::sendEvent(&box, &event);
        EXPECT_EQ(button, m.button);
        EXPECT_EQ(shift, m.shift);
        EXPECT_EQ(at, QPointF(12.5, 7.25));
    }
}

}  // namespace
}  // namespace kestro::shell
