#pragma once
// Checks of colours for readers with any kind of colour vision: contrast ratios and how colours
// look with a colour-vision deficiency.
//
// Contrast is the WCAG 2.x contrast ratio of relative luminances, 1 (none) to 21 (black on
// white). The deficiencies are simulated with the matrices of Machado, Oliveira and Fernandes
// (2009) at severity 1.0, applied to linear RGB.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace kestro {

enum class Vision { Normal, Protanopia, Deuteranopia, Tritanopia };

// Every vision, Normal first.
std::span<const Vision> allVisions();
// "normal", "protanopia", "deuteranopia", "tritanopia".
std::string_view visionName(Vision v);

// An sRGB colour, 8 bits a channel.
struct Rgb8 {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb8&, const Rgb8&) = default;
};
Rgb8 rgbOfColour(std::int32_t colour);  // from red + 256 x green + 65536 x blue

using Matrix3 = std::array<std::array<double, 3>, 3>;
// The matrix that takes linear RGB as seen normally to linear RGB as seen with the vision; the
// identity for Normal.
const Matrix3& visionMatrix(Vision v);

// The sRGB channel (0..255) as linear light 0..1, and back (rounded, clamped to 0..255).
double linearOf(std::uint8_t channel);
std::uint8_t channelOf(double linear);

// The colour as seen with the vision, in sRGB.
Rgb8 simulate(Vision v, Rgb8 colour);

double relativeLuminance(Rgb8 colour);
// (lighter + 0.05) / (darker + 0.05) of the two colours' relative luminances.
double contrastRatio(Rgb8 a, Rgb8 b);

}  // namespace kestro
