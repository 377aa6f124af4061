#include "records/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <span>
#include <thread>

#include "common/quoted.h"
#include "common/read_file.h"
#include "common/unique_fd.h"
#include "common/whole_file.h"
#include "records/date.h"
#include "records/player_name.h"

namespace kestro::records {

namespace {

namespace fs = std::filesystem;

// How long a copy waits for another to finish with the table.
constexpr auto kLockPatience = std::chrono::seconds(5);
constexpr auto kLockPoll = std::chrono::milliseconds(10);

std::string systemError(int err) {
    return std::strerror(err);
}

Result<void> writeText(const fs::path& path, const std::string& text) {
    return writeWholeFile(
        path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

// The lock beside the table, taken: a regular file opened without waiting on it, locked within
// kLockPatience.
Result<UniqueFd, std::string> takeLock(const fs::path& lockPath) {
    using R = Result<UniqueFd, std::string>;
    constexpr int kFlags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW;
    UniqueFd fd(::open(lockPath.c_str(), O_RDWR | O_CREAT | kFlags, 0600));
    if (!fd.valid()) {
        const int err = errno;
        // A lock file that exists but may only be read still locks.
        fd.reset(::open(lockPath.c_str(), O_RDONLY | kFlags));
        if (!fd.valid()) {
            return R::failure("cannot open the lock " + quoted(lockPath) + ": " + systemError(err));
        }
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return R::failure("the lock " + quoted(lockPath) + " is not a regular file");
    }
    const auto deadline = std::chrono::steady_clock::now() + kLockPatience;
    while (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        if (err == EINTR) {
            continue;
        }
        if (err != EWOULDBLOCK) {
            return R::failure("cannot lock " + quoted(lockPath) + ": " + systemError(err));
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return R::failure("another copy of the game holds " + quoted(lockPath));
        }
        std::this_thread::sleep_for(kLockPoll);
    }
    return R::success(std::move(fd));
}

// A free name beside the table for a damaged one: "<table>.damaged-<day>", then "-2", "-3", ...
std::optional<fs::path> asideName(const fs::path& path, const std::string& day) {
    const std::string base = path.string() + ".damaged-" + day;
    for (int n = 1; n <= 100; ++n) {
        const fs::path candidate =
            n == 1 ? fs::path(base) : fs::path(base + "-" + std::to_string(n));
        struct stat st {};
        if (::lstat(candidate.c_str(), &st) != 0 && errno == ENOENT) {
            return candidate;
        }
    }
    return std::nullopt;
}

// What reading the table found: its entries, or the reason it is damaged (moved aside), or the
// reason it cannot be used at all.
struct Found {
    Table table;
    std::optional<std::string> damage;
};

Result<Found, std::string> findTable(const fs::path& path) {
    using R = Result<Found, std::string>;
    const auto bytes = readRegularFile(path, kMostTableBytes);
    if (!bytes) {
        const ReadFailure& f = bytes.error();
        if (f.kind == ReadFailure::Kind::CannotOpen && f.error == ENOENT) {
            return R::success(Found{});
        }
        if (f.kind == ReadFailure::Kind::TooLarge) {
            return R::success(
                Found{{}, "larger than " + std::to_string(kMostTableBytes) + " bytes"});
        }
        return R::failure(describe(f, path));
    }
    auto table = parseTable(bytes.value());
    if (!table) {
        return R::success(Found{{}, table.error()});
    }
    return R::success(Found{std::move(table).value(), std::nullopt});
}

}  // namespace

Result<void> makeFolders(const fs::path& folder) {
    fs::path part;
    for (const fs::path& piece : folder) {
        part /= piece;
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            const int err = errno;
            return Result<void>::failure("cannot make the folder " + quoted(part) + ": " +
                                         systemError(err));
        }
    }
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return Result<void>::failure(quoted(folder) + " is not a folder");
    }
    return Result<void>::success();
}

Result<Table, std::string> readTable(const fs::path& path) {
    using R = Result<Table, std::string>;
    auto found = findTable(path);
    if (!found) {
        return R::failure(found.error());
    }
    if (found.value().damage) {
        return R::failure(quoted(path) + " is not a high-score table: " + *found.value().damage);
    }
    return R::success(std::move(found.value().table));
}

Result<Recorded, std::string> recordRun(const fs::path& path, Entry entry) {
    using R = Result<Recorded, std::string>;
    entry.name = cleanName(entry.name);
    if (const auto made = makeFolders(path.parent_path().empty() ? "." : path.parent_path());
        !made) {
        return R::failure(made.error());
    }
    const auto lock = takeLock(path.string() + ".lock");
    if (!lock) {
        return R::failure(lock.error());
    }
    auto found = findTable(path);
    if (!found) {
        return R::failure(found.error());
    }
    Recorded recorded{std::nullopt, std::move(found.value().table), std::nullopt};
    if (const auto& damage = found.value().damage) {
        const auto aside = asideName(path, dateNow().substr(0, 10));
        if (!aside) {
            return R::failure(quoted(path) + " is damaged (" + *damage +
                              ") and there is no free name to move it aside to");
        }
        if (::rename(path.c_str(), aside->c_str()) != 0) {
            const int err = errno;
            return R::failure(quoted(path) + " is damaged (" + *damage +
                              ") and cannot be moved to " + quoted(*aside) + ": " +
                              systemError(err));
        }
        recorded.notice = "The high-score table " + quoted(path) + " was damaged (" + *damage +
                          "); it was moved to " + quoted(*aside) + " and a new table begun.";
    }
    recorded.rank = insertEntry(recorded.table, std::move(entry));
    if (recorded.rank || recorded.notice) {
        if (const auto written = writeText(path, formatTable(recorded.table)); !written) {
            return R::failure(recorded.notice ? *recorded.notice + " " + written.error()
                                              : written.error());
        }
    }
    return R::success(std::move(recorded));
}

std::string notKeptText(const std::string& reason) {
    return "This run was not kept in the high-score table: " + reason;
}

Result<void> saveRunRecord(const fs::path& path, const RunRecord& record) {
    return writeText(path, formatRunRecord(record));
}

Result<RunRecord, std::string> loadRunRecord(const fs::path& path) {
    using R = Result<RunRecord, std::string>;
    const auto bytes = readRegularFile(path, kMostRunRecordBytes);
    if (!bytes) {
        return R::failure(describe(bytes.error(), path));
    }
    auto record = parseRunRecord(bytes.value());
    if (!record) {
        return R::failure(quoted(path) + " is not a run record: " + record.error());
    }
    return record;
}

}  // namespace kestro::records
