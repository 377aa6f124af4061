#pragma once
// What the log needs to know about the running program and the machine: where the executable
// lies, what it is called, its process id, its version and the local time. The real values come
// from the system; tests put fixed ones in their place.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestro {

// Local date and time as calendar fields (year in full, month 1..12, hour 0..23).
struct LocalDateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

struct LogPlatform {
    std::string exeFolder;      // folder of the running executable, without a trailing "/"
    std::string exeName;        // file name of the executable
    std::int32_t instance = 0;  // the process id
    std::int16_t versionMajor = 0;
    std::int16_t versionMinor = 0;
    std::int16_t versionPatch = 0;
    std::string comments;                // free text shown after the version; empty in the game
    std::function<LocalDateTime()> now;  // the current local date and time
};

// The running program's values: /proc/self/exe, getpid(), the build's version and the local
// clock. Throws a RuntimeError when the executable's path cannot be read.
LogPlatform realLogPlatform();

// The local date and time now.
LocalDateTime localNow();

// "ddmmyy:hhmmss" of the given moment, as both log banners show it.
std::string logStamp(const LocalDateTime& t);

// The per-user folders the log moves to when the executable's folder cannot take it, in the
// order they are tried: $XDG_STATE_HOME/kestro (only an absolute XDG_STATE_HOME counts), then
// ~/.local/state/kestro (HOME, else the user's home in the password database); each once.
// Empty when neither is known.
std::vector<std::string> logStateFolders();

// Whether folder lies in the system's own folders (/usr, /opt), where an installed game lives:
// its log then never goes beside the executable, even when the user (root) could write there.
bool isSystemFolder(std::string_view folder);

// The platform the log uses: the one set for tests, or the real one.
LogPlatform currentLogPlatform();

// The current local time by the clock of the platform the log uses.
LocalDateTime logNow();

// Tests replace the platform with fixed values and put the real one back afterwards.
void setLogPlatform(LogPlatform platform);
void resetLogPlatform();

}  // namespace kestro
