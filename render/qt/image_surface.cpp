#include "render/qt/image_surface.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QString>
#include <QStringList>

#include "common/rounding.h"
#include "common/runtime_error.h"
#include "game/tiles.h"
#include "render/scene.h"

namespace kestro {

namespace {

// Fonts are sized for 96 pixels per inch, the playfield's design resolution.
constexpr double kPixelsPerInch = 96.0;
constexpr int kDotsPerMeter = 3780;  // 96 dpi

// An inclusive run of pixels a..b of one row; empty when a > b.
struct Span {
    std::int64_t a = 0;
    std::int64_t b = -1;
    bool empty() const { return a > b; }
};

QImage blankImage(QSize size, const QColor& background, double ratio) {
    QImage image(size.expandedTo(QSize(0, 0)), QImage::Format_RGB32);
    if (!image.isNull()) {
        image.setDotsPerMeterX(kDotsPerMeter);
        image.setDotsPerMeterY(kDotsPerMeter);
        image.setDevicePixelRatio(ratio);
        image.fill(background);
    }
    return image;
}

QColor defaultBackground() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        return QGuiApplication::palette().color(QPalette::Window);
    }
    return QColor(Qt::white);
}

QFont defaultFont() {
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(8.25);
    return font;
}

// The font as drawn: its point size turned into pixels at 96 dpi times the device pixel ratio,
// no antialiasing.
QFont drawingFont(const QFont& font, double ratio) {
    QFont f = font;
    if (f.pointSizeF() > 0) {
        f.setPixelSize(std::max(1, nearest<int>(f.pointSizeF() * kPixelsPerInch / 72.0 * ratio)));
    }
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

// The pixels of an image for drawing one shape: the image's bits are taken once (which detaches
// an image shared with a copy once), and each row is reached from them directly.
// When the frame is limited to a region, only pixels inside one of its rectangles change.
class Pixels {
  public:
    explicit Pixels(QImage& image, const std::vector<QRect>& clip)
        : bits_(reinterpret_cast<QRgb*>(image.bits())),
          stride_(image.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb))),
          width_(image.width()),
          height_(image.height()),
          clip_(clip) {}

    std::int64_t width() const { return width_; }
    std::int64_t height() const { return height_; }

    // The pixel at x, y, which must lie on the image.
    QRgb at(std::int64_t x, std::int64_t y) const { return bits_[y * stride_ + x]; }

    // Sets the pixels a..b of row y, clipped to the image (and to the frame's region).
    void run(std::int64_t y, std::int64_t a, std::int64_t b, QRgb colour) {
        a = std::max<std::int64_t>(a, 0);
        b = std::min<std::int64_t>(b, width_ - 1);
        if (a > b || y < 0 || y >= height_) {
            return;
        }
        QRgb* row = bits_ + y * stride_;
        if (clip_.empty()) {
            std::fill(row + a, row + b + 1, colour);
            return;
        }
        for (const QRect& r : clip_) {
            if (y < r.top() || y > r.bottom()) {
                continue;
            }
            const std::int64_t left = std::max<std::int64_t>(a, r.left());
            const std::int64_t right = std::min<std::int64_t>(b, r.right());
            if (left <= right) {
                std::fill(row + left, row + right + 1, colour);
            }
        }
    }

  private:
    QRgb* bits_;
    std::int64_t stride_;
    std::int64_t width_;
    std::int64_t height_;
    const std::vector<QRect>& clip_;
};

// Whether the pixels left..right-1 by top..bottom-1 reach into the frame's region (always, while
// there is none).
bool reachesClip(const std::vector<QRect>& clip, std::int64_t left, std::int64_t top,
                 std::int64_t right, std::int64_t bottom) {
    if (clip.empty()) {
        return true;
    }
    return std::any_of(clip.begin(), clip.end(), [&](const QRect& r) {
        return left <= r.right() && right > r.left() && top <= r.bottom() && bottom > r.top();
    });
}

