#include "shell/picture_box.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QtMath>

#include "render/qt/changed_region.h"

namespace kestro::shell {

PictureBox::PictureBox(const std::string& name, QWidget* parent)
    : QWidget(parent), surface_(name, QSize(0, 0)) {
    setObjectName(QString::fromStdString(name));
    // The image covers the whole box, so nothing needs to be erased before painting it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    surface_.setBackColor(palette().color(QPalette::Window));
    surface_.setOnVisibleChanged([this](bool visible) { setVisible(visible); });
    surface_.setOnRefresh([this] { present(); });
}

QRegion PictureBox::present() {
    const QImage& image = surface_.image();
    // A picture shown at another ratio has other logical pixels: all of it is new.
    // A frame limited to a region changed nothing outside it.
    const std::optional<QRegion>& clip = surface_.drawClip();
    QRegion changed = shown_.devicePixelRatio() != image.devicePixelRatio() ? QRegion(image.rect())
                      : clip ? changedRegion(shown_, image, *clip)
                             : changedRegion(shown_, image);
    presented_ = changed;
    if (changed.isEmpty()) {
        return changed;
    }
    if (shown_.size() != image.size() || shown_.format() != image.format()) {
        shown_ = image.copy();
    } else {
        copyRegion(image, changed, shown_);
    }
    shown_.setDevicePixelRatio(image.devicePixelRatio());
    // The device pixels' part in the box's own coordinates, widened to whole logical pixels.
    const qreal ratio = image.devicePixelRatio();
    QRegion logical;
    for (const QRect& r : changed) {
        const int left = qFloor(r.left() / ratio);
        const int top = qFloor(r.top() / ratio);
        const int right = qCeil((r.right() + 1) / ratio);
        const int bottom = qCeil((r.bottom() + 1) / ratio);
        logical += QRect(left, top, right - left, bottom - top);
    }
    update(logical);
    return changed;
}

QSize PictureBox::devicePixelSize() const {
    const qreal ratio = devicePixelRatio();
    return QSize(qCeil(width() * ratio), qCeil(height() * ratio));
}

bool PictureBox::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    // Qt tells a widget that its window moved to another screen, which may have another ratio
    // (and, from Qt 6.6, that its screen's ratio changed).
    bool screenChange = event->type() == QEvent::ScreenChangeInternal;
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    screenChange = screenChange || event->type() == QEvent::DevicePixelRatioChange;
#endif
    if (screenChange && devicePixelRatio() != surface_.devicePixelRatio()) {
        fitImage();
        if (onPixelRatioChanged_) {
            onPixelRatioChanged_();
        }
        update();
    }
    return handled;
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QImage& image = shown_;
    const qreal ratio = image.devicePixelRatio();
    // The picture's device pixels that lie under each part to paint.
    for (const QRect& r : event->region()) {
        const QRectF source(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio);
        painter.drawImage(QRectF(r), image, source);
    }
    // Parts of the box the picture does not cover yet show the background.
    const QRect covered(QPoint(0, 0), image.deviceIndependentSize().toSize());
    const QRegion uncovered = event->region().subtracted(QRegion(covered));
    for (const QRect& u : uncovered) {
        painter.fillRect(u, surface_.shownBackColor());
    }
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    fitImage();
    QWidget::resizeEvent(event);
}

void PictureBox::fitImage() {
    surface_.setDevicePixelRatio(devicePixelRatio());
    surface_.resize(devicePixelSize());
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    if (onMouseMove_) {
        const QPointF p = event->position() * surface_.devicePixelRatio();
        onMouseMove_(buttonCode(event->buttons()), shiftCode(event->modifiers()),
                     static_cast<float>(p.x()), static_cast<float>(p.y()));
    }
    QWidget::mouseMoveEvent(event);
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (onMousePress_) {
        onMousePress_();
    }
    QWidget::mousePressEvent(event);
}

int buttonCode(Qt::MouseButtons buttons) {
    int code = 0;
    if (buttons & Qt::LeftButton) {
        code |= 1;
    }
    if (buttons & Qt::RightButton) {
        code |= 2;
    }
    if (buttons & Qt::MiddleButton) {
        code |= 4;
    }
    return code;
}

int shiftCode(Qt::KeyboardModifiers modifiers) {
    int code = 0;
    if (modifiers & Qt::ShiftModifier) {
        code |= 1;
    }
    if (modifiers & Qt::ControlModifier) {
        code |= 2;
    }
    if (modifiers & Qt::AltModifier) {
        code |= 4;
    }
    return code;
}

}  // namespace kestro::shell
