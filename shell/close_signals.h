#pragma once
// SIGTERM, SIGINT and SIGHUP (logout, shutdown, Ctrl+C in a terminal) as a close request: the
// handler only writes the signal's number into a pipe; the event loop reads it and closes the
// window, which runs the orderly shut-down. A second such signal ends the process at once.

#include <functional>
#include <memory>

class QSocketNotifier;

namespace kestro::shell {

class CloseSignals {
  public:
    // Installs the handlers. Throws RuntimeError when the pipe cannot be made.
    CloseSignals();
    // Puts the signals' previous handlers back.
    ~CloseSignals();
    CloseSignals(const CloseSignals&) = delete;
    CloseSignals& operator=(const CloseSignals&) = delete;

    // Calls onClose from the event loop once the first signal has arrived (also for a signal that
    // came before this call), as long as the returned notifier lives; it needs the application
    // object and must go before it.
    [[nodiscard]] std::unique_ptr<QSocketNotifier> watch(std::function<void()> onClose) const;

    // The signal that asked for the close, or 0.
    int received() const;

  private:
    int readFd_ = -1;
};

// Ends the process as the signal's default action does (so the parent sees the usual status).
[[noreturn]] void endBySignal(int signal);

}  // namespace kestro::shell
