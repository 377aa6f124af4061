// The renderer's entity list over long random histories of fills, against a plain model of the
// slot rules kept here (every text of the range parsed afresh, the tail cleared only while the
// last slot draws), and each frame against a fresh renderer handed the model's list: what a
// renderer remembers from earlier fills must never show in its slots or its frames.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "common/runtime_error.h"
#include "render/crender.h"
#include "render/entity.h"
#include "render_recording_surface.h"
#include "render_test_support.h"
#include "show_text.h"

namespace kestro {
namespace {

using test::entityText;
using test::RecordingSurface;
using test::ScriptedDialog;
using test::show;

template <typename F>
std::int32_t errorNumberOf(F&& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

// The slot rules of renderEntitiesFill and renderEntitiesShrink, parsing every text.
struct SlotModel {
    std::vector<renderEntity> entities;
    std::int32_t high = 0;

    renderEntity& at(std::int64_t k) {
        if (k < 0 || k >= static_cast<std::int64_t>(entities.size())) {
            throw subscriptOutOfRange();
        }
        return entities[static_cast<std::size_t>(k)];
    }

    void fill(const std::vector<std::string>& texts, std::int32_t changeL, std::int32_t changeH) {
        const auto bound = [&]() -> std::int64_t {
            if (texts.empty()) {
                throw subscriptOutOfRange();
            }
            return static_cast<std::int64_t>(texts.size()) - 1;
        };
        const auto int16 = [](std::int64_t v) {
            if (v < std::numeric_limits<std::int16_t>::min() ||
                v > std::numeric_limits<std::int16_t>::max()) {
                throw overflowError();
            }
            return static_cast<std::int32_t>(v);
        };
        if (changeL == -1) {
            bound();
            changeL = 0;
        }
        if (changeH == -1) {
            changeH = int16(bound());
        }
        changeL = int16(changeL);
        changeH = int16(changeH);
        if (changeH > high) {
            entities.resize(static_cast<std::size_t>(changeH) + 1);
        } else if (changeH < high && at(high).flags != 0) {
            for (std::int64_t k = std::int64_t{changeH} + 1; k <= high; ++k) {
                at(k).flags = 0;
            }
        }
        for (std::int64_t k = changeL; k <= changeH; ++k) {
            if (k < 0 || k >= static_cast<std::int64_t>(texts.size())) {
                throw subscriptOutOfRange();
            }
            // The text is parsed before its slot is looked up.
            const renderEntity parsed = textToEntity(texts[static_cast<std::size_t>(k)]);
            at(k) = parsed;
        }
        if (entities.empty()) {
            throw subscriptOutOfRange();
        }
        high = static_cast<std::int32_t>(entities.size() - 1);
    }
};

// The calls of one frame of a renderer on a recording surface, or the error number it failed
// with after them.
struct Frame {
    std::vector<std::string> calls;
    std::int32_t error = 0;
    friend bool operator==(const Frame&, const Frame&) = default;
};

Frame drawFrame(cRender& renderer, RecordingSurface& surface) {
    surface.calls.clear();
    renderer.render = [&](std::int16_t&) { renderer.renderStop(); };
    Frame f;
    f.error = errorNumberOf([&] { renderer.renderStart(); });
    f.calls = surface.calls;
    return f;
}

// A frame of a renderer that has only ever been handed the model's list.
Frame freshFrame(const SlotModel& model) {
    std::vector<std::string> texts;
    for (const auto& e : model.entities) {
        texts.push_back(entityToText(e));
    }
    RecordingSurface surface;
    ScriptedDialog dialog;
    cRender renderer(dialog, [] {});
    renderer.renderInit(&surface);
    renderer.renderEntitiesFill(texts, -1, -1);
    return drawFrame(renderer, surface);
}

// Texts that often repeat: a few boxes and ellipses in a few colours, lines and printed text,
// and now and then one that fails in the fill (13, 6) or in the frame (380, 6).
std::string randomText(std::mt19937_64& rng) {
    const auto small = [&](int n) { return static_cast<float>(rng() % static_cast<unsigned>(n)); };
    switch (rng() % 24) {
        case 0:
            return "1\r\n2\r\n3\r\n4\r\nx\r\nc0";  // the flags are no number: 13
        case 1:
            return "1e39\r\n2\r\n3\r\n4\r\n8\r\n";  // beyond the single range: 6
        case 2:
            return entityText(1, 2, 3, 4, flagRectangle, "c16777216");  // no colour: 380
        case 3:
            return entityText(1, 2, 3, 4, flagEllipse, "c99999999999");  // 6
        case 4:
            return "no entity";
        case 5:
            return entityText(small(20), small(20), small(20), small(20), flagLine | flagText,
                              "c255 and words");
        default:
            break;
    }
    const std::int32_t shapes[] = {flagRectangle | flagSolid, flagEllipse | flagSolid,
                                   flagRectangle | flagEllipse | flagSolid, flagRectangle, 0};
    const char* colours[] = {"c0", "c255", "c65280", "c16711680", "", "C 12 ", "c2.5"};
    const float x = small(6) * 9.864407f;
    const float y = small(6) * 11.17021f;
    return entityText(x, x + 9.864407f, y, y + 11.17021f, shapes[rng() % std::size(shapes)],
                      colours[rng() % std::size(colours)]);
}

TEST(RenderFillReuse, RandomHistoriesMatchAFreshParseOfEveryText) {
    std::mt19937_64 rng(4242);
    for (int history = 0; history < 300; ++history) {
        RecordingSurface surface;
        ScriptedDialog dialog;
        cRender renderer(dialog, [] {});
        renderer.renderInit(&surface);
        SlotModel model;
        std::vector<std::string> texts;
        std::ostringstream log;

        for (int step = 0; step < 40; ++step) {
            // Mostly the previous list with a few texts changed, added or taken away, as between
            // two frames of the game; sometimes a new list or a shrink.
            const auto choice = rng() % 16;
            if (choice == 0) {
                const auto n = static_cast<std::int16_t>(rng() % 12);
                log << "shrink " << n << "\n";
                EXPECT_EQ(
                    errorNumberOf([&] { renderer.renderEntitiesShrink(n); }),
                    errorNumberOf([&] { model.entities.resize(static_cast<std::size_t>(n) + 1); }));
                continue;
            }
            if (choice == 1 || texts.empty()) {
                texts.assign(1 + rng() % 30, std::string());
                for (auto& t : texts) {
                    t = randomText(rng);
                }
            } else {
                for (auto changes = rng() % 4; changes > 0; --changes) {
                    const auto k = rng() % texts.size();
                    switch (rng() % 3) {
                        case 0:
                            texts[k] = randomText(rng);
                            break;
                        case 1:
                            texts.insert(texts.begin() + static_cast<std::ptrdiff_t>(k),
                                         randomText(rng));
                            break;
                        default:
                            if (texts.size() > 1) {
                                texts.erase(texts.begin() + static_cast<std::ptrdiff_t>(k));
                            }
                            break;
                    }
                }
            }
            std::int32_t low = -1;
            std::int32_t high = -1;
            if (rng() % 6 == 0) {
                low = static_cast<std::int32_t>(rng() % (texts.size() + 2)) - 1;
                high = static_cast<std::int32_t>(rng() % (texts.size() + 2)) - 1;
            }
            log << "fill " << texts.size() << " texts " << low << ".." << high << "\n";
            const std::int32_t error =
                errorNumberOf([&] { renderer.renderEntitiesFill(texts, low, high); });
            ASSERT_EQ(error, errorNumberOf([&] { model.fill(texts, low, high); })) << log.str();

            const auto& got = renderer.entities();
            ASSERT_EQ(got.size(), model.entities.size()) << log.str();
            for (std::size_t k = 0; k < got.size(); ++k) {
                ASSERT_EQ(got[k], model.entities[k])
                    << "slot " << k << " " << show(entityToText(got[k])) << "\n"
                    << log.str();
            }
            if (error == 0 && got.size() >= 2) {
                ASSERT_EQ(drawFrame(renderer, surface), freshFrame(model)) << log.str();
            }
        }
    }
}

}  // namespace
}  // namespace kestro
