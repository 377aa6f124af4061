// What kestro-sim does with files that are not what they should be: pictures and saved games are
// written whole or not at all and never over a device, a FIFO or a folder; every input has a
// bound; a scene of one tile or none still draws.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <QImage>

#include "game/game_state.h"
#include "game/slider.h"
#include "savegame/game_file.h"
#include "savegame/slider_values.h"
#include "tests/support/as_user.h"
#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/result.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tmpfs.h"
#include "tests/tools/run_sim.h"

using ::testing::HasSubstr;

namespace kestro::sim {
namespace {

using kestro::test::readFile;
using kestro::test::writeFile;
using test::runSim;

class ToolsFiles : public ::testing::Test {
  protected:
    ToolsFiles() {
        const auto r =
            runSim({"new", path("level.egf"), "--level", "80", "--seed", "4", "--key", "10"});
        EXPECT_EQ(r.status, 0) << r.err;
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    // Saves a game whose grid holds only the given tiles.
    std::string saveGrid(const std::string& name, const std::vector<std::pair<int, int>>& balls) {
        GameState s;
        s.ballX = 35;
        s.ballY = 27;
        s.lastX = 34;
        s.lastY = 28;
        s.minInterval = 201;
        s.ballInterval = 390;
        for (const auto& [x, y] : balls) {
            s.tiles.set(x, y, tileBall);
        }
        EXPECT_FALSE(kestro::test::reasonOf(
            savegame::saveGameFile(path(name), s, savegame::SliderValues{}, 5)));
        return path(name);
    }

    static void expectOneLineError(const kestro::test::RunResult& r, const std::string& what) {
        EXPECT_EQ(r.status, 1) << what;
        EXPECT_THAT(r.err, HasSubstr(what));
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    }

    kestro::test::TempDir dir_{"kestro-toolfiles"};
};

TEST_F(ToolsFiles, DevicesFifosAndFoldersAreNeverWrittenOver) {
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(path("folder"));
    std::filesystem::create_symlink("/dev/null", path("to-null"));
    const std::vector<std::vector<std::string>> writes = {
        {"new", "/dev/null", "--seed", "1"},
        {"new", path("to-null"), "--seed", "1"},
        {"step", path("level.egf"), "/dev/full"},
        {"step", path("level.egf"), path("fifo")},
        {"step", path("level.egf"), path("folder")},
        {"render", path("level.egf"), "/dev/null"},
        {"render", path("level.egf"), path("to-null")},
        {"render", path("level.egf"), path("fifo")},
        {"render", path("level.egf"), path("folder")},
        {"play", path("level.egf"), "--ms", "10", "--seed", "1", "--out", "/dev/null"},
    };
    for (const auto& args : writes) {
        const auto r = runSim(args);
        EXPECT_EQ(r.status, 1) << args[0] << " " << args[args.size() - 1] << ": " << r.err;
        EXPECT_FALSE(r.err.empty());
    }
    struct stat info {};
    ASSERT_EQ(::stat("/dev/null", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode)) << "/dev/null is still the device";
    ASSERT_EQ(::lstat(path("fifo").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_TRUE(std::filesystem::is_empty(path("folder")));
    EXPECT_TRUE(std::filesystem::is_symlink(path("to-null")));
}

TEST_F(ToolsFiles, APictureIsWrittenWholeOrNotAtAll) {
    // A good picture first, then a larger one that the disk cannot hold.
    std::filesystem::create_directory(path("small-disk"));
    kestro::test::ScopedTmpfs disk(path("small-disk"), "96k");
    if (!disk.mounted()) {
        GTEST_SKIP() << "cannot mount a small file system here";
    }
    const std::string png = path("small-disk/level.png");
    auto r = runSim({"render", path("level.egf"), png, "--width", "118", "--height", "94"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string good = readFile(png);
    ASSERT_FALSE(good.empty());
    // Most of the rest of the disk is taken.
    std::ofstream(path("small-disk/filler"), std::ios::binary)
        << std::string(96 * 1024 - good.size() - 16 * 1024, 'x');

    r = runSim({"render", path("level.egf"), png, "--width", "4000", "--height", "4000"});
    expectOneLineError(r, "level.png");
    EXPECT_EQ(readFile(png), good) << "the earlier picture is as it was";
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path("small-disk"))) {
        names.push_back(e.path().filename().string());
    }
    EXPECT_EQ(names.size(), 2u) << "no temporary file is left behind";

    // /dev/full through a link: refused before anything is written.
    std::filesystem::create_symlink("/dev/full", path("full.png"));
    r = runSim({"render", path("level.egf"), path("full.png")});
    expectOneLineError(r, "not a regular file");
}

TEST_F(ToolsFiles, ScenesOfOneTileOrNoneAreDrawn) {
    struct Case {
        const char* name;
        std::vector<std::pair<int, int>> balls;
    };
    const Case cases[] = {
        {"none.egf", {}}, {"one.egf", {{35, 27}}}, {"two.egf", {{35, 27}, {1, 1}}}};
    for (const Case& c : cases) {
        const std::string in = saveGrid(c.name, c.balls);
        const std::string out = path(std::string(c.name) + ".png");
        const auto r = runSim({"render", in, out, "--width", "590", "--height", "470"});
        ASSERT_EQ(r.status, 0) << c.name << ": " << r.err;
        const QImage image(QString::fromStdString(out));
        ASSERT_FALSE(image.isNull());
        int blue = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                blue += image.pixel(x, y) == qRgb(0, 0, 255) ? 1 : 0;
            }
        }
        EXPECT_EQ(blue > 0, !c.balls.empty()) << c.name;
        if (!c.balls.empty()) {
            EXPECT_EQ(image.pixel(355, 275), qRgb(0, 0, 255)) << c.name;
        }
    }
}

TEST_F(ToolsFiles, InputsHaveABound) {
    auto r = kestro::test::runProgramFrom(KESTRO_SIM, {"entity", "decode"}, "/dev/zero");
    expectOneLineError(r, "longer than 8 MiB");

    r = runSim({"new", path("x.egf"), "--draws", "/dev/zero"});
    expectOneLineError(r, "not a regular file");
    EXPECT_FALSE(std::filesystem::exists(path("x.egf")));

    {
        std::ofstream many(path("many.txt"));
        for (int i = 0; i <= 4'000'000; ++i) {
            many << "0.5\n";
        }
    }
    r = runSim({"new", path("x.egf"), "--draws", path("many.txt")});
    expectOneLineError(r, "more than 4000000 draws");

    r = runSim({"new", path("x.egf"), "--seed", "99999999999999999999"});
    expectOneLineError(r, "--seed must lie between 0 and");
    r = runSim({"new", path("x.egf"), "--seed", "9x"});
    expectOneLineError(r, "--seed needs a whole number");

    // Runs that no real use asks for, which would not end in a lifetime.
    r = runSim({"play", path("level.egf"), "--ms", "10000000001"});
    expectOneLineError(r, "play: --ms must lie between 0 and 10000000000, not 10000000001");
    EXPECT_EQ(r.out, "");
    r = runSim({"step", path("level.egf"), path("x.egf"), "--ticks", "10000000001"});
    expectOneLineError(r, "step: --ticks must lie between 0 and 10000000000, not 10000000001");
}

// Output that is lost (a full disk, a closed stdout) and input that cannot be read (a closed
// stdin, a folder) fail every command that writes or reads them, with one line on stderr.
TEST_F(ToolsFiles, LostOutputAndUnreadableInputAreErrors) {
    using kestro::test::kClosedStream;
    using kestro::test::runProgramFrom;
    writeFile(path("entity.txt"), "1\r\n2\r\n3\r\n4\r\n8\r\nc255");
    const std::vector<std::vector<std::string>> printing = {
        {"--help"},
        {"new", "--help"},
        {"show", path("level.egf")},
        {"play", path("level.egf"), "--ms", "10", "--seed", "1"},
        {"entity", "encode", "1", "2", "3", "4", "8", "c255"},
        {"entity", "decode"},
    };
    for (const std::filesystem::path& sink : {std::filesystem::path("/dev/full"), kClosedStream}) {
        if (!std::filesystem::exists("/dev/full") && sink != kClosedStream) {
            continue;
        }
        for (const auto& args : printing) {
            SCOPED_TRACE(sink.string() + " " + args[0] + " " + args.back());
            const auto r = runProgramFrom(KESTRO_SIM, args, path("entity.txt"), sink);
            expectOneLineError(r, "cannot write to standard output");
            EXPECT_EQ(r.err.rfind("kestro-sim: ", 0), 0u) << r.err;
        }
    }
    for (const std::filesystem::path& source : {kClosedStream, dir_.path()}) {
        SCOPED_TRACE(source.string());
        const auto r = runProgramFrom(KESTRO_SIM, {"entity", "decode"}, source);
        expectOneLineError(r, "kestro-sim: entity decode: cannot read standard input: ");
        EXPECT_EQ(r.out, "");
    }
}

// An output the user may not write, or one that a new copy would split from its other names,
// is refused before the command runs (play prints nothing), with the reason on one line, and
// stays as it was. As root the commands run as the user nobody, whom the files belong to.
TEST_F(ToolsFiles, AnOutputThatCannotBeReplacedIsRefusedBeforeTheRun) {
    ASSERT_EQ(::chmod(dir_.path().c_str(), 0755), 0);
    const auto userDir = dir_ / "user";
    std::filesystem::create_directory(userDir);
    ASSERT_EQ(::chown(userDir.c_str(), kestro::test::userId(), kestro::test::userGroup()), 0);
    struct Target {
        const char* name;
        const char* reason;
    };
    const Target targets[] = {
        {"precious.egf", "it is write-protected (Permission denied)"},
        {"linked.egf", "it has 2 hard links, which a new copy would split into separate files"},
    };
    for (const Target& t : targets) {
        const auto file = userDir / t.name;
        writeFile(file, "what was there");
        ASSERT_EQ(::chown(file.c_str(), kestro::test::userId(), kestro::test::userGroup()), 0);
    }
    ASSERT_EQ(::chmod((userDir / "precious.egf").c_str(), 0444), 0);
    std::filesystem::create_hard_link(userDir / "linked.egf", userDir / "other.egf");
    // The user may not reach the build tree (a checkout in root's home): the user runs copies of
    // kestro-sim and its render program from this test's folder.
    const auto bin = dir_ / "bin";
    std::filesystem::create_directory(bin);
    for (const char* program : {"kestro-sim", "kestro-sim-render"}) {
        std::filesystem::copy_file(std::filesystem::path(KESTRO_SIM).parent_path() / program,
                                   bin / program);
    }
    const std::string sim = (bin / "kestro-sim").string();

    for (const Target& t : targets) {
        const std::string out = (userDir / t.name).string();
        const std::vector<std::vector<std::string>> commands = {
            {"new", out, "--seed", "1"},
            {"step", path("level.egf"), out, "--ticks", "5"},
            {"play", path("level.egf"), "--ms", "60000", "--seed", "1", "--out", out},
            {"render", path("level.egf"), out},
        };
        for (const auto& args : commands) {
            SCOPED_TRACE(args[0] + " " + t.name);
            const auto result = kestro::test::runAsUser([&] {
                const auto r = kestro::test::runProgram(sim, args);
                return std::to_string(r.status) + "\n" + r.err + r.out;
            });
            if (!result) {
                GTEST_SKIP() << "cannot run kestro-sim as an unprivileged user";
            }
            EXPECT_EQ(*result, "1\nkestro-sim: " + args[0] + ": cannot write '" + out +
                                   "': " + t.reason + "\n");
            EXPECT_EQ(readFile(out), "what was there");
        }
    }
}

}  // namespace
}  // namespace kestro::sim
