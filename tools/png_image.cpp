#include "tools/png_image.h"

#include <zlib.h>

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string_view>

namespace kestro::sim {

RgbImage::RgbImage(int width, int height, Rgb background)
    : width_(width),
      height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), background) {
    if (width < 1 || height < 1) {
        throw std::invalid_argument("an image has at least one pixel");
    }
}

Rgb RgbImage::at(int x, int y) const {
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                   static_cast<std::size_t>(x)];
}

void RgbImage::set(int x, int y, Rgb colour) {
    pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
            static_cast<std::size_t>(x)] = colour;
}

namespace {

void putWord(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 24));
    out.push_back(static_cast<std::uint8_t>(v >> 16));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

// A chunk: its length, type, data and the CRC of type and data.
void putChunk(std::vector<std::uint8_t>& out, std::string_view type,
              const std::vector<std::uint8_t>& data) {
    putWord(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc =
        crc32(crc32(0L, Z_NULL, 0), out.data() + start, static_cast<uInt>(out.size() - start));
    putWord(out, static_cast<std::uint32_t>(crc));
}

}  // namespace

std::vector<std::uint8_t> encodePng(const RgbImage& image) {
    const auto w = static_cast<std::uint32_t>(image.width());
    const auto h = static_cast<std::uint32_t>(image.height());

    // Each row: filter type 0 (none), then its pixels.
    std::vector<std::uint8_t> raw;
    raw.reserve((std::size_t{w} * 3 + 1) * h);
    for (int y = 0; y < image.height(); ++y) {
        raw.push_back(0);
        for (int x = 0; x < image.width(); ++x) {
            const Rgb c = image.at(x, y);
            raw.insert(raw.end(), {c.r, c.g, c.b});
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()),
                  Z_BEST_SPEED) != Z_OK) {
        throw std::runtime_error("cannot compress the picture");
    }
    packed.resize(packedSize);

    std::vector<std::uint8_t> header;
    putWord(header, w);
    putWord(header, h);
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, adaptive, no interlace

    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    putChunk(out, "IHDR", header);
    putChunk(out, "IDAT", packed);
    putChunk(out, "IEND", {});
    return out;
}

}  // namespace kestro::sim
