#include "savegame/game_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "common/read_file.h"
#include "savegame/codec.h"
#include "tests/savegame/random_game.h"
#include "tests/support/files.h"
#include "tests/support/hang_guard.h"
#include "tests/support/result.h"
#include "tests/support/temp_dir.h"

using ::testing::HasSubstr;

namespace kestro::savegame {
namespace {

namespace fs = std::filesystem;

using kestro::test::writeFile;

class SaveGameFile : public ::testing::Test {
  protected:
    const kestro::test::TempDir tempDir_{"kestro-savegame"};
    const fs::path dir_ = tempDir_.path();
    test::RandomGames random_{1234};
};

std::vector<std::uint8_t> contents(const fs::path& p) {
    const std::string bytes = kestro::test::readFile(p);
    return {bytes.begin(), bytes.end()};
}

std::vector<std::string> names(const fs::path& dir) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) {
        out.push_back(e.path().filename().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

TEST_F(SaveGameFile, SavesExactlyTheEncodingAndLoadsItBack) {
    const GameState s = random_.playable();
    const SliderValues sl = random_.sliders();
    const fs::path file = dir_ / "game.egf";
    // Saving over a longer file leaves a file of exactly one saved game.
    writeFile(file, std::string(20000, 'z'));

    ASSERT_EQ(kestro::test::reasonOf(saveGameFile(file, s, sl, 777)), std::nullopt);

    const SaveBytes expected = encode(s, sl, 777);
    EXPECT_EQ(contents(file), std::vector<std::uint8_t>(expected.begin(), expected.end()));
    EXPECT_EQ(names(dir_), std::vector<std::string>{"game.egf"});
    const auto loaded = loadSavedGame(file);
    ASSERT_TRUE(loaded.ok()) << loaded.error().reason;
    EXPECT_EQ(loaded.value().game.tiles, s.tiles);
    EXPECT_EQ(loaded.value().game.variables, storedVariables(s));
    EXPECT_EQ(loaded.value().game.sliders, sl);
}

TEST_F(SaveGameFile, SavingOverAFileKeepsItsPermissions) {
    const fs::path file = dir_ / "game.egf";
    writeFile(file, "old");
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    ASSERT_EQ(kestro::test::reasonOf(saveGameFile(file, random_.state(), random_.sliders(), 1)),
              std::nullopt);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// Lowers the largest file size the process may write and ignores the signal that would end it,
// until the end of the scope.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lower = old_;
        lower.rlim_cur = bytes;
        ok_ = ::setrlimit(RLIMIT_FSIZE, &lower) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    bool ok() const { return ok_; }

  private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
    bool ok_ = false;
};

TEST_F(SaveGameFile, ASaveThatFailsPartWayLeavesTheOldFileAndNoLeftovers) {
    const GameState s = random_.state();
    const SliderValues sl = random_.sliders();
    const fs::path file = dir_ / "game.egf";
    ASSERT_EQ(kestro::test::reasonOf(saveGameFile(file, s, sl, 10)), std::nullopt);
    const auto before = contents(file);

    std::optional<std::string> failure;
    {
        FileSizeLimit limit(5000);  // the write stops in the middle of the tiles
        ASSERT_TRUE(limit.ok());
        failure = kestro::test::reasonOf(saveGameFile(file, random_.state(), sl, 20));
    }
    ASSERT_TRUE(failure.has_value());
    EXPECT_THAT(*failure, HasSubstr("cannot write"));
    EXPECT_EQ(contents(file), before);
    EXPECT_EQ(names(dir_), std::vector<std::string>{"game.egf"});
}

TEST_F(SaveGameFile, FailuresComeBackAsReasons) {
    const GameState s = random_.state();
    const SliderValues sl = random_.sliders();
    fs::create_directory(dir_ / "folder");
    ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0644), 0);
    fs::create_symlink("/dev/null", dir_ / "null");

    const struct {
        fs::path path;
        const char* mentions;
    } saves[] = {
        {dir_ / "missing" / "game.egf", "No such file or directory"},
        {dir_ / "folder", "is a folder"},
        {dir_ / "folder" / "", "names no file"},
        {dir_ / "fifo", "is not a regular file"},
        {dir_ / "null", "is not a regular file"},
    };
    for (const auto& c : saves) {
        const kestro::test::HangGuard guard("saving over something that is not a file");
        const auto failure = kestro::test::reasonOf(saveGameFile(c.path, s, sl, 0));
        ASSERT_TRUE(failure.has_value()) << c.path;
        EXPECT_THAT(*failure, HasSubstr(c.mentions));
    }
    // Nothing was replaced or left behind.
    EXPECT_EQ(names(dir_), (std::vector<std::string>{"fifo", "folder", "null"}));
    EXPECT_TRUE(names(dir_ / "folder").empty());
    EXPECT_TRUE(fs::is_fifo(dir_ / "fifo"));
    EXPECT_EQ(fs::read_symlink(dir_ / "null"), "/dev/null");
}

TEST_F(SaveGameFile, SavingThroughALinkWritesItsTargetAndKeepsTheLink) {
    const GameState s = random_.state();
    const SliderValues sl = random_.sliders();
    fs::create_directory(dir_ / "saves");
    writeFile(dir_ / "saves" / "game.egf", "old");
    fs::create_symlink("saves/game.egf", dir_ / "current.egf");

    ASSERT_EQ(kestro::test::reasonOf(saveGameFile(dir_ / "current.egf", s, sl, 99)), std::nullopt);
    EXPECT_EQ(fs::read_symlink(dir_ / "current.egf"), "saves/game.egf");
    const SaveBytes expected = encode(s, sl, 99);
    EXPECT_EQ(contents(dir_ / "saves" / "game.egf"),
              std::vector<std::uint8_t>(expected.begin(), expected.end()));
    EXPECT_EQ(names(dir_ / "saves"), std::vector<std::string>{"game.egf"});
}

// Bytes drawn at random, the same on every run.
std::string randomBytes(std::size_t count, std::uint32_t seed) {
    std::mt19937 gen(seed);
    std::string out(count, '\0');
    for (char& c : out) {
        c = static_cast<char>(gen() & 0xFF);
    }
    return out;
}

TEST_F(SaveGameFile, LoadingRefusesWhatIsNoSavedGame) {
    const SaveBytes b = encode(random_.state(), random_.sliders(), 5);
    const std::string game(b.begin(), b.end());
    const std::string tag(kTag);
    writeFile(dir_ / "plain", "not a folder");

    struct Case {
        const char* name;
        // Prepares the file and gives its path.
        std::function<fs::path(const fs::path&)> setUp;
        RefusalKind kind;
        std::string mentions;
    };
    auto file = [](const std::string& bytes) {
        return [bytes](const fs::path& p) {
            writeFile(p, bytes);
            return p;
        };
    };
    const Case cases[] = {
        {"empty file", file(""), RefusalKind::WrongSize, "it holds only 0 bytes"},
        {"only part of the tag", file(tag.substr(0, 7)), RefusalKind::WrongSize, "7 bytes"},
        {"one byte short", file(game.substr(0, kFileSize - 1)), RefusalKind::WrongSize,
         "it holds only 11183 bytes, and a saved game holds 11184."},
        {"random bytes behind the tag, too few", file(tag + randomBytes(4992, 1)),
         RefusalKind::WrongSize, "5000 bytes"},
        {"random bytes behind the tag", file(tag + randomBytes(kFileSize - 8, 2)),
         RefusalKind::ValueOutOfRange, "the tile at column 0, row 0"},
        {"random bytes behind the tag and more", file(tag + randomBytes(3 * kFileSize, 3)),
         RefusalKind::ValueOutOfRange, "the tile at column 0, row 0"},
        {"lower-case tag", file("egf1.0br" + game.substr(8)), RefusalKind::WrongVersion, ""},
        {"one letter in lower case", file("EGF1.0bR" + game.substr(8)), RefusalKind::WrongVersion,
         ""},
        // The tag is checked before the size.
        {"short file with another tag", file(std::string(100, 'x')), RefusalKind::WrongVersion, ""},
        {"long file with another tag", file(std::string(kFileSize + 1, 'x')),
         RefusalKind::WrongVersion, ""},
        {"missing file", [](const fs::path& p) { return p; }, RefusalKind::Unreadable,
         "No such file or directory"},
        {"file below a file", [&](const fs::path&) { return dir_ / "plain" / "game.egf"; },
         RefusalKind::Unreadable, "Not a directory"},
        {"folder",
         [](const fs::path& p) {
             fs::create_directory(p);
             return p;
         },
         RefusalKind::Unreadable, "is a folder"},
        // With no writer, opening a FIFO would wait for one for good.
        {"FIFO",
         [](const fs::path& p) {
             EXPECT_EQ(::mkfifo(p.c_str(), 0644), 0);
             return p;
         },
         RefusalKind::Unreadable, "is not a regular file"},
        // An endless device is not read at all.
        {"endless device", [](const fs::path&) { return fs::path("/dev/zero"); },
         RefusalKind::Unreadable, "is not a regular file"},
        {"link to an endless device",
         [](const fs::path& p) {
             fs::create_symlink("/dev/zero", p);
             return p;
         },
         RefusalKind::Unreadable, "is not a regular file"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        const fs::path path = c.setUp(dir_ / ("case-" + std::to_string(i)));
        auto r = Result<SavedGame, Refusal>::failure(Refusal{});
        {
            const kestro::test::HangGuard guard(c.name);
            r = loadSavedGame(path);
        }
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error().kind, c.kind) << r.error().reason;
        EXPECT_THAT(r.error().reason, HasSubstr(c.mentions));
        if (c.kind == RefusalKind::Unreadable) {
            EXPECT_THAT(r.error().reason, HasSubstr("'" + path.string() + "'"));
        }
    }
}

// Saving over a longer file can leave its end behind the game; such a file loads the game, and
// only the game's bytes are read, however long the file is.
TEST_F(SaveGameFile, BytesBehindAGameAreIgnored) {
    const SaveBytes b = encode(random_.playable(), random_.sliders(), 5);
    const std::string game(b.begin(), b.end());
    const DecodeResult exact = decode(b);
    ASSERT_TRUE(exact.ok()) << exact.error().reason;

    struct Case {
        const char* name;
        std::string behind;       // the bytes written behind the game
        std::uint64_t holeAfter;  // then the file is made this long, with a hole in it
    };
    const Case cases[] = {
        {"one byte", "x", 0},
        {"1000 random bytes", randomBytes(1000, 7), 0},
        {"another whole game", game, 0},
        {"a 4 GiB hole", "", std::uint64_t{4} << 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = dir_ / "long.egf";
        writeFile(path, game + c.behind);
        if (c.holeAfter > 0) {
            std::error_code error;
            fs::resize_file(path, c.holeAfter, error);
            if (error) {
                GTEST_SKIP() << "the file system takes no file of " << c.holeAfter << " bytes";
            }
        }
        const auto read = readRegularFile(path, kFileSize, Beyond::Ignore);
        ASSERT_TRUE(read.ok()) << describe(read.error(), path);
        EXPECT_EQ(read.value(), std::string(b.begin(), b.end()));
        const auto r = loadSavedGame(path);
        ASSERT_TRUE(r.ok()) << r.error().reason;
        EXPECT_EQ(r.value().game, exact.value());
    }
}

}  // namespace
}  // namespace kestro::savegame
