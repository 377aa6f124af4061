#pragma once
// The part of a picture that differs from the picture shown before it: what a frame has to copy
// to the screen.
//
// Each row's runs of changed pixels are joined with the runs of the rows above that they overlap
// in x, so that a changed shape (a ball that left a cell, a block that moved into one) becomes
// one rectangle: its bounding box. Shapes that only touch at a corner, as the ball's old and new
// cells do, stay apart. Every changed pixel lies in the region, and the region holds nothing
// outside the bounding boxes of the changed shapes.

#include <QImage>
#include <QRegion>

namespace kestro {

// The changed part of `after` against `before`, in pixels of the images. When the images differ
// in size or format (or `before` is null), all of `after` has changed.
QRegion changedRegion(const QImage& before, const QImage& after);
// The same, looking only inside `within`: for pictures known to be alike everywhere else.
QRegion changedRegion(const QImage& before, const QImage& after, const QRegion& within);

// Copies the pixels of `region` from `from` into `into`, which has the same size and format.
void copyRegion(const QImage& from, const QRegion& region, QImage& into);

}  // namespace kestro
