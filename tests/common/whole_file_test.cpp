#include "common/whole_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/unique_fd.h"
#include "tests/support/as_user.h"
#include "tests/support/files.h"
#include "tests/support/hang_guard.h"
#include "tests/support/result.h"
#include "tests/support/socket_file.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tmpfs.h"

using ::testing::HasSubstr;

namespace kestro {
namespace {

using kestro::test::makeSocket;

namespace fs = std::filesystem;

using test::readFile;
using test::writeFile;

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

// What lies at each path under root, without following links: a file's contents, a link's
// text, or the kind of anything else. Two equal snapshots mean nothing was changed, added or
// left behind.
std::map<std::string, std::string> snapshot(const fs::path& root) {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        const std::string name = e.path().lexically_relative(root).string();
        const fs::file_status st = e.symlink_status();
        switch (st.type()) {
            case fs::file_type::regular:
                out[name] = "file " + readFile(e.path());
                break;
            case fs::file_type::symlink:
                out[name] = "link " + fs::read_symlink(e.path()).string();
                break;
            case fs::file_type::directory:
                out[name] = "folder";
                break;
            default:
                out[name] = "kind " + std::to_string(static_cast<int>(st.type()));
        }
        if (st.type() != fs::file_type::regular) {
            continue;
        }
        struct stat mode {};
        ::lstat(e.path().c_str(), &mode);
        out[name] += " mode " + std::to_string(mode.st_mode & 07777);
    }
    return out;
}

// A character device like /dev/null made in the folder; a link to /dev/null where device nodes
// cannot be made.
void makeNullDevice(const fs::path& path) {
    if (::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
        fs::create_symlink("/dev/null", path);
    }
}

// A chain of count links in dir, the first named "link0", the last naming target.
fs::path linkChain(const fs::path& dir, int count, const fs::path& target) {
    for (int i = 0; i < count; ++i) {
        const fs::path next = i + 1 < count ? fs::path("link" + std::to_string(i + 1)) : target;
        fs::create_symlink(next, dir / ("link" + std::to_string(i)));
    }
    return dir / "link0";
}

// Sets the umask for one scope.
class ScopedUmask {
  public:
    explicit ScopedUmask(mode_t mask) : old_(::umask(mask)) {}
    ~ScopedUmask() { ::umask(old_); }
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

  private:
    mode_t old_;
};

class WholeFile : public ::testing::Test {
  protected:
    // A fresh folder for one case.
    fs::path caseFolder(const std::string& name) {
        const fs::path dir = tempDir_ / name;
        fs::create_directory(dir);
        return dir;
    }

