#include "common/write_all.h"

#include <unistd.h>

#include <cerrno>

namespace kestro {

SystemResult writeAll(int fd, const void* data, std::size_t size) noexcept {
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, at, size);
        if (n < 0) {
            const int err = errno;
            if (err == EINTR) {
                continue;
            }
            return SystemResult::failure(err);
        }
        if (n == 0) {
            return SystemResult::failure(EIO);
        }
        at += n;
        size -= static_cast<std::size_t>(n);
    }
    return SystemResult::success();
}

}  // namespace kestro
