#include "sound/coalescer.h"

namespace kestro::sound {

bool Coalescer::admit(GameEvent event, Millis at) {
    std::optional<Millis>& last = last_[static_cast<std::size_t>(event)];
    if (last && at >= *last && at - *last < kCoalesceMs) {
        return false;
    }
    last = at;
    return true;
}

}  // namespace kestro::sound
