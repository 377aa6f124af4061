// The QImage drawing surface, checked pixel by pixel.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include <QFontInfo>
#include <QImage>
#include <QRect>

#include "common/runtime_error.h"
#include "render/qt/image_surface.h"
#include "render_qt_app.h"

namespace kestro {
namespace {

using ::testing::ElementsAre;

constexpr std::int32_t kRed = 255;
constexpr std::int32_t kGreen = 65280;
constexpr std::int32_t kBlue = 16711680;
const QColor kBackground(200, 200, 200);

ImageSurface makeSurface(int w = 32, int h = 32) {
    ImageSurface s("Kestro", QSize(w, h));
    s.setBackColor(kBackground);
    s.cls();
    return s;
}

// The pixels of a region as rows of characters: '.' background, the legend's character for
// its colours, '?' anything else.
std::vector<std::string> art(const ImageSurface& s, QRect region,
                             const std::map<std::int32_t, char>& legend) {
    std::vector<std::string> rows;
    for (int y = region.top(); y <= region.bottom(); ++y) {
        std::string row;
        for (int x = region.left(); x <= region.right(); ++x) {
            const QRgb p = s.image().pixel(x, y);
            char c = p == kBackground.rgb() ? '.' : '?';
            for (const auto& [colour, ch] : legend) {
                if (p == ImageSurface::toRgb(colour)) {
                    c = ch;
                }
            }
            row += c;
        }
        rows.push_back(row);
    }
    return rows;
}

void setPen(ImageSurface& s, std::int32_t fore, std::int32_t fill, int style) {
    s.setForeColor(fore);
    s.setFillColor(fill);
    s.setFillStyle(style);
}

TEST(ImageSurfaceShapes, RectangleCoversLeftToRightMinusOne) {
    ImageSurface s = makeSurface();
    setPen(s, kRed, kBlue, 0);
    s.rectangle(2, 1, 7, 5);
    EXPECT_THAT(art(s, QRect(0, 0, 9, 7), {{kRed, 'R'}, {kBlue, 'B'}}),
                ElementsAre(".........",  //
                            "..RRRRR..",  //
                            "..RBBBR..",  //
                            "..RBBBR..",  //
                            "..RRRRR..",  //
                            ".........",  //
                            "........."));
}

TEST(ImageSurfaceShapes, SolidBlackBoxFillsExactlyItsPixels) {
    ImageSurface s = makeSurface();
    setPen(s, 0, 0, 0);
    s.rectangle(10, 10, 20, 20);
    for (int y = 8; y <= 21; ++y) {
        for (int x = 8; x <= 21; ++x) {
            const bool inside = x >= 10 && x <= 19 && y >= 10 && y <= 19;
            EXPECT_EQ(s.image().pixel(x, y), inside ? qRgb(0, 0, 0) : kBackground.rgb())
                << x << "," << y;
        }
    }
}

TEST(ImageSurfaceShapes, OutlineOnlyLeavesTheInsideUntouched) {
    ImageSurface s = makeSurface();
    setPen(s, kGreen, kGreen, 0);
    s.rectangle(0, 0, 8, 6);
    setPen(s, kRed, kBlue, 1);
    s.rectangle(1, 1, 7, 5);
    s.ellipse(10, 0, 18, 8);
    EXPECT_THAT(art(s, QRect(0, 0, 8, 6), {{kRed, 'R'}, {kGreen, 'G'}}),
                ElementsAre("GGGGGGGG",  //
                            "GRRRRRRG",  //
                            "GRGGGGRG",  //
                            "GRGGGGRG",  //
                            "GRRRRRRG",  //
                            "GGGGGGGG"));
    EXPECT_EQ(s.image().pixel(14, 4), kBackground.rgb()) << "the ellipse's centre";
    EXPECT_EQ(s.image().pixel(10, 4), ImageSurface::toRgb(kRed)) << "its leftmost point";
}

TEST(ImageSurfaceShapes, InvertedAndEmptyBoxes) {
    const QRect region(0, 0, 24, 24);
    ImageSurface straight = makeSurface();
    setPen(straight, kRed, kBlue, 0);
    straight.rectangle(10, 10, 20, 20);
    straight.ellipse(2, 2, 9, 8);
    const std::map<std::int32_t, char> legend{{kRed, 'R'}, {kBlue, 'B'}};

    const std::vector<std::array<std::int32_t, 8>> inverted = {
        {20, 20, 10, 10, 9, 8, 2, 2},
        {20, 10, 10, 20, 2, 8, 9, 2},
        {10, 20, 20, 10, 9, 2, 2, 8},
    };
    for (const auto& b : inverted) {
        ImageSurface s = makeSurface();
        setPen(s, kRed, kBlue, 0);
        s.rectangle(b[0], b[1], b[2], b[3]);
        s.ellipse(b[4], b[5], b[6], b[7]);
        EXPECT_EQ(art(s, region, legend), art(straight, region, legend));
    }

    // No width or no height: nothing at all. One pixel wide: a single column.
    ImageSurface s = makeSurface();
    setPen(s, kRed, kBlue, 0);
    s.rectangle(5, 5, 5, 15);
    s.rectangle(5, 5, 15, 5);
    s.ellipse(5, 5, 5, 15);
    s.ellipse(5, 5, 15, 5);
    EXPECT_EQ(art(s, region, legend), art(makeSurface(), region, legend));
    s.rectangle(3, 1, 4, 4);
    s.ellipse(6, 1, 7, 4);
    EXPECT_THAT(art(s, QRect(2, 0, 6, 5), legend), ElementsAre("......",  //
                                                               ".R..R.",  //
                                                               ".R..R.",  //
                                                               ".R..R.",  //
                                                               "......"));
}

TEST(ImageSurfaceShapes, EllipseIsInscribedClosedAndSymmetric) {
    struct Case {
        int left, top, right, bottom;
    };
    const Case cases[] = {{2, 3, 12, 9}, {0, 0, 9, 9}, {4, 4, 24, 11}, {1, 1, 4, 30}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.left << "," << c.top << "," << c.right << "," << c.bottom);
        ImageSurface s = makeSurface();
        setPen(s, kRed, kBlue, 0);
        s.ellipse(c.left, c.top, c.right, c.bottom);
        const auto rows = art(s, QRect(0, 0, 32, 32), {{kRed, 'R'}, {kBlue, 'B'}});
        const auto at = [&](int x, int y) {
            return rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
        };
        bool touchesLeft = false, touchesRight = false, touchesTop = false, touchesBottom = false;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const char p = at(x, y);
                if (p == '.') {
                    continue;
                }
                ASSERT_NE(p, '?');
                ASSERT_TRUE(x >= c.left && x < c.right && y >= c.top && y < c.bottom)
                    << "pixel " << x << "," << y << " outside the box";
                touchesLeft |= x == c.left;
                touchesRight |= x == c.right - 1;
                touchesTop |= y == c.top;
                touchesBottom |= y == c.bottom - 1;
                // Mirror images across both axes of the box.
                EXPECT_EQ(at(c.left + c.right - 1 - x, y), p);
                EXPECT_EQ(at(x, c.top + c.bottom - 1 - y), p);
                // The outline closes the fill in.
                if (p == 'B') {
                    EXPECT_NE(at(x - 1, y), '.');
                    EXPECT_NE(at(x + 1, y), '.');
                    EXPECT_NE(at(x, y - 1), '.');
                    EXPECT_NE(at(x, y + 1), '.');
                }
            }
        }
        EXPECT_TRUE(touchesLeft && touchesRight && touchesTop && touchesBottom);
        EXPECT_EQ(at(c.left, c.top), '.') << "corners stay outside";
        EXPECT_EQ(at(c.right - 1, c.bottom - 1), '.');
        if (c.right - c.left > 2 && c.bottom - c.top > 2) {
            EXPECT_EQ(at((c.left + c.right) / 2, (c.top + c.bottom) / 2), 'B');
        }
    }
}

