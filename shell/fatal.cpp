#include "shell/fatal.h"

#include <cstdio>

namespace kestro::shell {

std::string runTimeErrorText(const RuntimeError& error) {
    return "Run-time error '" + std::to_string(error.number()) + "':\n\n" + error.description();
}

void reportFatalError(const RuntimeError& error, MessagePrompt& prompt) {
    const std::string text = runTimeErrorText(error);
    std::fprintf(stderr, "%s\n", text.c_str());
    prompt.showMessage(text);
}

}  // namespace kestro::shell
