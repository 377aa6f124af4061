#pragma once
// A drawing surface that writes down every call the renderer makes, in order, as short lines
// ("cls", "fore 255", "rect 1,2,3,4", ...). It accepts colours as the real surface does.

#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "common/runtime_error.h"
#include "render/surface.h"

namespace kestro::test {

class RecordingSurface final : public DrawingSurface {
  public:
    explicit RecordingSurface(std::string name = "Kestro", std::string tag = "true")
        : name_(std::move(name)), tag_(std::move(tag)) {}

    std::string name() const override { return name_; }
    void setAutoRedraw(bool on) override { add("autoredraw " + std::to_string(on)); }
    void cls() override { add("cls"); }
    std::int32_t foreColor() const override { return fore_; }
    void setForeColor(std::int32_t colour) override {
        check(colour);
        fore_ = colour;
        add("fore " + std::to_string(colour));
    }
    void setFillColor(std::int32_t colour) override {
        check(colour);
        add("fill " + std::to_string(colour));
    }
    void setFillStyle(int style) override { add("style " + std::to_string(style)); }
    void moveTo(std::int32_t x, std::int32_t y) override { add("move " + pair(x, y)); }
    void lineTo(std::int32_t x, std::int32_t y) override { add("line " + pair(x, y)); }
    void rectangle(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) override {
        add("rect " + pair(l, t) + "," + pair(r, b));
    }
    void ellipse(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) override {
        add("ellipse " + pair(l, t) + "," + pair(r, b));
    }
    void setCurrentX(float x) override { add("curx " + number(x)); }
    void setCurrentY(float y) override { add("cury " + number(y)); }
    void print(const std::string& text) override { add("print " + text); }
    void refresh() override {
        add("refresh");
        if (onRefresh) {
            onRefresh();
        }
    }
    std::string tag() const override { return tag_; }
    void setVisible(bool visible) override { add("visible " + std::to_string(visible)); }

    std::vector<std::string> calls;
    std::function<void()> onRefresh;

  private:
    void add(std::string call) { calls.push_back(std::move(call)); }
    static void check(std::int32_t colour) {
        if (colour < 0 || colour > 0xFFFFFF) {
            throw invalidPropertyValue();
        }
    }
    static std::string pair(std::int32_t a, std::int32_t b) {
        return std::to_string(a) + "," + std::to_string(b);
    }
    static std::string number(float v) {
        std::ostringstream out;
        out << v;
        return out.str();
    }

    std::string name_;
    std::string tag_;
    std::int32_t fore_ = 0;
};

}  // namespace kestro::test
