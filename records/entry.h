#pragma once
// One entry of the high-score table: a run's points with what went with them, under a name.

#include <cstdint>
#include <string>

namespace kestro::records {

// What a run banked at its best completion: the banked score, the level completed then, and the
// acceleration and top speed that level was built with, at the date of the completion.
struct RunScore {
    std::int32_t points = 0;
    std::int32_t level = 0;
    std::int32_t accel = 0;
    std::int32_t speed = 0;
    std::string date;  // UTC, "YYYY-MM-DDThh:mm:ssZ" (see date.h)

    friend bool operator==(const RunScore&, const RunScore&) = default;
};

struct Entry {
    std::string name;  // a storable name (cleanName in player_name.h)
    RunScore score;
    bool fromSavedGame = false;  // the run began from a loaded file

    friend bool operator==(const Entry&, const Entry&) = default;
};

}  // namespace kestro::records
