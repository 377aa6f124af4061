#pragma once
// The message that ends the program on a run-time error that nothing handles.

#include <string>

#include "common/runtime_error.h"
#include "shell/dialogs.h"

namespace kestro::shell {

// "Run-time error '<number>':", an empty line, and the description.
std::string runTimeErrorText(const RuntimeError& error);

// Tells a run-time error that nothing handles: its message on standard error and in the prompt.
void reportFatalError(const RuntimeError& error, MessagePrompt& prompt);

}  // namespace kestro::shell
