#include "render/crender.h"

#include <array>
#include <string_view>
#include <utility>

#include "common/int_range.h"
#include "common/rounding.h"
#include "common/runtime_error.h"
#include "diag/error_trap.h"
#include "diag/log.h"
#include "render/numbers.h"
#include "render/routines.h"
#include "render/slot_memo.h"

namespace kestro {

namespace {

DrawingSurface& surfaceOrThrow(DrawingSurface* surface) {
    if (surface == nullptr) {
        throw objectNotSet();
    }
    return *surface;
}

// Element k of a list whose bounds are 0..size-1; anything else is a subscript error.
template <typename Vector>
auto& slot(Vector& list, std::int64_t k) {
    if (k < 0 || k >= static_cast<std::int64_t>(list.size())) {
        throw subscriptOutOfRange();
    }
    return list[static_cast<std::size_t>(k)];
}

// A bound handed over as a 16-bit argument.
std::int32_t asInt16(std::int64_t v) {
    return checked16(v);
}

// Indices of SlotMemo::Corners.
enum Corner : std::size_t { cornerX1, cornerY1, cornerX2, cornerY2 };

float cornerOf(const renderEntity& e, Corner c) {
    switch (c) {
        case cornerX1:
            return e.x1;
        case cornerY1:
            return e.y1;
        case cornerX2:
            return e.x2;
        case cornerY2:
            break;
    }
    return e.y2;
}

// The primitives of an entity's flags, in their order; px(corner) is a corner in whole pixels.
template <typename Pixels>
void drawEntity(DrawingSurface& back, const renderEntity& e, Pixels px) {
    if ((e.flags & (flagLine | flagText)) != 0) {
        back.moveTo(px(cornerX1), px(cornerY1));
    }
    if ((e.flags & flagLine) != 0) {
        back.lineTo(px(cornerX2), px(cornerY2));
    }
    if ((e.flags & flagText) != 0) {
        back.setCurrentX(e.x1);
        back.setCurrentY(e.y1);
        back.print(e.text);
    }
    if ((e.flags & flagRectangle) != 0) {
        back.rectangle(px(cornerX1), px(cornerY1), px(cornerX2), px(cornerY2));
    }
    if ((e.flags & flagEllipse) != 0) {
        back.ellipse(px(cornerX1), px(cornerY1), px(cornerX2), px(cornerY2));
    }
}

// The Boolean value of a text: "true" or "false" in any case; other text is a type mismatch.
bool booleanOf(std::string_view text) {
    const std::string lower = lowerTrim(text);
    if (lower.size() != text.size()) {
        // lowerTrim also removed blanks; only the exact words count.
        throw typeMismatch();
    }
    if (lower == "true") {
        return true;
    }
    if (lower == "false") {
        return false;
    }
    throw typeMismatch();
}

}  // namespace

cRender::cRender(TrapDialog& dialog, std::function<void()> yield)
    : dialog_(dialog), yield_(std::move(yield)) {
    errorLogDebug("{cRender} Class_Initalize()");
}

cRender::~cRender() {
    errorLogDebug("{cRender} Class_Terminate()");
    sPrimary_ = nullptr;
    // A destructor cannot pass an error on: a back buffer that is missing or whose tag is not a
    // Boolean text leaves its visibility alone and is noted in the log.
    try {
        DrawingSurface& back = surfaceOrThrow(sBackBuffer_);
        back.setVisible(booleanOf(back.tag()));
    } catch (const RuntimeError& e) {
        errorLogWrite("{cRender} Class_Terminate() error " + std::to_string(e.number()) + " (" +
                          e.description() + ")",
                      kLevelError);
    } catch (...) {
        errorLogWrite("{cRender} Class_Terminate() failed to restore the visibility", kLevelError);
    }
    sBackBuffer_ = nullptr;
}

bool cRender::renderInit(DrawingSurface* surfacePrimary) {
    bool result = false;
    const std::array<std::function<void()>, 5> steps = {
        [&] {
            errorLogDebug("{cRender} renderInit(" + surfaceOrThrow(surfacePrimary).name() + ")");
        },
        [&] { sPrimary_ = surfacePrimary; },
        [&] { surfaceOrThrow(sPrimary_).setAutoRedraw(true); },
        [&] { sBackBuffer_ = sPrimary_; },
        [&] { result = true; },
    };
    runTrapped(dialog_, "renderInit()", steps);
    return result;
}

bool cRender::renderDeinit() {
    errorLogDebug("{cRender} renderDeinit()");
    running_ = false;
    return true;
}

bool cRender::renderStart() {
    errorLogDebug("{cRender} renderStart()");
    running_ = true;
    renderLoop();
    return true;
}

bool cRender::renderStop() {
    errorLogDebug("{cRender} renderStop()");
    running_ = false;
    return true;
}

bool cRender::renderEntitiesShrink(std::int16_t newH) {
    if (newH < 0) {
        throw subscriptOutOfRange();
    }
    entities_.resize(static_cast<std::size_t>(newH) + 1);
    memos_.resize(entities_.size());
    return false;
}

bool cRender::renderEntitiesFill(const std::vector<std::string>& renderEntities,
                                 std::int32_t changeL, std::int32_t changeH) {
    // An array without elements has no bounds to take.
    const auto bounds = [&]() -> std::int64_t {
        if (renderEntities.empty()) {
            throw subscriptOutOfRange();
        }
        return static_cast<std::int64_t>(renderEntities.size()) - 1;
    };
    if (changeL == -1) {
        bounds();
        changeL = 0;
    }
    if (changeH == -1) {
        changeH = asInt16(bounds());
    }
    changeL = asInt16(changeL);
    changeH = asInt16(changeH);

    if (changeH > entitiesHigh_) {
        entities_.resize(static_cast<std::size_t>(changeH) + 1);
        memos_.resize(entities_.size());
    } else if (changeH < entitiesHigh_ && slot(entities_, entitiesHigh_).flags != 0) {
        for (std::int64_t k = std::int64_t{changeH} + 1; k <= entitiesHigh_; ++k) {
            slot(entities_, k).flags = 0;
            slot(memos_, k).forget();
        }
    }

    // A slot whose entity was parsed from the same text keeps it; the others parse their text
    // (before their slot is looked up, as an assignment evaluates its right side first).
    for (std::int64_t k = changeL; k <= changeH; ++k) {
        const std::string& text = slot(renderEntities, k);
        if (k < static_cast<std::int64_t>(memos_.size()) &&
            memos_[static_cast<std::size_t>(k)].parsedFrom(text)) {
            continue;
        }
        renderEntity parsed = textToEntity(text);
        slot(entities_, k) = std::move(parsed);
        slot(memos_, k).remember(text);
    }

    if (entities_.empty()) {
        throw subscriptOutOfRange();
    }
    entitiesLow_ = 0;
    entitiesHigh_ = static_cast<std::int32_t>(entities_.size() - 1);
    entitiesReady_ = true;
    return false;
}

bool cRender::renderFrame() {
    if (!running_ || !entitiesReady_) {
        return false;
    }
    DrawingSurface& back = surfaceOrThrow(sBackBuffer_);
    for (std::int64_t k = entitiesLow_; k <= entitiesHigh_; ++k) {
        const renderEntity& e = slot(entities_, k);
        SlotMemo& memo = slot(memos_, k);

        if (const auto colour = memo.colour(e)) {
            back.setForeColor(*colour);
            back.setFillColor(back.foreColor());
            back.setFillStyle((e.flags & flagSolid) != 0 ? 0 : 1);
        }

        if (e.flags == 0) {
            continue;
        }
        // Corners that fit in 32 bits are rounded once per parse; otherwise each use rounds
        // its own and the first that does not fit fails, after what was drawn before it.
        if (const SlotMemo::Corners* corners = memo.corners(e)) {
            drawEntity(back, e, [corners](Corner c) { return (*corners)[c]; });
        } else {
            drawEntity(back, e, [&e](Corner c) { return nearest<std::int32_t>(cornerOf(e, c)); });
        }
    }

    surfaceOrThrow(sPrimary_).refresh();

    const std::int64_t span = std::int64_t{entitiesHigh_} - entitiesLow_;
    std::int16_t objectsRendered = checked16(span);
    if (render) {
        render(objectsRendered);
    }
    return false;
}

void cRender::renderLoop() {
    if (!running_) {
        return;
    }
    do {
        while (!entitiesReady_ && running_) {
            yield_();
        }
        if (!frameWanted || frameWanted()) {
            renderClear();
            renderFrame();
        }
        yield_();
    } while (running_);
}

void cRender::renderClear() {
    surfaceOrThrow(sBackBuffer_).cls();
}

}  // namespace kestro
