#include "render/colour_check.h"

#include <algorithm>
#include <cmath>

#include "common/rounding.h"

namespace kestro {

namespace {

constexpr std::array<Vision, 4> kVisions = {Vision::Normal, Vision::Protanopia,
                                            Vision::Deuteranopia, Vision::Tritanopia};

constexpr Matrix3 kIdentity = {{{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}}};
// Machado, Oliveira and Fernandes (2009), table of severity 1.0.
constexpr Matrix3 kProtanopia = {{{0.152286, 1.052583, -0.204868},
                                  {0.114503, 0.786281, 0.099216},
                                  {-0.003882, -0.048116, 1.051998}}};
constexpr Matrix3 kDeuteranopia = {{{0.367322, 0.860646, -0.227968},
                                    {0.280085, 0.672501, 0.047413},
                                    {-0.011820, 0.042940, 0.968881}}};
constexpr Matrix3 kTritanopia = {{{1.255528, -0.076749, -0.178779},
                                  {-0.078411, 0.930809, 0.147602},
                                  {0.004733, 0.691367, 0.303900}}};

}  // namespace

std::span<const Vision> allVisions() {
    return kVisions;
}

std::string_view visionName(Vision v) {
    switch (v) {
        case Vision::Protanopia:
            return "protanopia";
        case Vision::Deuteranopia:
            return "deuteranopia";
        case Vision::Tritanopia:
            return "tritanopia";
        case Vision::Normal:
            break;
    }
    return "normal";
}

Rgb8 rgbOfColour(std::int32_t colour) {
    return Rgb8{static_cast<std::uint8_t>(colour & 0xFF),
                static_cast<std::uint8_t>((colour >> 8) & 0xFF),
                static_cast<std::uint8_t>((colour >> 16) & 0xFF)};
}

const Matrix3& visionMatrix(Vision v) {
    switch (v) {
        case Vision::Protanopia:
            return kProtanopia;
        case Vision::Deuteranopia:
            return kDeuteranopia;
        case Vision::Tritanopia:
            return kTritanopia;
        case Vision::Normal:
            break;
    }
    return kIdentity;
}

// WCAG 2.x: the sRGB transfer with its threshold at 0.03928.
double linearOf(std::uint8_t channel) {
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

std::uint8_t channelOf(double linear) {
    const double l = std::clamp(linear, 0.0, 1.0);
    const double c = l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1.0 / 2.4) - 0.055;
    return static_cast<std::uint8_t>(std::clamp(nearest<int>(c * 255.0), 0, 255));
}

Rgb8 simulate(Vision v, Rgb8 colour) {
    if (v == Vision::Normal) {
        return colour;
    }
    const Matrix3& m = visionMatrix(v);
    const std::array<double, 3> in = {linearOf(colour.r), linearOf(colour.g), linearOf(colour.b)};
    std::array<std::uint8_t, 3> out{};
    for (std::size_t i = 0; i < 3; ++i) {
        out[i] = channelOf(m[i][0] * in[0] + m[i][1] * in[1] + m[i][2] * in[2]);
    }
    return Rgb8{out[0], out[1], out[2]};
}

double relativeLuminance(Rgb8 colour) {
    return 0.2126 * linearOf(colour.r) + 0.7152 * linearOf(colour.g) + 0.0722 * linearOf(colour.b);
}

double contrastRatio(Rgb8 a, Rgb8 b) {
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace kestro
