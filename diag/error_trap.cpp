#include "diag/error_trap.h"

#include <optional>
#include <string>

#include "common/int_range.h"
#include "common/runtime_error.h"
#include "diag/log.h"

namespace kestro {

namespace {

std::string concat(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts) {
        text.append(part);
    }
    return text;
}

// A pending error as the trap needs it.
struct TrappedError {
    std::int16_t number;
    std::string source;
    std::string description;
};

}  // namespace

void raiseRuntimeError(std::int16_t number, std::string_view source, std::string_view description) {
    throw RuntimeError(number, std::string(source), std::string(description));
}

std::string trapDialogText(std::string_view where, std::string_view source, std::int16_t number,
                           std::string_view description) {
    return concat({"---ERROR---\r\nNumber: ", std::to_string(number), "\r\nSource: ", source, " : ",
                   where, "\r\n", description, "\r\n\r\nPlease select the course of action"});
}

std::int16_t ErrorHandel(TrapDialog& dialog, std::string_view where, std::string_view source,
                         std::int16_t number, std::string_view description, bool trapFlag,
                         const TrapRaiser& raise) {
    errorLogWrite(concat({"{Error Subsystem} ErrorHandel Engaged (", where, ",",
                          trapFlag ? "True" : "False", ")"}),
                  kLevelWarning);

    bool raised = false;
    try {
        raise(number, source, description);
    } catch (const RuntimeError&) {
        raised = true;
    }
    if (!raised) {
        errorLogWrite("{Error Subsystem}  ErrorHandel Passed Err.Raise!", kLevelError);
        return kTrapPassedRaise;
    }

    errorLogWrite(concat({"{Error Subsystem} ErrorHandel Info (", source, " : ", where, ",",
                          std::to_string(number), ",", description, ")"}),
                  kLevelWarning);
    switch (dialog.ask(kTrapTitle, trapDialogText(where, source, number, description))) {
        case kAnswerAbort:
            errorLogWrite("{Error Subsystem} ErrorHandel Response (Aborted by User)", kLevelError);
            return kAnswerAbort;
        case kAnswerRetry:
            errorLogWrite("{Error Subsystem} ErrorHandel Response (Retry Last Event)", kLevelError);
            return kAnswerRetry;
        case kAnswerIgnore:
            errorLogWrite("{Error Subsystem} ErrorHandel Response (Continuing Last Event)",
                          kLevelError);
            return kAnswerIgnore;
        default:
            return 0;
    }
}

bool runTrapped(TrapDialog& dialog, std::string_view where,
                std::span<const std::function<void()>> steps) {
    for (std::size_t k = 0; k < steps.size();) {
        std::optional<TrappedError> error;
        try {
            steps[k]();
        } catch (const RuntimeError& e) {
            if (!fitsIn<std::int16_t>(e.number())) {
                throw;
            }
            error =
                TrappedError{static_cast<std::int16_t>(e.number()), e.source(), e.description()};
        }
        if (!error) {
            ++k;
            continue;
        }
        // The dialog is shown outside the handler so no exception stays alive while it waits.
        switch (
            ErrorHandel(dialog, where, error->source, error->number, error->description, false)) {
            case kAnswerRetry:
                break;
            case kAnswerIgnore:
                ++k;
                break;
            default:
                return false;
        }
    }
    return true;
}

}  // namespace kestro
