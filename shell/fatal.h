#pragma once
// The message that ends the program on a run-time error that nothing handles.

#include <string>

#include "common/runtime_error.h"

namespace kestro::shell {

// "Run-time error '<number>':", an empty line, and the description.
std::string runTimeErrorText(const RuntimeError& error);

}  // namespace kestro::shell
