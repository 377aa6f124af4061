#pragma once
// The error trap: logs a run-time error, asks the player Abort / Retry / Ignore and returns the
// answer for the failing operation to act on.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace kestro {

inline constexpr std::int16_t kAnswerAbort = 3;
inline constexpr std::int16_t kAnswerRetry = 4;
inline constexpr std::int16_t kAnswerIgnore = 5;
inline constexpr std::int16_t kTrapPassedRaise = 10;

inline constexpr const char* kTrapTitle = "--Trapped Error--";

// The modal dialog behind the trap. The window shows a real message box; tests script answers.
class TrapDialog {
  public:
    virtual ~TrapDialog() = default;
    // Shows title and text with Abort, Retry and Ignore (Retry the default, critical icon,
    // modal and kept on top) and returns the answer: 3, 4, 5 or anything else.
    virtual int ask(const std::string& title, const std::string& text) = 0;
};

// Raises the error again inside the trap. The real one always throws a RuntimeError.
using TrapRaiser =
    std::function<void(std::int16_t number, std::string_view source, std::string_view description)>;

void raiseRuntimeError(std::int16_t number, std::string_view source, std::string_view description);

// The dialog's six lines, joined by CR LF.
std::string trapDialogText(std::string_view where, std::string_view source, std::int16_t number,
                           std::string_view description);

// Logs the error, raises it again through `raise`, asks the dialog and returns 3 (Abort),
// 4 (Retry), 5 (Ignore), 0 (any other answer) or 10 (raising the error again did not raise; no
// dialog). A failure of the dialog itself passes to the caller.
std::int16_t ErrorHandel(TrapDialog& dialog, std::string_view where, std::string_view source,
                         std::int16_t number, std::string_view description, bool trapFlag,
                         const TrapRaiser& raise = raiseRuntimeError);

// How an operation that must not fail runs its statements: step k runs; when it throws a
// RuntimeError the trap is asked; Retry runs step k again, Ignore goes on with step k + 1, Abort
// or any other answer leaves the operation. Returns true when every step was passed (run
// through or ignored), false when the operation was left. An error whose number does not fit in
// 16 bits cannot be put to the trap and is thrown on unchanged; so is anything that is not a
// RuntimeError.
bool runTrapped(TrapDialog& dialog, std::string_view where,
                std::span<const std::function<void()>> steps);

}  // namespace kestro
