// The changed part of a frame: exactly the bounding boxes of the changed shapes, every changed
// pixel inside it, and copying it makes the old picture equal the new one.

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include <QImage>
#include <QRegion>

#include "render/qt/changed_region.h"

namespace kestro {
namespace {

QImage blank(QSize size = QSize(40, 30)) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(qRgb(255, 255, 255));
    return image;
}

void paint(QImage& image, const QRect& box, QRgb colour = qRgb(0, 0, 255)) {
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            image.setPixel(x, y, colour);
        }
    }
}

// A disc in a box, as the ball is drawn in its cell.
void disc(QImage& image, const QRect& box) {
    const double cx = box.left() + (box.width() - 1) / 2.0;
    const double cy = box.top() + (box.height() - 1) / 2.0;
    const double rx = box.width() / 2.0;
    const double ry = box.height() / 2.0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            const double dx = (x - cx) / rx;
            const double dy = (y - cy) / ry;
            if (dx * dx + dy * dy <= 1.0) {
                image.setPixel(x, y, qRgb(0, 0, 255));
            }
        }
    }
}

QRegion rects(std::initializer_list<QRect> list) {
    QRegion region;
    for (const QRect& r : list) {
        region += r;
    }
    return region;
}

struct Case {
    std::string name;
    std::function<void(QImage&)> change;
    QRegion expected;
};

TEST(ChangedRegion, IsTheBoundingBoxOfEachChangedShape) {
    const std::vector<Case> cases = {
        {"nothing", [](QImage&) {}, QRegion()},
        {"one pixel", [](QImage& i) { i.setPixel(5, 7, qRgb(0, 0, 0)); }, QRect(5, 7, 1, 1)},
        {"a box", [](QImage& i) { paint(i, QRect(10, 5, 10, 10)); }, QRect(10, 5, 10, 10)},
        {"a disc is one shape", [](QImage& i) { disc(i, QRect(10, 5, 11, 9)); },
         QRect(10, 5, 11, 9)},
        {"cells touching at a corner stay apart",
         [](QImage& i) {
             paint(i, QRect(0, 0, 5, 5));
             paint(i, QRect(5, 5, 5, 5));
         },
         rects({QRect(0, 0, 5, 5), QRect(5, 5, 5, 5)})},
        {"shapes apart in the same rows",
         [](QImage& i) {
             paint(i, QRect(2, 2, 4, 4));
             paint(i, QRect(30, 3, 4, 6));
         },
         rects({QRect(2, 2, 4, 4), QRect(30, 3, 4, 6)})},
        {"shapes one above the other, a row apart",
         [](QImage& i) {
             paint(i, QRect(2, 2, 4, 4));
             paint(i, QRect(2, 7, 4, 4));
         },
         rects({QRect(2, 2, 4, 4), QRect(2, 7, 4, 4)})},
        {"an L is one shape",
         [](QImage& i) {
             paint(i, QRect(0, 0, 5, 10));
             paint(i, QRect(5, 0, 5, 5));
         },
         QRect(0, 0, 10, 10)},
        {"a U joined only at its foot is one shape",
         [](QImage& i) {
             paint(i, QRect(0, 0, 3, 10));
             paint(i, QRect(8, 0, 3, 10));
             paint(i, QRect(0, 9, 11, 1));
         },
         QRect(0, 0, 11, 10)},
        {"a pixel back to its old colour is no change",
         [](QImage& i) {
             i.setPixel(3, 3, qRgb(1, 2, 3));
             i.setPixel(3, 3, qRgb(255, 255, 255));
         },
         QRegion()},
        {"the last column and row", [](QImage& i) { paint(i, QRect(39, 20, 1, 10)); },
         QRect(39, 20, 1, 10)},
    };
    for (const Case& c : cases) {
        const QImage before = blank();
        QImage after = before.copy();
        c.change(after);
        const QRegion region = changedRegion(before, after);
        EXPECT_EQ(region, c.expected) << c.name;
        for (int y = 0; y < after.height(); ++y) {
            for (int x = 0; x < after.width(); ++x) {
                if (before.pixel(x, y) != after.pixel(x, y)) {
                    ASSERT_TRUE(region.contains(QPoint(x, y))) << c.name << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(ChangedRegion, AnotherSizeFormatOrNoPictureBeforeIsAllNew) {
    const QImage after = blank();
    EXPECT_EQ(changedRegion(QImage(), after), QRegion(after.rect()));
    EXPECT_EQ(changedRegion(blank(QSize(41, 30)), after), QRegion(after.rect()));
    EXPECT_EQ(changedRegion(blank().convertToFormat(QImage::Format_ARGB32), after),
              QRegion(after.rect()));
    EXPECT_TRUE(changedRegion(after, QImage()).isEmpty());
}

TEST(ChangedRegion, CopyingTheRegionMakesTheOldPictureTheNewOne) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(0, 39);
    std::uniform_int_distribution<int> extent(1, 6);
    QImage shown = blank();
    for (int frame = 0; frame < 50; ++frame) {
        QImage next = shown.copy();
        const int shapes = extent(random);
        for (int i = 0; i < shapes; ++i) {
            const QRect box(coordinate(random), coordinate(random) % 30, extent(random),
                            extent(random));
            paint(next, box.intersected(next.rect()), qRgb(frame, 3 * i, 255 - frame));
        }
        const QRegion region = changedRegion(shown, next);
        copyRegion(next, region, shown);
        ASSERT_EQ(shown, next) << "frame " << frame;
    }
}

}  // namespace
}  // namespace kestro
