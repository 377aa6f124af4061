#pragma once
// Stand-ins for the error trap's Abort / Retry / Ignore box.

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "diag/error_trap.h"

namespace kestro::test {

// Answers the trap's questions from a script and keeps what it was shown. Once the script has
// run out it answers Abort, or, when every question was meant to be scripted, fails the test.
class ScriptedDialog final : public TrapDialog {
  public:
    enum class OnceOut { abort, fail };

    explicit ScriptedDialog(std::deque<int> answers = {}, OnceOut onceOut = OnceOut::abort)
        : answers_(std::move(answers)), onceOut_(onceOut) {}

    int ask(const std::string& title, const std::string& text) override {
        shown.push_back({title, text});
        if (answers_.empty()) {
            if (onceOut_ == OnceOut::fail) {
                ADD_FAILURE() << "the dialog was asked more often than scripted";
                return 0;
            }
            return kAnswerAbort;
        }
        const int answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

    struct Shown {
        std::string title;
        std::string text;
    };
    std::vector<Shown> shown;

  private:
    std::deque<int> answers_;
    OnceOut onceOut_;
};

// Answers every question with Ignore and counts them.
class ScriptedTrap final : public TrapDialog {
  public:
    int ask(const std::string&, const std::string&) override {
        ++asked;
        return kAnswerIgnore;
    }
    int asked = 0;
};

}  // namespace kestro::test
