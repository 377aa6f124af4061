#include "shell/window_display.h"

#include <QLabel>

#include "shell/accessibility.h"
#include "shell/picture_box.h"

namespace kestro::shell {

void WindowDisplay::setLabel(LabelId label, const std::string& caption) {
    QLabel* target = &label1_;
    switch (label) {
        case LabelId::Label1:
            target = &label1_;
            break;
        case LabelId::Label2:
            target = &label2_;
            break;
        case LabelId::Label3:
            target = &label3_;
            break;
    }
    target->setText(QString::fromStdString(caption));
}

void WindowDisplay::showScore(std::int32_t score) {
    ImageSurface& surface = scoreDisp_.surface();
    surface.cls();
    surface.print(std::to_string(score));
    surface.refresh();
    shown_ = score;
    scoreChanged(scoreDisp_);
}

void WindowDisplay::showScoreIfStale(std::int32_t score) {
    if (shown_ != score) {
        showScore(score);
    }
}

}  // namespace kestro::shell
