// The surface's boxes, ellipses and lines against a plain reference rasteriser kept here: the
// straightforward form of the pixel rules (each row's span worked out from scratch for the row
// and its neighbours, one pixel run at a time). Random shapes, colours, fill styles and image
// sizes, clipped and huge ones included, must come out the same pixel for pixel.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <sstream>
#include <string>

#include <QImage>
#include <QPoint>

#include "render/qt/image_surface.h"

namespace kestro {
namespace {

struct Span {
    std::int64_t a = 0;
    std::int64_t b = -1;
    bool empty() const { return a > b; }
};

void referenceRun(QImage& image, std::int64_t y, std::int64_t a, std::int64_t b, QRgb colour) {
    a = std::max<std::int64_t>(a, 0);
    b = std::min<std::int64_t>(b, image.width() - 1);
    if (a > b || y < 0 || y >= image.height()) {
        return;
    }
    for (std::int64_t x = a; x <= b; ++x) {
        image.setPixel(static_cast<int>(x), static_cast<int>(y), colour);
    }
}

// Pixels with a neighbour (left, right, above or below) outside the shape are the outline.
template <typename SpanOf>
void referenceShape(QImage& image, std::int64_t top, std::int64_t bottom, SpanOf spanOf, QRgb pen,
                    bool solid, QRgb fill) {
    for (std::int64_t y = std::max<std::int64_t>(top, 0);
         y <= std::min<std::int64_t>(bottom - 1, image.height() - 1); ++y) {
        const Span s = spanOf(y);
        if (s.empty()) {
            continue;
        }
        const Span above = y > top ? spanOf(y - 1) : Span{};
        const Span below = y < bottom - 1 ? spanOf(y + 1) : Span{};
        Span inside;
        if (!above.empty() && !below.empty()) {
            inside.a = std::max({s.a + 1, above.a, below.a});
            inside.b = std::min({s.b - 1, above.b, below.b});
        }
        if (inside.empty()) {
            referenceRun(image, y, s.a, s.b, pen);
        } else {
            referenceRun(image, y, s.a, inside.a - 1, pen);
            referenceRun(image, y, inside.b + 1, s.b, pen);
            if (solid) {
                referenceRun(image, y, inside.a, inside.b, fill);
            }
        }
    }
}

// The drawing state of a surface and the reference operations on a QImage.
struct Reference {
    QImage image;
    QRgb pen = 0;
    QRgb fill = 0;
    bool solid = false;
    QPoint position;

