#include "shell/help_dialogs.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include "shell/app_info.h"
#include "shell/startup.h"

namespace kestro::shell {

namespace {

// What the items of the menu bar do, by "Menu > Item". An item the bar holds without a line here
// is listed with its keys alone.
struct ItemUse {
    std::string_view path;
    std::string_view use;
};

constexpr ItemUse kItemUses[] = {
    {"File > Save", "saves the game to a file (.egf)"},
    {"File > Open", "loads a saved game"},
    {"File > Resume Last Game",
     "loads the game kept when the window last closed, and goes on with its run"},
    {"File > Quit", "ends the game at once"},
    {"Game > New Game", "a new game from nothing, as Reset"},
    {"Game > Restart Level", "the level afresh, keeping the points carried, as Apply"},
    {"Game > Pause", "pauses and resumes the game, as the \"Pause\" check box does"},
    {"Game > Demo",
     "the computer plays the game from where it stands, with the pointer wall as you would; "
     "Esc, P, a click or Demo again hands it back. Its runs are never recorded"},
    {"Game > High Scores", "the ten best runs"},
    {"Settings > Pause When the Window Is Left",
     "when checked (it is at first), minimizing the window or turning to another window pauses "
     "the game"},
    {"Settings > Play Sounds",
     "the game's sounds: a bounce off a wall, a brighter ring off your own pointer wall, pushed "
     "and settling blocks, goals and markers collected, and a short tune when a level is "
     "completed or lost. On at first and remembered; with it off no sound device is opened"},
    {"Settings > Colours > Classic", "the game's own colours (the first choice)"},
    {"Settings > Colours > High Contrast",
     "light ball on dark blocks, white walls on black, goals and markers apart in lightness, "
     "and your pointer's wall marked"},
    {"Help > About", "the version, the licence and the homepage"},
    {"Help > Help", "this text"},
};

std::string_view useOf(const std::string& path) {
    for (const ItemUse& u : kItemUses) {
        if (u.path == path) {
            return u.use;
        }
    }
    return {};
}

std::string itemLine(const MenuItem& item) {
    const std::string path = item.menu + " > " + item.item;
    std::string line = path;
    if (!item.keys.empty()) {
        line += " (";
        for (std::size_t i = 0; i < item.keys.size(); ++i) {
            line += (i == 0 ? "" : " or ") + item.keys[i];
        }
        line += ")";
    }
    if (const std::string_view use = useOf(path); !use.empty()) {
        line += ": ";
        line += use;
    }
    return line + ".\n";
}

}  // namespace

std::string aboutText() {
    return std::string(kBanner) + "\nBuild " + std::string(buildVersion()) +
           "\n\nA ball bounces around a walled field, and a wall that follows your pointer is all "
           "you steer it with.\n\nLicence: " +
           std::string(licence()) +
           " (the LICENSE file that comes with the game)\nHomepage: " + std::string(homepage());
}

std::string plainCaption(std::string_view caption) {
    std::string plain;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                plain += '&';
                ++i;
            }
            continue;
        }
        plain += caption[i];
    }
    return plain;
}

std::string helpText(const std::vector<MenuItem>& items) {
    std::string text =
        "The blue ball moves diagonally, one cell at a time, and bounces off the black walls. "
        "It pushes the blue blocks: a block with room behind it moves on, a block pushed against "
        "a wall or another block turns into a wall.\n\n"
        "You steer with the pointer wall: move the pointer over the playfield and a wall follows "
        "it into the cell under the pointer, when that cell is empty. Moving the pointer off a "
        "cell lifts the wall there, so there is only ever one pointer wall. The ball bounces off "
        "it as off any wall:\n"
        "- A wall beside the ball turns it: the ball runs on along the wall with its step "
        "across the wall reversed. Walls on both sides send it straight back.\n"
        "- A wall straight ahead, with both sides free, does not send the ball back the way it "
        "came: it jumps to a free cell diagonally next to it, the first free one of down-right, "
        "up-right, down-left and up-left, whichever way it came. So it mostly turns aside, and "
        "goes back only when that is the first free way; with none free it breaks through the "
        "wall ahead.\n\n"
        "Steer the ball onto the four green goals in the corners. When none is left, the level "
        "is complete: the score left over is carried into the next level, and a banner over the "
        "playfield says how many points are carried. Red markers are wiped out when the ball "
        "runs over them.\n\n"
        "The score: each level starts with a bonus, bigger the higher the level and the top "
        "speed, on top of the points carried from the levels completed before. The score counts "
        "down while the ball runs, more slowly the faster the ball is, and the ball speeds up "
        "towards its top speed. When the score reaches zero the level is lost and starts again "
        "from nothing: the points carried are gone.\n\n"
        "The sliders set the top speed, the acceleration and the level. They take effect with "
        "Apply, a new level that keeps the points carried, or with Reset, a new level from "
        "nothing, and at the next level.\n\n"
        "\"Pause\" stops the ball and the score; the pointer wall and the sliders work all the "
        "same. The game starts paused: clear it to play.\n\n"
        "High scores: a run is the levels played from a level begun on nothing (at start-up, "
        "New Game, after a loss) through its completions and Restart Level, until a loss, New "
        "Game, a load or the end of the game. Its points are the most points it carried out of "
        "a completed level. When a run with points among the ten best ends, the game asks your "
        "name and shows the table; a run begun from a saved game is marked so. The table is "
        "kept in $XDG_DATA_HOME/kestro/scores (~/.local/share/kestro/scores). Closing the "
        "window keeps the game in $XDG_STATE_HOME/kestro/last.egf (~/.local/state/kestro) and "
        "its run under the last name; File > Resume Last Game goes on with both.\n\n"
        "A saved game opened from the file manager, or named on the command line (kestro FILE), "
        "starts the game with it. Preferences are kept in $XDG_CONFIG_HOME/kestro/kestro.conf "
        "(~/.config/kestro/kestro.conf when XDG_CONFIG_HOME is not set); the sliders start at "
        "1, 5 and 300 at every start.\n\n"
        "The menus and their keys:\n";
    for (const MenuItem& item : items) {
        text += itemLine(item);
    }
    return text;
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
