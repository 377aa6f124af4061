#include "shell/field_note.h"

#include <algorithm>

#include <QEvent>

namespace kestro::shell {

FieldNote::FieldNote(const char* name, QWidget& field, double height)
    : QLabel(field.parentWidget()), field_(field), height_(height) {
    setObjectName(QString::fromLatin1(name));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignCenter);
    setMargin(8);
    setAutoFillBackground(false);
    // White on a dark box that lets the field show through: readable over every tile colour.
    setStyleSheet(QStringLiteral(
        "QLabel { color: white; background-color: rgba(0, 0, 0, 170); border-radius: 6px; }"));
    QFont f = font();
    f.setPointSizeF(std::max(f.pointSizeF(), 8.25) * 1.4);
    f.setBold(true);
    setFont(f);
    hide();
    field_.installEventFilter(this);
}

void FieldNote::showText(const QString& text) {
    setText(text);
    adjustSize();
    placeOverField();
    raise();
    show();
}

bool FieldNote::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &field_ && (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
        placeOverField();
    }
    return QLabel::eventFilter(watched, event);
}

void FieldNote::placeOverField() {
    const QRect f = field_.geometry();
    const int w = std::min(width(), f.width());
    const int centreY = f.top() + static_cast<int>(f.height() * height_);
    setGeometry(f.left() + (f.width() - w) / 2, centreY - height() / 2, w, height());
}

}  // namespace kestro::shell
