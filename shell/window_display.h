#pragma once
// How the game shows things in the window: the three setting labels, the score box and the
// OK-only message box.

#include <cstdint>
#include <optional>
#include <string>

#include "game/display.h"
#include "shell/dialogs.h"

class QLabel;

namespace kestro::shell {

class PictureBox;

class WindowDisplay final : public GameDisplay {
  public:
    WindowDisplay(QLabel& label1, QLabel& label2, QLabel& label3, PictureBox& scoreDisp,
                  MessagePrompt& prompt)
        : label1_(label1),
          label2_(label2),
          label3_(label3),
          scoreDisp_(scoreDisp),
          prompt_(prompt) {}

    void setLabel(LabelId label, const std::string& caption) override;
    // Clears the score box and prints the score in decimal at its top left.
    void showScore(std::int32_t score) override;
    // Writes the score box as showScore does, unless it shows score already: the window calls
    // it wherever the score may change besides the score tick (a level built, a game loaded),
    // so that the box is never blank or stale.
    void showScoreIfStale(std::int32_t score);
    // The score the box shows; nothing while it is blank.
    std::optional<std::int32_t> shownScore() const { return shown_; }
    void showMessage(const std::string& text) override { prompt_.showMessage(text); }

  private:
    QLabel& label1_;
    QLabel& label2_;
    QLabel& label3_;
    PictureBox& scoreDisp_;
    MessagePrompt& prompt_;
    std::optional<std::int32_t> shown_;  // what the score box shows; nothing while it is blank
};

}  // namespace kestro::shell
