#pragma once
// Files that are not regular files, made for tests of what the program does with them.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cstring>
#include <filesystem>

#include "common/unique_fd.h"

namespace kestro::test {

// A UNIX socket bound at path; it stays in the file system after the descriptor is closed.
inline void makeSocket(const std::filesystem::path& path) {
    const UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM, 0));
    ASSERT_TRUE(fd.valid());
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.string().size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
}

}  // namespace kestro::test
