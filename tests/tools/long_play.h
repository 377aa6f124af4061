#pragma once
// A long `kestro-sim play` at level 40 with a pointer that moves every 50 ms to random places
// (some of them off the playfield): it must finish, give the same output twice and match the
// game run in-process by play().

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "savegame/game_file.h"
#include "tests/support/files.h"
#include "tests/tools/play_moves.h"
#include "tests/tools/run_sim.h"

namespace kestro::sim::test {

inline void expectLongPlayRepeatable(Millis end, const std::filesystem::path& dir) {
    const std::string start = (dir / "start.egf").string();
    const RunResult made = runSim({"new", start, "--level", "40", "--seed", "4040", "--key", "40"});
    ASSERT_EQ(made.status, 0) << made.err;

    std::mt19937 rng(2024);
    std::uniform_real_distribution<float> x(-20.0f, 600.0f), y(-20.0f, 545.0f);
    std::vector<Move> moves;
    for (Millis ms = 25; ms <= end; ms += 50) {
        moves.push_back(Move{ms, x(rng), y(rng)});
    }
    kestro::test::writeFile(dir / "pointer.txt", pointerFileText(moves));

    const std::vector<std::string> args{
        "play",   start, "--ms",      std::to_string(end),
        "--seed", "77",  "--pointer", (dir / "pointer.txt").string()};
    const RunResult first = runSim(args);
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.err, "");
    const RunResult second = runSim(args);
    EXPECT_EQ(second.status, 0);
    EXPECT_EQ(second.out, first.out);

    const auto loaded = savegame::loadSavedGame(start);
    ASSERT_TRUE(loaded.ok()) << loaded.error().reason;
    SeededRandom random(77);
    EXPECT_EQ(first.out, playInProcess(loaded.value().game, end, random, moves).out);
    EXPECT_NE(first.out.find("end ms=" + std::to_string(end) + " "), std::string::npos);
}

}  // namespace kestro::sim::test
