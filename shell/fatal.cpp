#include "shell/fatal.h"

namespace kestro::shell {

std::string runTimeErrorText(const RuntimeError& error) {
    return "Run-time error '" + std::to_string(error.number()) + "':\n\n" + error.description();
}

}  // namespace kestro::shell
