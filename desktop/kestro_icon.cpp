// kestro-icon: draws the game's icon, once as SVG and once as PNG in each size of the icon
// theme, from the one description below: a black wall frame around the playfield, a green goal
// in each corner, the blue ball and the black pointer wall in its way.
//
//   kestro-icon FOLDER SIZE...   writes FOLDER/kestro.svg and FOLDER/kestro-SIZE.png for each
//                                SIZE (pixels, 1 to 1024)
//
// Exit status 0 on success, 1 when a file cannot be written, 2 on usage errors.

#include <cstdio>
#include <string>
#include <vector>

#include <QColor>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>

namespace {

// The icon is drawn on a square of this many units.
constexpr double kCanvas = 256.0;

struct Shape {
    enum class Kind { Box, Disc };
    Kind kind;
    double x, y, w, h;  // the box, or the disc's bounding square
    double corner;      // corner radius of a box
    const char* colour;
};

// Later shapes are drawn over earlier ones.
const std::vector<Shape>& shapes() {
    static const std::vector<Shape> all = {
        {Shape::Kind::Box, 8, 8, 240, 240, 28, "#000000"},    // the wall frame
        {Shape::Kind::Box, 36, 36, 184, 184, 6, "#f4f1e8"},   // the playfield
        {Shape::Kind::Disc, 44, 44, 40, 40, 0, "#00c000"},    // the goals
        {Shape::Kind::Disc, 172, 44, 40, 40, 0, "#00c000"},   //
        {Shape::Kind::Disc, 44, 172, 40, 40, 0, "#00c000"},   //
        {Shape::Kind::Disc, 172, 172, 40, 40, 0, "#00c000"},  //
        {Shape::Kind::Box, 150, 78, 34, 34, 3, "#000000"},    // the pointer wall
        {Shape::Kind::Disc, 96, 108, 60, 60, 0, "#0000ff"},   // the ball
    };
    return all;
}

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

std::string svg() {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
        number(kCanvas) + "\" height=\"" + number(kCanvas) + "\" viewBox=\"0 0 " + number(kCanvas) +
        " " + number(kCanvas) + "\">\n";
    for (const Shape& s : shapes()) {
        if (s.kind == Shape::Kind::Box) {
            out += "  <rect x=\"" + number(s.x) + "\" y=\"" + number(s.y) + "\" width=\"" +
                   number(s.w) + "\" height=\"" + number(s.h) + "\" rx=\"" + number(s.corner) +
                   "\" fill=\"" + s.colour + "\"/>\n";
        } else {
            out += "  <ellipse cx=\"" + number(s.x + s.w / 2) + "\" cy=\"" + number(s.y + s.h / 2) +
                   "\" rx=\"" + number(s.w / 2) + "\" ry=\"" + number(s.h / 2) + "\" fill=\"" +
                   s.colour + "\"/>\n";
        }
    }
    return out + "</svg>\n";
}

QImage png(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.scale(size / kCanvas, size / kCanvas);
    for (const Shape& s : shapes()) {
        painter.setBrush(QColor(QString::fromLatin1(s.colour)));
        const QRectF box(s.x, s.y, s.w, s.h);
        if (s.kind == Shape::Kind::Box) {
            painter.drawRoundedRect(box, s.corner, s.corner);
        } else {
            painter.drawEllipse(box);
        }
    }
    return image;
}

bool writeText(const QString& path, const std::string& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(text.data(), static_cast<qint64>(text.size())) ==
               static_cast<qint64>(text.size()) &&
           file.flush();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i) {
        const int size = QString::fromLocal8Bit(argv[i]).toInt();
        if (size < 1 || size > 1024) {
            sizes.clear();
            break;
        }
        sizes.push_back(size);
    }
    if (sizes.empty()) {
        std::fprintf(stderr, "Usage: kestro-icon FOLDER SIZE...\n");
        return 2;
    }
    const QString folder = QFile::decodeName(argv[1]);
    if (!writeText(folder + QStringLiteral("/kestro.svg"), svg())) {
        std::fprintf(stderr, "kestro-icon: cannot write %s/kestro.svg\n", argv[1]);
        return 1;
    }
    for (const int size : sizes) {
        const QString path = folder + QStringLiteral("/kestro-%1.png").arg(size);
        if (!png(size).save(path, "PNG")) {
            std::fprintf(stderr, "kestro-icon: cannot write %s\n", path.toLocal8Bit().constData());
            return 1;
        }
    }
    return 0;
}