    const test::TempDir tempDir_{"kestro-whole-file"};
    const std::vector<std::uint8_t> bytes_ = bytesOf("new contents\n");
};

// Targets that cannot take the file: each refusal names the path and the reason, and leaves
// everything as it was, with no temporary file behind.
TEST_F(WholeFile, RefusesWhatCannotTakeAFileAndChangesNothing) {
    struct Case {
        const char* name;
        // Prepares the case's folder and gives the path to write.
        std::function<fs::path(const fs::path&)> setUp;
        std::string mentions;
    };
    const Case cases[] = {
        {"a folder",
         [](const fs::path& d) {
             fs::create_directory(d / "game.egf");
             writeFile(d / "game.egf" / "inside", "kept");
             return d / "game.egf";
         },
         "it is a folder"},
        {"a FIFO",
         [](const fs::path& d) {
             EXPECT_EQ(::mkfifo((d / "game.egf").c_str(), 0644), 0);
             return d / "game.egf";
         },
         "it is not a regular file"},
        {"a socket",
         [](const fs::path& d) {
             makeSocket(d / "game.egf");
             return d / "game.egf";
         },
         "it is not a regular file"},
        {"a device node",
         [](const fs::path& d) {
             makeNullDevice(d / "game.egf");
             return d / "game.egf";
         },
         "is not a regular file"},
        {"a link to a full device",
         [](const fs::path& d) {
             fs::create_symlink("/dev/full", d / "game.egf");
             return d / "game.egf";
         },
         "it links to '/dev/full', which is not a regular file"},
        {"a link to a folder",
         [](const fs::path& d) {
             fs::create_directory(d / "sub");
             fs::create_symlink("sub", d / "game.egf");
             return d / "game.egf";
         },
         "which is a folder"},
        {"a link loop",
         [](const fs::path& d) {
             fs::create_symlink("b", d / "a");
             fs::create_symlink("a", d / "b");
             return d / "a";
         },
         "Too many levels of symbolic links"},
        {"41 links in a row",
         [](const fs::path& d) {
             writeFile(d / "game.egf", "old");
             return linkChain(d, 41, "game.egf");
         },
         "Too many levels of symbolic links"},
        {"a folder whose parent is a file",
         [](const fs::path& d) {
             writeFile(d / "plain", "not a folder");
             return d / "plain" / "game.egf";
         },
         "Not a directory"},
        {"a folder that does not exist",
         [](const fs::path& d) { return d / "missing" / "game.egf"; }, "No such file or directory"},
        {"a link into a folder that does not exist",
         [](const fs::path& d) {
             fs::create_symlink("missing/game.egf", d / "game.egf");
             return d / "game.egf";
         },
         "No such file or directory"},
        {"no file name", [](const fs::path& d) { return d / "sub" / ""; }, "it names no file"},
        // /proc takes no new files, not even from root.
        {"a folder that takes no files", [](const fs::path&) { return fs::path("/proc/game.egf"); },
         "cannot create a file in its folder '/proc'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path dir = caseFolder(c.name);
        const fs::path path = c.setUp(dir);
        const auto before = snapshot(dir);

        std::optional<std::string> failure;
        {
            const test::HangGuard guard(c.name);
            failure = test::reasonOf(writeWholeFile(path, bytes_));
        }
        ASSERT_TRUE(failure.has_value());
        EXPECT_THAT(*failure, HasSubstr("'" + path.string() + "'"));
        EXPECT_THAT(*failure, HasSubstr(c.mentions));
        EXPECT_EQ(snapshot(dir), before);
        // The check before writing tells the same, but of a folder that takes no files (which
        // only an attempt shows to root).
        if (::geteuid() != 0 || !path.string().starts_with("/proc/")) {
            EXPECT_EQ(kestro::test::reasonOf(checkWritable(path)), failure);
        }
    }
    EXPECT_FALSE(fs::exists("/proc/game.egf"));
}

// A file system that runs full during the write, or that is read-only: the old file stays and
// no temporary file is left behind.
TEST_F(WholeFile, AFullOrReadOnlyFileSystemKeepsTheOldFile) {
    struct Case {
        const char* name;
        std::size_t size;
        bool readOnly;
        const char* mentions;
    };
    const Case cases[] = {
        {"full", 256 * 1024, false, "No space left on device"},
        {"read-only", 10, true, "Read-only file system"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path dir = caseFolder(c.name);
        test::ScopedTmpfs tmpfs(dir, "64k");
        if (!tmpfs.mounted()) {
            GTEST_SKIP() << "cannot mount a tmpfs here";
        }
        writeFile(dir / "game.egf", "old contents");
        if (c.readOnly) {
            ASSERT_TRUE(tmpfs.makeReadOnly());
        }
        const auto before = snapshot(dir);

        const auto failure = kestro::test::reasonOf(
            writeWholeFile(dir / "game.egf", std::vector<std::uint8_t>(c.size)));
        ASSERT_TRUE(failure.has_value());
        EXPECT_THAT(*failure, HasSubstr("'" + (dir / "game.egf").string() + "'")) << *failure;
        EXPECT_THAT(*failure, HasSubstr(c.mentions));
        EXPECT_EQ(snapshot(dir), before);
    }
}

// A link is followed to its target, which is written; every link on the way stays as it was.
TEST_F(WholeFile, WritesThroughLinksAndKeepsThem) {
    struct Case {
        const char* name;
        // Prepares "links" and "data" in the case's folder; gives the path to write.
        std::function<fs::path(const fs::path&)> setUp;
        const char* target;  // the file written, relative to the case's folder
    };
    const Case cases[] = {
        {"relative link",
         [](const fs::path& d) {
             writeFile(d / "data" / "game.egf", "old");
             fs::create_symlink("../data/game.egf", d / "links" / "game.egf");
             return d / "links" / "game.egf";
         },
         "data/game.egf"},
        {"absolute link",
         [](const fs::path& d) {
             writeFile(d / "data" / "game.egf", "old");
             fs::create_symlink(d / "data" / "game.egf", d / "links" / "game.egf");
             return d / "links" / "game.egf";
         },
         "data/game.egf"},
        {"chain of relative and absolute links",
         [](const fs::path& d) {
             writeFile(d / "data" / "game.egf", "old");
             fs::create_symlink("game.egf", d / "data" / "third");
             fs::create_symlink(d / "data" / "third", d / "links" / "second");
             fs::create_symlink("second", d / "links" / "game.egf");
             return d / "links" / "game.egf";
         },
         "data/game.egf"},
        {"40 links in a row",
         [](const fs::path& d) {
             writeFile(d / "data" / "game.egf", "old");
             return linkChain(d / "links", 40, "../data/game.egf");
         },
         "data/game.egf"},
        {"dangling link",
         [](const fs::path& d) {
             fs::create_symlink("../data/new.egf", d / "links" / "game.egf");
             return d / "links" / "game.egf";
         },
         "data/new.egf"},
        {"link through a linked folder",
         [](const fs::path& d) {
             writeFile(d / "data" / "game.egf", "old");
             fs::create_symlink("data", d / "alias");
             fs::create_symlink("../alias/game.egf", d / "links" / "game.egf");
             return d / "links" / "game.egf";
         },
         "data/game.egf"},
    };
    const ScopedUmask mask(022);  // every file here, old or new, is 0644
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path dir = caseFolder(c.name);
        fs::create_directory(dir / "links");
        fs::create_directory(dir / "data");
        const fs::path path = c.setUp(dir);
        auto expected = snapshot(dir);
        expected[c.target] = "file new contents\n mode " + std::to_string(0644);

        ASSERT_EQ(kestro::test::reasonOf(writeWholeFile(path, bytes_)), std::nullopt);
        EXPECT_EQ(snapshot(dir), expected);
    }
}

TEST_F(WholeFile, AFileWrittenOverKeepsItsPermissionsAndANewOneFollowsTheUmask) {
    struct Case {
        const char* name;
        int existing;  // the old file's mode; -1 for no old file
        mode_t umask;
        mode_t expected;
    };
    const Case cases[] = {
        {"private file", 0600, 022, 0600},      {"group-readable file", 0640, 077, 0640},
        {"executable file", 0755, 077, 0755},   {"group-writable file", 0664, 022, 0664},
        {"new file, umask 022", -1, 022, 0644}, {"new file, umask 027", -1, 027, 0640},
    };
    const fs::path file = tempDir_ / "game.egf";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(file);
        if (c.existing >= 0) {
            writeFile(file, "old");
            ASSERT_EQ(::chmod(file.c_str(), static_cast<mode_t>(c.existing)), 0);
        }
        const ScopedUmask mask(c.umask);
        ASSERT_EQ(kestro::test::reasonOf(writeWholeFile(file, bytes_)), std::nullopt);
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, c.expected);
        EXPECT_EQ(readFile(file), "new contents\n");
    }
}

