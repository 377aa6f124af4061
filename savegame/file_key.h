#pragma once
// The key a save hides its numbers with: the time of day in whole seconds since midnight.

#include <cstdint>

namespace kestro::savegame {

// nearest(seconds), 0..86400: the moment just before midnight rounds up to 86400.
std::int32_t fileKeyFromSeconds(double secondsSinceMidnight);

// The key for a save made now, from the local time of day.
std::int32_t fileKeyNow();

}  // namespace kestro::savegame