TEST(ImageSurfaceLines, LeaveOutTheirEndPixel) {
    struct Case {
        int x0, y0, x1, y1;
        std::vector<std::string> art;  // columns 0..7, rows 0..4
    };
    const Case cases[] = {
        {0, 0, 5, 0, {"#####...", "........", "........", "........", "........"}},
        {5, 0, 0, 0, {".#####..", "........", "........", "........", "........"}},
        {1, 0, 1, 4, {".#......", ".#......", ".#......", ".#......", "........"}},
        {0, 0, 4, 4, {"#.......", ".#......", "..#.....", "...#....", "........"}},
        {0, 0, 6, 2, {"##......", "..###...", ".....#..", "........", "........"}},
        {3, 3, 3, 3, {"........", "........", "........", "........", "........"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.x0 << "," << c.y0 << " to " << c.x1 << "," << c.y1);
        ImageSurface s = makeSurface();
        s.setForeColor(kRed);
        s.moveTo(c.x0, c.y0);
        s.lineTo(c.x1, c.y1);
        EXPECT_EQ(art(s, QRect(0, 0, 8, 5), {{kRed, '#'}}), c.art);
        EXPECT_EQ(s.penPosition(), QPoint(c.x1, c.y1));
    }

    // A second line goes on from where the first ended.
    ImageSurface s = makeSurface();
    s.setForeColor(kRed);
    s.moveTo(0, 0);
    s.lineTo(3, 0);
    s.lineTo(3, 3);
    EXPECT_THAT(art(s, QRect(0, 0, 5, 4), {{kRed, '#'}}), ElementsAre("####.",  //
                                                                      "...#.",  //
                                                                      "...#.",  //
                                                                      "....."));
}

TEST(ImageSurfaceShapes, HugeCoordinatesAreClippedToTheImage) {
    constexpr std::int32_t lo = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t hi = std::numeric_limits<std::int32_t>::max();
    ImageSurface s = makeSurface(16, 8);
    setPen(s, kRed, kBlue, 0);
    s.rectangle(lo, lo, hi, hi);
    EXPECT_THAT(art(s, QRect(0, 0, 16, 8), {{kBlue, 'B'}}), ::testing::Each(std::string(16, 'B')));
    s.ellipse(lo, lo, hi, hi);
    EXPECT_THAT(art(s, QRect(0, 0, 16, 8), {{kBlue, 'B'}}), ::testing::Each(std::string(16, 'B')));
    s.moveTo(lo, 3);
    s.lineTo(hi, 3);
    s.moveTo(5, hi);
    s.lineTo(5, lo);
    const auto rows = art(s, QRect(0, 0, 16, 8), {{kBlue, 'B'}, {kRed, 'R'}});
    EXPECT_EQ(rows[3], std::string(16, 'R'));
    EXPECT_EQ(rows[0], "BBBBBRBBBBBBBBBB");
    s.moveTo(lo, lo);
    s.lineTo(hi, hi);  // the diagonal through the image
    EXPECT_EQ(s.image().pixel(0, 0), ImageSurface::toRgb(kRed));
    EXPECT_EQ(s.image().pixel(7, 7), ImageSurface::toRgb(kRed));
}

TEST(ImageSurfaceColours, NumbersAreRedPlus256GreenPlus65536Blue) {
    struct Case {
        std::int32_t number;
        QRgb rgb;
    };
    const Case cases[] = {
        {0, qRgb(0, 0, 0)},
        {255, qRgb(255, 0, 0)},
        {65280, qRgb(0, 255, 0)},
        {16711680, qRgb(0, 0, 255)},
        {16728128, qRgb(64, 64, 255)},
        {16777215, qRgb(255, 255, 255)},
        {0x123456, qRgb(0x56, 0x34, 0x12)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ImageSurface::toRgb(c.number), c.rgb) << c.number;
    }

    ImageSurface s = makeSurface();
    setPen(s, kRed, kGreen, 0);
    for (const std::int32_t bad : {-1, 16777216, std::numeric_limits<std::int32_t>::min()}) {
        SCOPED_TRACE(bad);
        const auto number = [](auto f) {
            try {
                f();
            } catch (const RuntimeError& e) {
                return e.number();
            }
            return 0;
        };
        EXPECT_EQ(number([&] { s.setForeColor(bad); }), errnum::kInvalidPropertyValue);
        EXPECT_EQ(number([&] { s.setFillColor(bad); }), errnum::kInvalidPropertyValue);
    }
    for (const int bad : {-1, 2, 7}) {
        EXPECT_THROW(s.setFillStyle(bad), RuntimeError);
    }
    EXPECT_EQ(s.foreColor(), kRed);
    EXPECT_EQ(s.fillColor(), kGreen);
    EXPECT_EQ(s.fillStyle(), 0);
}

TEST(ImageSurfaceState, ClsClearsToTheBackgroundAndHomesTheTextOnly) {
    ImageSurface s = makeSurface();
    setPen(s, kRed, kBlue, 0);
    s.rectangle(0, 0, 10, 10);
    s.setCurrentX(12.5f);
    s.setCurrentY(7.0f);
    s.setBackColor(QColor(10, 20, 30));
    s.cls();
    for (const QPoint p : {QPoint(0, 0), QPoint(5, 5), QPoint(31, 31)}) {
        EXPECT_EQ(s.image().pixel(p), qRgb(10, 20, 30));
    }
    EXPECT_EQ(s.currentX(), 0.0f);
    EXPECT_EQ(s.currentY(), 0.0f);
    EXPECT_EQ(s.foreColor(), kRed);
    EXPECT_EQ(s.fillColor(), kBlue);
    EXPECT_EQ(s.fillStyle(), 0);
}

TEST(ImageSurfaceState, ResizeKeepsTheOldPicture) {
    ImageSurface s = makeSurface(8, 8);
    setPen(s, kRed, kRed, 0);
    s.rectangle(4, 4, 8, 8);
    s.resize(QSize(12, 10));
    ASSERT_EQ(s.image().size(), QSize(12, 10));
    EXPECT_EQ(s.image().format(), QImage::Format_RGB32);
    EXPECT_EQ(s.image().pixel(7, 7), ImageSurface::toRgb(kRed));
    EXPECT_EQ(s.image().pixel(8, 7), kBackground.rgb()) << "new area";
    EXPECT_EQ(s.image().pixel(7, 9), kBackground.rgb());
    s.resize(QSize(6, 5));
    EXPECT_THAT(art(s, QRect(0, 0, 6, 5), {{kRed, 'R'}}), ElementsAre("......",  //
                                                                      "......",  //
                                                                      "......",  //
                                                                      "......",  //
                                                                      "....RR"));
    s.resize(QSize(0, 0));
    s.rectangle(0, 0, 5, 5);  // nothing to draw on, and no harm done
    s.cls();
    EXPECT_TRUE(s.image().isNull());
}

TEST(ImageSurfaceState, PropertiesAndCallbacks) {
    ImageSurface s("Kestro", QSize(4, 4));
    EXPECT_EQ(s.name(), "Kestro");
    EXPECT_FALSE(s.autoRedraw());
    s.setAutoRedraw(true);
    EXPECT_TRUE(s.autoRedraw());
    s.setTag("true");
    EXPECT_EQ(s.tag(), "true");

    int refreshed = 0;
    std::vector<bool> shown;
    s.setOnRefresh([&] { ++refreshed; });
    s.setOnVisibleChanged([&](bool v) { shown.push_back(v); });
    s.refresh();
    s.refresh();
    s.setVisible(false);
    s.setVisible(true);
    EXPECT_EQ(refreshed, 2);
    EXPECT_THAT(shown, ElementsAre(false, true));
    EXPECT_TRUE(s.visible());
}

class ImageSurfaceText : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test::ensureGuiApplication(); }

    // The bounding box of the pixels in the given colour, or an empty rectangle.
    static QRect inkOf(const ImageSurface& s, std::int32_t colour) {
        QRect box;
        for (int y = 0; y < s.image().height(); ++y) {
            for (int x = 0; x < s.image().width(); ++x) {
                if (s.image().pixel(x, y) == ImageSurface::toRgb(colour)) {
                    box |= QRect(x, y, 1, 1);
                }
            }
        }
        return box;
    }
    static int otherPixels(const ImageSurface& s, std::int32_t colour) {
        int n = 0;
        for (int y = 0; y < s.image().height(); ++y) {
            for (int x = 0; x < s.image().width(); ++x) {
                const QRgb p = s.image().pixel(x, y);
                n += p != ImageSurface::toRgb(colour) && p != kBackground.rgb();
            }
        }
        return n;
    }
};

