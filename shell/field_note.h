#pragma once
// A note that lies over the playfield: a line of text in a box of its own, a separate widget
// above the playfield, never drawn into the playfield's image. The pointer passes through it, so
// the pointer wall follows the pointer over the note as anywhere else on the field.
//
// The note keeps its place over the field when the field is moved or resized: it is centred
// across the field, its centre at a given fraction of the field's height.

#include <QLabel>

namespace kestro::shell {

class FieldNote final : public QLabel {
  public:
    // field: the widget the note lies over; the note is its sibling, stacked above it.
    // height: where the note's centre lies, as a fraction of the field's height from its top.
    FieldNote(const char* name, QWidget& field, double height);

    // Shows the note with text; the note sizes itself to the text.
    void showText(const QString& text);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void placeOverField();

    QWidget& field_;
    double height_;
};

}  // namespace kestro::shell
