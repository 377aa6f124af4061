#include "render/qt/changed_region.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace kestro {
namespace {

struct Span {
    int left = 0;
    int right = 0;  // inclusive
};

// The runs of pixels that differ between two rows of `width` pixels.
void changedSpans(const QRgb* a, const QRgb* b, int width, std::vector<Span>& spans) {
    spans.clear();
    int x = 0;
    while (x < width) {
        while (x < width && a[x] == b[x]) {
            ++x;
        }
        if (x == width) {
            break;
        }
        const int left = x;
        while (x < width && a[x] != b[x]) {
            ++x;
        }
        spans.push_back(Span{left, x - 1});
    }
}

// The changed shapes of one rectangle of two images of the same size and format.
QRegion changedIn(const QImage& before, const QImage& after, const QRect& area) {
    const int width = area.width();
    const int x0 = area.left();
    const auto rowBytes = static_cast<std::size_t>(width) * sizeof(QRgb);
    std::vector<QRect> open;  // shapes still growing: they reached the previous row
    std::vector<QRect> next;
    std::vector<Span> spans;
    QRegion region;
    const auto close = [&region](const QRect& r) { region += r; };
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(before.constScanLine(y)) + x0;
        const auto* b = reinterpret_cast<const QRgb*>(after.constScanLine(y)) + x0;
        if (std::memcmp(a, b, rowBytes) == 0) {
            std::for_each(open.begin(), open.end(), close);
            open.clear();
            continue;
        }
        changedSpans(a, b, width, spans);
        next.clear();
        for (const Span& s : spans) {
            QRect shape(QPoint(x0 + s.left, y), QPoint(x0 + s.right, y));
            // Every open shape this run overlaps in x joins it, and so does a shape of this row
            // that has grown into it.
            const auto overlaps = [&shape](const QRect& r) {
                return r.left() <= shape.right() && r.right() >= shape.left();
            };
            for (auto it = open.begin(); it != open.end();) {
                if (overlaps(*it)) {
                    shape = shape.united(*it);
                    it = open.erase(it);
                } else {
                    ++it;
                }
            }
            for (auto it = next.begin(); it != next.end();) {
                if (overlaps(*it)) {
                    shape = shape.united(*it);
                    it = next.erase(it);
                } else {
                    ++it;
                }
            }
            next.push_back(shape);
        }
        std::for_each(open.begin(), open.end(), close);
        open.swap(next);
    }
    std::for_each(open.begin(), open.end(), close);
    return region;
}

bool comparable(const QImage& before, const QImage& after) {
    return before.size() == after.size() && before.format() == after.format() &&
           after.depth() == 32;
}

}  // namespace

QRegion changedRegion(const QImage& before, const QImage& after) {
    if (after.isNull()) {
        return {};
    }
    if (!comparable(before, after)) {
        return QRegion(after.rect());
    }
    return changedIn(before, after, after.rect());
}

QRegion changedRegion(const QImage& before, const QImage& after, const QRegion& within) {
    if (after.isNull()) {
        return {};
    }
    if (!comparable(before, after)) {
        return QRegion(after.rect());
    }
    QRegion region;
    for (const QRect& r : within.intersected(after.rect())) {
        region += changedIn(before, after, r);
    }
    return region;
}

void copyRegion(const QImage& from, const QRegion& region, QImage& into) {
    for (const QRect& r : region) {
        const QRect part = r.intersected(from.rect()).intersected(into.rect());
        if (part.isEmpty()) {
            continue;
        }
        const auto bytes =
            static_cast<std::size_t>(part.width()) * static_cast<std::size_t>(from.depth() / 8);
        const auto offset =
            static_cast<std::size_t>(part.left()) * static_cast<std::size_t>(from.depth() / 8);
        for (int y = part.top(); y <= part.bottom(); ++y) {
            std::memcpy(into.scanLine(y) + offset, from.constScanLine(y) + offset, bytes);
        }
    }
}

}  // namespace kestro
