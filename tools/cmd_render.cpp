// kestro-sim render: one frame of a saved game's scene, drawn by the game's own renderer on an
// off-screen image and written as PNG.

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QMessageLogContext>
#include <QSize>
#include <QString>

#include "common/runtime_error.h"
#include "common/whole_file.h"
#include "diag/error_trap.h"
#include "game/game_state.h"
#include "game/playfield.h"
#include "game/slider.h"
#include "render/crender.h"
#include "render/entity.h"
#include "render/palette.h"
#include "render/pointer_mark.h"
#include "render/qt/image_surface.h"
#include "render/scene.h"
#include "savegame/apply.h"
#include "tools/cli.h"
#include "tools/commands.h"
#include "tools/game_io.h"
#include "tools/option_parser.h"

namespace kestro::sim {

namespace {

// The playfield at the window's design size: 8730 x 7879.65 twips at 15 twips per pixel.
constexpr std::int64_t kDefaultWidth = kDesignFieldWidth;
constexpr std::int64_t kDefaultHeight = kDesignFieldHeight;
constexpr std::int64_t kMaxSide = 8192;

struct RenderArgs {
    std::string in;
    std::string out;
    int width = static_cast<int>(kDefaultWidth);
    int height = static_cast<int>(kDefaultHeight);
    PaletteId palette = PaletteId::Classic;
};

RenderArgs renderArgs(const Args& args) {
    const ParsedArgs p =
        parseArgs(args, {"IN.egf", "OUT.png"}, {"--width", "--height", "--palette"});
    RenderArgs r;
    r.in = p.positional[0];
    r.out = p.positional[1];
    r.width = static_cast<int>(p.integer("--width", 1, kMaxSide, kDefaultWidth));
    r.height = static_cast<int>(p.integer("--height", 1, kMaxSide, kDefaultHeight));
    if (const auto name = p.text("--palette")) {
        const auto palette = paletteNamed(*name);
        if (!palette) {
            std::string names;
            for (const PaletteId id : allPalettes()) {
                names += (names.empty() ? "" : " or ") + std::string(paletteName(id));
            }
            throw CliError("--palette must be " + names + ", not '" + *name + "'");
        }
        r.palette = *palette;
    }
    return r;
}

// The trap's dialog without a player: every error aborts, and its text is kept for the report.
class AbortingDialog final : public TrapDialog {
  public:
    int ask(const std::string&, const std::string& text) override {
        text_ = text;
        return kAnswerAbort;
    }
    const std::string& text() const { return text_; }

  private:
    std::string text_;
};

// The GUI application the drawing needs; without a display the off-screen platform serves.
std::unique_ptr<QGuiApplication> guiApplication(int& argc, char** argv) {
    if (QCoreApplication::instance() != nullptr) {
        return nullptr;
    }
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    return std::make_unique<QGuiApplication>(argc, argv);
}

// Keeps the platform's notes (such as a missing runtime folder) off stderr while the command
// runs, so that stderr carries only the command's own error line. Critical messages still pass.
class QuietQt {
  public:
    QuietQt() : previous_(qInstallMessageHandler(&QuietQt::handle)) {}
    ~QuietQt() { qInstallMessageHandler(previous_); }
    QuietQt(const QuietQt&) = delete;
    QuietQt& operator=(const QuietQt&) = delete;

  private:
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::cerr << "kestro-sim: " << message.toStdString() << "\n";
        }
    }
    QtMessageHandler previous_;
};

std::string oneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return text;
}

}  // namespace

int cmdRender(const Args& args) {
    return run("render", [&] {
        const RenderArgs r = renderArgs(args);

        const savegame::DecodedGame loaded = loadDecoded(r.in);
        // Refused before Qt starts and the frame is drawn.
        refuseUnwritable(r.out);
        GameState s;
        StandardSliders sliders;
        savegame::applyDecodedGame(loaded, s, sliders.view());
        s.tileW = static_cast<float>(static_cast<double>(r.width) / kCols);
        s.tileH = static_cast<float>(static_cast<double>(r.height) / kRows);
        s.sceneReady = true;

        const QuietQt quiet;
        int argc = 1;
        char name[] = "kestro-sim";
        char* argv[] = {name, nullptr};
        const auto app = guiApplication(argc, argv);

        ImageSurface surface("Kestro", QSize(r.width, r.height));
        surface.setTag("true");
        surface.setPalette(r.palette);
        surface.setPointerWall([&s] { return pointerWallBox(s); });
        {
            AbortingDialog dialog;
            if (!drawSceneOnce(s, surface, dialog, [] { QCoreApplication::processEvents(); })) {
                throw CliError("the renderer could not be set up: " + oneLine(dialog.text()));
            }
        }

        // Encoded in memory, then written whole: a failing write leaves any earlier picture as
        // it was.
        QByteArray png;
        QBuffer buffer(&png);
        if (!buffer.open(QIODevice::WriteOnly) || !surface.image().save(&buffer, "PNG")) {
            throw CliError("cannot encode the picture as PNG");
        }
        if (const auto written = writeWholeFile(
                r.out, std::span(reinterpret_cast<const std::uint8_t*>(png.constData()),
                                 static_cast<std::size_t>(png.size())));
            !written) {
            throw CliError(written.error());
        }
        return 0;
    });
}

}  // namespace kestro::sim