// What a normal user may not write, or what a new copy would split, is refused and left as it
// was; the user's own file is written. Root writes over write-protected files and folders, so as
// root the writes are made by the user nobody.
TEST_F(WholeFile, WritesOnlyWhatTheUserMayWriteAndNeverSplitsHardLinks) {
    // Gives path to the user the write is made by.
    const auto own = [](const fs::path& path) {
        EXPECT_EQ(::lchown(path.c_str(), test::userId(), test::userGroup()), 0) << path;
    };
    struct Case {
        const char* name;
        bool needsRoot;  // the case needs a file of another user
        // Prepares the case's folder (the user's) and gives the path to write.
        std::function<fs::path(const fs::path&)> setUp;
        std::string outcome;  // "written", or a part of the refusal
    };
    const Case cases[] = {
        {"the user's own file", false,
         [&](const fs::path& d) {
             writeFile(d / "game.egf", "old");
             own(d / "game.egf");
             return d / "game.egf";
         },
         "written"},
        {"a write-protected file", false,
         [&](const fs::path& d) {
             writeFile(d / "precious.egf", "old");
             own(d / "precious.egf");
             ::chmod((d / "precious.egf").c_str(), 0444);
             return d / "precious.egf";
         },
         "it is write-protected (Permission denied)"},
        {"a link to a write-protected file", false,
         [&](const fs::path& d) {
             writeFile(d / "precious.egf", "old");
             own(d / "precious.egf");
             ::chmod((d / "precious.egf").c_str(), 0400);
             fs::create_symlink("precious.egf", d / "game.egf");
             own(d / "game.egf");
             return d / "game.egf";
         },
         "which is write-protected (Permission denied)"},
        {"a file of another user, readable only", true,
         [&](const fs::path& d) {
             writeFile(d / "theirs.egf", "old");
             ::chmod((d / "theirs.egf").c_str(), 0644);
             return d / "theirs.egf";
         },
         "it is write-protected"},
        {"a file of another user that anyone may write", true,
         [&](const fs::path& d) {
             writeFile(d / "shared.egf", "old");
             ::chmod((d / "shared.egf").c_str(), 0666);
             return d / "shared.egf";
         },
         "a new copy cannot keep its owner (user 0) and group (0): Operation not permitted"},
        {"a file with a second hard link", false,
         [&](const fs::path& d) {
             writeFile(d / "game.egf", "old");
             own(d / "game.egf");
             fs::create_hard_link(d / "game.egf", d / "backup.egf");
             return d / "game.egf";
         },
         "it has 2 hard links, which a new copy would split"},
        {"a file in a write-protected folder", false,
         [&](const fs::path& d) {
             fs::create_directory(d / "locked");
             writeFile(d / "locked" / "game.egf", "old");
             own(d / "locked" / "game.egf");
             own(d / "locked");
             ::chmod((d / "locked").c_str(), 0555);
             return d / "locked" / "game.egf";
         },
         "cannot create a file in its folder"},
    };
    // The user must reach the case folders.
    ASSERT_EQ(::chmod(tempDir_.path().c_str(), 0755), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsRoot && ::geteuid() != 0) {
            continue;  // only root can give a file to another user
        }
        const fs::path dir = caseFolder(c.name);
        own(dir);
        const fs::path path = c.setUp(dir);
        const auto before = snapshot(dir);

        // What the check before writing says, then what the write does; both must agree.
        const auto outcome = test::runAsUser([&] {
            const auto checked = test::reasonOf(checkWritable(path));
            const auto failure = test::reasonOf(writeWholeFile(path, bytes_));
            return (checked ? "refused: " + *checked : std::string("written")) + "\n" +
                   (failure ? "refused: " + *failure : std::string("written"));
        });
        if (!outcome) {
            GTEST_SKIP() << "cannot run a write as an unprivileged user";
        }
        const std::string checked = outcome->substr(0, outcome->find('\n'));
        const std::string written = outcome->substr(outcome->find('\n') + 1);
        EXPECT_EQ(checked, written) << "the check before writing";
        if (c.outcome == "written") {
            EXPECT_EQ(written, "written");
            EXPECT_EQ(readFile(path), "new contents\n");
            continue;
        }
        EXPECT_TRUE(written.starts_with("refused: cannot write '" + path.string() + "'"))
            << written;
        EXPECT_THAT(written, HasSubstr(c.outcome));
        EXPECT_EQ(snapshot(dir), before);
    }
}

