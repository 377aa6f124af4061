#pragma once
// The GUI application that text drawing needs, created once for the test program on the
// off-screen platform unless another platform was asked for.

#include <QCoreApplication>
#include <QGuiApplication>

namespace kestro::test {

inline void ensureGuiApplication() {
    if (QCoreApplication::instance() != nullptr) {
        return;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "render-tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

}  // namespace kestro::test
