#include "common/read_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "common/unique_fd.h"

namespace kestro {

namespace {

FileText failure(std::string why) {
    return FileText{std::string(), std::move(why)};
}

std::string tooLarge(std::uintmax_t limit) {
    if (limit >= (std::uintmax_t{1} << 20) && limit % (std::uintmax_t{1} << 20) == 0) {
        return "is larger than " + std::to_string(limit >> 20) + " MiB";
    }
    return "is larger than " + std::to_string(limit) + " bytes";
}

}  // namespace

FileText readRegularFile(const std::filesystem::path& path, std::uintmax_t limit) {
    // Without O_NONBLOCK, opening a FIFO would wait for a writer.
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
        return failure(std::string("cannot open: ") + std::strerror(errno));
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        return failure(std::string("cannot read: ") + std::strerror(errno));
    }
    if (S_ISDIR(info.st_mode)) {
        return failure("is a folder");
    }
    if (!S_ISREG(info.st_mode)) {
        return failure("is not a regular file");
    }
    if (static_cast<std::uintmax_t>(info.st_size) > limit) {
        return failure(tooLarge(limit));
    }
    std::string text(static_cast<std::size_t>(info.st_size) + 1, '\0');
    std::size_t size = 0;
    for (;;) {
        if (size == text.size()) {  // the file grew since fstat
            if (size > limit) {
                return failure(tooLarge(limit));
            }
            text.resize(
                static_cast<std::size_t>(std::min<std::uintmax_t>(size * 2 + 4096, limit + 1)));
        }
        const ssize_t n = ::read(fd.get(), text.data() + size, text.size() - size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return failure(std::string("cannot read: ") + std::strerror(errno));
        }
        if (n == 0) {
            break;
        }
        size += static_cast<std::size_t>(n);
    }
    if (size > limit) {
        return failure(tooLarge(limit));
    }
    text.resize(size);
    return FileText{std::move(text), std::string()};
}

}  // namespace kestro