TEST_F(ImageSurfaceText, DefaultFontIsTheSerifOfThePlayfield) {
    ImageSurface s("Kestro", QSize(4, 4));
    EXPECT_EQ(s.font().family(), "Times New Roman");
    EXPECT_DOUBLE_EQ(s.font().pointSizeF(), 8.25);
    // 8.25 pt is 11 pixels at 96 dpi; the line is a little taller.
    EXPECT_GE(s.lineHeight(), 11.0f);
    EXPECT_LE(s.lineHeight(), 16.0f);
    EXPECT_FALSE(QFontInfo(s.font()).family().isEmpty());
}

TEST_F(ImageSurfaceText, PrintDrawsInTheForeColourAtTheTextPositionThenMovesDown) {
    ImageSurface s = makeSurface(120, 60);
    s.setForeColor(kBlue);
    s.setCurrentX(20.0f);
    s.setCurrentY(10.0f);
    s.print("Kestro");
    const QRect ink = inkOf(s, kBlue);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_EQ(otherPixels(s, kBlue), 0) << "no antialiasing";
    EXPECT_GE(ink.left(), 20);
    EXPECT_GE(ink.top(), 10);
    EXPECT_LE(ink.left(), 22);
    EXPECT_LE(ink.bottom(), 10 + static_cast<int>(s.lineHeight()));
    EXPECT_GE(ink.width(), 20) << "six letters";
    EXPECT_EQ(s.currentX(), 0.0f);
    EXPECT_FLOAT_EQ(s.currentY(), 10.0f + s.lineHeight());

    // The next Print starts on the next line at the left edge; a line end in the text starts
    // another line there.
    s.setForeColor(kRed);
    s.print("a\r\nb");
    const QRect next = inkOf(s, kRed);
    ASSERT_FALSE(next.isEmpty());
    EXPECT_GE(next.top(), ink.bottom() - 2);
    EXPECT_LT(next.left(), 8);
    EXPECT_FLOAT_EQ(s.currentY(), 10.0f + 3 * s.lineHeight());
}

TEST_F(ImageSurfaceText, EmptyPrintOnlyMovesDown) {
    ImageSurface s = makeSurface(40, 40);
    s.setCurrentX(5.0f);
    s.setCurrentY(3.0f);
    s.print("");
    EXPECT_EQ(s.image(), makeSurface(40, 40).image());
    EXPECT_EQ(s.currentX(), 0.0f);
    EXPECT_FLOAT_EQ(s.currentY(), 3.0f + s.lineHeight());
}

}  // namespace
}  // namespace kestro
