#include "shell/picture_box.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QtMath>

namespace kestro::shell {

PictureBox::PictureBox(const std::string& name, QWidget* parent)
    : QWidget(parent), surface_(name, QSize(0, 0)) {
    setObjectName(QString::fromStdString(name));
    // The image covers the whole box, so nothing needs to be erased before painting it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    surface_.setBackColor(palette().color(QPalette::Window));
    surface_.setOnVisibleChanged([this](bool visible) { setVisible(visible); });
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
    const QImage& image = surface_.image();
    const QRect r = event->rect();
    const qreal ratio = image.devicePixelRatio();
    // The image's device pixels that lie under the part to paint.
    const QRectF source(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio);
    painter.drawImage(QRectF(r), image, source);
    // Parts of the box the image does not cover yet show the background.
    const QRect covered(QPoint(0, 0), image.deviceIndependentSize().toSize());
    const QRegion uncovered = QRegion(r).subtracted(QRegion(covered));
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
