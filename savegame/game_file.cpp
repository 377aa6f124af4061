#include "savegame/game_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <utility>

#include "common/unique_fd.h"
#include "common/write_all.h"

namespace kestro::savegame {
namespace {

std::string describe(const std::string& action, const std::filesystem::path& path, int err) {
    return "cannot " + action + " '" + path.string() + "': " + std::strerror(err);
}

// A temporary file that is removed again unless it was renamed into place.
class TempFile {
  public:
    explicit TempFile(std::filesystem::path path) : path_(std::move(path)) {}
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }
    const std::filesystem::path& path() const { return path_; }
    void release() { path_.clear(); }

  private:
    std::filesystem::path path_;
};

// A file of a new name created beside the target, or the error number of the failure.
struct CreatedFile {
    UniqueFd fd;
    std::filesystem::path path;
    int error = 0;
};

// Creates a file of a new name beside target. The error is taken right after the failing open,
// before anything else can touch errno.
CreatedFile createBeside(const std::filesystem::path& target) {
    std::random_device seed;
    std::mt19937 gen(seed());
    std::uniform_int_distribution<unsigned> hex(0, 0xFFFFFF);
    const std::filesystem::path dir = target.parent_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[8];
        std::snprintf(suffix, sizeof suffix, "%06x", hex(gen));
        std::filesystem::path temp =
            dir / ("." + target.filename().string() + "." + suffix + ".tmp");
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        const int error = fd >= 0 ? 0 : errno;
        if (fd >= 0) {
            return {UniqueFd(fd), std::move(temp), 0};
        }
        if (error != EEXIST) {
            return {UniqueFd(), std::filesystem::path(), error};
        }
    }
    return {UniqueFd(), std::filesystem::path(), EEXIST};
}

}  // namespace

Outcome<std::vector<std::uint8_t>, std::string> readGameFile(const std::filesystem::path& path) {
    using Result = Outcome<std::vector<std::uint8_t>, std::string>;
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) {
        return Result::failure(describe("open", path, errno));
    }
    std::vector<std::uint8_t> bytes(kFileSize + 1);
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd.get(), bytes.data() + got, bytes.size() - got);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Result::failure(describe("read", path, errno));
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return Result::success(std::move(bytes));
}

DecodeResult loadGameFile(const std::filesystem::path& path) {
    auto bytes = readGameFile(path);
    if (!bytes) {
        return DecodeResult::failure(Refusal{RefusalKind::Unreadable, bytes.error()});
    }
    return decode(bytes.value());
}

std::optional<std::string> writeGameFile(const std::filesystem::path& path,
                                         const SaveBytes& bytes) {
    if (path.filename().empty()) {
        return "cannot save to '" + path.string() + "': it names no file";
    }
    CreatedFile created = createBeside(path);
    if (!created.fd.valid()) {
        return describe("create a file beside", path, created.error);
    }
    UniqueFd& fd = created.fd;
    TempFile temp(std::move(created.path));

    // A file saved over keeps its permissions.
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        ::fchmod(fd.get(), existing.st_mode & 07777);
    }
    if (const int err = writeAll(fd.get(), bytes.data(), bytes.size()); err != 0) {
        return describe("write", temp.path(), err);
    }
    if (::fsync(fd.get()) != 0) {
        return describe("write", temp.path(), errno);
    }
    if (const int err = fd.close(); err != 0) {
        return describe("write", temp.path(), err);
    }
    if (::rename(temp.path().c_str(), path.c_str()) != 0) {
        return describe("replace", path, errno);
    }
    temp.release();

    // Make the rename itself durable; the file is in place whether or not this succeeds.
    const std::filesystem::path dir = path.parent_path().empty() ? "." : path.parent_path();
    UniqueFd dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirFd.valid()) {
        ::fsync(dirFd.get());
    }
    return std::nullopt;
}

std::optional<std::string> saveGameFile(const std::filesystem::path& path, const GameState& s,
                                        const SliderValues& sliders, std::int32_t fileKey) {
    return writeGameFile(path, encode(s, sliders, fileKey));
}

}  // namespace kestro::savegame
