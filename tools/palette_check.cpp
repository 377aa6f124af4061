// kestro-palette-check: how the palettes read with each kind of colour vision.
//
//   kestro-palette-check [--background RRGGBB]
//       For each palette, the WCAG contrast ratios of the pairs that must be told apart (ball and
//       blocks, goal and marker, walls and background, and the pointer's wall and the other
//       walls where the palette marks it), as seen normally and with protanopia, deuteranopia
//       and tritanopia simulated. The classic palette is drawn on the desktop's window colour,
//       taken as --background (default efefef, the window colour of Qt's own style).
//   kestro-palette-check simulate VISION IN.png OUT.png
//       The picture IN.png as seen with VISION (normal, protanopia, deuteranopia, tritanopia).
//
// Errors are one line on stderr and exit status 1.

#include <cstdint>
#include <cstdio>
#include <exception>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <QImage>
#include <QString>

#include "game/tiles.h"
#include "render/colour_check.h"
#include "render/palette.h"
#include "render/scene.h"

namespace {

using namespace kestro;

std::int32_t drawnTile(PaletteId id, std::int16_t code) {
    return paletteColour(id, *tileColour(code));
}

struct Pair {
    std::string name;
    std::int32_t a, b;
};

std::vector<Pair> pairsOf(PaletteId id, std::int32_t classicBackground) {
    std::vector<Pair> pairs = {
        {"ball/blocks", drawnTile(id, tileBall), drawnTile(id, tileBlock)},
        {"goal/marker", drawnTile(id, tileGoal), drawnTile(id, tileMarker)},
        {"walls/background", drawnTile(id, tileWall),
         paletteBackground(id).value_or(classicBackground)},
    };
    if (const auto pointer = palettePointerWall(id)) {
        pairs.push_back({"pointer/walls", *pointer, drawnTile(id, tileWall)});
    }
    return pairs;
}

std::string hex(std::int32_t colour) {
    const Rgb8 c = rgbOfColour(colour);
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", c.r, c.g, c.b);
    return text;
}

std::string fixed2(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    return text;
}

std::string padded(std::string text, std::size_t width) {
    text.resize(std::max(width, text.size()), ' ');
    return text;
}

int report(std::int32_t classicBackground) {
    for (const PaletteId id : allPalettes()) {
        std::cout << "palette " << paletteName(id) << "\n";
        std::string head = padded("  pair", 20) + padded("colours", 16);
        for (const Vision v : allVisions()) {
            head += padded(std::string(visionName(v)), 14);
        }
        while (!head.empty() && head.back() == ' ') {
            head.pop_back();
        }
        std::cout << head << "\n";
        for (const Pair& p : pairsOf(id, classicBackground)) {
            std::string line = padded("  " + p.name, 20) + padded(hex(p.a) + "/" + hex(p.b), 16);
            for (const Vision v : allVisions()) {
                const double ratio =
                    contrastRatio(simulate(v, rgbOfColour(p.a)), simulate(v, rgbOfColour(p.b)));
                line += padded(fixed2(ratio), 14);
            }
            while (!line.empty() && line.back() == ' ') {
                line.pop_back();
            }
            std::cout << line << "\n";
        }
    }
    std::cout.flush();
    if (!std::cout) {
        throw std::runtime_error("cannot write the report");
    }
    return 0;
}

std::optional<Vision> visionNamed(std::string_view name) {
    for (const Vision v : allVisions()) {
        if (visionName(v) == name) {
            return v;
        }
    }
    return std::nullopt;
}

int simulatePicture(const std::string& visionText, const std::string& in, const std::string& out) {
    const auto vision = visionNamed(visionText);
    if (!vision) {
        throw std::runtime_error(
            "simulate: the vision must be normal, protanopia, deuteranopia or tritanopia, not '" +
            visionText + "'");
    }
    QImage image;
    if (!image.load(QString::fromStdString(in))) {
        throw std::runtime_error("simulate: cannot read '" + in + "' as a picture");
    }
    image = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const Rgb8 seen = simulate(*vision, Rgb8{static_cast<std::uint8_t>(qRed(row[x])),
                                                     static_cast<std::uint8_t>(qGreen(row[x])),
                                                     static_cast<std::uint8_t>(qBlue(row[x]))});
            row[x] = qRgb(seen.r, seen.g, seen.b);
        }
    }
    if (!image.save(QString::fromStdString(out), "PNG")) {
        throw std::runtime_error("simulate: cannot write '" + out + "'");
    }
    return 0;
}

std::int32_t backgroundOf(const std::string& text) {
    if (text.size() == 6 && text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos) {
        const unsigned long v = std::stoul(text, nullptr, 16);
        return colourOf(static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                        static_cast<int>(v & 0xFF));
    }
    throw std::runtime_error("--background needs six hex digits RRGGBB, not '" + text + "'");
}

int run(const std::vector<std::string>& args) {
    if (args.empty()) {
        return report(colourOf(0xef, 0xef, 0xef));
    }
    if (args.size() == 2 && args[0] == "--background") {
        return report(backgroundOf(args[1]));
    }
    if (args.size() == 4 && args[0] == "simulate") {
        return simulatePicture(args[1], args[2], args[3]);
    }
    throw std::runtime_error(
        "usage: kestro-palette-check [--background RRGGBB] | simulate VISION IN.png OUT.png");
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::cerr << "kestro-palette-check: " << e.what() << "\n";
        return 1;
    }
}
