#pragma once
// A small RGB picture and its PNG form, without Qt: eight bits a channel, no alpha, the pixels
// compressed with zlib.

#include <cstdint>
#include <vector>

namespace kestro::sim {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

class RgbImage {
  public:
    RgbImage(int width, int height, Rgb background);

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb at(int x, int y) const;
    void set(int x, int y, Rgb colour);

  private:
    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

// The whole PNG file of the image (signature, IHDR, one IDAT, IEND).
std::vector<std::uint8_t> encodePng(const RgbImage& image);

}  // namespace kestro::sim
