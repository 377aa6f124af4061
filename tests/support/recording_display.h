#pragma once
// A game display that keeps the captions, scores and messages the game showed.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "game/display.h"

namespace kestro::test {

class RecordingDisplay final : public GameDisplay {
  public:
    void setLabel(LabelId label, const std::string& caption) override { labels[label] = caption; }
    void showScore(std::int32_t score) override { scores.push_back(score); }
    void showMessage(const std::string& text) override {
        messages.push_back(text);
        if (whileOpen) {
            whileOpen();
        }
    }

    std::map<LabelId, std::string> labels;
    std::vector<std::int32_t> scores;
    std::vector<std::string> messages;
    std::function<void()> whileOpen;  // runs while a message is "open"
};

}  // namespace kestro::test
