#pragma once
// Stand-ins for the window's message box and file dialogs.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "shell/dialogs.h"

namespace kestro::test {

// Keeps every message it was given.
class RecordingPrompt final : public shell::MessagePrompt {
  public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

// Answers the dialog from a queue (nothing: cancelled) and notes the folders it was offered.
class ScriptedFileDialog final : public shell::FileDialog {
  public:
    std::function<void()> during;  // runs while the dialog is "open"
    std::optional<std::string> askSavePath(const std::string& folder) override {
        return next("save", folder);
    }
    std::optional<std::string> askOpenPath(const std::string& folder) override {
        return next("open", folder);
    }
    std::deque<std::optional<std::string>> answers;
    std::vector<std::string> asked;  // "save <folder>" or "open <folder>"

  private:
    std::optional<std::string> next(const std::string& kind, const std::string& folder) {
        asked.push_back(kind + " " + folder);
        if (during) {
            during();
        }
        if (answers.empty()) {
            ADD_FAILURE() << "the dialog was not expected";
            return std::nullopt;
        }
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
};

}  // namespace kestro::test
