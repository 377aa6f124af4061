#pragma once
// The log module started afresh for one test on a fixed platform, and put back as it was found
// afterwards; optionally with the executable's folder in a temporary folder of its own.

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "diag/log.h"
#include "diag/log_platform.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace kestro::test {

// 22:05:09 on 7 December 2026.
inline LocalDateTime fixedTime() {
    return {2026, 12, 7, 22, 5, 9};
}

// The records of a log: its text split at CR LF; an unterminated tail is a record too.
inline std::vector<std::string> logRecords(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        out.push_back(text.substr(start, end - start));
    }
    if (start < text.size()) {
        out.push_back(text.substr(start));
    }
    return out;
}

// Forgets any log and sets the platform; closes and forgets the log and puts the real platform
// back when it goes.
class ScopedLogModule {
  public:
    explicit ScopedLogModule(LogPlatform platform) {
        resetErrorLog();
        setLogPlatform(std::move(platform));
    }
    ~ScopedLogModule() {
        resetErrorLog();
        resetLogPlatform();
    }
    ScopedLogModule(const ScopedLogModule&) = delete;
    ScopedLogModule& operator=(const ScopedLogModule&) = delete;
};

// The log module on a platform whose executable "kestro" lies in a fresh temporary folder and
// whose clock shows fixedTime(); the rest of the platform comes from `base`.
class TempLogFolder {
  public:
    explicit TempLogFolder(const std::string& prefix, LogPlatform base = {})
        : dir_(prefix), module_(platformIn(dir_.path(), std::move(base))) {}

    const std::filesystem::path& folder() const { return dir_.path(); }
    // The log file "<name>.erl" in the folder.
    std::filesystem::path logPath(const std::string& name) const { return dir_ / (name + ".erl"); }
    std::vector<std::string> records(const std::string& name) const {
        return logRecords(readFile(logPath(name)));
    }

  private:
    static LogPlatform platformIn(const std::filesystem::path& folder, LogPlatform p) {
        p.exeFolder = folder.string();
        p.exeName = "kestro";
        p.now = [] { return fixedTime(); };
        return p;
    }

    TempDir dir_;  // made before the log module is set, removed after it is put back
    ScopedLogModule module_;
};

}  // namespace kestro::test
