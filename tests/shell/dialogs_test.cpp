// The real message boxes: what they show and what their answers return. A timer finds the open
// box and presses a button, so nothing waits for a person.

#include <gtest/gtest.h>

#include <functional>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "common/runtime_error.h"
#include "diag/error_trap.h"
#include "shell/fatal.h"
#include "shell/qt_dialogs.h"
#include "tests/shell/shell_support.h"

namespace kestro::shell {
namespace {

// Runs `inspect` on the next message box that opens, then presses its `press` button. Gives up
// and closes any box after a few seconds, so a box that does not show up cannot hang the test.
class BoxAnswerer {
  public:
    BoxAnswerer(QMessageBox::StandardButton press, std::function<void(QMessageBox&)> inspect)
        : press_(press), inspect_(std::move(inspect)) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        timer_.start();
    }
    bool answered() const { return answered_; }

  private:
    void tick() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box == nullptr || !box->isVisible()) {
                continue;
            }
            if (++ticks_ > 300 || box->button(press_) == nullptr) {
                ADD_FAILURE() << "no button to press";
                box->done(-1);
                return;
            }
            inspect_(*box);
            answered_ = true;
            timer_.stop();
            box->button(press_)->click();
            return;
        }
        if (++ticks_ > 300) {
            ADD_FAILURE() << "no message box opened";
            timer_.stop();
        }
    }

    QMessageBox::StandardButton press_;
    std::function<void(QMessageBox&)> inspect_;
    QTimer timer_;
    int ticks_ = 0;
    bool answered_ = false;
};

TEST(ShellDialogs, TrapDialogAsksAbortRetryIgnoreAndReturnsTheAnswer) {
    test::qtApp();
    const std::string text =
        "---ERROR---\r\nNumber: -91\r\nSource: Kestro : renderInit()\r\n<b>desc</b>\r\n\r\n"
        "Please select the course of action";
    const std::pair<QMessageBox::StandardButton, int> answers[] = {
        {QMessageBox::Abort, kAnswerAbort},
        {QMessageBox::Retry, kAnswerRetry},
        {QMessageBox::Ignore, kAnswerIgnore}};
    for (const auto& [button, result] : answers) {
        BoxAnswerer answerer(button, [&](QMessageBox& box) {
            EXPECT_EQ(box.windowTitle(), "--Trapped Error--");
            EXPECT_EQ(box.text().toStdString(),
                      "---ERROR---\nNumber: -91\nSource: Kestro : renderInit()\n<b>desc</b>\n\n"
                      "Please select the course of action");
            EXPECT_EQ(box.textFormat(), Qt::PlainText) << "descriptions are shown as they are";
            EXPECT_EQ(box.icon(), QMessageBox::Critical);
            EXPECT_EQ(box.standardButtons(),
                      QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
            EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::Retry));
            EXPECT_TRUE(box.isModal());
            EXPECT_TRUE(box.windowFlags() & Qt::WindowStaysOnTopHint);
        });
        QtTrapDialog dialog;
        EXPECT_EQ(dialog.ask("--Trapped Error--", text), result);
        EXPECT_TRUE(answerer.answered());
    }
}

TEST(ShellDialogs, MessagePromptShowsOkOnlyUnderTheApplicationTitle) {
    test::qtApp();
    BoxAnswerer answerer(QMessageBox::Ok, [](QMessageBox& box) {
        EXPECT_EQ(box.windowTitle(), QApplication::applicationDisplayName());
        EXPECT_EQ(box.text(), "Lmao...-_- you lost, try again :p");
        EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
        EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
        EXPECT_TRUE(box.isModal());
    });
    QtMessagePrompt prompt;
    prompt.showMessage("Lmao...-_- you lost, try again :p");
    EXPECT_TRUE(answerer.answered());
}

TEST(ShellDialogs, LineBreaksBecomeLineFeeds) {
    const std::pair<std::string, std::string> cases[] = {
        {"a\r\nb", "a\nb"}, {"a\r\n\r\nb", "a\n\nb"}, {"a\rb\n", "a\rb\n"}, {"\r", "\r"}, {"", ""}};
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(toDisplayText(in), out);
    }
}

TEST(ShellDialogs, UnhandledRunTimeErrorMessageNamesNumberAndDescription) {
    EXPECT_EQ(runTimeErrorText(overflowError()), "Run-time error '6':\n\nOverflow");
    EXPECT_EQ(runTimeErrorText(RuntimeError(-5, "x", "")), "Run-time error '-5':\n\n");
}

}  // namespace
}  // namespace kestro::shell
