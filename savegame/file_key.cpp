#include "savegame/file_key.h"

#include <chrono>
#include <ctime>

#include "common/rounding.h"

namespace kestro::savegame {

std::int32_t fileKeyFromSeconds(double secondsSinceMidnight) {
    constexpr double kDay = 86400.0;
    // A leap second or a clock step must not push the key out of its range.
    if (!(secondsSinceMidnight > 0.0)) {
        return 0;
    }
    if (secondsSinceMidnight > kDay) {
        return static_cast<std::int32_t>(kDay);
    }
    return nearest<std::int32_t>(secondsSinceMidnight);
}

std::int32_t fileKeyNow() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr) {
        return 0;
    }
    // to_time_t truncates towards zero for times after the epoch; the rest is the fraction.
    const auto fraction = duration<double>(now - system_clock::from_time_t(t)).count();
    const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + fraction;
    return fileKeyFromSeconds(seconds);
}

}  // namespace kestro::savegame
