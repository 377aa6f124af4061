#include "common/read_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "tests/support/files.h"
#include "tests/support/hang_guard.h"
#include "tests/support/temp_dir.h"

namespace kestro {
namespace {

namespace fs = std::filesystem;

// What each bound and mode makes of a file: its text, or the reason alone and the sentence that
// names the path.
TEST(ReadRegularFile, ReadsUpToTheBoundAndNamesEveryRefusal) {
    const kestro::test::TempDir dir("kestro-read-file");
    kestro::test::writeFile(dir / "ten", "0123456789");
    kestro::test::writeFile(dir / "empty", "");
    fs::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
    const std::string missing = (dir / "missing").string();
    const std::string folder = (dir / "folder").string();

    struct Case {
        const char* name;
        fs::path path;
        std::uintmax_t limit;
        Beyond beyond;
        std::optional<std::string> text;  // what is read, or nothing when the file is refused
        std::string reason;               // describe(failure)
        std::string sentence;             // describe(failure, path)
    };
    const Case cases[] = {
        {"at the bound", dir / "ten", 10, Beyond::Refuse, "0123456789", "", ""},
        {"under the bound", dir / "ten", 11, Beyond::Refuse, "0123456789", "", ""},
        {"empty", dir / "empty", 10, Beyond::Refuse, "", "", ""},
        {"one byte over", dir / "ten", 9, Beyond::Refuse, std::nullopt, "is larger than 9 bytes",
         "'" + (dir / "ten").string() + "' is larger than 9 bytes"},
        {"a bound of nothing", dir / "ten", 0, Beyond::Refuse, std::nullopt,
         "is larger than 0 bytes", "'" + (dir / "ten").string() + "' is larger than 0 bytes"},
        {"first bytes", dir / "ten", 4, Beyond::Ignore, "0123", "", ""},
        {"first bytes of a shorter file", dir / "ten", 64, Beyond::Ignore, "0123456789", "", ""},
        {"no bytes", dir / "ten", 0, Beyond::Ignore, "", "", ""},
        {"missing", missing, 10, Beyond::Ignore, std::nullopt,
         "cannot open: No such file or directory",
         "cannot open '" + missing + "': No such file or directory"},
        {"folder", folder, 10, Beyond::Refuse, std::nullopt, "is a folder",
         "'" + folder + "' is a folder"},
        {"FIFO", dir / "fifo", 10, Beyond::Ignore, std::nullopt, "is not a regular file",
         "'" + (dir / "fifo").string() + "' is not a regular file"},
        {"endless device", "/dev/zero", 10, Beyond::Ignore, std::nullopt, "is not a regular file",
         "'/dev/zero' is not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const kestro::test::HangGuard guard(c.name);
        const auto read = readRegularFile(c.path, c.limit, c.beyond);
        if (c.text) {
            ASSERT_TRUE(read.ok()) << describe(read.error(), c.path);
            EXPECT_EQ(read.value(), *c.text);
        } else {
            ASSERT_FALSE(read.ok()) << read.value();
            EXPECT_EQ(describe(read.error()), c.reason);
            EXPECT_EQ(describe(read.error(), c.path), c.sentence);
        }
    }
}

TEST(ReadRegularFile, ABoundOfWholeMebibytesIsSaidSo) {
    const kestro::test::TempDir dir("kestro-read-file");
    kestro::test::writeFile(dir / "big", std::string((1u << 20) + 1, 'x'));
    const auto read = readRegularFile(dir / "big", std::uintmax_t{1} << 20);
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(describe(read.error()), "is larger than 1 MiB");
}

}  // namespace
}  // namespace kestro
