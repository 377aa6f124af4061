#include "shell/picture_box.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

namespace kestro::shell {

PictureBox::PictureBox(const std::string& name, QWidget* parent)
    : QWidget(parent), surface_(name, QSize(0, 0)) {
    setObjectName(QString::fromStdString(name));
    // The image covers the whole box, so nothing needs to be erased before painting it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    surface_.setBackColor(palette().color(QPalette::Window));
    surface_.setOnVisibleChanged([this](bool visible) { setVisible(visible); });
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QImage& image = surface_.image();
    painter.drawImage(event->rect(), image, event->rect());
    // Parts of the box the image does not cover yet show the background.
    const QRegion uncovered = QRegion(event->rect()).subtracted(QRegion(image.rect()));
    for (const QRect& r : uncovered) {
        painter.fillRect(r, surface_.backColor());
    }
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    surface_.resize(event->size());
    QWidget::resizeEvent(event);
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    if (onMouseMove_) {
        const QPointF p = event->position();
        onMouseMove_(buttonCode(event->buttons()), shiftCode(event->modifiers()),
                     static_cast<float>(p.x()), static_cast<float>(p.y()));
    }
    QWidget::mouseMoveEvent(event);
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
