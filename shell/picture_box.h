#pragma once
// A picture box: a widget that owns a persistent image (an ImageSurface) and shows it. Drawing
// goes to the image; refresh() on the surface shows it on screen.

#include <functional>
#include <string>

#include <QWidget>

#include "render/qt/image_surface.h"

namespace kestro::shell {

class PictureBox final : public QWidget {
  public:
    PictureBox(const std::string& name, QWidget* parent);

    ImageSurface& surface() { return surface_; }
    const ImageSurface& surface() const { return surface_; }

    // Pointer movements over the box, with or without a button held, in its pixels: button
    // state, shift state, x, y.
    void setOnMouseMove(std::function<void(int, int, float, float)> f) {
        onMouseMove_ = std::move(f);
        setMouseTracking(true);
    }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    ImageSurface surface_;
    std::function<void(int, int, float, float)> onMouseMove_;
};

// The platform's button and shift codes of a pointer event: left 1, right 2, middle 4; shift 1,
// control 2, alt 4.
int buttonCode(Qt::MouseButtons buttons);
int shiftCode(Qt::KeyboardModifiers modifiers);

}  // namespace kestro::shell
