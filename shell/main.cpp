// Kestro: the game's window. Start-up runs the game until the window is closed.

#include <cstdio>
#include <string>

#include <QApplication>

#include "common/runtime_error.h"
#include "shell/fatal.h"
#include "shell/fmain.h"
#include "shell/qt_dialogs.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The title of the game's message boxes. No display name is set: the platform would add it
    // to the window's title.
    QApplication::setApplicationName(QStringLiteral("Kestro"));

    kestro::shell::QtTrapDialog trap;
    kestro::shell::QtMessagePrompt prompt;
    try {
        kestro::shell::fMain window(trap, prompt);
        window.Form_Load();
    } catch (const kestro::RuntimeError& e) {
        // A run-time error that nothing handles ends the program with its message.
        const std::string text = kestro::shell::runTimeErrorText(e);
        std::fprintf(stderr, "%s\n", text.c_str());
        prompt.showMessage(text);
        return 1;
    }
    return 0;
}
