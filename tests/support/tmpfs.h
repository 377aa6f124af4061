#pragma once
// A small tmpfs mounted on a folder for one scope: a file system that runs full, or that can be
// made read-only, which stops even root from writing to it.

#include <sys/mount.h>

#include <filesystem>
#include <string>

namespace kestro::test {

class ScopedTmpfs {
  public:
    // Mounts a tmpfs of the given size on folder (which must exist); mounted() says whether it
    // worked, as mounting needs privileges a test may not have.
    ScopedTmpfs(const std::filesystem::path& folder, const std::string& size) : folder_(folder) {
        const std::string options = "size=" + size + ",mode=0755";
        mounted_ =
            ::mount("tmpfs", folder_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
    }
    ~ScopedTmpfs() {
        if (mounted_) {
            ::umount2(folder_.c_str(), MNT_DETACH);
        }
    }
    ScopedTmpfs(const ScopedTmpfs&) = delete;
    ScopedTmpfs& operator=(const ScopedTmpfs&) = delete;

    bool mounted() const { return mounted_; }

    // Makes the file system read-only, keeping what it holds; false when that fails.
    bool makeReadOnly() {
        return mounted_ && ::mount(nullptr, folder_.c_str(), nullptr,
                                   MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) == 0;
    }

  private:
    std::filesystem::path folder_;
    bool mounted_ = false;
};

}  // namespace kestro::test
