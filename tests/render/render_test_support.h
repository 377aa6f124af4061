#pragma once
// Helpers shared by the renderer and scene tests: the scripted trap dialog, a log that lives in
// a temporary folder for one test, and entity texts made from their fields.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "diag/error_trap.h"
#include "diag/log.h"
#include "diag/log_platform.h"
#include "render/entity.h"
#include "tests/support/temp_log.h"
#include "tests/support/trap_dialogs.h"

namespace kestro::test {

// Opens the log "render-test.erl" in a fresh temporary folder at the debug threshold, and puts
// the log module back as it was found afterwards.
class TempLog {
  public:
    TempLog() { errorLogFile(true, "render-test", 13, 0, false); }

    // The records written after the opening banner and program information.
    std::vector<std::string> records() const {
        std::vector<std::string> after;
        bool banner = true;
        for (const auto& line : log_.records("render-test")) {
            if (banner && (line.find("{Error Subsystem}") != std::string::npos ||
                           line.rfind("[ DEBUG ]                    ", 0) == 0)) {
                continue;
            }
            banner = false;
            after.push_back(line);
        }
        return after;
    }

  private:
    TempLogFolder log_{"kestro-render"};
};

inline std::string entityText(float x1, float x2, float y1, float y2, std::int32_t flags,
                              std::string text) {
    return entityToText(renderEntity{x1, x2, y1, y2, flags, std::move(text)});
}

}  // namespace kestro::test
