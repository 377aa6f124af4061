#pragma once
// The renderer: keeps the entity list, runs the frame loop (clear, draw, present, raise the
// render event, yield) until it is stopped.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "render/entity.h"
#include "render/surface.h"

namespace kestro {

class SlotMemo;
class TrapDialog;

class cRender {
  public:
    // yield processes all pending window events and returns; dialog answers the error trap.
    cRender(TrapDialog& dialog, std::function<void()> yield);  // Class_Initialize
    ~cRender();                                                // Class_Terminate
    cRender(const cRender&) = delete;
    cRender& operator=(const cRender&) = delete;

    bool renderInit(DrawingSurface* surfacePrimary);
    bool renderDeinit();
    bool renderStart();
    bool renderStop();
    bool renderEntitiesShrink(std::int16_t newH);
    bool renderEntitiesFill(const std::vector<std::string>& renderEntities, std::int32_t changeL,
                            std::int32_t changeH);

    DrawingSurface* sPrimary() const { return sPrimary_; }
    DrawingSurface* sBackBuffer() const { return sBackBuffer_; }

    // The event raised once per drawn frame, with objectsRendered = entitiesHigh - entitiesLow.
    std::function<void(std::int16_t& objectsRendered)> render;

    // Asked before each frame when set: false when the frame would show exactly what is on
    // screen already, and it is skipped (not cleared, drawn, presented or raised). The owner may
    // wait for something to happen before it answers false; the loop yields either way.
    std::function<bool()> frameWanted;

    // Read-only views for tests and tools.
    const std::vector<renderEntity>& entities() const { return entities_; }
    bool running() const { return running_; }

  private:
    bool renderFrame();
    void renderLoop();
    void renderClear();

    TrapDialog& dialog_;
    std::function<void()> yield_;
    DrawingSurface* sPrimary_ = nullptr;
    DrawingSurface* sBackBuffer_ = nullptr;
    std::vector<renderEntity> entities_;
    std::vector<SlotMemo> memos_;  // one per slot of entities_
    std::int16_t entitiesLow_ = 0;
    std::int32_t entitiesHigh_ = 0;
    bool entitiesReady_ = false;
    bool running_ = false;
};

}  // namespace kestro
