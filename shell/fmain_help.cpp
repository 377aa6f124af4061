// fMain's Help menu: the About box and how to play.

#include <string>

#include <QKeySequence>

#include "shell/fmain.h"
#include "shell/help_dialogs.h"

namespace kestro::shell {

namespace {

std::string keyName(const QAction& action) {
    return action.shortcut().toString(QKeySequence::NativeText).toStdString();
}

}  // namespace

void fMain::About_Click() {
    showInfo(kAboutTitle, aboutText());
}

void fMain::Help2_Click() {
    showInfo(kHelpTitle, helpText({keyName(controls_.mnuSave), keyName(controls_.mnuOpen),
                                   keyName(controls_.mnuQuit), keyName(controls_.Help2)}));
}

void fMain::showInfo(const std::string& title, const std::string& text) {
    holdGame([&] { infoPrompt_->showInfo(title, text); });
}

}  // namespace kestro::shell
