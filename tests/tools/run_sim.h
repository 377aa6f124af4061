#pragma once
// Runs the built kestro-sim (KESTRO_SIM) with arguments and collects its exit status and output.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace kestro::sim::test {

using kestro::test::RunResult;

// Runs kestro-sim with the arguments after its name, feeding input on stdin.
inline RunResult runSim(const std::vector<std::string>& args, const std::string& input = "") {
    return kestro::test::runProgram(KESTRO_SIM, args, input);
}

// A folder of its own for one test's files, with the commands that run kestro-sim on them.
class SimFolder : public ::testing::Test {
  protected:
    explicit SimFolder(const std::string& prefix) : tempDir_(prefix) {}

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    RunResult sim(const std::vector<std::string>& args) const { return runSim(args); }
    // Runs a command that must succeed and leave stderr empty.
    void ok(const std::vector<std::string>& args) const {
        const RunResult r = sim(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
    }
    std::string bytesOf(const std::string& name) const {
        return kestro::test::readFile(dir_ / name);
    }

    const kestro::test::TempDir tempDir_;
    const std::filesystem::path dir_ = tempDir_.path();
};

}  // namespace kestro::sim::test
