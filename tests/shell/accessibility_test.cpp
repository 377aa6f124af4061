// The window as a screen reader and the keyboard meet it: every control's name, role and value
// through Qt's accessibility interfaces, the score box's score and the playfield's description
// kept current, the sliders' tooltips, and the Tab order.
//
// The offscreen platform has no accessibility of its own: QAccessible::isActive() stays false
// (setActive cannot change it), so the notices a listening screen reader would get are not
// sent here. What it reads when it asks is what these tests check.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QTest>

#include "game/level.h"
#include "shell/accessibility.h"
#include "shell/fmain.h"
#include "tests/shell/shell_support.h"

namespace kestro::shell {
namespace {

using test::qtApp;
using test::runSession;

using ShellAccessibility = test::WindowTest;

// A widget's text as a screen reader reads it; a widget without an interface reads as "<none>".
std::string textOf(QWidget& w, QAccessible::Text t) {
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(&w);
    return i == nullptr ? "<none>" : i->text(t).toStdString();
}

TEST_F(ShellAccessibility, EachControlHasItsNameRoleAndValue) {
    struct Case {
        const char* control;
        QAccessible::Role role;
        const char* name;
        const char* value;  // what a screen reader reads as the value; nullptr: none
    };
    // Right after start-up: the sliders at their start values, the first level's score.
    const std::vector<Case> cases = {
        {"cPaused", QAccessible::CheckBox, "Pause", nullptr},
        {"ScoreDisp", QAccessible::StaticText, "Score", "60"},
        {"Kestro", QAccessible::Graphic, "Playfield", nullptr},
        {"SSpeed", QAccessible::Slider, "Top Speed", "300"},
        {"SAccel", QAccessible::Slider, "Acceleration", "5"},
        {"SLvl", QAccessible::Slider, "Level", "1"},
        {"reset", QAccessible::Button, "Reset", nullptr},
        {"apply", QAccessible::Button, "Apply", nullptr},
    };
    fMain window(trap, prompt, time);
    runSession(window, 2, [&] {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.control);
            auto* w = window.findChild<QWidget*>(QString::fromLatin1(c.control));
            ASSERT_NE(w, nullptr);
            QAccessibleInterface* found = QAccessible::queryAccessibleInterface(w);
            ASSERT_NE(found, nullptr);
            QAccessibleInterface& i = *found;
            EXPECT_EQ(i.role(), c.role);
            EXPECT_EQ(i.text(QAccessible::Name).toStdString(), c.name);
            EXPECT_FALSE(i.text(QAccessible::Description).isEmpty());
            if (c.value != nullptr) {
                EXPECT_EQ(i.text(QAccessible::Value).toStdString(), c.value);
            }
            if (c.role == QAccessible::Slider) {
                // The slider's own value, with its range, as a value a screen reader can set.
                auto* slider = dynamic_cast<QSlider*>(w);
                ASSERT_NE(slider, nullptr);
                QAccessibleValueInterface* v = i.valueInterface();
                ASSERT_NE(v, nullptr);
                EXPECT_EQ(v->currentValue().toInt(), slider->value());
                EXPECT_EQ(v->minimumValue().toInt(), slider->minimum());
                EXPECT_EQ(v->maximumValue().toInt(), slider->maximum());
            }
        }
        // The check box says that the game starts paused; the captions are the window's own.
        QAccessibleInterface* pause =
            QAccessible::queryAccessibleInterface(&window.controls().cPaused);
        ASSERT_NE(pause, nullptr);
        EXPECT_TRUE(pause->state().checked);
        EXPECT_EQ(window.controls().cPaused.text().toStdString(), "Pause");
        EXPECT_EQ(window.controls().apply.text().toStdString(), "Apply");
        EXPECT_EQ(window.controls().reset.text().toStdString(), "Reset");
        EXPECT_EQ(window.controls().apply.toolTip().toStdString(), "Will restart level!");
        EXPECT_EQ(textOf(window.controls().Kestro, QAccessible::Description),
                  "Level 1, 4 goals left, score 60");
    });
}

