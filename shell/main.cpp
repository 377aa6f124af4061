// Kestro: the game's window. Start-up runs the game until the window is closed.
//
//   kestro [SAVED-GAME]   starts the game, with the saved game loaded as File > Open loads it
//   kestro --help         the usage, on standard output
//   kestro --version      the version, on standard output

#include <cstdio>
#include <string>
#include <variant>

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QSocketNotifier>

#include "common/runtime_error.h"
#include "shell/app_info.h"
#include "shell/close_signals.h"
#include "shell/command_line.h"
#include "shell/fatal.h"
#include "shell/fmain.h"
#include "shell/preferences.h"
#include "shell/qt_dialogs.h"

namespace {

// Writes text on standard output; a lost write (a full disk, a closed stream) is reported.
int printInfo(const std::string& text) {
    if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0) {
        std::perror("kestro: standard output");
        return 1;
    }
    return 0;
}

// Runs the game until the window has closed; the exit status.
int runGame(const kestro::shell::CommandLine& commandLine, char* programName,
            const kestro::shell::CloseSignals& closeSignals) {
    // Qt is given only the program's name: the command line is the game's own, and Qt's
    // settings come through its environment variables (QT_QPA_PLATFORM, QT_SCALE_FACTOR, ...).
    kestro::shell::keepQtSettingsOutOfTheUsersConfig();
    int qtArgc = 1;
    char* qtArgv[] = {programName, nullptr};
    QApplication app(qtArgc, qtArgv);

    // The title of the game's message boxes. No display name is set: the platform would add it
    // to the window's title.
    QApplication::setApplicationName(QStringLiteral("Kestro"));
    const QString id = QString::fromUtf8(kestro::shell::appId());
    QApplication::setApplicationVersion(QString::fromUtf8(kestro::shell::buildVersion()));
    // The desktop finds the window's entry and icon by the application id.
    QGuiApplication::setDesktopFileName(id);

    kestro::shell::QtTrapDialog trap;
    kestro::shell::QtMessagePrompt prompt;
    try {
        kestro::shell::fMain window(trap, prompt);
        // Looking the icon up in the theme takes a few milliseconds: the first level comes first.
        window.setAfterStartUp([id] { QApplication::setWindowIcon(QIcon::fromTheme(id)); });
        const auto closeOnSignal = closeSignals.watch([&window] { window.requestClose(); });
        if (commandLine.savedGame) {
            window.setStartupFile(*commandLine.savedGame);
        }
        window.Form_Load();
    } catch (const kestro::RuntimeError& e) {
        // A run-time error that nothing handles ends the program with its message.
        kestro::shell::reportFatalError(e, prompt);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Read before anything of Qt starts, so that --help and --version need no display.
    const auto commandLine = kestro::shell::parseCommandLine(argc, argv);
    if (const auto* info = std::get_if<kestro::shell::CommandLineInfo>(&commandLine)) {
        return printInfo(info->text);
    }
    if (const auto* error = std::get_if<kestro::shell::CommandLineError>(&commandLine)) {
        std::fprintf(stderr, "%s\n", error->text.c_str());
        return 2;
    }

    int status = 0;
    int signal = 0;
    try {
        kestro::shell::CloseSignals closeSignals;
        status = runGame(std::get<kestro::shell::CommandLine>(commandLine), argv[0], closeSignals);
        signal = closeSignals.received();
    } catch (const kestro::RuntimeError& e) {
        std::fprintf(stderr, "%s\n", kestro::shell::runTimeErrorText(e).c_str());
        return 1;
    }
    // A game closed by a signal ends as the signal would have ended it.
    if (signal != 0 && status == 0) {
        kestro::shell::endBySignal(signal);
    }
    return status;
}
