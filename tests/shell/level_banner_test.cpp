// The banner of a completed level: its text names the level completed and the points carried,
// it comes after the congratulation of the last level, a loss has none, it goes by itself while
// the game runs on, it lies clear of the pause hint and it is never part of the playfield's
// image.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QImage>
#include <QTest>

#include "game/game_clock.h"
#include "game/level.h"
#include "shell/fmain.h"
#include "tests/shell/shell_support.h"

namespace kestro::shell {
namespace {

using test::qtApp;

// Keeps each message with whether the banner was over the playfield while it was open.
class WatchingPrompt final : public MessagePrompt {
  public:
    void showMessage(const std::string& text) override {
        messages.push_back(text);
        bannerDuring.push_back(banner != nullptr && banner->isVisible());
    }
    const QWidget* banner = nullptr;
    std::vector<std::string> messages;
    std::vector<bool> bannerDuring;
};

class ShellLevelBanner : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { qtApp(); }

    test::TempLog log;
    test::ScriptedTrap trap;
    WatchingPrompt prompt;
    test::ManualTime time;
};

void removeGoals(GameState& s) {
    for (const Cell& g : kGoalCells) {
        s.tiles.set(g.x, g.y, tileEmpty);
    }
}

// An empty cell of the grid away from the border, to change and put back.
Cell emptyCell(const GameState& s) {
    for (int y = 5; y < kRows - 5; ++y) {
        for (int x = 5; x < kCols - 5; ++x) {
            if (s.tiles.at(x, y) == tileEmpty) {
                return Cell{x, y};
            }
        }
    }
    return Cell{0, 0};
}

TEST_F(ShellLevelBanner, ACompletedLevelIsToldForAWhileAndALossIsNot) {
    struct Case {
        const char* name;
        std::int32_t level;
        bool complete;  // the goals taken away (else the score runs out)
        std::optional<std::string> banner;
        std::vector<std::string> messages;
    };
    // Level 1 starts at (1 + 300 + 2 x 5) / 5, rounding to 62, after Apply; level 80 at
    // (6400 + 300 + 10) / 5 = 1342. Each is carried whole, no score tick coming first.
    const Case cases[] = {
        {"level 1 complete", 1, true, "Level 1 complete: 62 points carried", {}},
        {"level 80 complete",
         80,
         true,
         "Level 80 complete: 1342 points carried",
         {kCongratulationsMessage}},
        {"level 1 lost", 1, false, std::nullopt, {kLostMessage}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompt = WatchingPrompt{};
        fMain window(trap, prompt, time);
        const FieldNote& banner = window.controls().LevelBanner;
        prompt.banner = &banner;
        std::optional<std::string> shown;
        bool timerArmed = false;
        bool goneByItself = false;
        QImage withBanner;
        QImage withoutBanner;
        Cell changed{0, 0};
        int presented = 0;
        window.setFramePresented([&](const QImage& image) {
            ++presented;
            GameState& s = window.gameState();
            if (presented == 2) {
                window.sliders().SLvl.setValue(c.level);
                window.controls().apply.click();
                if (c.complete) {
                    removeGoals(s);
                } else {
                    s.score = 1;  // the first score tick loses the level
                }
                window.controls().cPaused.setCheckState(Qt::Unchecked);
                test::playFor(window, time, c.complete ? 200 : 520);
                window.controls().cPaused.setCheckState(Qt::Checked);
                if (banner.isVisible()) {
                    shown = banner.text().toStdString();
                }
                timerArmed = window.levelBannerTimer().isActive() &&
                             window.levelBannerTimer().isSingleShot() &&
                             window.levelBannerTimer().interval() == kLevelBannerMs;
            } else if (presented == 3) {
                // The next level's first frame, the banner over it.
                withBanner = image.copy();
                goneByItself = QTest::qWaitFor([&] { return !banner.isVisible(); }, 10000);
                changed = emptyCell(s);
                s.tiles.set(changed.x, changed.y, tileWall);
            } else if (presented == 4) {
                s.tiles.set(changed.x, changed.y, tileEmpty);
            } else if (presented == 5) {
                withoutBanner = image.copy();
                window.close();
            }
        });
        QTimer::singleShot(30000, &window, [&] { window.close(); });
        window.Form_Load();

        EXPECT_EQ(prompt.messages, c.messages);
        EXPECT_EQ(prompt.bannerDuring, std::vector<bool>(c.messages.size(), false))
            << "the message comes before the banner";
        EXPECT_EQ(shown, c.banner);
        EXPECT_EQ(timerArmed, c.complete);
        EXPECT_TRUE(goneByItself);
        ASSERT_EQ(presented, 5);
        EXPECT_NE(changed, (Cell{0, 0}));
        EXPECT_TRUE(withBanner == withoutBanner) << "the banner is drawn into the playfield";
    }
}

TEST_F(ShellLevelBanner, LiesOverThePlayfieldClearOfThePauseHintAndLetsThePointerThrough) {
    fMain window(trap, prompt, time);
    window.show();
    FieldNote& banner = window.controls().LevelBanner;
    FieldNote& hint = window.controls().PauseHint;
    const QWidget& field = window.controls().Kestro;
    banner.showText(QStringLiteral("Level 80 complete: 99999999 points carried"));
    hint.showText(QStringLiteral("Paused: press P or clear Pause to play"));
    for (const QSize size : {window.size(), window.size() * 2}) {
        window.resize(size);
        QCoreApplication::processEvents();
        SCOPED_TRACE(size.height());
        EXPECT_TRUE(field.geometry().contains(banner.geometry()));
        EXPECT_FALSE(banner.geometry().intersects(hint.geometry()));
        EXPECT_LT(banner.geometry().center().y(), hint.geometry().center().y());
        EXPECT_EQ(banner.parentWidget(), field.parentWidget());
        EXPECT_TRUE(banner.testAttribute(Qt::WA_TransparentForMouseEvents));
    }
}

}  // namespace
}  // namespace kestro::shell
