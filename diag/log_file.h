#pragma once
// Finding and opening the log file: "<folder>/<name>.erl" beside the executable, guarded by a
// lock on "<folder>/<name>.erl.lock" that is held while the log is open. A second running
// instance finds the lock taken and writes "<folder>/<name>-<pid>.erl" instead of emptying the
// first one's log. When the executable's folder cannot hold the log (it takes no new files, or
// the log's path holds a FIFO, a folder or anything else that is neither a regular file nor a
// character device), the per-user state folder is used. Opening never waits.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/unique_fd.h"

namespace kestro {

struct LogFile {
    UniqueFd file;                  // opened for writing, emptied
    UniqueFd lock;                  // holds the lock of the main log; empty for a second instance
    std::string path;               // the file actually opened
    bool previousInstance = false;  // another instance held the lock
};

// Opens the log in folder; nothing when the folder cannot hold it.
std::optional<LogFile> openLogIn(const std::string& folder, std::string_view name,
                                 std::int32_t pid);

// Opens the log in exeFolder, else in stateFolder (created with its parents when missing).
// Throws a RuntimeError when neither can hold it.
LogFile openLogFile(const std::string& exeFolder, const std::string& stateFolder,
                    std::string_view name, std::int32_t pid);

// Writes all bytes, retrying after interruptions; a failure drops the rest silently, as the log
// never fails visibly.
void writeOrDrop(int fd, std::string_view bytes) noexcept;

}  // namespace kestro
