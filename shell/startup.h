#pragma once
// What start-up hands the renderer before the first scene, and the seed of the level generator.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestro::shell {

inline constexpr std::string_view kBanner = "Kestro Version 4.0";

// The two start-up entity texts: a colour entity "c0" that draws nothing, and the banner printed
// at the centre of a playfield of scaleWidth x scaleHeight pixels.
std::vector<std::string> startupEntities(float scaleWidth, float scaleHeight);

// The time of day in milliseconds since local midnight, fraction of the second included.
std::uint64_t timeOfDaySeed();

}  // namespace kestro::shell
