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

// Whether the log may be written into what lies at its path. A regular file, and a character
// device, so that a log linked to /dev/null (or to /dev/full) takes the records and drops them.
// Not a FIFO: with no reader a write would wait for good. Not a folder or socket, which take no
// writes, and not a block device, whose contents a log must never overwrite.
bool writableKind(mode_t mode) {
    return S_ISREG(mode) || S_ISCHR(mode);
}

// Opens path (creating a regular file when nothing is there) without ever waiting: O_NONBLOCK
// keeps the open of a FIFO from waiting for a reader. A regular file is emptied and written with
// ordinary, waiting writes; a device keeps O_NONBLOCK, so a stalled terminal drops records
// instead of stopping the game. Anything else is closed again: the folder cannot hold the log.
UniqueFd openForWriting(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0644));
    struct stat st {};
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !writableKind(st.st_mode)) {
        return UniqueFd();
    }
    if (S_ISREG(st.st_mode)) {
        const int flags = ::fcntl(fd.get(), F_GETFL);
        if (::ftruncate(fd.get(), 0) != 0 || flags < 0 ||
            ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
            return UniqueFd();
        }
    }
    return fd;
}

// Opens the lock file beside the log; it must be a regular file, and nothing may wait on it.
UniqueFd openLock(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0644));
    struct stat st {};
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return UniqueFd();
    }
    return fd;
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

    log.lock = openLock(log.path + ".lock");
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
