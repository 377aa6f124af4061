#pragma once
// A picture box: a widget that owns a persistent image (an ImageSurface) and shows it. Drawing
// goes to the image; refresh() on the surface presents it (present()): the box keeps the picture
// last presented and paints from it, and a frame copies to the screen only the part of the image
// that differs from that picture.
//
// The image has the box's size in device pixels: on a screen scaled by 2 it is twice the box's
// logical size and carries the ratio, so it is shown pixel for pixel and everything drawn on it
// stays sharp. Drawing and the pointer positions the box reports are in these device pixels.

#include <functional>
#include <string>

#include <QAccessible>
#include <QImage>
#include <QRegion>
#include <QSize>
#include <QWidget>

#include "render/qt/image_surface.h"

namespace kestro::shell {

class PictureBox final : public QWidget {
  public:
    PictureBox(const std::string& name, QWidget* parent);

    ImageSurface& surface() { return surface_; }
    const ImageSurface& surface() const { return surface_; }

    // Shows the image as it is now: the part that differs from the picture presented before
    // (all of it after a resize) is copied into the picture on screen and repainted. Returns
    // that part in device pixels; empty when the frame changed nothing.
    QRegion present();
    // The picture on screen: the image as last presented.
    const QImage& shown() const { return shown_; }
    // The part the last present() copied, in device pixels.
    const QRegion& lastPresented() const { return presented_; }

    // The palette the next frames are drawn in.
    void usePalette(PaletteId id) { surface_.setPalette(id); }

    // What a screen reader reads of the box besides its accessible name: its role and, asked for
    // each time they are read, its value and its description (none given: the widget's own).
    struct Spoken {
        QAccessible::Role role = QAccessible::Graphic;
        std::function<QString()> value;
        std::function<QString()> description;
    };
    void setSpoken(Spoken spoken) { spoken_ = std::move(spoken); }
    const Spoken& spoken() const { return spoken_; }

    // The box's size in device pixels: its logical size times its screen's pixel ratio, rounded
    // up so the image covers the whole box.
    QSize devicePixelSize() const;

    // Pointer movements over the box, with or without a button held, in its device pixels:
    // button state, shift state, x, y.
    void setOnMouseMove(std::function<void(int, int, float, float)> f) {
        onMouseMove_ = std::move(f);
        setMouseTracking(true);
    }
    // A button pressed over the box.
    void setOnMousePress(std::function<void()> f) { onMousePress_ = std::move(f); }
    // Called after the box has moved to a screen with another pixel ratio and its image has
    // been given the new size.
    void setOnPixelRatioChanged(std::function<void()> f) { onPixelRatioChanged_ = std::move(f); }

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    // Sizes the image to the box's device pixels at the current ratio.
    void fitImage();

    ImageSurface surface_;
    QImage shown_;
    QRegion presented_;
    std::function<void(int, int, float, float)> onMouseMove_;
    std::function<void()> onPixelRatioChanged_;
    std::function<void()> onMousePress_;
    Spoken spoken_;
};

// The platform's button and shift codes of a pointer event: left 1, right 2, middle 4; shift 1,
// control 2, alt 4.
int buttonCode(Qt::MouseButtons buttons);
int shiftCode(Qt::KeyboardModifiers modifiers);

}  // namespace kestro::shell
