#include "diag/log_platform.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "common/runtime_error.h"
#include "common/version.h"

namespace kestro {

namespace {

// Replaces the real platform while a test runs.
std::optional<LogPlatform>& platformOverride() {
    static std::optional<LogPlatform> value;
    return value;
}

std::optional<std::string> readExePath() {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) {
            return std::nullopt;
        }
        if (static_cast<std::size_t>(n) < buffer.size()) {
            std::string path(buffer.data(), static_cast<std::size_t>(n));
            // An executable replaced while it runs is reported with this suffix.
            constexpr std::string_view kDeleted = " (deleted)";
            if (path.size() > kDeleted.size() && path.ends_with(kDeleted)) {
                path.resize(path.size() - kDeleted.size());
            }
            return path;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) {
        return pw->pw_dir;
    }
    return {};
}

}  // namespace

LocalDateTime localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&now, &tm);
    return LocalDateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                         tm.tm_hour,        tm.tm_min,     tm.tm_sec};
}

std::string logStamp(const LocalDateTime& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%02d%02d%02d:%02d%02d%02d", t.day, t.month, t.year % 100,
                  t.hour, t.minute, t.second);
    return text;
}

LogPlatform realLogPlatform() {
    const std::optional<std::string> exe = readExePath();
    if (!exe || exe->empty() || exe->front() != '/') {
        throw pathFileAccessError();
    }
    const std::size_t slash = exe->rfind('/');
    LogPlatform p;
    p.exeFolder = exe->substr(0, slash);  // "" for an executable in "/"
    p.exeName = exe->substr(slash + 1);
    p.instance = static_cast<std::int32_t>(::getpid());
    p.versionMajor = kVersionMajor;
    p.versionMinor = kVersionMinor;
    p.versionPatch = kVersionPatch;
    p.now = localNow;
    return p;
}

std::vector<std::string> logStateFolders() {
    std::vector<std::string> folders;
    if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && *state == '/') {
        folders.push_back(std::string(state) + "/kestro");
    }
    if (const std::string home = homeFolder(); !home.empty()) {
        std::string folder = home + "/.local/state/kestro";
        if (folders.empty() || folders.front() != folder) {
            folders.push_back(std::move(folder));
        }
    }
    return folders;
}

bool isSystemFolder(std::string_view folder) {
    for (const std::string_view root : {std::string_view("/usr"), std::string_view("/opt")}) {
        if (folder.starts_with(root) &&
            (folder.size() == root.size() || folder[root.size()] == '/')) {
            return true;
        }
    }
    return false;
}

LogPlatform currentLogPlatform() {
    if (platformOverride()) {
        return *platformOverride();
    }
    return realLogPlatform();
}

LocalDateTime logNow() {
    if (platformOverride() && platformOverride()->now) {
        return platformOverride()->now();
    }
    return localNow();
}

void setLogPlatform(LogPlatform platform) {
    platformOverride() = std::move(platform);
}

void resetLogPlatform() {
    platformOverride().reset();
}

}  // namespace kestro
