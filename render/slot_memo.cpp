#include "render/slot_memo.h"

#include "common/rounding.h"
#include "render/numbers.h"

namespace kestro {

void SlotMemo::remember(std::string_view text) {
    source_.assign(text);
    parsed_ = true;
    colourKnown_ = Known::notYet;
    cornersKnown_ = Known::notYet;
}

void SlotMemo::forget() {
    parsed_ = false;
    colourKnown_ = Known::notYet;
    cornersKnown_ = Known::notYet;
}

std::optional<std::int32_t> SlotMemo::colour(const renderEntity& e) {
    if (colourKnown_ == Known::notYet) {
        const std::string_view text = e.text;
        if (!text.empty() && (text.front() == 'c' || text.front() == 'C') &&
            isNumeric(text.substr(1))) {
            colour_ = nearest<std::int32_t>(readNumber(text.substr(1)));
            colourKnown_ = Known::value;
        } else {
            colourKnown_ = Known::none;
        }
    }
    if (colourKnown_ == Known::value) {
        return colour_;
    }
    return std::nullopt;
}

const SlotMemo::Corners* SlotMemo::corners(const renderEntity& e) {
    if (cornersKnown_ == Known::notYet) {
        const auto x1 = tryNearest<std::int32_t>(e.x1);
        const auto y1 = tryNearest<std::int32_t>(e.y1);
        const auto x2 = tryNearest<std::int32_t>(e.x2);
        const auto y2 = tryNearest<std::int32_t>(e.y2);
        if (x1 && y1 && x2 && y2) {
            corners_ = {*x1, *y1, *x2, *y2};
            cornersKnown_ = Known::value;
        } else {
            cornersKnown_ = Known::none;
        }
    }
    return cornersKnown_ == Known::value ? &corners_ : nullptr;
}

}  // namespace kestro
