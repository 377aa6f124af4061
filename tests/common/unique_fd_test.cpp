#include "common/unique_fd.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "tests/support/result.h"

namespace kestro {
namespace {

// A fresh descriptor on /dev/null.
int openNull() {
    const int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    EXPECT_GE(fd, 0);
    return fd;
}

bool isOpen(int fd) {
    return ::fcntl(fd, F_GETFD) != -1;
}

TEST(UniqueFd, ClosesWhatItHoldsWhenItGoesAwayOrIsReset) {
    const int first = openNull();
    const int second = openNull();
    {
        UniqueFd fd(first);
        EXPECT_TRUE(fd.valid());
        EXPECT_EQ(fd.get(), first);
        fd.reset(second);
        EXPECT_FALSE(isOpen(first));
        EXPECT_TRUE(isOpen(second));
    }
    EXPECT_FALSE(isOpen(second));
    EXPECT_FALSE(UniqueFd().valid());
}

TEST(UniqueFd, MovingHandsOverTheDescriptorAndClosesTheOneReplaced) {
    const int kept = openNull();
    const int replaced = openNull();
    UniqueFd from(kept);
    UniqueFd to(std::move(from));
    EXPECT_FALSE(from.valid());
    EXPECT_EQ(to.get(), kept);

    UniqueFd other(replaced);
    other = std::move(to);
    EXPECT_FALSE(to.valid());
    EXPECT_EQ(other.get(), kept);
    EXPECT_FALSE(isOpen(replaced));
    EXPECT_TRUE(isOpen(kept));
}

TEST(UniqueFd, CloseReportsTheErrorOfClose) {
    UniqueFd fd(openNull());
    const int raw = fd.get();
    EXPECT_EQ(kestro::test::errorNumberOf(fd.close()), 0);
    EXPECT_FALSE(fd.valid());
    EXPECT_FALSE(isOpen(raw));
    EXPECT_EQ(kestro::test::errorNumberOf(fd.close()), 0) << "nothing held, nothing to report";

    // A descriptor closed behind its owner's back makes close fail.
    UniqueFd stale(openNull());
    ASSERT_EQ(::close(stale.get()), 0);
    EXPECT_EQ(kestro::test::errorNumberOf(stale.close()), EBADF);
    EXPECT_FALSE(stale.valid());
}

}  // namespace
}  // namespace kestro
