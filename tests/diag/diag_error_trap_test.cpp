#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/runtime_error.h"
#include "diag/error_trap.h"
#include "diag/log.h"
#include "log_fixture.h"
#include "tests/support/trap_dialogs.h"

using ::testing::HasSubstr;

namespace kestro::test {
namespace {

// Every question these tests expect is scripted: one more fails the test.
constexpr auto kStrict = ScriptedDialog::OnceOut::fail;

constexpr const char* kEngaged =
    "[WARNING]  {Error Subsystem} ErrorHandel Engaged (renderInit(),False)\r\n";
constexpr const char* kInfo91 =
    "[WARNING]  {Error Subsystem} ErrorHandel Info (source : renderInit(),91,description)\r\n";
constexpr const char* kText91 =
    "---ERROR---\r\nNumber: 91\r\nSource: source : renderInit()\r\ndescription\r\n\r\n"
    "Please select the course of action";

// A log open at threshold 13 whose records after the opening can be read on their own.
class TrapTest : public LogTest {
  protected:
    void SetUp() override {
        LogTest::SetUp();
        openAsStartUp();
        opening_ = logText().size();
    }
    std::string trapRecords() const { return logText().substr(opening_); }

    std::size_t opening_ = 0;
};

TEST_F(TrapTest, Error91InRenderInitAnsweredIgnore) {
    ScriptedDialog dialog({kAnswerIgnore}, kStrict);
    EXPECT_EQ(ErrorHandel(dialog, "renderInit()", "source", 91, "description", false),
              kAnswerIgnore);
    EXPECT_EQ(trapRecords(),
              std::string(kEngaged) + kInfo91 +
                  "[ ERROR ]  {Error Subsystem} ErrorHandel Response (Continuing Last Event)\r\n");
    ASSERT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(dialog.shown[0].title, "--Trapped Error--");
    EXPECT_EQ(dialog.shown[0].text, kText91);
}

TEST_F(TrapTest, AnswerDecidesResultAndResponseRecord) {
    struct Case {
        int answer;
        std::int16_t result;
        std::string response;  // the third record, if any
    };
    const Case cases[] = {
        {3, 3, "[ ERROR ]  {Error Subsystem} ErrorHandel Response (Aborted by User)\r\n"},
        {4, 4, "[ ERROR ]  {Error Subsystem} ErrorHandel Response (Retry Last Event)\r\n"},
        {5, 5, "[ ERROR ]  {Error Subsystem} ErrorHandel Response (Continuing Last Event)\r\n"},
        {1, 0, ""},  // OK
        {2, 0, ""},  // Cancel
        {6, 0, ""},  // Yes
        {0, 0, ""},
        {-1, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        const std::string before = trapRecords();
        ScriptedDialog dialog({c.answer}, kStrict);
        EXPECT_EQ(ErrorHandel(dialog, "renderInit()", "source", 91, "description", false),
                  c.result);
        EXPECT_EQ(trapRecords(), before + kEngaged + kInfo91 + c.response);
        EXPECT_EQ(dialog.shown.size(), 1u);
    }
}

TEST_F(TrapTest, RaiseThatDoesNotRaiseReturns10WithoutDialog) {
    ScriptedDialog dialog({}, kStrict);
    const TrapRaiser quiet = [](std::int16_t, std::string_view, std::string_view) {};
    EXPECT_EQ(ErrorHandel(dialog, "renderInit()", "source", 91, "description", false, quiet),
              kTrapPassedRaise);
    EXPECT_EQ(trapRecords(), std::string(kEngaged) +
                                 "[ ERROR ]  {Error Subsystem}  ErrorHandel Passed Err.Raise!\r\n");
    EXPECT_TRUE(dialog.shown.empty());
}

TEST(RaiseRuntimeError, ThrowsTheGivenError) {
    try {
        raiseRuntimeError(-91, "cRender", "Object variable not set");
        FAIL() << "nothing was thrown";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), -91);
        EXPECT_EQ(e.source(), "cRender");
        EXPECT_EQ(e.description(), "Object variable not set");
    }
}

TEST_F(TrapTest, DialogTextAndInfoRecordShowNumberSourcePlaceAndDescription) {
    struct Case {
        std::int16_t number;
        std::string description;
        std::string text;
        std::string info;
    };
    const Case cases[] = {
        {91, "Object variable or With block variable not set",
         "---ERROR---\r\nNumber: 91\r\nSource: Kestro : renderInit()\r\n"
         "Object variable or With block variable not set\r\n\r\n"
         "Please select the course of action",
         "(Kestro : renderInit(),91,Object variable or With block variable not set)"},
        // An empty description leaves the fourth line empty and the comma before ")".
        {380, "",
         "---ERROR---\r\nNumber: 380\r\nSource: Kestro : renderInit()\r\n\r\n\r\n"
         "Please select the course of action",
         "(Kestro : renderInit(),380,)"},
        {-5, "negative",
         "---ERROR---\r\nNumber: -5\r\nSource: Kestro : renderInit()\r\nnegative\r\n\r\n"
         "Please select the course of action",
         "(Kestro : renderInit(),-5,negative)"},
        {-32768, "lowest",
         "---ERROR---\r\nNumber: -32768\r\nSource: Kestro : renderInit()\r\nlowest\r\n\r\n"
         "Please select the course of action",
         "(Kestro : renderInit(),-32768,lowest)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        const std::string before = trapRecords();
        ScriptedDialog dialog({0}, kStrict);
        ErrorHandel(dialog, "renderInit()", "Kestro", c.number, c.description, false);
        ASSERT_EQ(dialog.shown.size(), 1u);
        EXPECT_EQ(dialog.shown[0].title, "--Trapped Error--");
        EXPECT_EQ(dialog.shown[0].text, c.text);
        EXPECT_EQ(
            trapRecords(),
            before + kEngaged + "[WARNING]  {Error Subsystem} ErrorHandel Info " + c.info + "\r\n");
    }
}

TEST_F(TrapTest, TrapFlagIsEchoedInTheEngagedRecord) {
    ScriptedDialog dialog({0}, kStrict);
    ErrorHandel(dialog, "renderStart()", "source", 91, "description", true);
    EXPECT_EQ(trapRecords().substr(0, trapRecords().find("\r\n")),
              "[WARNING]  {Error Subsystem} ErrorHandel Engaged (renderStart(),True)");
}

TEST_F(TrapTest, ThresholdThreeKeepsOnlyTheResponse) {
    ASSERT_TRUE(errorLogFile(true, "", 0, 3, false));
    ScriptedDialog dialog({kAnswerRetry}, kStrict);
    EXPECT_EQ(ErrorHandel(dialog, "renderInit()", "source", 91, "description", false),
              kAnswerRetry);
    EXPECT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(trapRecords(),
              "[ ERROR ]  {Error Subsystem} ErrorHandel Response (Retry Last Event)\r\n");
}

TEST_F(TrapTest, ClosedLogStillShowsTheDialog) {
    closeAsShutDown();
    const std::string closed = logText();
    ScriptedDialog dialog({kAnswerAbort}, kStrict);
    EXPECT_EQ(ErrorHandel(dialog, "renderInit()", "source", 91, "description", false),
              kAnswerAbort);
    EXPECT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(logText(), closed);
}

TEST_F(TrapTest, FailingDialogPassesItsErrorToTheCaller) {
    struct BrokenDialog : TrapDialog {
        int ask(const std::string&, const std::string&) override {
            throw RuntimeError(7, "dialog", "Out of memory");
        }
    } dialog;
    try {
        ErrorHandel(dialog, "renderInit()", "source", 91, "description", false);
        FAIL() << "nothing was thrown";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 7);
    }
    EXPECT_EQ(trapRecords(), std::string(kEngaged) + kInfo91);
}

// An operation of three steps whose middle one fails while `failures` is above zero.
struct Operation {
    int failures = 0;
    std::int32_t number = 91;
    std::vector<int> runs = std::vector<int>(3, 0);