// Root writing over a user's file leaves it the user's, with its mode, setuid and setgid bits
// included (which a change of owner clears), and writes over a write-protected file as any
// write of root's does.
TEST_F(WholeFile, RootKeepsTheOwnerGroupAndModeOfAFileWrittenOver) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to own files for another user";
    }
    struct Case {
        const char* name;
        uid_t owner;
        gid_t group;
        mode_t mode;
    };
    const Case cases[] = {
        {"a user's private file", test::kNobody, test::kNogroup, 0640},
        {"a user's file of root's group", test::kNobody, 0, 0660},
        {"a user's setgid program", test::kNobody, test::kNogroup, 02750},
        {"a user's setuid program", test::kNobody, test::kNogroup, 04755},
        {"a read-only file", test::kNobody, test::kNogroup, 0444},
        {"root's own read-only file", 0, 0, 0400},
    };
    const fs::path file = tempDir_ / "game.egf";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(file);
        writeFile(file, "old");
        ASSERT_EQ(::chown(file.c_str(), c.owner, c.group), 0);
        ASSERT_EQ(::chmod(file.c_str(), c.mode), 0);
        ASSERT_EQ(kestro::test::reasonOf(writeWholeFile(file, bytes_)), std::nullopt);
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, c.owner);
        EXPECT_EQ(st.st_gid, c.group);
        EXPECT_EQ(st.st_mode & 07777, c.mode);
        EXPECT_EQ(readFile(file), "new contents\n");
    }
}

