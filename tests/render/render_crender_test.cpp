// The renderer against a surface that records its calls: what a frame draws and in which
// order, the slot rules of the entity list, the frame loop with its yields and stops, the
// error trap of renderInit and the log lines of the object's life.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "common/runtime_error.h"
#include "diag/error_trap.h"
#include "render/crender.h"
#include "render/entity.h"
#include "render_recording_surface.h"
#include "render_test_support.h"

namespace kestro {
namespace {

using test::entityText;
using test::RecordingSurface;
using test::ScriptedDialog;
using test::TempLog;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

// n rectangles, entry k at x = base + k.
std::vector<std::string> rects(int n, float base = 0.0f, std::int32_t flags = flagRectangle) {
    std::vector<std::string> texts;
    for (int k = 0; k < n; ++k) {
        const float x = base + static_cast<float>(k);
        texts.push_back(entityText(x, x + 1, 0, 1, flags, ""));
    }
    return texts;
}

std::vector<std::string> callsStartingWith(const std::vector<std::string>& calls,
                                           const std::string& prefix) {
    std::vector<std::string> out;
    for (const auto& c : calls) {
        if (c.rfind(prefix, 0) == 0) {
            out.push_back(c);
        }
    }
    return out;
}

// A renderer bound to a recording surface, with a counting yield whose hook tests can set.
struct Harness {
    Harness() {
        EXPECT_TRUE(renderer.renderInit(&surface));
        surface.calls.clear();
    }

    // Runs the loop for one frame: the first render event stops it. Returns objectsRendered,
    // or -1 when no event was raised.
    std::int16_t frame() {
        std::int16_t seen = -1;
        renderer.render = [&](std::int16_t& n) {
            seen = n;
            renderer.renderStop();
        };
        EXPECT_TRUE(renderer.renderStart());
        return seen;
    }

