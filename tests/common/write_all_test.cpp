#include "common/write_all.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "common/unique_fd.h"
#include "tests/support/files.h"
#include "tests/support/result.h"
#include "tests/support/temp_dir.h"

namespace kestro {
namespace {

TEST(WriteAll, WritesTheWholeBuffer) {
    const test::TempDir dir("kestro-write-all");
    const std::string sizes[] = {"", "x", std::string(3 * 1024 * 1024 + 7, 'k')};
    for (const std::string& bytes : sizes) {
        const auto path = dir / "out";
        UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
        ASSERT_TRUE(fd.valid());
        EXPECT_EQ(test::errorNumberOf(writeAll(fd.get(), bytes.data(), bytes.size())), 0)
            << bytes.size();
        ASSERT_EQ(test::errorNumberOf(fd.close()), 0);
        EXPECT_EQ(test::readFile(path), bytes) << bytes.size();
    }
}

TEST(WriteAll, AFailedWriteComesBackAsItsErrorNumber) {
    struct Case {
        const char* what;
        const char* path;
        int flags;
        int error;
    };
    const Case cases[] = {
        {"full device", "/dev/full", O_WRONLY, ENOSPC},
        {"descriptor open for reading", "/dev/null", O_RDONLY, EBADF},
        {"no descriptor", nullptr, 0, EBADF},
    };
    const std::string bytes = "some bytes";
    for (const Case& c : cases) {
        UniqueFd fd(c.path != nullptr ? ::open(c.path, c.flags | O_CLOEXEC) : -1);
        if (c.path != nullptr) {
            ASSERT_TRUE(fd.valid()) << c.what;
        }
        EXPECT_EQ(kestro::test::errorNumberOf(writeAll(fd.get(), bytes.data(), bytes.size())),
                  c.error)
            << c.what;
    }
}

}  // namespace
}  // namespace kestro
