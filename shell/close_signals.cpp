#include "shell/close_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include <QSocketNotifier>

#include "common/runtime_error.h"

namespace kestro::shell {

namespace {

constexpr std::array<int, 3> kCloseSignals{SIGTERM, SIGINT, SIGHUP};

// What the handler touches: only these, of a type that is written atomically. They belong to the
// one CloseSignals of the process (a signal's handler is process-wide).
volatile std::sig_atomic_t gWriteFd = -1;
volatile std::sig_atomic_t gReceived = 0;

std::array<struct sigaction, kCloseSignals.size()> gPrevious{};

// The platform's "Too many files": no descriptor is left for the pipe.
constexpr std::int32_t kTooManyFiles = 67;

extern "C" void onCloseSignal(int signal) {
    if (gReceived != 0) {
        // A second request while shutting down: the default action, at once. The signal is
        // blocked while this handler runs and is delivered again when it returns.
        ::signal(signal, SIG_DFL);
        ::raise(signal);
        return;
    }
    const int savedErrno = errno;
    gReceived = signal;
    const unsigned char byte = static_cast<unsigned char>(signal);
    // The pipe is non-blocking; the first byte is all the reader needs.
    [[maybe_unused]] const ssize_t written = ::write(gWriteFd, &byte, 1);
    errno = savedErrno;
}

}  // namespace

CloseSignals::CloseSignals() {
    std::array<int, 2> fds{};
    if (::pipe2(fds.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        throw RuntimeError(kTooManyFiles, kErrorSource, "Too many files");
    }
    readFd_ = fds[0];
    gWriteFd = fds[1];
    gReceived = 0;
    struct sigaction action {};
    action.sa_handler = &onCloseSignal;
    action.sa_flags = SA_RESTART;
    // The handlers of the close signals never run nested in each other.
    sigemptyset(&action.sa_mask);
    for (const int s : kCloseSignals) {
        sigaddset(&action.sa_mask, s);
    }
    for (std::size_t i = 0; i < kCloseSignals.size(); ++i) {
        ::sigaction(kCloseSignals[i], &action, &gPrevious[i]);
    }
}

CloseSignals::~CloseSignals() {
    for (std::size_t i = 0; i < kCloseSignals.size(); ++i) {
        ::sigaction(kCloseSignals[i], &gPrevious[i], nullptr);
    }
    ::close(readFd_);
    ::close(gWriteFd);
    readFd_ = -1;
    gWriteFd = -1;
}

std::unique_ptr<QSocketNotifier> CloseSignals::watch(std::function<void()> onClose) const {
    auto notifier = std::make_unique<QSocketNotifier>(readFd_, QSocketNotifier::Read);
    QSocketNotifier* const n = notifier.get();
    const int fd = readFd_;
    QObject::connect(n, &QSocketNotifier::activated, n, [n, fd, onClose = std::move(onClose)] {
        std::array<unsigned char, 16> bytes{};
        while (::read(fd, bytes.data(), bytes.size()) > 0) {
        }
        // Only the first signal writes; a later one ends the process in the handler.
        n->setEnabled(false);
        onClose();
    });
    return notifier;
}

int CloseSignals::received() const {
    return gReceived;
}

void endBySignal(int signal) {
    ::signal(signal, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
    ::raise(signal);
    std::_Exit(128 + signal);  // not reached: the default action of these signals ends the process
}

}  // namespace kestro::shell