    RecordingSurface surface;
    ScriptedDialog dialog;
    int yields = 0;
    std::function<void()> onYield;
    cRender renderer{dialog, [this] {
                         ++yields;
                         if (onYield) {
                             onYield();
                         }
                     }};
};

template <typename F>
std::int32_t errorNumberOf(F&& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

TEST(RenderFrame, ClearsDrawsInFlagOrderPresentsThenRaisesTheEvent) {
    Harness h;
    const std::int32_t all = flagLine | flagEllipse | flagRectangle | flagSolid | flagText;
    h.renderer.renderEntitiesFill(
        {entityText(2.5f, 7.5f, 3.5f, 10.5f, all, "c255"), entityText(0, 0, 0, 0, 0, "")}, -1, -1);
    std::vector<std::string> atEvent;
    h.renderer.render = [&](std::int16_t&) {
        atEvent = h.surface.calls;
        h.renderer.renderStop();
    };
    h.renderer.renderStart();
    // Coordinates of the primitives round halves to even; the text position keeps the singles.
    EXPECT_THAT(h.surface.calls, ElementsAre("cls", "fore 255", "fill 255", "style 0", "move 2,4",
                                             "line 8,10", "curx 2.5", "cury 3.5", "print c255",
                                             "rect 2,4,8,10", "ellipse 2,4,8,10", "refresh"));
    EXPECT_EQ(atEvent, h.surface.calls) << "the event comes after presenting";
}

TEST(RenderFrame, EachFlagDrawsItsOwnPrimitive) {
    struct Case {
        std::int32_t flags;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {flagLine, {"move 1,2", "line 3,4"}},
        {flagText, {"move 1,2", "curx 1", "cury 2", "print hello"}},
        {flagLine | flagText, {"move 1,2", "line 3,4", "curx 1", "cury 2", "print hello"}},
        {flagRectangle, {"rect 1,2,3,4"}},
        {flagEllipse, {"ellipse 1,2,3,4"}},
        {flagRectangle | flagEllipse, {"rect 1,2,3,4", "ellipse 1,2,3,4"}},
        {1, {}},
        {flagSolid, {}},
        {0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        Harness h;
        h.renderer.renderEntitiesFill(
            {entityText(1, 3, 2, 4, c.flags, "hello"), entityText(0, 0, 0, 0, 0, "")}, -1, -1);
        h.frame();
        std::vector<std::string> expected = {"cls"};
        expected.insert(expected.end(), c.calls.begin(), c.calls.end());
        expected.push_back("refresh");
        EXPECT_EQ(h.surface.calls, expected);
    }
}

TEST(RenderFrame, ColourTestOnTheText) {
    struct Case {
        std::string text;
        std::int32_t flags;
        std::vector<std::string> calls;  // the colour calls, empty when the text is no colour
    };
    const Case cases[] = {
        {"c0", flagSolid, {"fore 0", "fill 0", "style 0"}},
        {"c0", 0, {"fore 0", "fill 0", "style 1"}},
        {"C255", 0, {"fore 255", "fill 255", "style 1"}},
        {"c 12 ", flagSolid, {"fore 12", "fill 12", "style 0"}},
        {"c2.5", 0, {"fore 2", "fill 2", "style 1"}},
        {"c3.5", 0, {"fore 4", "fill 4", "style 1"}},
        {"c1e3", 0, {"fore 1000", "fill 1000", "style 1"}},
        {"c16728128", 0, {"fore 16728128", "fill 16728128", "style 1"}},
        {"c", flagSolid, {}},
        {"cx", flagSolid, {}},
        {"c12x", flagSolid, {}},
        {" c5", flagSolid, {}},
        {"d5", flagSolid, {}},
        {"", flagSolid, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Harness h;
        h.renderer.renderEntitiesFill(
            {entityText(0, 0, 0, 0, c.flags, c.text), entityText(0, 0, 0, 0, 0, "")}, -1, -1);
        h.frame();
        std::vector<std::string> expected = {"cls"};
        expected.insert(expected.end(), c.calls.begin(), c.calls.end());
        expected.push_back("refresh");
        EXPECT_EQ(h.surface.calls, expected);
    }
}

TEST(RenderFrame, FailuresLeaveRenderStartAsErrors) {
    struct Case {
        std::string entity;
        std::int32_t number;
    };
    const Case cases[] = {
        {entityText(0, 0, 0, 0, 0, "c-1"), errnum::kInvalidPropertyValue},
        {entityText(0, 0, 0, 0, 0, "c16777216"), errnum::kInvalidPropertyValue},
        {entityText(0, 0, 0, 0, 0, "c99999999999"), errnum::kOverflow},
        {entityText(3e9f, 0, 0, 0, flagRectangle, ""), errnum::kOverflow},
        {entityText(0, 0, -3e9f, 0, flagLine, ""), errnum::kOverflow},
        {entityText(0, 0, 0, 3e9f, flagEllipse, ""), errnum::kOverflow},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entity);
        Harness h;
        h.renderer.renderEntitiesFill({c.entity, entityText(0, 0, 0, 0, 0, "")}, -1, -1);
        bool raised = false;
        h.renderer.render = [&](std::int16_t&) {
            raised = true;
            h.renderer.renderStop();
        };
        EXPECT_EQ(errorNumberOf([&] { h.renderer.renderStart(); }), c.number);
        EXPECT_FALSE(raised);
        EXPECT_EQ(callsStartingWith(h.surface.calls, "refresh").size(), 0u);
    }
}

TEST(RenderFill, SlotsAfter100Then96Then91Entries) {
    Harness h;
    h.renderer.renderEntitiesFill(rects(100, 0), -1, -1);
    EXPECT_EQ(h.frame(), 99);
    EXPECT_EQ(callsStartingWith(h.surface.calls, "rect").size(), 100u);

    // Fewer entries while the last slot draws: the tail is cleared and drawn no more.
    h.surface.calls.clear();
    h.renderer.renderEntitiesFill(rects(96, 1000), -1, -1);
    const auto& e = h.renderer.entities();
    ASSERT_EQ(e.size(), 100u);
    for (std::size_t k = 96; k < 100; ++k) {
        EXPECT_EQ(e[k].flags, 0) << k;
        EXPECT_EQ(e[k].x1, static_cast<float>(k)) << "coordinates of cleared slots stay";
    }
    EXPECT_EQ(h.frame(), 99);
    const auto drawn96 = callsStartingWith(h.surface.calls, "rect");
    ASSERT_EQ(drawn96.size(), 96u);
    EXPECT_EQ(drawn96.back(), "rect 1095,0,1096,1");

    // The last slot is already clear: nothing is cleared, so slots 91..95 of the previous fill
    // are still drawn.
    h.surface.calls.clear();
    h.renderer.renderEntitiesFill(rects(91, 2000), -1, -1);
    for (std::size_t k = 91; k <= 95; ++k) {
        EXPECT_EQ(e[k].flags, flagRectangle) << k;
        EXPECT_EQ(e[k].x1, 1000.0f + static_cast<float>(k)) << k;
    }
    EXPECT_EQ(h.frame(), 99);
    const auto drawn91 = callsStartingWith(h.surface.calls, "rect");
    ASSERT_EQ(drawn91.size(), 96u);
    EXPECT_EQ(drawn91[90], "rect 2090,0,2091,1");
    EXPECT_EQ(drawn91[91], "rect 1091,0,1092,1");
}

TEST(RenderFill, GrowsKeepingSlotsAndSharesIndices) {
    Harness h;
    h.renderer.renderEntitiesFill(rects(3, 0), -1, -1);
    h.renderer.renderEntitiesFill(rects(5, 100), 3, -1);
    const auto& e = h.renderer.entities();
    ASSERT_EQ(e.size(), 5u);
    EXPECT_EQ(e[0].x1, 0.0f);
    EXPECT_EQ(e[2].x1, 2.0f);
    EXPECT_EQ(e[3].x1, 103.0f) << "element k goes to slot k";
    EXPECT_EQ(e[4].x1, 104.0f);
    EXPECT_EQ(h.frame(), 4);

    // A part of an array: only its slots change, and the tail behind it is cleared because the
    // last slot draws.
    h.renderer.renderEntitiesFill(rects(5, 200), 1, 2);
    EXPECT_EQ(e[0].x1, 0.0f);
    EXPECT_EQ(e[1].x1, 201.0f);
    EXPECT_EQ(e[2].x1, 202.0f);
    EXPECT_EQ(e[3].flags, 0);
    EXPECT_EQ(e[4].flags, 0);
    EXPECT_EQ(h.frame(), 4);
}

TEST(RenderFill, BoundsAndConversionErrors) {
    struct Case {
        const char* what;
        std::vector<std::string> texts;
        std::int32_t changeL, changeH;
        std::int32_t number;  // 0: accepted
    };
    const std::string bad = "1\r\n2\r\n3\r\n4\r\nx\r\nc0";
    const Case cases[] = {
        {"first fill of two entries", rects(2), -1, -1, 0},
        {"first fill of one entry", rects(1), -1, -1, errnum::kSubscriptOutOfRange},
        {"no entries", {}, -1, -1, errnum::kSubscriptOutOfRange},
        {"a fifth field that is no number", {bad, bad}, -1, -1, errnum::kTypeMismatch},
        {"an index beyond the array", rects(2), 0, 2, errnum::kSubscriptOutOfRange},
        {"a negative index", rects(2), -2, 1, errnum::kSubscriptOutOfRange},
        {"an index beyond 16 bits", rects(2), 0, 40000, errnum::kOverflow},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedDialog dialog;
        cRender renderer(dialog, [] {});
        EXPECT_EQ(
            errorNumberOf([&] { renderer.renderEntitiesFill(c.texts, c.changeL, c.changeH); }),
            c.number);
    }

    // Once the list has two slots, a single entry is taken.
    ScriptedDialog dialog;
    cRender renderer(dialog, [] {});
    renderer.renderEntitiesFill(rects(2), -1, -1);
    EXPECT_EQ(errorNumberOf([&] { renderer.renderEntitiesFill(rects(1, 50), -1, -1); }), 0);
    EXPECT_EQ(renderer.entities()[0].x1, 50.0f);
    EXPECT_EQ(renderer.entities()[1].flags, 0);
}

TEST(RenderFill, ShrinkKeepsTheBoundsSoAFrameBeforeTheNextFillFails) {
    Harness h;
    h.renderer.renderEntitiesFill(rects(10), -1, -1);
    EXPECT_FALSE(h.renderer.renderEntitiesShrink(4));
    EXPECT_EQ(h.renderer.entities().size(), 5u);
    EXPECT_EQ(errorNumberOf([&] { h.frame(); }), errnum::kSubscriptOutOfRange);

    // A fill that reaches past the old bounds puts things right.
    h.renderer.renderEntitiesFill(rects(12), -1, -1);
    EXPECT_EQ(h.frame(), 11);
}

TEST(RenderLoop, WaitsYieldingUntilTheFirstFill) {
    Harness h;
    h.onYield = [&] {
        if (h.yields == 3) {
            h.renderer.renderEntitiesFill(rects(2), -1, -1);
        }
    };
    EXPECT_EQ(h.frame(), 1);
    EXPECT_EQ(h.yields, 4) << "three while waiting, one after the frame";
    EXPECT_THAT(h.surface.calls, ElementsAre("cls", "rect 0,0,1,1", "rect 1,0,2,1", "refresh"));
}

TEST(RenderLoop, StopWhileWaitingClearsOnceAndReturns) {
    const std::function<void(cRender&)> stops[] = {[](cRender& r) { r.renderStop(); },
                                                   [](cRender& r) { r.renderDeinit(); }};
    for (const auto& stop : stops) {
        Harness h;
        bool raised = false;
        h.renderer.render = [&](std::int16_t&) { raised = true; };
        h.onYield = [&] {
            if (h.yields == 2) {
                stop(h.renderer);
            }
        };
        EXPECT_TRUE(h.renderer.renderStart());
        EXPECT_FALSE(h.renderer.running());
        EXPECT_FALSE(raised);
        EXPECT_EQ(h.yields, 3);
        EXPECT_THAT(h.surface.calls, ElementsAre("cls"));

        // The renderer can be started again, and the list keeps nothing from the stop.
        h.onYield = nullptr;
        h.surface.calls.clear();
        h.renderer.renderEntitiesFill(rects(2), -1, -1);
        EXPECT_EQ(h.frame(), 1);
        EXPECT_EQ(callsStartingWith(h.surface.calls, "refresh").size(), 1u);
    }
}

TEST(RenderLoop, RunsFramesUntilStoppedAndTheOwnerRefillsBetweenThem) {
    Harness h;
    h.renderer.renderEntitiesFill(rects(2), -1, -1);
    std::vector<std::int16_t> seen;
    h.renderer.render = [&](std::int16_t& n) {
        seen.push_back(n);
        // The owner's handler composes the next list: one more entry each frame.
        h.renderer.renderEntitiesFill(rects(static_cast<int>(seen.size()) + 2, 10), -1, -1);
        if (seen.size() == 3) {
            h.renderer.renderStop();
        }
    };
    EXPECT_TRUE(h.renderer.renderStart());
    EXPECT_THAT(seen, ElementsAre(1, 2, 3));
    EXPECT_EQ(h.yields, 3);
    EXPECT_EQ(callsStartingWith(h.surface.calls, "cls").size(), 3u);
    EXPECT_EQ(callsStartingWith(h.surface.calls, "refresh").size(), 3u);
    EXPECT_EQ(callsStartingWith(h.surface.calls, "rect").size(), 2u + 3u + 4u);
    EXPECT_EQ(callsStartingWith(h.surface.calls, "rect")[2], "rect 10,0,11,1");
}

TEST(RenderLoop, StartWithoutASurfaceFailsAtTheFirstClear) {
    ScriptedDialog dialog;
    int yields = 0;
    cRender renderer(dialog, [&] { ++yields; });
    renderer.renderEntitiesFill(rects(2), -1, -1);
    EXPECT_EQ(errorNumberOf([&] { renderer.renderStart(); }), errnum::kObjectNotSet);
    EXPECT_EQ(yields, 0);
}

TEST(RenderInit, BindsThePrimarySurfaceAsBackBuffer) {
    TempLog log;
    RecordingSurface surface;
    ScriptedDialog dialog;
    {
        cRender renderer(dialog, [] {});
        EXPECT_TRUE(renderer.renderInit(&surface));
        EXPECT_EQ(renderer.sPrimary(), &surface);
        EXPECT_EQ(renderer.sBackBuffer(), &surface);
        EXPECT_THAT(surface.calls, ElementsAre("autoredraw 1"));
        EXPECT_TRUE(dialog.shown.empty());
    }
    EXPECT_THAT(log.records(), ElementsAre("[ DEBUG ]  {cRender} Class_Initalize()",
                                           "[ DEBUG ]  {cRender} renderInit(Kestro)",
                                           "[ DEBUG ]  {cRender} Class_Terminate()"));
}

TEST(RenderInit, ANullSurfaceIsTrappedAndAnsweredByThePlayer) {
    struct Case {
        const char* what;
        std::deque<int> answers;
        bool result;
        std::size_t dialogs;
    };
    const Case cases[] = {
        // The name for the log line and AutoRedraw both need the surface.
        {"ignore both", {kAnswerIgnore, kAnswerIgnore}, true, 2},
        {"abort", {kAnswerAbort}, false, 1},
        {"retry, then abort", {kAnswerRetry, kAnswerAbort}, false, 2},
        {"retry, then ignore both", {kAnswerRetry, kAnswerIgnore, kAnswerIgnore}, true, 3},
        {"ignore, then abort", {kAnswerIgnore, kAnswerAbort}, false, 2},
        {"no answer of the three", {0}, false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedDialog dialog(c.answers);
        cRender renderer(dialog, [] {});
        EXPECT_EQ(renderer.renderInit(nullptr), c.result);
        ASSERT_EQ(dialog.shown.size(), c.dialogs);
        for (const auto& shown : dialog.shown) {
            EXPECT_THAT(shown.text, HasSubstr("Number: 91"));
            EXPECT_THAT(shown.text, HasSubstr(" : renderInit()"));
        }
        EXPECT_EQ(renderer.sPrimary(), nullptr);
        EXPECT_EQ(renderer.sBackBuffer(), nullptr);
    }
}

TEST(RenderLifecycle, LogsConstructionStartStopDeinitAndDestruction) {
    TempLog log;
    RecordingSurface surface;
    ScriptedDialog dialog;
    {
        cRender renderer(dialog, [] {});
        renderer.renderInit(&surface);
        renderer.renderEntitiesFill(rects(2), -1, -1);
        renderer.render = [&](std::int16_t&) {
            renderer.renderStop();
            renderer.renderDeinit();
        };
        renderer.renderStart();
    }
    EXPECT_THAT(
        log.records(),
        ElementsAre("[ DEBUG ]  {cRender} Class_Initalize()",
                    "[ DEBUG ]  {cRender} renderInit(Kestro)", "[ DEBUG ]  {cRender} renderStart()",
                    "[ DEBUG ]  {cRender} renderStop()", "[ DEBUG ]  {cRender} renderDeinit()",
                    "[ DEBUG ]  {cRender} Class_Terminate()"));
}

TEST(RenderLifecycle, DestructionSetsVisibilityFromTheTag) {
    struct Case {
        std::string tag;
        std::vector<std::string> calls;
        std::vector<std::string> extraRecords;
    };
    const Case cases[] = {
        {"true", {"visible 1"}, {}},
        {"TRUE", {"visible 1"}, {}},
        {"False", {"visible 0"}, {}},
        // Not a Boolean: the visibility stays and the log says why.
        {"yes", {}, {"[ ERROR ]  {cRender} Class_Terminate() error 13 (Type mismatch)"}},
        {"", {}, {"[ ERROR ]  {cRender} Class_Terminate() error 13 (Type mismatch)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tag);
        TempLog log;
        RecordingSurface surface("Kestro", c.tag);
        {
            ScriptedDialog dialog;
            cRender renderer(dialog, [] {});
            renderer.renderInit(&surface);
            surface.calls.clear();
        }
        EXPECT_EQ(surface.calls, c.calls);
        std::vector<std::string> expected = {"[ DEBUG ]  {cRender} Class_Initalize()",
                                             "[ DEBUG ]  {cRender} renderInit(Kestro)",
                                             "[ DEBUG ]  {cRender} Class_Terminate()"};
        expected.insert(expected.end(), c.extraRecords.begin(), c.extraRecords.end());
        EXPECT_EQ(log.records(), expected);
    }

    // Never bound: no back buffer to show or hide.
    TempLog log;
    {
        ScriptedDialog dialog;
        cRender renderer(dialog, [] {});
    }
    EXPECT_THAT(log.records(),
                ElementsAre("[ DEBUG ]  {cRender} Class_Initalize()",
                            "[ DEBUG ]  {cRender} Class_Terminate()",
                            "[ ERROR ]  {cRender} Class_Terminate() error 91 (Object variable or "
                            "With block variable not set)"));
}

}  // namespace
}  // namespace kestro
