#pragma once
// How the game shows things in the window: the three setting labels, the score box and the
// OK-only message box.

#include <cstdint>
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
    void showMessage(const std::string& text) override { prompt_.showMessage(text); }

  private:
    QLabel& label1_;
    QLabel& label2_;
    QLabel& label3_;
    PictureBox& scoreDisp_;
    MessagePrompt& prompt_;
};

}  // namespace kestro::shell
