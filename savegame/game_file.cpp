#include "savegame/game_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "common/unique_fd.h"
#include "common/whole_file.h"
#include "savegame/playable.h"

namespace kestro::savegame {
namespace {

std::string quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

std::string describe(const std::string& action, const std::filesystem::path& path, int err) {
    return "cannot " + action + " " + quoted(path) + ": " + std::strerror(err);
}

}  // namespace

Outcome<std::vector<std::uint8_t>, std::string> readGameFile(const std::filesystem::path& path) {
    using Result = Outcome<std::vector<std::uint8_t>, std::string>;
    // Without O_NONBLOCK, opening a FIFO would wait for a writer that may never come.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.valid()) {
        const int err = errno;
        return Result::failure(describe("open", path, err));
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        const int err = errno;
        return Result::failure(describe("open", path, err));
    }
    if (S_ISDIR(st.st_mode)) {
        return Result::failure(quoted(path) + " is a folder");
    }
    if (!S_ISREG(st.st_mode)) {
        return Result::failure(quoted(path) + " is not a regular file");
    }
    std::vector<std::uint8_t> bytes(kFileSize);
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd.get(), bytes.data() + got, bytes.size() - got);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int err = errno;
            return Result::failure(describe("read", path, err));
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
    return decodePlayable(bytes.value());
}

std::optional<std::string> writeGameFile(const std::filesystem::path& path,
                                         const SaveBytes& bytes) {
    return writeWholeFile(path, bytes);
}

std::optional<std::string> saveGameFile(const std::filesystem::path& path, const GameState& s,
                                        const SliderValues& sliders, std::int32_t fileKey) {
    return writeGameFile(path, encode(s, sliders, fileKey));
}

}  // namespace kestro::savegame
