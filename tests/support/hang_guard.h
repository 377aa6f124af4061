#pragma once
// Ends the test process with a message when a call that must never wait does wait, so that such
// a fault fails the test run instead of hanging it.

#include <signal.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <cstring>

namespace kestro::test {

// Arms an alarm for the scope; when it goes off, the process prints what it was doing and exits
// with status 1.
class HangGuard {
  public:
    explicit HangGuard(const char* what, unsigned seconds = 20) {
        std::snprintf(message(), kMessageSize, "%s\n", what);
        struct sigaction action {};
        action.sa_handler = &HangGuard::expired;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGALRM, &action, &previous_);
        ::alarm(seconds);
    }
    ~HangGuard() {
        ::alarm(0);
        ::sigaction(SIGALRM, &previous_, nullptr);
    }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;

  private:
    static constexpr std::size_t kMessageSize = 256;

    static char* message() {
        static char text[kMessageSize] = {};
        return text;
    }

    static void expired(int) {
        static constexpr char kPrefix[] = "hang guard: still waiting in: ";
        const char* text = message();
        [[maybe_unused]] ssize_t ignored = ::write(STDERR_FILENO, kPrefix, sizeof kPrefix - 1);
        ignored = ::write(STDERR_FILENO, text, std::strlen(text));
        ::_exit(1);
    }

    struct sigaction previous_ {};
};

}  // namespace kestro::test