TEST_F(ShellAccessibility, ScoreBoxAndPlayfieldReadWhatTheGameShowsNow) {
    struct Case {
        const char* event;
        std::function<void(fMain&)> act;
        const char* score;  // the score box's value afterwards
        const char* field;  // the playfield's description afterwards
    };
    const auto play = [this](fMain& w, Millis ms) {
        w.controls().cPaused.setCheckState(Qt::Unchecked);
        test::playFor(w, time, ms);
        w.controls().cPaused.setCheckState(Qt::Checked);
    };
    const auto takeGoals = [](fMain& w, std::size_t n) {
        for (std::size_t g = 0; g < n; ++g) {
            w.gameState().tiles.set(kGoalCells[g].x, kGoalCells[g].y, tileEmpty);
        }
    };
    const std::vector<Case> cases = {
        // The first score tick counts 60 down to 59.
        {"a score tick", [&](fMain& w) { play(w, 520); }, "59", "Level 1, 4 goals left, score 59"},
        // Apply on 40 carried: (1 + 300 + 2 x 5) / 5 rounds to 62.
        {"Apply",
         [](fMain& w) {
             w.gameState().bankedScore = 40;
             w.controls().apply.click();
         },
         "102", "Level 1, 4 goals left, score 102"},
        {"a goal taken", [&](fMain& w) { takeGoals(w, 1); }, "60",
         "Level 1, 3 goals left, score 60"},
        {"three goals taken", [&](fMain& w) { takeGoals(w, 3); }, "60",
         "Level 1, 1 goal left, score 60"},
        // The level is complete at the first LevelUp tick: level 2 on the 60 carried, with
        // (4 + 300 + 2 x 5) / 5 rounding to 63.
        {"a completed level",
         [&](fMain& w) {
             takeGoals(w, 4);
             play(w, 200);
         },
         "123", "Level 2, 4 goals left, score 123"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.event);
        fMain window(trap, prompt, time);
        runSession(window, 2, [&] {
            c.act(window);
            EXPECT_EQ(textOf(window.controls().ScoreDisp, QAccessible::Value), c.score);
            EXPECT_EQ(textOf(window.controls().Kestro, QAccessible::Description), c.field);
        });
    }
}

TEST_F(ShellAccessibility, SliderTooltipsSayWhatTheValueMeans) {
    struct Case {
        const char* slider;
        std::int32_t value;
        std::vector<std::string> says;
    };
    const std::vector<Case> cases = {
        {"SSpeed", 300, {"fastest step is 501 minus the value, in milliseconds (now 201 ms)"}},
        {"SSpeed", 500, {"(now 1 ms)"}},
        {"SSpeed", -1, {"(now 502 ms)"}},
        {"SAccel", 5, {"every 200 ms its step gets 5 ms shorter, until it reaches the top speed"}},
        {"SAccel", 20, {"gets 20 ms shorter"}},
        {"SLvl", 0, {"level 0 scatters 0 blocks and 0 markers"}},
        {"SLvl", 2, {"level 2 scatters 14 blocks and 1 marker on", "moves it on by one"}},
        {"SLvl", 80, {"level 80 scatters 544 blocks and 26 markers"}},
    };
    fMain window(trap, prompt, time);
    runSession(window, 2, [&] {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.slider) + " at " + std::to_string(c.value));
            auto* slider = window.findChild<QSlider*>(QString::fromLatin1(c.slider));
            ASSERT_NE(slider, nullptr);
            slider->setValue(c.value);  // as the player moves it
            const std::string tip = slider->toolTip().toStdString();
            for (const std::string& part : c.says) {
                EXPECT_NE(tip.find(part), std::string::npos) << tip;
            }
            EXPECT_NE(tip.find("when the next level is built"), std::string::npos) << tip;
            EXPECT_EQ(textOf(*slider, QAccessible::Description), tip);
        }
        // A value set by the game (a loaded game, a completed level) is told as well.
        window.sliders().SLvl.setValue(5);
        EXPECT_NE(window.controls().SLvl.toolTip().toStdString().find("34 blocks and 2 markers"),
                  std::string::npos);
    });
}

TEST_F(ShellAccessibility, TabGoesThroughTheControlsInReadingOrder) {
    const std::vector<std::string> forward = {"SSpeed", "SAccel", "SLvl",
                                              "reset",  "apply",  "cPaused"};
    fMain window(trap, prompt, time);
    std::vector<std::string> seen;
    std::vector<std::string> back;
    runSession(window, 2, [&] {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        window.controls().cPaused.setFocus(Qt::TabFocusReason);
        for (std::size_t i = 0; i < forward.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen.push_back(QApplication::focusWidget()->objectName().toStdString());
        }
        for (std::size_t i = 0; i < forward.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
            back.push_back(QApplication::focusWidget()->objectName().toStdString());
        }
    });
    EXPECT_EQ(seen, forward);
    const std::vector<std::string> backward = {"apply",  "reset",  "SLvl",
                                               "SAccel", "SSpeed", "cPaused"};
    EXPECT_EQ(back, backward);
}

}  // namespace
}  // namespace kestro::shell
