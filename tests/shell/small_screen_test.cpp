// The window on a 1920 x 1080 screen scaled by 1.5 (1280 x 720 in the window's pixels), lower
// than the window's designed smallest size: the window fits the screen and every control stays
// on it.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QScreen>
#include <QWidget>

#include "shell/fmain.h"
#include "shell/layout.h"
#include "tests/shell/shell_support.h"

namespace kestro::shell {
namespace {

QApplication& hdApp() {
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" KESTRO_SHELL_TEST_DIR "/hd_screen.json");
    qputenv("QT_SCALE_FACTOR", "1.5");
    return test::qtApp();
}

class ShellSmallScreen : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { hdApp(); }

    test::ScriptedTrap trap;
    test::RecordingPrompt prompt;
    fMain window{trap, prompt};
};

TEST_F(ShellSmallScreen, TheSmallestWindowFitsTheScreenWithEveryControlOnIt) {
    window.show();
    QCoreApplication::processEvents();
    ASSERT_NE(window.screen(), nullptr);
    const QRect available = window.screen()->availableGeometry();
    ASSERT_EQ(available.height(), 720);  // the screen is what the test is about
    // The designed smallest window would not fit.
    ASSERT_GT(pixelsFromTwips(kSnapOuterHeight), available.height());

    for (const QSize asked : {QSize(582, 681), QSize(100, 100), QSize(2000, 300)}) {
        window.resize(asked);
        QCoreApplication::processEvents();
        const QString what = QStringLiteral("%1x%2").arg(asked.width()).arg(asked.height());
        EXPECT_LE(window.frameGeometry().height(), available.height()) << what.toStdString();
        // The layout's minimum is the screen's height: a smaller window snaps up to it.
        EXPECT_GE(window.frameGeometry().height(), available.height()) << what.toStdString();

        const QRect inside = window.geometry();
        for (const QWidget* control : std::initializer_list<const QWidget*>{
                 &window.controls().cPaused, &window.controls().ScoreDisp,
                 &window.controls().SSpeed, &window.controls().SAccel, &window.controls().SLvl,
                 &window.controls().Label1, &window.controls().reset, &window.controls().apply}) {
            const QRect r(control->mapToGlobal(QPoint(0, 0)), control->size());
            EXPECT_TRUE(available.contains(r) && inside.contains(r))
                << control->objectName().toStdString() << " at " << r.y() << "+" << r.height()
                << " in a window of " << what.toStdString();
        }
        // The playfield keeps clear of the settings below it.
        EXPECT_GT(window.controls().Kestro.height(), 0);
        EXPECT_LE(window.controls().Kestro.geometry().bottom(),
                  window.controls().reset.geometry().top());
    }
}

}  // namespace
}  // namespace kestro::shell