// Draws a shape given by its row spans over the rows top..bottom-1: pixels with a neighbour
// (left, right, above or below) outside the shape form the outline, the others the inside.
// Each row's span is worked out once, as the rows go by.
template <typename SpanOf>
void drawShape(QImage& image, const std::vector<QRect>& clip, std::int64_t top, std::int64_t bottom,
               SpanOf spanOf, QRgb pen, bool solid, QRgb fill) {
    const std::int64_t first = std::max<std::int64_t>(top, 0);
    const std::int64_t last = std::min<std::int64_t>(bottom - 1, image.height() - 1);
    if (first > last) {
        return;
    }
    Pixels pixels(image, clip);
    Span above = first > top ? spanOf(first - 1) : Span{};
    Span s = spanOf(first);
    for (std::int64_t y = first; y <= last; ++y) {
        const Span below = y < bottom - 1 ? spanOf(y + 1) : Span{};
        if (!s.empty()) {
            Span inside;
            if (!above.empty() && !below.empty()) {
                inside.a = std::max({s.a + 1, above.a, below.a});
                inside.b = std::min({s.b - 1, above.b, below.b});
            }
            if (inside.empty()) {
                pixels.run(y, s.a, s.b, pen);
            } else {
                pixels.run(y, s.a, inside.a - 1, pen);
                pixels.run(y, inside.b + 1, s.b, pen);
                if (solid) {
                    pixels.run(y, inside.a, inside.b, fill);
                }
            }
        }
        above = s;
        s = below;
    }
}

// floor(v) and ceil(v) as integers, for |v| below 2^52 (shapes stay far below): v truncated,
// then moved by one where truncation went the other way.
std::int64_t floorToInt(double v) {
    const auto t = static_cast<std::int64_t>(v);
    return static_cast<double>(t) > v ? t - 1 : t;
}
std::int64_t ceilToInt(double v) {
    const auto t = static_cast<std::int64_t>(v);
    return static_cast<double>(t) < v ? t + 1 : t;
}

// A box with left <= right and top <= bottom.
struct Box {
    std::int64_t left, top, right, bottom;
};

Box normalised(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    return Box{std::min(left, right), std::min(top, bottom), std::max(left, right),
               std::max(top, bottom)};
}

}  // namespace

QRgb ImageSurface::toRgb(std::int32_t colour) {
    if (colour < 0 || colour > 0xFFFFFF) {
        throw invalidPropertyValue();
    }
    const int red = colour & 0xFF;
    const int green = (colour >> 8) & 0xFF;
    const int blue = (colour >> 16) & 0xFF;
    return qRgb(red, green, blue);
}

QRgb ImageSurface::drawn(std::int32_t colour) const {
    toRgb(colour);
    return toRgb(paletteColour(palette_, colour));
}

QColor ImageSurface::shownBackColor() const {
    if (const auto background = paletteBackground(palette_)) {
        return QColor(toRgb(*background));
    }
    return backColor_;
}

ImageSurface::ImageSurface(std::string name, QSize size)
    : name_(std::move(name)), backColor_(defaultBackground()), font_(defaultFont()) {
    image_ = blankImage(size, backColor_, ratio_);
}

void ImageSurface::cls() {
    if (!image_.isNull()) {
        if (clipRects_.empty()) {
            image_.fill(shownBackColor());
        } else {
            // Row by row in the image's own pixels, whatever its pixel ratio.
            const QRgb background = shownBackColor().rgb();
            Pixels pixels(image_, clipRects_);
            for (const QRect& r : clipRects_) {
                for (int y = r.top(); y <= r.bottom(); ++y) {
                    pixels.run(y, r.left(), r.right(), background);
                }
            }
        }
    }
    currentX_ = 0.0f;
    currentY_ = 0.0f;
}

void ImageSurface::setForeColor(std::int32_t colour) {
    toRgb(colour);
    foreColor_ = colour;
}

void ImageSurface::setFillColor(std::int32_t colour) {
    toRgb(colour);
    fillColor_ = colour;
}

void ImageSurface::setFillStyle(int style) {
    if (style != 0 && style != 1) {
        throw invalidPropertyValue();
    }
    fillStyle_ = style;
}

void ImageSurface::moveTo(std::int32_t x, std::int32_t y) {
    pen_ = QPoint(x, y);
}

