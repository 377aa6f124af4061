#include "render/crender.h"

#include <array>
#include <limits>
#include <string_view>
#include <utility>

#include "common/rounding.h"
#include "common/runtime_error.h"
#include "diag/error_trap.h"
#include "diag/log.h"
#include "render/numbers.h"
#include "render/routines.h"

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
    if (v < std::numeric_limits<std::int16_t>::min() ||
        v > std::numeric_limits<std::int16_t>::max()) {
        throw overflowError();
    }
    return static_cast<std::int32_t>(v);
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
    } else if (changeH < entitiesHigh_ && slot(entities_, entitiesHigh_).flags != 0) {
        for (std::int64_t k = std::int64_t{changeH} + 1; k <= entitiesHigh_; ++k) {
            slot(entities_, k).flags = 0;
        }
    }

    for (std::int64_t k = changeL; k <= changeH; ++k) {
        slot(entities_, k) = textToEntity(slot(renderEntities, k));
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
        const std::string_view text = e.text;

        if (!text.empty() && lowerTrim(text.substr(0, 1)) == "c" && isNumeric(text.substr(1))) {
            back.setForeColor(nearest<std::int32_t>(readNumber(text.substr(1))));
            back.setFillColor(back.foreColor());
            back.setFillStyle((e.flags & flagSolid) != 0 ? 0 : 1);
        }

        if (e.flags == 0) {
            continue;
        }
        if ((e.flags & (flagLine | flagText)) != 0) {
            back.moveTo(nearest<std::int32_t>(e.x1), nearest<std::int32_t>(e.y1));
        }
        if ((e.flags & flagLine) != 0) {
            back.lineTo(nearest<std::int32_t>(e.x2), nearest<std::int32_t>(e.y2));
        }
        if ((e.flags & flagText) != 0) {
            back.setCurrentX(e.x1);
            back.setCurrentY(e.y1);
            back.print(e.text);
        }
        if ((e.flags & flagRectangle) != 0) {
            back.rectangle(nearest<std::int32_t>(e.x1), nearest<std::int32_t>(e.y1),
                           nearest<std::int32_t>(e.x2), nearest<std::int32_t>(e.y2));
        }
        if ((e.flags & flagEllipse) != 0) {
            back.ellipse(nearest<std::int32_t>(e.x1), nearest<std::int32_t>(e.y1),
                         nearest<std::int32_t>(e.x2), nearest<std::int32_t>(e.y2));
        }
    }

    surfaceOrThrow(sPrimary_).refresh();

    const std::int64_t span = std::int64_t{entitiesHigh_} - entitiesLow_;
    if (span > std::numeric_limits<std::int16_t>::max() ||
        span < std::numeric_limits<std::int16_t>::min()) {
        throw overflowError();
    }
    std::int16_t objectsRendered = static_cast<std::int16_t>(span);
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
        renderClear();
        renderFrame();
        yield_();
    } while (running_);
}

void cRender::renderClear() {
    surfaceOrThrow(sBackBuffer_).cls();
}

}  // namespace kestro
