#pragma once
// Finding and opening the log file: "<folder>/<name>.erl", guarded by a lock on
// "<folder>/<name>.erl.lock" that is held while the log is open. A copy of the game started while
// another one holds that lock writes "<folder>/<name>-<pid>.erl" instead of emptying the first
// one's log, and holds a lock on that file itself while it runs, so the lock tells which copies
// still run. A folder cannot hold the log when it takes no new files, or when the log's path
// holds a FIFO, a folder or anything else that is neither a regular file nor a character device;
// the next folder is tried then. Opening never waits.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/runtime_error.h"
#include "common/unique_fd.h"

namespace kestro {

// How many logs of copies that have ended are kept in a folder, the most recent ones.
inline constexpr std::size_t kKeptCopyLogs = 5;

struct LogFile {
    UniqueFd file;                  // opened for writing, emptied; for a copy's own log, locked
    UniqueFd lock;                  // holds the lock of the main log; empty for a second copy
    std::string path;               // the file actually opened
    bool previousInstance = false;  // another copy of the game runs
};

// One folder to try, and whether it is made (with its parents) when missing.
struct LogFolder {
    std::string path;
    bool create = false;
};

// No folder could take the log: "Path/File access error" (75), with the log paths tried.
class LogUnavailable : public RuntimeError {
  public:
    explicit LogUnavailable(std::vector<std::string> tried);
    const std::vector<std::string>& tried() const noexcept { return tried_; }

  private:
    std::vector<std::string> tried_;
};

// Opens the log in folder; nothing when the folder cannot hold it. Whether another copy runs is
// told by the main log's lock and by the locks of the copies' own logs in the folder. The logs
// of copies that have ended are removed there, but for the kKeptCopyLogs most recent.
std::optional<LogFile> openLogIn(const std::string& folder, std::string_view name,
                                 std::int32_t pid);

// The path of a copy's own log in folder.
std::string copyLogPath(const std::string& folder, std::string_view name, std::int32_t pid);

// Opens the log in the first of folders that can hold it. Throws LogUnavailable when none can.
LogFile openLogFile(const std::vector<LogFolder>& folders, std::string_view name, std::int32_t pid);

// Writes all bytes, retrying after interruptions; a failure drops the rest silently, as the log
// never fails visibly.
void writeOrDrop(int fd, std::string_view bytes) noexcept;

}  // namespace kestro