void ImageSurface::lineTo(std::int32_t x, std::int32_t y) {
    const std::int64_t x0 = pen_.x();
    const std::int64_t y0 = pen_.y();
    pen_ = QPoint(x, y);
    const std::int64_t dx = x - x0;
    const std::int64_t dy = y - y0;
    const std::int64_t adx = dx < 0 ? -dx : dx;
    const std::int64_t ady = dy < 0 ? -dy : dy;
    if ((adx == 0 && ady == 0) || image_.isNull()) {
        return;
    }
    // Step i = 0..n-1 along the major axis (the end point is left out); the minor coordinate is
    // the nearest pixel to the exact line, halves away from the start.
    const bool xMajor = adx >= ady;
    const std::int64_t n = xMajor ? adx : ady;
    const std::int64_t minorDelta = xMajor ? ady : adx;
    const std::int64_t majorStart = xMajor ? x0 : y0;
    const std::int64_t minorStart = xMajor ? y0 : x0;
    const std::int64_t majorSign = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const std::int64_t minorSign = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const std::int64_t majorLimit = (xMajor ? image_.width() : image_.height()) - 1;
    const std::int64_t minorLimit = (xMajor ? image_.height() : image_.width()) - 1;

    // Only the steps whose major coordinate lies on the image are visited.
    std::int64_t iFirst = 0;
    std::int64_t iLast = n - 1;
    if (majorSign > 0) {
        iFirst = std::max(iFirst, -majorStart);
        iLast = std::min(iLast, majorLimit - majorStart);
    } else {
        iFirst = std::max(iFirst, majorStart - majorLimit);
        iLast = std::min(iLast, majorStart);
    }
    const QRgb colour = drawn(foreColor_);
    if (iFirst > iLast) {
        return;
    }
    Pixels pixels(image_, clipRects_);
    for (std::int64_t i = iFirst; i <= iLast; ++i) {
        // floor((2 i m + n) / 2n) without overflow: i and m are below 2^33.
        const long double exact = (2.0L * i * minorDelta + n) / (2.0L * n);
        const std::int64_t offset = static_cast<std::int64_t>(std::floor(exact));
        const std::int64_t major = majorStart + majorSign * i;
        const std::int64_t minor = minorStart + minorSign * offset;
        if (minor < 0 || minor > minorLimit) {
            continue;
        }
        const std::int64_t px = xMajor ? major : minor;
        const std::int64_t py = xMajor ? minor : major;
        pixels.run(py, px, px, colour);
    }
}

void ImageSurface::rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                             std::int32_t bottom) {
    const Box box = normalised(left, top, right, bottom);
    if (box.left == box.right || box.top == box.bottom || image_.isNull()) {
        return;
    }
    if (!reachesClip(clipRects_, box.left, box.top, box.right, box.bottom)) {
        return;
    }
    const Span row{box.left, box.right - 1};
    drawShape(
        image_, clipRects_, box.top, box.bottom, [&](std::int64_t) { return row; },
        drawn(foreColor_), fillStyle_ == 0, drawn(fillColor_));
}

void ImageSurface::ellipse(std::int32_t left, std::int32_t top, std::int32_t right,
                           std::int32_t bottom) {
    const Box box = normalised(left, top, right, bottom);
    if (box.left == box.right || box.top == box.bottom || image_.isNull()) {
        return;
    }
    if (!reachesClip(clipRects_, box.left, box.top, box.right, box.bottom)) {
        return;
    }
    // A pixel belongs to the ellipse inscribed in the box when its centre lies inside it.
    const double cx = (static_cast<double>(box.left) + static_cast<double>(box.right)) / 2.0;
    const double cy = (static_cast<double>(box.top) + static_cast<double>(box.bottom)) / 2.0;
    const double rx = (static_cast<double>(box.right) - static_cast<double>(box.left)) / 2.0;
    const double ry = (static_cast<double>(box.bottom) - static_cast<double>(box.top)) / 2.0;
    const auto spanOf = [&](std::int64_t y) {
        const double py = (static_cast<double>(y) + 0.5 - cy) / ry;
        const double t = 1.0 - py * py;
        if (t < 0.0) {
            return Span{};
        }
        const double half = rx * std::sqrt(t);
        const std::int64_t a = ceilToInt(cx - half - 0.5);
        const std::int64_t b = floorToInt(cx + half - 0.5);
        return Span{std::max(a, box.left), std::min(b, box.right - 1)};
    };
    drawShape(image_, clipRects_, box.top, box.bottom, spanOf, drawn(foreColor_), fillStyle_ == 0,
              drawn(fillColor_));
}

float ImageSurface::lineHeight() const {
    return static_cast<float>(QFontMetricsF(drawingFont(font_, ratio_)).height());
}

