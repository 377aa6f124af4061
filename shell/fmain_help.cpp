// fMain's Help menu: the About box and how to play.

#include <string>
#include <vector>

#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "shell/fmain.h"
#include "shell/help_dialogs.h"

namespace kestro::shell {

namespace {

// The items of a menu (named by its path, "Settings > Colours" for a submenu) and its submenus,
// with the keys each item has now.
void addItems(const QMenu& menu, const std::string& path, std::vector<MenuItem>& items) {
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator()) {
            continue;
        }
        const std::string caption = plainCaption(action->text().toStdString());
        if (const QMenu* sub = action->menu()) {
            std::string subPath = path;
            subPath += " > ";
            subPath += caption;
            addItems(*sub, subPath, items);
            continue;
        }
        MenuItem item{path, caption, {}};
        for (const QKeySequence& key : action->shortcuts()) {
            item.keys.push_back(key.toString(QKeySequence::NativeText).toStdString());
        }
        items.push_back(std::move(item));
    }
}

// The items of the menu bar as it is now.
std::vector<MenuItem> menuItems(const QMenuBar& bar) {
    std::vector<MenuItem> items;
    for (const QAction* top : bar.actions()) {
        if (const QMenu* menu = top->menu()) {
            addItems(*menu, plainCaption(top->text().toStdString()), items);
        }
    }
    return items;
}

}  // namespace

void fMain::About_Click() {
    showInfo(kAboutTitle, aboutText());
}

void fMain::Help2_Click() {
    showInfo(kHelpTitle, helpText(menuItems(*menuBar())));
}

void fMain::showInfo(const std::string& title, const std::string& text) {
    holdGame([&] { infoPrompt_->showInfo(title, text); });
}

}  // namespace kestro::shell
