#include "records/places.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace kestro::records {

namespace {

namespace fs = std::filesystem;

// $variable/kestro/name when the variable holds an absolute path, else
// <home>/<underHome>/kestro/name.
std::optional<fs::path> userFile(const char* variable, const char* underHome, const char* name) {
    if (const char* base = std::getenv(variable); base != nullptr && *base == '/') {
        return fs::path(base) / "kestro" / name;
    }
    std::string home;
    if (const char* h = std::getenv("HOME"); h != nullptr && *h != '\0') {
        home = h;
    } else if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) {
        home = pw->pw_dir;
    }
    if (home.empty()) {
        return std::nullopt;
    }
    return fs::path(home) / underHome / "kestro" / name;
}

}  // namespace

std::optional<fs::path> scoresPath() {
    return userFile("XDG_DATA_HOME", ".local/share", "scores");
}

std::optional<fs::path> lastGamePath() {
    return userFile("XDG_STATE_HOME", ".local/state", "last.egf");
}

std::optional<fs::path> preferencesPath() {
    return userFile("XDG_CONFIG_HOME", ".config", "kestro.conf");
}

fs::path runRecordPath(const fs::path& savedGame) {
    return fs::path(savedGame).replace_extension(".run");
}

}  // namespace kestro::records