void ImageSurface::print(const std::string& text) {
    const QFont font = drawingFont(font_, ratio_);
    const QFontMetricsF metrics(font);
    const double height = metrics.height();

    // Line ends in the text start new lines at the left edge.
    QString all = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    all.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QStringList lines = all.split(QLatin1Char('\n'));

    double x = currentX_;
    double y = currentY_;
    if (!image_.isNull()) {
        QPainter painter(&image_);
        // The painter works in the image's logical pixels; text is placed in its pixels.
        painter.scale(1.0 / ratio_, 1.0 / ratio_);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        if (clip_) {
            painter.setClipRegion(*clip_);  // in the scaled painter's units: the image's pixels
        }
        painter.setFont(font);
        painter.setPen(QColor(drawn(foreColor_)));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0) {
                x = 0.0;
                y += height;
            }
            painter.drawText(QPointF(x, y + metrics.ascent()), lines[i]);
        }
    } else {
        y += height * static_cast<double>(lines.size() - 1);
    }
    currentX_ = 0.0f;
    currentY_ = static_cast<float>(y + height);
}

void ImageSurface::markPointerWall() {
    const auto pointer = palettePointerWall(palette_);
    if (!pointer || !pointerWall_ || image_.isNull()) {
        return;
    }
    const auto box = pointerWall_();
    if (!box) {
        return;
    }
    Box b = normalised(box->left, box->top, box->right, box->bottom);
    // The inside of the cell, when it has one; a cell of one or two pixels is marked whole.
    if (b.right - b.left > 2 && b.bottom - b.top > 2) {
        b = Box{b.left + 1, b.top + 1, b.right - 1, b.bottom - 1};
    }
    // Only pixels of the wall colour change: a frame drawn before the wall reached its cell is
    // left as it is.
    const QRgb wall = toRgb(paletteColour(palette_, *tileColour(tileWall)));
    const QRgb mark = toRgb(*pointer);
    Pixels pixels(image_, clipRects_);
    const std::int64_t top = std::max<std::int64_t>(b.top, 0);
    const std::int64_t bottom = std::min<std::int64_t>(b.bottom, pixels.height());
    const std::int64_t left = std::max<std::int64_t>(b.left, 0);
    const std::int64_t right = std::min<std::int64_t>(b.right, pixels.width());
    for (std::int64_t y = top; y < bottom; ++y) {
        for (std::int64_t x = left; x < right; ++x) {
            if (pixels.at(x, y) == wall) {
                pixels.run(y, x, x, mark);
            }
        }
    }
}

void ImageSurface::refresh() {
    markPointerWall();
    if (onRefresh_) {
        onRefresh_();
    }
    setDrawClip(std::nullopt);  // the frame is over
}

void ImageSurface::setDrawClip(const std::optional<QRegion>& region) {
    if (!region || region->isEmpty()) {
        clip_.reset();
        clipRects_.clear();
        return;
    }
    clip_ = region->intersected(image_.rect());
    clipRects_.assign(clip_->begin(), clip_->end());
    if (clipRects_.empty()) {
        // Nothing of the region lies on the image: nothing is drawn. A rectangle off the image
        // keeps the list from meaning "no clip".
        clipRects_.push_back(QRect(-2, -2, 1, 1));
    }
}

void ImageSurface::setVisible(bool visible) {
    visible_ = visible;
    if (onVisibleChanged_) {
        onVisibleChanged_(visible);
    }
}

void ImageSurface::resize(QSize size) {
    QImage next = blankImage(size, shownBackColor(), ratio_);
    if (!image_.isNull() && !next.isNull()) {
        const int rows = std::min(image_.height(), next.height());
        const auto bytes =
            static_cast<std::size_t>(std::min(image_.width(), next.width())) * sizeof(QRgb);
        for (int y = 0; y < rows; ++y) {
            std::memcpy(next.scanLine(y), image_.constScanLine(y), bytes);
        }
    }
    image_ = std::move(next);
}

void ImageSurface::setDevicePixelRatio(double ratio) {
    if (!(ratio > 0.0) || ratio == ratio_) {
        return;
    }
    ratio_ = ratio;
    if (!image_.isNull()) {
        image_.setDevicePixelRatio(ratio);
    }
}

}  // namespace kestro
