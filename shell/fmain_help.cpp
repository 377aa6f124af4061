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

// The items of the menu bar as it is now, with the keys each item has now.
std::vector<MenuItem> menuItems(const QMenuBar& bar) {
    std::vector<MenuItem> items;
    for (const QAction* top : bar.actions()) {
        const QMenu* menu = top->menu();
        if (menu == nullptr) {
            continue;
        }
        const std::string menuName = plainCaption(top->text().toStdString());
        for (const QAction* action : menu->actions()) {
            if (action->isSeparator() || action->menu() != nullptr) {
                continue;
            }
            MenuItem item{menuName, plainCaption(action->text().toStdString()), {}};
            for (const QKeySequence& key : action->shortcuts()) {
                item.keys.push_back(key.toString(QKeySequence::NativeText).toStdString());
            }
            items.push_back(std::move(item));
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
