// Kestro: the game's window. Start-up runs the game until the window is closed.
//
//   kestro [SAVED-GAME]   starts the game, with the saved game loaded as File > Open loads it

#include <cstdio>
#include <string>
#include <variant>

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>

#include "common/runtime_error.h"
#include "shell/app_info.h"
#include "shell/command_line.h"
#include "shell/fatal.h"
#include "shell/fmain.h"
#include "shell/qt_dialogs.h"

int main(int argc, char** argv) {
    // Qt takes its own options (-platform, -style...) out of argc and argv.
    QApplication app(argc, argv);
    const auto commandLine = kestro::shell::parseCommandLine(argc, argv);
    if (const auto* usage = std::get_if<std::string>(&commandLine)) {
        std::fprintf(stderr, "%s\n", usage->c_str());
        return 2;
    }

    // The title of the game's message boxes. No display name is set: the platform would add it
    // to the window's title.
    QApplication::setApplicationName(QStringLiteral("Kestro"));
    const QString id = QString::fromUtf8(kestro::shell::appId());
    QApplication::setApplicationVersion(QString::fromUtf8(kestro::shell::buildVersion()));
    // The desktop finds the window's entry and icon by the application id.
    QGuiApplication::setDesktopFileName(id);
    QApplication::setWindowIcon(QIcon::fromTheme(id));

    kestro::shell::QtTrapDialog trap;
    kestro::shell::QtMessagePrompt prompt;
    try {
        kestro::shell::fMain window(trap, prompt);
        if (const auto& file = std::get<kestro::shell::CommandLine>(commandLine).savedGame) {
            window.setStartupFile(*file);
        }
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
