#include "diag/log_file.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "common/unique_fd.h"
#include "diag/log.h"
#include "log_fixture.h"
#include "tests/support/hang_guard.h"
#include "tests/support/socket_file.h"

using ::testing::HasSubstr;

namespace kestro::test {
namespace {

namespace fs = std::filesystem;

// What lies at the log's path decides whether the folder can hold the log. A regular file is
// emptied and written with ordinary writes; a character device takes the records as it likes;
// anything else is left alone, and opening never waits for it.
TEST(OpenLogIn, TakesARegularFileOrACharacterDeviceAndNothingElse) {
    struct Case {
        const char* name;
        std::function<void(const fs::path& log)> setUp;  // prepares what lies at the log's path
        bool opens;
    };
    const Case cases[] = {
        {"nothing", [](const fs::path&) {}, true},
        {"an old log", [](const fs::path& log) { writeFile(log, "last run\r\n"); }, true},
        {"a link to /dev/null", [](const fs::path& log) { fs::create_symlink("/dev/null", log); },
         true},
        {"a FIFO", [](const fs::path& log) { ASSERT_EQ(::mkfifo(log.c_str(), 0644), 0); }, false},
        {"a folder", [](const fs::path& log) { fs::create_directory(log); }, false},
        {"a socket", [](const fs::path& log) { makeSocket(log); }, false},
        {"a FIFO at the lock's path",
         [](const fs::path& log) {
             ASSERT_EQ(::mkfifo((log.string() + ".lock").c_str(), 0644), 0);
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TempDir dir("kestro-log-file");
        const fs::path log = dir / "kestro.erl";
        c.setUp(log);
        const fs::file_type before = fs::symlink_status(log).type();

        std::optional<LogFile> opened;
        {
            const HangGuard guard(c.name);
            opened = openLogIn(dir.path().string(), "kestro", 7);
        }
        ASSERT_EQ(opened.has_value(), c.opens);
        if (!opened) {
            EXPECT_EQ(fs::symlink_status(log).type(), before) << "left as it was";
            continue;
        }
        EXPECT_EQ(opened->path, log.string());
        struct stat st {};
        ASSERT_EQ(::fstat(opened->file.get(), &st), 0);
        if (S_ISREG(st.st_mode)) {
            EXPECT_EQ(::fcntl(opened->file.get(), F_GETFL) & O_NONBLOCK, 0);
            writeOrDrop(opened->file.get(), "record\r\n");
            EXPECT_EQ(readFile(log), "record\r\n");
        } else {
            EXPECT_TRUE(S_ISCHR(st.st_mode));
            EXPECT_TRUE(fs::is_symlink(log));
        }
    }
}

// A FIFO at the log's path, with or without a reader, neither stops the start-up nor gets the
// records: the log moves to the state folder, and the FIFO stays as it was.
TEST_F(LogTest, AFifoAtTheLogsPathMovesTheLogToTheStateFolder) {
    for (const bool reader : {false, true}) {
        SCOPED_TRACE(reader ? "with a reader" : "without a reader");
        resetErrorLog();
        fs::remove(logPath());
        ASSERT_EQ(::mkfifo(logPath().c_str(), 0644), 0);
        UniqueFd readEnd;
        if (reader) {
            readEnd.reset(::open(logPath().c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
            ASSERT_TRUE(readEnd.valid());
        }
        {
            const HangGuard guard("opening the log over a FIFO");
            openAsStartUp();
        }
        const fs::path used = root_ / "state" / "kestro" / "kestro.erl";
        EXPECT_EQ(errorLogPath(), used.string());
        EXPECT_TRUE(errorLogDebug("a record"));
        EXPECT_THAT(readFile(used), HasSubstr("[ DEBUG ]  a record\r\n"));
        EXPECT_TRUE(fs::is_fifo(logPath()));
        if (reader) {
            char c;
            EXPECT_LE(::read(readEnd.get(), &c, 1), 0) << "nothing goes into the FIFO";
        }
        closeAsShutDown();
    }
}

}  // namespace
}  // namespace kestro::test
