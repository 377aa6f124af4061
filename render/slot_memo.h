#pragma once
// What the renderer remembers of one slot of its entity list: the text the slot's entity was
// parsed from, so that a fill handing over the same text again need not parse it, and what a
// frame works out from the entity (the colour its text names, its corners in whole pixels), so
// that this is worked out once per parse instead of once per frame.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "render/entity.h"

namespace kestro {

class SlotMemo {
  public:
    // True when the slot's entity is what textToEntity(text) gives.
    bool parsedFrom(std::string_view text) const { return parsed_ && source_ == text; }
    // The slot's entity has just been parsed from text.
    void remember(std::string_view text);
    // The slot's entity has been changed otherwise (its flags cleared).
    void forget();

    // The colour the entity's text names: "c" or "C" followed by a numeric text, whose number
    // is rounded to an integer; nothing for any other text. A number beyond 32 bits throws the
    // overflow (6), every time it is asked for.
    std::optional<std::int32_t> colour(const renderEntity& e);

    // x1, y1, x2, y2 rounded to whole pixels, or nothing when one of them does not fit in 32 bits.
    using Corners = std::array<std::int32_t, 4>;
    const Corners* corners(const renderEntity& e);

  private:
    enum class Known : std::uint8_t { notYet, none, value };

    std::string source_;
    bool parsed_ = false;
    Known colourKnown_ = Known::notYet;
    std::int32_t colour_ = 0;
    Known cornersKnown_ = Known::notYet;
    Corners corners_{};
};

}  // namespace kestro
