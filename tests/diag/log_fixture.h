#pragma once
// A fresh log module per test, a fixed platform whose executable folder is a temporary folder,
// and XDG_STATE_HOME pointed into that folder so no test can reach the real home.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "diag/log.h"
#include "diag/log_platform.h"

namespace kestro::testing {

// Sets or unsets an environment variable and puts the old value back afterwards.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        set(value);
    }
    ~ScopedEnv() { set(old_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    void set(const std::optional<std::string>& value) {
        if (value) {
            ::setenv(name_.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }
    std::string name_;
    std::optional<std::string> old_;
};

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// 22:05:09 on 7 December 2026.
inline LocalDateTime fixedTime() {
    return {2026, 12, 7, 22, 5, 9};
}

class LogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "kestro-diag-XXXXXX");
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        exeFolder_ = root_ / "game";
        std::filesystem::create_directory(exeFolder_);
        stateHome_.emplace("XDG_STATE_HOME", (root_ / "state").string());
        resetErrorLog();
        setLogPlatform(platform());
    }

    void TearDown() override {
        resetErrorLog();
        resetLogPlatform();
        stateHome_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
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
    std::filesystem::path root_;
    std::filesystem::path exeFolder_;
    std::optional<ScopedEnv> stateHome_;
};

}  // namespace kestro::testing
