#include "shell/help_dialogs.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include "shell/app_info.h"
#include "shell/startup.h"

namespace kestro::shell {

std::string aboutText() {
    return std::string(kBanner) + "\nBuild " + std::string(buildVersion()) +
           "\n\nA ball bounces around a walled field, and a wall that follows your pointer is all "
           "you steer it with.";
}

std::string helpText(const MenuKeys& keys) {
    const auto key = [](const std::string& name) {
        return name.empty() ? std::string() : " (" + name + ")";
    };
    return "The blue ball moves diagonally, one cell at a time, and bounces off the black walls. "
           "It pushes the blue blocks; a block pushed against a wall or another block turns into "
           "a wall.\n\n"
           "You steer with the pointer wall: move the pointer over the playfield and a wall "
           "follows it. Put it in the ball's way to turn the ball.\n\n"
           "Steer the ball onto the four green goals in the corners. When none is left, the "
           "level is complete: the score left over is kept and the next level begins. Red "
           "markers are wiped out when the ball runs over them.\n\n"
           "The score counts down while the ball runs, more slowly the faster the ball is, and "
           "the ball speeds up towards its top speed. When the score reaches zero the level is "
           "lost and starts again from nothing.\n\n"
           "The sliders set the top speed, the acceleration and the level. They take effect "
           "with Apply, a new level that keeps the score won so far, or with Reset, a new level "
           "from nothing.\n\n"
           "\"Pause\" stops the ball and the score. The game starts paused: clear it to play.\n\n"
           "File > Save" +
           key(keys.save) + " saves the game to a file (.egf), File > Open" + key(keys.open) +
           " loads a saved game, File > Quit" + key(keys.quit) +
           " ends the game. A saved game opened from the file manager, or named on the command "
           "line (kestro FILE), starts the game with it. Help" +
           key(keys.help) + " shows this text.";
}

void QtInfoPrompt::showInfo(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title),
                    QString::fromStdString(text), QMessageBox::Ok, parent_);
    box.setTextFormat(Qt::PlainText);
    const QIcon icon = QApplication::windowIcon();
    if (!icon.isNull()) {
        box.setIconPixmap(icon.pixmap(64, 64));
    }
    box.exec();
}

}  // namespace kestro::shell