    struct Box {
        std::int64_t left, top, right, bottom;
    };
    static Box box(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
        return {std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
    }

    void rectangle(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
        const Box k = box(l, t, r, b);
        if (k.left == k.right || k.top == k.bottom) {
            return;
        }
        const Span row{k.left, k.right - 1};
        referenceShape(
            image, k.top, k.bottom, [&](std::int64_t) { return row; }, pen, solid, fill);
    }

    void ellipse(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
        const Box k = box(l, t, r, b);
        if (k.left == k.right || k.top == k.bottom) {
            return;
        }
        const double cx = (static_cast<double>(k.left) + static_cast<double>(k.right)) / 2.0;
        const double cy = (static_cast<double>(k.top) + static_cast<double>(k.bottom)) / 2.0;
        const double rx = (static_cast<double>(k.right) - static_cast<double>(k.left)) / 2.0;
        const double ry = (static_cast<double>(k.bottom) - static_cast<double>(k.top)) / 2.0;
        const auto spanOf = [&](std::int64_t y) {
            const double py = (static_cast<double>(y) + 0.5 - cy) / ry;
            const double t2 = 1.0 - py * py;
            if (t2 < 0.0) {
                return Span{};
            }
            const double half = rx * std::sqrt(t2);
            const auto a = static_cast<std::int64_t>(std::ceil(cx - half - 0.5));
            const auto b2 = static_cast<std::int64_t>(std::floor(cx + half - 0.5));
            return Span{std::max(a, k.left), std::min(b2, k.right - 1)};
        };
        referenceShape(image, k.top, k.bottom, spanOf, pen, solid, fill);
    }

    void lineTo(std::int32_t x, std::int32_t y) {
        const std::int64_t x0 = position.x();
        const std::int64_t y0 = position.y();
        position = QPoint(x, y);
        const std::int64_t dx = x - x0;
        const std::int64_t dy = y - y0;
        const std::int64_t adx = dx < 0 ? -dx : dx;
        const std::int64_t ady = dy < 0 ? -dy : dy;
        const bool xMajor = adx >= ady;
        const std::int64_t n = xMajor ? adx : ady;
        // Every step of the major axis, off the image or not; the end point is left out.
        for (std::int64_t i = 0; i < n; ++i) {
            const std::int64_t m = xMajor ? ady : adx;
            const long double exact = (2.0L * i * m + n) / (2.0L * n);
            const auto offset = static_cast<std::int64_t>(std::floor(exact));
            const std::int64_t major = (xMajor ? x0 : y0) + ((xMajor ? dx : dy) < 0 ? -i : i);
            const std::int64_t minor =
                (xMajor ? y0 : x0) + ((xMajor ? dy : dx) < 0 ? -offset : offset);
            const std::int64_t px = xMajor ? major : minor;
            const std::int64_t py = xMajor ? minor : major;
            if (px >= 0 && px < image.width() && py >= 0 && py < image.height()) {
                image.setPixel(static_cast<int>(px), static_cast<int>(py), pen);
            }
        }
    }
};

constexpr std::int32_t kColours[] = {0, 255, 65280, 16711680, 16728128, 0x123456};

// A coordinate near an image edge of size `extent`, sometimes far off or at the ends of 32 bits.
std::int32_t randomCoordinate(std::mt19937_64& rng, int extent) {
    switch (rng() % 16) {
        case 0:
            return std::numeric_limits<std::int32_t>::min();
        case 1:
            return std::numeric_limits<std::int32_t>::max();
        case 2:
            return static_cast<std::int32_t>(rng() % 4000) - 2000;
        default:
            return static_cast<std::int32_t>(rng() % static_cast<std::uint64_t>(extent + 24)) - 12;
    }
}

// Each sequence draws on a fresh image of a random size; after every operation the two images
// must be equal.
TEST(ImageSurfaceReference, RandomShapesMatchThePlainRasteriserPixelForPixel) {
    std::mt19937_64 rng(7031);
    const QRgb background = qRgb(200, 200, 200);
    for (int sequence = 0; sequence < 1500; ++sequence) {
        const int width = 1 + static_cast<int>(rng() % 48);
        const int height = 1 + static_cast<int>(rng() % 48);
        ImageSurface surface("Kestro", QSize(width, height));
        surface.setBackColor(QColor(background));
        surface.cls();
        Reference ref;
        ref.image = QImage(width, height, QImage::Format_RGB32);
        ref.image.fill(background);

        std::ostringstream ops;
        for (int op = 0; op < 24; ++op) {
            const std::int32_t fore = kColours[rng() % std::size(kColours)];
            const std::int32_t fill = kColours[rng() % std::size(kColours)];
            const int style = static_cast<int>(rng() % 2);
            surface.setForeColor(fore);
            surface.setFillColor(fill);
            surface.setFillStyle(style);
            ref.pen = ImageSurface::toRgb(fore);
            ref.fill = ImageSurface::toRgb(fill);
            ref.solid = style == 0;

            const std::int32_t l = randomCoordinate(rng, width);
            const std::int32_t t = randomCoordinate(rng, height);
            // Mostly cell-like boxes a few pixels wide, sometimes any two corners.
            const bool near = rng() % 4 != 0;
            const std::int32_t r = near && l < 1'000'000 && l > -1'000'000
                                       ? l + static_cast<std::int32_t>(rng() % 24) - 4
                                       : randomCoordinate(rng, width);
            const std::int32_t b = near && t < 1'000'000 && t > -1'000'000
                                       ? t + static_cast<std::int32_t>(rng() % 24) - 4
                                       : randomCoordinate(rng, height);
            switch (rng() % 3) {
                case 0:
                    surface.rectangle(l, t, r, b);
                    ref.rectangle(l, t, r, b);
                    ops << "rect " << l << "," << t << "," << r << "," << b;
                    break;
                case 1:
                    surface.ellipse(l, t, r, b);
                    ref.ellipse(l, t, r, b);
                    ops << "ellipse " << l << "," << t << "," << r << "," << b;
                    break;
                default:
                    // Short lines only: the reference visits every step.
                    surface.moveTo(l, t);
                    ref.position = QPoint(l, t);
                    const auto x = static_cast<std::int32_t>(rng() % 80) - 16;
                    const auto y = static_cast<std::int32_t>(rng() % 80) - 16;
                    if (std::abs(static_cast<std::int64_t>(x) - l) < 5000 &&
                        std::abs(static_cast<std::int64_t>(y) - t) < 5000) {
                        surface.lineTo(x, y);
                        ref.lineTo(x, y);
                    }
                    ops << "line " << l << "," << t << " to " << x << "," << y;
                    break;
            }
            ops << " style " << style << "\n";
            ASSERT_EQ(surface.image(), ref.image) << width << " x " << height << " image after\n"
                                                  << ops.str();
        }
    }
}

// Large shapes: every row of a big ellipse or box, seen through images of several sizes.
TEST(ImageSurfaceReference, LargeShapesMatchThePlainRasteriser) {
    const QRgb background = qRgb(200, 200, 200);
    struct Case {
        int width, height;
        std::int32_t l, t, r, b;
    };
    const Case cases[] = {
        {582, 525, 0, 0, 582, 525},     {582, 525, -300, -10, 900, 700},
        {582, 525, 100, 200, 101, 400}, {582, 525, 5, 5, 577, 7},
        {64, 64, -1000, 20, 1000, 40},  {64, 64, 30, -100000, 34, 100000},
        {64, 64, 63, 63, 1000, 1000},   {300, 200, 299, 199, -299, -199},
        {100, 100, 1, 1, 98, 98},       {33, 17, 0, 0, 33, 17},
    };
    for (const auto& c : cases) {
        for (const int style : {0, 1}) {
            SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << " " << c.l << ","
                                              << c.t << "," << c.r << "," << c.b << " " << style);
            ImageSurface surface("Kestro", QSize(c.width, c.height));
            surface.setBackColor(QColor(background));
            surface.cls();
            surface.setForeColor(255);
            surface.setFillColor(16711680);
            surface.setFillStyle(style);
            Reference ref;
            ref.image = QImage(c.width, c.height, QImage::Format_RGB32);
            ref.image.fill(background);
            ref.pen = ImageSurface::toRgb(255);
            ref.fill = ImageSurface::toRgb(16711680);
            ref.solid = style == 0;

            surface.ellipse(c.l, c.t, c.r, c.b);
            ref.ellipse(c.l, c.t, c.r, c.b);
            EXPECT_EQ(surface.image(), ref.image) << "ellipse";
            surface.setForeColor(65280);
            ref.pen = ImageSurface::toRgb(65280);
            surface.rectangle(c.l + 3, c.t + 2, c.r - 3, c.b - 2);
            ref.rectangle(c.l + 3, c.t + 2, c.r - 3, c.b - 2);
            EXPECT_EQ(surface.image(), ref.image) << "box";
        }
    }
}

}  // namespace
}  // namespace kestro
