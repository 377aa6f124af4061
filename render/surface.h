#pragma once
// The drawing surface the renderer draws on: what it needs of a picture box with a persistent
// off-screen image. Coordinates are pixels. The Qt adapter lives in render/qt/.

#include <cstdint>
#include <string>

namespace kestro {

class DrawingSurface {
  public:
    virtual ~DrawingSurface() = default;

    virtual std::string name() const = 0;     // the control's name, for the log
    virtual void setAutoRedraw(bool on) = 0;  // draw to the persistent off-screen image
    virtual void cls() = 0;                   // fill with the background colour, text to 0,0

    // Colours are red + 256 x green + 65536 x blue. A number that is not a colour
    // (outside 0..16777215) throws the invalid-property-value error (380).
    virtual std::int32_t foreColor() const = 0;
    virtual void setForeColor(std::int32_t colour) = 0;
    virtual void setFillColor(std::int32_t colour) = 0;
    virtual void setFillStyle(int style) = 0;  // 0 solid, 1 transparent (outline only)

    virtual void moveTo(std::int32_t x, std::int32_t y) = 0;  // current drawing position
    virtual void lineTo(std::int32_t x, std::int32_t y) = 0;  // leaves out its end pixel
    // Boxes cover pixels left..right-1 and top..bottom-1: a 1-pixel outline in the fore colour,
    // filled with the fill colour when the fill style is solid.
    virtual void rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                           std::int32_t bottom) = 0;
    virtual void ellipse(std::int32_t left, std::int32_t top, std::int32_t right,
                         std::int32_t bottom) = 0;

    virtual void setCurrentX(float x) = 0;
    virtual void setCurrentY(float y) = 0;
    // Draws text at the text position in the fore colour, then moves to the next line.
    virtual void print(const std::string& text) = 0;

    virtual void refresh() = 0;  // present the image on screen

    virtual std::string tag() const = 0;
    virtual void setVisible(bool visible) = 0;
};

}  // namespace kestro
