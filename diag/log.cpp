#include "diag/log.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/runtime_error.h"
#include "diag/log_file.h"
#include "diag/log_platform.h"

namespace kestro {

namespace {

struct LogState {
    std::int32_t threshold = 0;
    std::int16_t fileNumber = 0;
    bool open = false;
    std::optional<LogFile> file;
    std::string path;
    std::uint64_t size = 0;  // bytes of the records written to the open file
    bool full = false;       // the size cap was reached: later records are dropped
};

LogState& state() {
    static LogState s;
    return s;
}

// The 11-character tag of a writing level, or nothing for a level that writes no record.
std::optional<std::string_view> tagOf(std::int32_t level) {
    switch (level) {
        case kLevelDanger:
            return "[ DANGER]  ";
        case kLevelError:
            return "[ ERROR ]  ";
        case kLevelWarning:
            return "[WARNING]  ";
        case kLevelInfo:
            return "[  INFO ]  ";
        case kLevelVerbose:
            return "[VERBOSE]  ";
        case kLevelDebug:
            return "[ DEBUG ]  ";
        default:
            return std::nullopt;
    }
}

std::string_view trimTrailingSpaces(std::string_view text) {
    const std::size_t end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
}

std::int32_t thresholdFor(std::int32_t level) {
    return level == 0 ? kLevelDebug : level;
}

std::string boolWord(bool value) {
    return value ? "True" : "False";
}

// The folders the log is tried in: beside the executable, unless that lies in the system's
// folders, then the per-user state folders, made when missing.
std::vector<LogFolder> logFolders(const std::string& exeFolder) {
    std::vector<LogFolder> folders;
    if (!isSystemFolder(exeFolder)) {
        folders.push_back({exeFolder, false});
    }
    for (std::string& state : logStateFolders()) {
        folders.push_back({std::move(state), true});
    }
    return folders;
}

// Appends one record to the open file, or drops it. The first record that would reach into the
// last kLogReserve bytes below kLogSizeCap is replaced by the notice that later records are
// dropped, and every later one is dropped, unless pastCap (the closing banner) lets it through.
void appendRecord(LogState& s, std::string_view tag, std::string_view text, bool pastCap) {
    if (!s.file || (s.full && !pastCap)) {
        return;
    }
    const std::uint64_t length = tag.size() + text.size() + 2;
    std::string record;
    if (!pastCap && s.size + length > kLogSizeCap - kLogReserve) {
        s.full = true;
        record.append(tag).append(kLogFullNotice).append("\r\n");
    } else {
        record.reserve(static_cast<std::size_t>(length));
        record.append(tag).append(text).append("\r\n");
    }
    s.size += record.size();
    writeOrDrop(s.file->file.get(), record);
}

bool writeRecord(std::string_view message, std::int32_t errorLevel, bool pastCap) noexcept {
    LogState& s = state();
    if (s.threshold == 0) {
        s.threshold = kLevelDebug;
    }
    if (errorLevel > s.threshold) {
        return false;
    }
    if (errorLevel == 1) {
        return true;
    }
    const std::optional<std::string_view> tag = tagOf(errorLevel);
    if (!tag) {
        return false;
    }
    try {
        appendRecord(s, *tag, trimTrailingSpaces(message), pastCap);
    } catch (...) {
        // A record that cannot even be put together is dropped like a failed write.
    }
    return true;
}

void writeProgramInformation(const LogPlatform& p, bool previousInstance, bool oneBlock) {
    const std::string exeImage = "EXE Image: " + p.exeFolder + "/" + p.exeName;
    const std::string instance =
        "Instance: " + std::to_string(p.instance) + " (" + boolWord(previousInstance) + ")";
    const std::string version = "Version: " + std::to_string(p.versionMajor) + "." +
                                std::to_string(p.versionMinor) + "." +
                                std::to_string(p.versionPatch) + " " + p.comments;
    if (oneBlock) {
        const std::string indent(29, ' ');
        errorLogDebug("{Error Subsystem} Program Information \r\n" + indent + exeImage + "\r\n" +
                      indent + instance + "\r\n" + indent + version);
    } else {
        const std::string indent(18, ' ');
        errorLogDebug("{Error Subsystem} --Program Information-- ");
        errorLogDebug(indent + exeImage);
        errorLogDebug(indent + instance);
        errorLogDebug(indent + version);
    }
}

bool openLog(std::string_view name, std::int16_t fileNumber, std::int32_t level, bool oneBlock) {
    LogState& s = state();
    if (s.open) {
        s.threshold = thresholdFor(level);
        return true;
    }
    // Everything that can fail comes before the first change of state.
    const LogPlatform platform = currentLogPlatform();
    LogFile file = openLogFile(logFolders(platform.exeFolder), name, platform.instance);

    s.file = std::move(file);
    s.path = s.file->path;
    s.size = 0;
    s.full = false;
    s.threshold = thresholdFor(level);
    s.fileNumber = fileNumber;
    errorLogWrite("{Error Subsystem} Log file " + s.path + " opened @ " +
                      logStamp(platform.now ? platform.now() : localNow()),
                  kLevelInfo);
    writeProgramInformation(platform, s.file->previousInstance, oneBlock);
    s.open = true;
    return true;
}

bool closeLog() {
    LogState& s = state();
    // The closing banner is written even past the size cap: the log still shows an orderly end.
    writeRecord("{Error Subsystem} Log file closed @ " + logStamp(logNow()), kLevelInfo, true);
    s.file.reset();  // closes the file and gives up its lock
    s.open = false;
    return true;
}

}  // namespace

bool errorLogFile(bool open, std::string_view name, std::int16_t fileNumber, std::int32_t level,
                  bool oneBlock) {
    return open ? openLog(name, fileNumber, level, oneBlock) : closeLog();
}

std::optional<std::string> errorLogFileOrGoWithout(std::string_view name, std::int16_t fileNumber,
                                                   std::int32_t level, bool oneBlock) {
    const std::string program(name);
    try {
        errorLogFile(true, name, fileNumber, level, oneBlock);
        return std::nullopt;
    } catch (const LogUnavailable& e) {
        std::string line = program + ": running without a log; none of these could be opened:";
        for (std::size_t i = 0; i < e.tried().size(); ++i) {
            line.append(i == 0 ? " " : ", ").append(e.tried()[i]);
        }
        if (e.tried().empty()) {
            line += " (no folder to try)";
        }
        return line;
    } catch (const RuntimeError& e) {
        return program + ": running without a log: " + e.description();
    }
}

bool errorLogWrite(std::string_view message, std::int32_t errorLevel) noexcept {
    return writeRecord(message, errorLevel, false);
}

bool errorLogDebug(std::string_view message) noexcept {
    return errorLogWrite(message, kLevelDebug);
}

std::int32_t errorThreshold() noexcept {
    return state().threshold;
}

std::int16_t errorFileNumber() noexcept {
    return state().fileNumber;
}

bool errorLogOpen() noexcept {
    return state().open;
}

std::string errorLogPath() {
    return state().path;
}

void resetErrorLog() noexcept {
    state() = LogState{};
}

}  // namespace kestro
