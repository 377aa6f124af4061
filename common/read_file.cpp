#include "common/read_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "common/quoted.h"
#include "common/unique_fd.h"

namespace kestro {

namespace {

using Read = Result<std::string, ReadFailure>;

Read failure(ReadFailure::Kind kind, int error = 0, std::uintmax_t limit = 0) {
    return Read::failure(ReadFailure{kind, error, limit});
}

std::string tooLarge(std::uintmax_t limit) {
    if (limit >= (std::uintmax_t{1} << 20) && limit % (std::uintmax_t{1} << 20) == 0) {
        return "is larger than " + std::to_string(limit >> 20) + " MiB";
    }
    return "is larger than " + std::to_string(limit) + " bytes";
}

}  // namespace

Read readRegularFile(const std::filesystem::path& path, std::uintmax_t limit, Beyond beyond) {
    using Kind = ReadFailure::Kind;
    // Without O_NONBLOCK, opening a FIFO would wait for a writer.
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid()) {
        const int err = errno;
        return failure(Kind::CannotOpen, err);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        const int err = errno;
        return failure(Kind::CannotRead, err);
    }
    if (S_ISDIR(info.st_mode)) {
        return failure(Kind::Folder);
    }
    if (!S_ISREG(info.st_mode)) {
        return failure(Kind::NotRegular);
    }
    const auto size = static_cast<std::uintmax_t>(info.st_size);
    if (size > limit && beyond == Beyond::Refuse) {
        return failure(Kind::TooLarge, 0, limit);
    }
    // One byte more than the bound shows a file that grew past it since fstat.
    const std::uintmax_t most = beyond == Beyond::Refuse ? limit + 1 : limit;
    std::string text(static_cast<std::size_t>(std::min(size + 1, most)), '\0');
    std::size_t got = 0;
    for (;;) {
        if (got == text.size()) {
            if (got >= most) {
                break;
            }
            text.resize(static_cast<std::size_t>(std::min<std::uintmax_t>(got * 2 + 4096, most)));
        }
        const ssize_t n = ::read(fd.get(), text.data() + got, text.size() - got);
        if (n < 0) {
            const int err = errno;
            if (err == EINTR) {
                continue;
            }
            return failure(Kind::CannotRead, err);
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    if (got > limit) {
        return failure(Kind::TooLarge, 0, limit);
    }
    text.resize(got);
    return Read::success(std::move(text));
}

std::string describe(const ReadFailure& failure) {
    switch (failure.kind) {
        case ReadFailure::Kind::CannotOpen:
            return std::string("cannot open: ") + std::strerror(failure.error);
        case ReadFailure::Kind::CannotRead:
            return std::string("cannot read: ") + std::strerror(failure.error);
        case ReadFailure::Kind::Folder:
            return "is a folder";
        case ReadFailure::Kind::NotRegular:
            return "is not a regular file";
        case ReadFailure::Kind::TooLarge:
            return tooLarge(failure.limit);
    }
    return "cannot be read";
}

std::string describe(const ReadFailure& failure, const std::filesystem::path& path) {
    switch (failure.kind) {
        case ReadFailure::Kind::CannotOpen:
            return "cannot open " + quoted(path) + ": " + std::strerror(failure.error);
        case ReadFailure::Kind::CannotRead:
            return "cannot read " + quoted(path) + ": " + std::strerror(failure.error);
        case ReadFailure::Kind::Folder:
        case ReadFailure::Kind::NotRegular:
        case ReadFailure::Kind::TooLarge:
            break;
    }
    return quoted(path) + " " + describe(failure);
}

}  // namespace kestro
