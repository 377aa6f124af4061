#include "diag/log_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <utility>
#include <vector>

#include "common/runtime_error.h"
#include "common/write_all.h"

namespace kestro {

namespace {

// Whether the log may be written into what lies at its path. A regular file, and a character
// device, so that a log linked to /dev/null (or to /dev/full) takes the records and drops them.
// Not a FIFO: with no reader a write would wait for good. Not a folder or socket, which take no
// writes, and not a block device, whose contents a log must never overwrite.
bool writableKind(mode_t mode) {
    return S_ISREG(mode) || S_ISCHR(mode);
}

// Takes an exclusive lock on fd without waiting. EWOULDBLOCK when another open file holds a
// lock; 0 when the lock is taken, and also when the file system has no locks to take.
int lockNow(int fd) {
    int locked;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked == 0) {
        return 0;
    }
    return errno == EWOULDBLOCK ? EWOULDBLOCK : 0;
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Opens path (creating a regular file when nothing is there) without ever waiting: O_NONBLOCK
// keeps the open of a FIFO from waiting for a reader. A regular file is emptied and written with
// ordinary, waiting writes; a device keeps O_NONBLOCK, so a stalled terminal drops records
// instead of stopping the game. Anything else is closed again: the folder cannot hold the log.
// With lockIt a regular file is locked first, and one that another open file holds is refused;
// a file removed between the open and the lock (a copy's old log swept away) is opened afresh.
UniqueFd openForWriting(const std::string& path, bool lockIt) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        UniqueFd fd(
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0644));
        struct stat st {};
        if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !writableKind(st.st_mode)) {
            return UniqueFd();
        }
        if (!S_ISREG(st.st_mode)) {
            return fd;
        }
        if (lockIt) {
            if (lockNow(fd.get()) != 0) {
                return UniqueFd();
            }
            struct stat now {};
            if (::stat(path.c_str(), &now) != 0 || !sameFile(st, now)) {
                continue;
            }
        }
        const int flags = ::fcntl(fd.get(), F_GETFL);
        if (::ftruncate(fd.get(), 0) != 0 || flags < 0 ||
            ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
            return UniqueFd();
        }
        return fd;
    }
    return UniqueFd();
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

// At most this many folder entries are looked at for copies' logs in one start-up.
constexpr std::size_t kMaxEntriesLooked = 100000;

// Whether entry is "<name>-<pid>.erl", a copy's own log.
bool isCopyLog(std::string_view entry, std::string_view name) {
    constexpr std::string_view kExtension = ".erl";
    if (!entry.starts_with(name) || entry.size() <= name.size() + 1 + kExtension.size() ||
        entry[name.size()] != '-' || !entry.ends_with(kExtension)) {
        return false;
    }
    const std::string_view digits =
        entry.substr(name.size() + 1, entry.size() - name.size() - 1 - kExtension.size());
    return digits.size() <= 10 && digits.find_first_not_of("0123456789") == std::string_view::npos;
}

// A copy's log opened for a look at its lock: a regular file that is not a link.
UniqueFd openCopyLog(const std::string& path, struct stat& st) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return UniqueFd();
    }
    return fd;
}

struct EndedCopyLog {
    struct timespec modified {};
    std::string path;
};

bool newerFirst(const EndedCopyLog& a, const EndedCopyLog& b) {
    if (a.modified.tv_sec != b.modified.tv_sec) {
        return a.modified.tv_sec > b.modified.tv_sec;
    }
    if (a.modified.tv_nsec != b.modified.tv_nsec) {
        return a.modified.tv_nsec > b.modified.tv_nsec;
    }
    return a.path > b.path;
}

// Removes a copy's log whose copy has ended, holding its lock while it goes so that no copy
// starting meanwhile under the same process id loses its log.
void removeEndedCopyLog(const std::string& path) {
    struct stat st {};
    const UniqueFd fd = openCopyLog(path, st);
    struct stat now {};
    if (fd.valid() && lockNow(fd.get()) == 0 && ::lstat(path.c_str(), &now) == 0 &&
        sameFile(st, now)) {
        ::unlink(path.c_str());
    }
}

// Looks at the copies' logs in folder other than ownPath: true when one of them is locked (its
// copy runs). The ended ones are removed but for the kKeptCopyLogs most recent.
bool sweepCopyLogs(const std::string& folder, std::string_view name, const std::string& ownPath) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return false;
    }
    bool anotherRuns = false;
    std::vector<EndedCopyLog> ended;
    std::size_t looked = 0;
    for (const dirent* entry; looked < kMaxEntriesLooked && (entry = ::readdir(dir)) != nullptr;
         ++looked) {
        if (!isCopyLog(entry->d_name, name)) {
            continue;
        }
        std::string path = folder + "/" + entry->d_name;
        if (path == ownPath) {
            continue;
        }
        struct stat st {};
        const UniqueFd fd = openCopyLog(path, st);
        if (!fd.valid()) {
            continue;
        }
        if (lockNow(fd.get()) != 0) {
            anotherRuns = true;
        } else {
            ended.push_back({st.st_mtim, std::move(path)});
        }
    }
    ::closedir(dir);
    if (ended.size() > kKeptCopyLogs) {
        std::sort(ended.begin(), ended.end(), newerFirst);
        for (std::size_t i = kKeptCopyLogs; i < ended.size(); ++i) {
            removeEndedCopyLog(ended[i].path);
        }
    }
    return anotherRuns;
}

}  // namespace

LogUnavailable::LogUnavailable(std::vector<std::string> tried)
    : RuntimeError(pathFileAccessError()), tried_(std::move(tried)) {}

void writeOrDrop(int fd, std::string_view bytes) noexcept {
    static_cast<void>(writeAll(fd, bytes.data(), bytes.size()));
}

std::string copyLogPath(const std::string& folder, std::string_view name, std::int32_t pid) {
    return folder + "/" + std::string(name) + "-" + std::to_string(pid) + ".erl";
}

std::optional<LogFile> openLogIn(const std::string& folder, std::string_view name,
                                 std::int32_t pid) {
    LogFile log;
    log.path = folder + "/" + std::string(name) + ".erl";

    log.lock = openLock(log.path + ".lock");
    if (!log.lock.valid()) {
        return std::nullopt;
    }
    const bool copy = lockNow(log.lock.get()) != 0;
    if (copy) {
        // Another running copy writes the main log: leave it alone.
        log.lock.reset();
        log.path = copyLogPath(folder, name, pid);
    }
    // Without lock support the main log is still written, only unguarded.
    log.file = openForWriting(log.path, copy);
    if (!log.file.valid()) {
        return std::nullopt;
    }
    const bool copyRuns = sweepCopyLogs(folder, name, log.path);
    log.previousInstance = copy || copyRuns;
    return log;
}

LogFile openLogFile(const std::vector<LogFolder>& folders, std::string_view name,
                    std::int32_t pid) {
    std::vector<std::string> tried;
    for (const LogFolder& folder : folders) {
        if (folder.create) {
            makeFolders(folder.path);
        }
        if (auto log = openLogIn(folder.path, name, pid)) {
            return std::move(*log);
        }
        tried.push_back(folder.path + "/" + std::string(name) + ".erl");
    }
    throw LogUnavailable(std::move(tried));
}

}  // namespace kestro
