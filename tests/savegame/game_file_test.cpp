#include "savegame/game_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "savegame/codec.h"
#include "tests/savegame/random_game.h"
#include "tests/support/files.h"
#include "tests/support/temp_dir.h"

namespace kestro::savegame {
namespace {

namespace fs = std::filesystem;

using kestro::testing::writeFile;

class SaveGameFile : public ::testing::Test {
  protected:
    const kestro::testing::TempDir tempDir_{"kestro-savegame"};
    const fs::path dir_ = tempDir_.path();
    testing::RandomGames random_{1234};
};

std::vector<std::uint8_t> contents(const fs::path& p) {
    const std::string bytes = kestro::testing::readFile(p);
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
    const GameState s = random_.state();
    const SliderValues sl = random_.sliders();
    const fs::path file = dir_ / "game.egf";
    // Saving over a longer file leaves a file of exactly one saved game.
    writeFile(file, std::string(20000, 'z'));

    ASSERT_EQ(saveGameFile(file, s, sl, 777), std::nullopt);

    const SaveBytes expected = encode(s, sl, 777);
    EXPECT_EQ(contents(file), std::vector<std::uint8_t>(expected.begin(), expected.end()));
    EXPECT_EQ(names(dir_), std::vector<std::string>{"game.egf"});
    const DecodeResult loaded = loadGameFile(file);
    ASSERT_TRUE(loaded.ok()) << loaded.error().message;
    EXPECT_EQ(loaded.value().tiles, s.tiles);
    EXPECT_EQ(loaded.value().variables, storedVariables(s));
    EXPECT_EQ(loaded.value().sliders, sl);
}

TEST_F(SaveGameFile, SavingOverAFileKeepsItsPermissions) {
    const fs::path file = dir_ / "game.egf";
    writeFile(file, "old");
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    ASSERT_EQ(saveGameFile(file, random_.state(), random_.sliders(), 1), std::nullopt);
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
    ASSERT_EQ(saveGameFile(file, s, sl, 10), std::nullopt);
    const auto before = contents(file);

    std::optional<std::string> failure;
    {
        FileSizeLimit limit(5000);  // the write stops in the middle of the tiles
        ASSERT_TRUE(limit.ok());
        failure = saveGameFile(file, random_.state(), sl, 20);
    }
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->find("cannot write"), std::string::npos) << *failure;
    EXPECT_EQ(contents(file), before);
    EXPECT_EQ(names(dir_), std::vector<std::string>{"game.egf"});
}

TEST_F(SaveGameFile, FailuresComeBackAsReasons) {
    const GameState s = random_.state();
    const SliderValues sl = random_.sliders();
    fs::create_directory(dir_ / "folder");

    const struct {
        fs::path path;
        const char* mentions;
    } saves[] = {
        {dir_ / "missing" / "game.egf", "No such file or directory"},
        {dir_ / "folder", "Is a directory"},
        {dir_ / "folder" / "", "names no file"},
    };
    for (const auto& c : saves) {
        const auto failure = saveGameFile(c.path, s, sl, 0);
        ASSERT_TRUE(failure.has_value()) << c.path;
        EXPECT_NE(failure->find(c.mentions), std::string::npos) << *failure;
    }
    EXPECT_EQ(names(dir_), std::vector<std::string>{"folder"});
    EXPECT_TRUE(names(dir_ / "folder").empty());

    const struct {
        fs::path path;
        RefusalKind kind;
        const char* mentions;
    } loads[] = {
        {dir_ / "missing.egf", RefusalKind::Unreadable, "No such file or directory"},
        {dir_ / "folder", RefusalKind::Unreadable, "Is a directory"},
        // An endless file is refused after one byte more than a saved game.
        {"/dev/zero", RefusalKind::WrongVersion, ""},
    };
    for (const auto& c : loads) {
        const DecodeResult r = loadGameFile(c.path);
        ASSERT_FALSE(r.ok()) << c.path;
        EXPECT_EQ(r.error().kind, c.kind) << r.error().message;
        EXPECT_NE(r.error().message.find(c.mentions), std::string::npos) << r.error().message;
    }
}

TEST_F(SaveGameFile, ReadingStopsOneByteAfterASavedGame) {
    const auto endless = readGameFile("/dev/zero");
    ASSERT_TRUE(endless.ok()) << endless.error();
    EXPECT_EQ(endless.value().size(), kFileSize + 1);

    // A saved game followed by more data is refused as too long.
    const fs::path file = dir_ / "long.egf";
    const SaveBytes b = encode(random_.state(), random_.sliders(), 5);
    writeFile(file, std::string(b.begin(), b.end()) + std::string(1 << 20, '\0'));
    const DecodeResult r = loadGameFile(file);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().kind, RefusalKind::WrongSize);
}

}  // namespace
}  // namespace kestro::savegame
