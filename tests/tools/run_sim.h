#pragma once
// Runs the built kestro-sim (KESTRO_SIM) with arguments and collects its exit status and output.

#include <string>
#include <vector>

#include "tests/support/process.h"

namespace kestro::sim::testing {

using kestro::testing::RunResult;

// Runs kestro-sim with the arguments after its name, feeding input on stdin.
inline RunResult runSim(const std::vector<std::string>& args, const std::string& input = "") {
    return kestro::testing::runProgram(KESTRO_SIM, args, input);
}

}  // namespace kestro::sim::testing