    std::vector<std::function<void()>> steps() {
        return {[this] { ++runs[0]; },
                [this] {
                    ++runs[1];
                    if (failures != 0) {
                        --failures;
                        throw RuntimeError(number, "source", "description");
                    }
                },
                [this] { ++runs[2]; }};
    }
};

TEST_F(TrapTest, RunTrappedRetriesThenIgnores) {
    Operation op{.failures = -1};  // fails for good
    ScriptedDialog dialog({kAnswerRetry, kAnswerRetry, kAnswerIgnore}, kStrict);
    const auto steps = op.steps();
    EXPECT_TRUE(runTrapped(dialog, "renderInit()", steps));
    EXPECT_EQ(op.runs, (std::vector<int>{1, 3, 1}));  // retried exactly twice, then moved on
    ASSERT_EQ(dialog.shown.size(), 3u);
    for (const auto& shown : dialog.shown) {
        EXPECT_EQ(shown.text, kText91);
    }
    const std::string retry =
        "[ ERROR ]  {Error Subsystem} ErrorHandel Response (Retry Last Event)\r\n";
    EXPECT_EQ(trapRecords(),
              std::string(kEngaged) + kInfo91 + retry + kEngaged + kInfo91 + retry + kEngaged +
                  kInfo91 +
                  "[ ERROR ]  {Error Subsystem} ErrorHandel Response (Continuing Last Event)\r\n");
}

TEST_F(TrapTest, RunTrappedRetrySucceedsOnceTheCauseIsGone) {
    Operation op{.failures = 2};
    ScriptedDialog dialog({kAnswerRetry, kAnswerRetry}, kStrict);
    const auto steps = op.steps();
    EXPECT_TRUE(runTrapped(dialog, "renderInit()", steps));
    EXPECT_EQ(op.runs, (std::vector<int>{1, 3, 1}));
    EXPECT_EQ(dialog.shown.size(), 2u);
}

TEST_F(TrapTest, RunTrappedLeavesOnAbortOrAnyOtherAnswer) {
    for (const int answer : {int{kAnswerAbort}, 0, 1, 2}) {
        SCOPED_TRACE(answer);
        Operation op{.failures = -1};
        ScriptedDialog dialog({answer}, kStrict);
        const auto steps = op.steps();
        bool passed = true;
        EXPECT_NO_THROW(passed = runTrapped(dialog, "renderInit()", steps));
        EXPECT_FALSE(passed);
        EXPECT_EQ(op.runs, (std::vector<int>{1, 1, 0}));
        EXPECT_EQ(dialog.shown.size(), 1u);
    }
}

TEST_F(TrapTest, RunTrappedWithoutErrorsAsksNothing) {
    Operation op;
    ScriptedDialog dialog({}, kStrict);
    const auto steps = op.steps();
    EXPECT_TRUE(runTrapped(dialog, "renderInit()", steps));
    EXPECT_EQ(op.runs, (std::vector<int>{1, 1, 1}));
    EXPECT_TRUE(runTrapped(dialog, "renderInit()", {}));
    EXPECT_TRUE(dialog.shown.empty());
    EXPECT_EQ(trapRecords(), "");
}

TEST_F(TrapTest, RunTrappedPassesOnErrorsItCannotPutToTheTrap) {
    // Numbers beyond 16 bits cannot be shown by the trap and leave unchanged.
    for (const std::int32_t number : {32768, -32769, 70000}) {
        SCOPED_TRACE(number);
        Operation op{.failures = 1, .number = number};
        ScriptedDialog dialog({}, kStrict);
        const auto steps = op.steps();
        try {
            runTrapped(dialog, "renderInit()", steps);
            ADD_FAILURE() << "nothing was thrown";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), number);
        }
        EXPECT_EQ(op.runs, (std::vector<int>{1, 1, 0}));
        EXPECT_TRUE(dialog.shown.empty());
    }
    EXPECT_EQ(trapRecords(), "");
    // The edges of the 16-bit range still reach the trap.
    for (const std::int32_t number : {32767, -32768}) {
        SCOPED_TRACE(number);
        Operation op{.failures = 1, .number = number};
        ScriptedDialog dialog({kAnswerIgnore}, kStrict);
        const auto steps = op.steps();
        EXPECT_TRUE(runTrapped(dialog, "renderInit()", steps));
        ASSERT_EQ(dialog.shown.size(), 1u);
        EXPECT_THAT(dialog.shown[0].text, HasSubstr("Number: " + std::to_string(number) + "\r\n"));
    }
    // Anything that is not a run-time error is not the trap's business.
    const std::function<void()> broken[] = {[] { throw std::logic_error("bug"); }};
    ScriptedDialog dialog({}, kStrict);
    const std::string before = trapRecords();
    EXPECT_THROW(runTrapped(dialog, "renderInit()", broken), std::logic_error);
    EXPECT_TRUE(dialog.shown.empty());
    EXPECT_EQ(trapRecords(), before);
}

}  // namespace
}  // namespace kestro::test
