#pragma once
// Owns one POSIX file descriptor and closes it when it goes away.

#include <unistd.h>

#include <cerrno>
#include <utility>

#include "common/result.h"

namespace kestro {

class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) noexcept : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            reset(std::exchange(other.fd_, -1));
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const noexcept { return fd_; }
    bool valid() const noexcept { return fd_ >= 0; }

    // Closes the descriptor held (if any) without looking at the outcome, and takes fd.
    void reset(int fd = -1) noexcept {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }

    // Closes now and reports the error close gives; a success when nothing was held. For files
    // whose last written bytes only count once close has succeeded.
    SystemResult close() noexcept {
        const int fd = std::exchange(fd_, -1);
        if (fd >= 0 && ::close(fd) != 0) {
            const int err = errno;
            return SystemResult::failure(err);
        }
        return SystemResult::success();
    }

  private:
    int fd_ = -1;
};

}  // namespace kestro
