#include "common/write_all.h"

#include <unistd.h>

#include <cerrno>

namespace kestro {

int writeAll(int fd, const void* data, std::size_t size) noexcept {
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, at, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (n == 0) {
            return EIO;
        }
        at += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

}  // namespace kestro
