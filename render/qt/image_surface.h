#pragma once
// A picture box's persistent image on a QImage: the renderer's drawing surface.
//
// Shapes and lines are rasterised here pixel by pixel, without antialiasing: a box from
// left/top to right/bottom covers the pixels left..right-1 and top..bottom-1 (an inverted box
// is swapped first), outlined in the fore colour with a 1-pixel pen and filled with the fill
// colour when the fill style is solid; a line leaves out its end pixel. Text is drawn with the
// surface's font, also without antialiasing.
//
// All coordinates are pixels of the image. An image shown on a screen scaled by a device pixel
// ratio has that many pixels per logical pixel: it carries the ratio, and its text is drawn
// that many times larger, so that it keeps its size on the screen.
//
// A palette other than Classic changes the colours of the pixels only: each colour is drawn in
// the palette's colour for it, the background is the palette's, and at each refresh the wall
// pixels inside the pointer's wall (the box setPointerWall gives) are drawn in the palette's
// pointer colour, leaving the cell's 1-pixel edge in the wall colour. What the surface reports
// (its fore and fill colours, the background colour set) stays what the renderer set.
//
// A frame may be limited to a region (setDrawClip): until the next refresh, clearing and drawing
// change only the pixels inside it, and every other pixel keeps what it holds. Everything else
// happens as without it (the colours set, the pen and text positions), so a frame drawn with a
// region that holds every pixel it would change leaves the image as the whole frame would.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <vector>

#include "render/palette.h"
#include "render/pointer_mark.h"
#include "render/surface.h"

namespace kestro {

class ImageSurface final : public DrawingSurface {
  public:
    // An image of the given size, filled with the background colour. The background is the
    // platform's window colour when a QGuiApplication runs, otherwise white.
    explicit ImageSurface(std::string name, QSize size = QSize(0, 0));

    // DrawingSurface
    std::string name() const override { return name_; }
    void setAutoRedraw(bool on) override { autoRedraw_ = on; }
    void cls() override;
    std::int32_t foreColor() const override { return foreColor_; }
    void setForeColor(std::int32_t colour) override;
    void setFillColor(std::int32_t colour) override;
    void setFillStyle(int style) override;  // 0 solid, 1 transparent; other values throw 380
    void moveTo(std::int32_t x, std::int32_t y) override;
    void lineTo(std::int32_t x, std::int32_t y) override;
    void rectangle(std::int32_t left, std::int32_t top, std::int32_t right,
                   std::int32_t bottom) override;
    void ellipse(std::int32_t left, std::int32_t top, std::int32_t right,
                 std::int32_t bottom) override;
    void setCurrentX(float x) override { currentX_ = x; }
    void setCurrentY(float y) override { currentY_ = y; }
    void print(const std::string& text) override;
    void refresh() override;
    std::string tag() const override { return tag_; }
    void setVisible(bool visible) override;

    // The persistent image, in Format_RGB32.
    const QImage& image() const { return image_; }
    // A new size keeps the old content at the top left; new area is background.
    void resize(QSize size);
    // The device pixel ratio the image is shown at (1 unless set).
    double devicePixelRatio() const { return ratio_; }
    void setDevicePixelRatio(double ratio);

    QColor backColor() const { return backColor_; }
    void setBackColor(const QColor& colour) { backColor_ = colour; }
    // The background as drawn: the palette's, or the background colour set.
    QColor shownBackColor() const;

    // The palette the next drawing uses; Classic unless set.
    PaletteId palette() const { return palette_; }
    void setPalette(PaletteId id) { palette_ = id; }
    // Where the pointer's wall is drawn now, asked at each refresh.
    void setPointerWall(std::function<std::optional<PixelBox>()> f) { pointerWall_ = std::move(f); }
    const QFont& font() const { return font_; }
    void setFont(const QFont& font) { font_ = font; }
    void setTag(std::string tag) { tag_ = std::move(tag); }

    bool autoRedraw() const { return autoRedraw_; }
    bool visible() const { return visible_; }
    std::int32_t fillColor() const { return fillColor_; }
    int fillStyle() const { return fillStyle_; }
    float currentX() const { return currentX_; }
    float currentY() const { return currentY_; }
    QPoint penPosition() const { return pen_; }
    // The height Print moves the text position down by.
    float lineHeight() const;

    // Limits the drawing of the frame under way to `region` (image pixels); refresh() ends it.
    // Nothing, or an empty region, is the whole image.
    void setDrawClip(const std::optional<QRegion>& region);
    // The region the frame under way is limited to; nothing while it is the whole image.
    const std::optional<QRegion>& drawClip() const { return clip_; }

    // Called by refresh() to show the image (the window paints it and paces the frames).
    void setOnRefresh(std::function<void()> f) { onRefresh_ = std::move(f); }
    // Called by setVisible() with the new visibility.
    void setOnVisibleChanged(std::function<void(bool)> f) { onVisibleChanged_ = std::move(f); }

    // The RGB colour of a colour number red + 256 x green + 65536 x blue; a number outside
    // 0..16777215 throws the invalid-property-value error (380).
    static QRgb toRgb(std::int32_t colour);

  private:
    // The pixel of a colour number in the palette (a number that is not a colour throws 380).
    QRgb drawn(std::int32_t colour) const;
    // Draws the pointer's wall in the palette's pointer colour, when the palette has one.
    void markPointerWall();

    std::string name_;
    std::string tag_;
    QImage image_;
    QColor backColor_;
    QFont font_;
    std::int32_t foreColor_ = 0;
    std::int32_t fillColor_ = 0;
    int fillStyle_ = 1;
    QPoint pen_;
    float currentX_ = 0.0f;
    float currentY_ = 0.0f;
    double ratio_ = 1.0;
    bool autoRedraw_ = false;
    bool visible_ = true;
    std::function<void()> onRefresh_;
    std::function<void(bool)> onVisibleChanged_;
    PaletteId palette_ = PaletteId::Classic;
    std::function<std::optional<PixelBox>()> pointerWall_;
    std::optional<QRegion> clip_;
    std::vector<QRect> clipRects_;  // clip_'s rectangles, empty while there is no clip
};

}  // namespace kestro