// The temporary file's name is short, so any name the file system takes can be written, even
// one of the longest.
TEST_F(WholeFile, WritesFilesOfTheLongestNames) {
    for (const std::size_t length : {250u, 255u}) {
        SCOPED_TRACE(length);
        const fs::path dir = caseFolder(std::to_string(length));
        const std::string name(length, 'n');
        ASSERT_EQ(kestro::test::reasonOf(writeWholeFile(dir / name, bytes_)), std::nullopt);
        const auto after = snapshot(dir);
        ASSERT_EQ(after.size(), 1u);
        EXPECT_EQ(after.begin()->first, name);
        EXPECT_EQ(readFile(dir / name), "new contents\n");
    }
}

// Changes the working folder for one scope.
class ScopedWorkingFolder {
  public:
    explicit ScopedWorkingFolder(const fs::path& folder) : old_(fs::current_path()) {
        fs::current_path(folder);
    }
    ~ScopedWorkingFolder() { fs::current_path(old_); }
    ScopedWorkingFolder(const ScopedWorkingFolder&) = delete;
    ScopedWorkingFolder& operator=(const ScopedWorkingFolder&) = delete;

  private:
    fs::path old_;
};

TEST_F(WholeFile, ABareNameIsWrittenInTheWorkingFolder) {
    const fs::path dir = caseFolder("working");
    writeFile(dir / "game.egf", "old");
    fs::create_symlink("game.egf", dir / "link.egf");
    {
        const ScopedWorkingFolder cd(dir);
        ASSERT_EQ(kestro::test::reasonOf(writeWholeFile("new.egf", bytes_)), std::nullopt);
        ASSERT_EQ(kestro::test::reasonOf(writeWholeFile("link.egf", bytesOf("through the link"))),
                  std::nullopt);
    }
    EXPECT_EQ(readFile(dir / "new.egf"), "new contents\n");
    EXPECT_EQ(readFile(dir / "game.egf"), "through the link");
    EXPECT_TRUE(fs::is_symlink(dir / "link.egf"));
    EXPECT_EQ(snapshot(dir).size(), 3u);
}

}  // namespace
}  // namespace kestro
