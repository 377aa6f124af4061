#pragma once
// A fresh log module per test, a fixed platform whose executable folder is a temporary folder,
// and XDG_STATE_HOME and HOME pointed into that folder so no test can reach the real home.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "diag/log.h"
#include "diag/log_platform.h"
#include "tests/support/files.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"
#include "tests/support/temp_log.h"

namespace kestro::test {

class LogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directory(exeFolder_);
        stateHome_.emplace("XDG_STATE_HOME", (root_ / "state").string());
        home_.emplace("HOME", (root_ / "home").string());
        logModule_.emplace(platform());
    }

    void TearDown() override {
        logModule_.reset();
        stateHome_.reset();
        home_.reset();
    }

    LogPlatform platform() const {
        LogPlatform p;
        p.exeFolder = exeFolder_.string();
        p.exeName = "kestro";
        p.instance = 4194304;
        p.versionMajor = 4;
        p.versionMinor = 0;
        p.versionPatch = 2;
        p.now = [this] { return now_; };
        return p;
    }

    std::filesystem::path logPath() const { return exeFolder_ / "kestro.erl"; }
    std::string logText() const { return readFile(logPath()); }

    // The log as start-up opens it.
    void openAsStartUp() { ASSERT_TRUE(errorLogFile(true, "kestro", 13, 0, false)); }
    void closeAsShutDown() { ASSERT_TRUE(errorLogFile(false, "", 0, 0, false)); }

    LocalDateTime now_ = fixedTime();  // what the platform's clock shows
    const TempDir tempDir_{"kestro-diag"};
    const std::filesystem::path root_ = tempDir_.path();
    const std::filesystem::path exeFolder_ = root_ / "game";
    std::optional<ScopedEnv> stateHome_;
    std::optional<ScopedEnv> home_;
    std::optional<ScopedLogModule> logModule_;
};

}  // namespace kestro::test
