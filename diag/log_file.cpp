#include "diag/log_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "common/runtime_error.h"
#include "common/write_all.h"

namespace kestro {

namespace {

constexpr std::int32_t kPathFileAccessError = 75;

UniqueFd openForWriting(const std::string& path) {
    return UniqueFd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
}

// Creates folder and its missing parents (private to the user, as state folders are).
void makeFolders(const std::string& folder) {
    for (std::size_t at = 1; at <= folder.size(); ++at) {
        if (at == folder.size() || folder[at] == '/') {
            const std::string part = folder.substr(0, at);
            if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
                return;
            }
        }
    }
}

}  // namespace

void writeOrDrop(int fd, std::string_view bytes) noexcept {
    static_cast<void>(writeAll(fd, bytes.data(), bytes.size()));
}

std::optional<LogFile> openLogIn(const std::string& folder, std::string_view name,
                                 std::int32_t pid) {
    const std::string base = folder + "/" + std::string(name);
    LogFile log;
    log.path = base + ".erl";

    log.lock = UniqueFd(
        ::open((log.path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0644));
    if (!log.lock.valid()) {
        return std::nullopt;
    }
    int locked;
    do {
        locked = ::flock(log.lock.get(), LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        if (errno == EWOULDBLOCK) {
            // Another running instance writes the main log: leave it alone.
            log.previousInstance = true;
            log.path = base + "-" + std::to_string(pid) + ".erl";
        }
        // Without lock support the log is still written, only unguarded.
        log.lock.reset();
    }

    log.file = openForWriting(log.path);
    if (!log.file.valid()) {
        return std::nullopt;
    }
    return log;
}

LogFile openLogFile(const std::string& exeFolder, const std::string& stateFolder,
                    std::string_view name, std::int32_t pid) {
    if (auto log = openLogIn(exeFolder, name, pid)) {
        return std::move(*log);
    }
    if (!stateFolder.empty()) {
        makeFolders(stateFolder);
        if (auto log = openLogIn(stateFolder, name, pid)) {
            return std::move(*log);
        }
    }
    throw RuntimeError(kPathFileAccessError, kErrorSource, "Path/File access error");
}

}  // namespace kestro
