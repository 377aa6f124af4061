#include "common/whole_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <utility>

#include "common/unique_fd.h"
#include "common/write_all.h"

namespace kestro {
namespace {

namespace fs = std::filesystem;

// As many links as the kernel follows in one path before it gives up with ELOOP.
constexpr int kMaxLinks = 40;

std::string quoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

// The file a write lands in, after any links on the way.
struct Target {
    fs::path path;
    bool exists = false;
    mode_t mode = 0;  // the permission bits of the file written over
    uid_t owner = 0;  // and its owner and group
    gid_t group = 0;
    std::string error;  // why nothing can be written there; empty when it can
};

// Follows links from requested to the file they end in, which must be a regular file or missing.
Target resolve(const fs::path& requested) {
    Target t;
    t.path = requested;
    // Says what is wrong with the file reached, naming the link that led there, if any.
    auto refuse = [&](const std::string& what) {
        t.error = "cannot write " + quoted(requested) + ": " +
                  (t.path == requested ? "it " : "it links to " + quoted(t.path) + ", which ") +
                  what;
        return t;
    };
    auto fail = [&](int err) {
        t.error = "cannot write " + quoted(requested) + ": " +
                  (t.path == requested ? "" : "cannot reach " + quoted(t.path) + ": ") +
                  std::strerror(err);
        return t;
    };
    for (int links = 0;; ++links) {
        if (t.path.filename().empty()) {
            return refuse("names no file");
        }
        struct stat st {};
        if (::lstat(t.path.c_str(), &st) != 0) {
            const int err = errno;
            if (err == ENOENT) {
                return t;  // a new file; a missing folder shows when the file is created
            }
            return fail(err);
        }
        if (S_ISREG(st.st_mode)) {
            t.exists = true;
            t.mode = st.st_mode & 07777;
            t.owner = st.st_uid;
            t.group = st.st_gid;
            // Only what the user could write in place may be replaced: the folder's permission
            // alone would let a write-protected file be swapped for a new one.
            if (::faccessat(AT_FDCWD, t.path.c_str(), W_OK, AT_EACCESS) != 0) {
                const int err = errno;
                return refuse(err == EACCES || err == EPERM
                                  ? std::string("is write-protected (") + std::strerror(err) + ")"
                                  : std::string("cannot be written (") + std::strerror(err) + ")");
            }
            // A new file renamed over one name of several would leave the others holding the
            // old contents; writing in place could leave the file half written. Neither is done.
            if (st.st_nlink > 1) {
                return refuse("has " + std::to_string(st.st_nlink) +
                              " hard links, which a new copy would split into separate files");
            }
            return t;
        }
        if (S_ISDIR(st.st_mode)) {
            return refuse("is a folder");
        }
        if (!S_ISLNK(st.st_mode)) {
            return refuse("is not a regular file");
        }
        if (links == kMaxLinks) {
            t.path = requested;
            return fail(ELOOP);
        }
        char text[PATH_MAX];
        const ssize_t n = ::readlink(t.path.c_str(), text, sizeof text);
        if (n < 0) {
            const int err = errno;
            return fail(err);
        }
        if (static_cast<std::size_t>(n) == sizeof text) {
            return fail(ENAMETOOLONG);
        }
        const fs::path link(std::string(text, static_cast<std::size_t>(n)));
        // A relative link is read from the folder the link lies in.
        t.path = link.is_absolute() ? link : t.path.parent_path() / link;
    }
}

// Six letters or digits for a temporary name, from the kernel's random source when it answers.
std::string randomSuffix(unsigned attempt) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    constexpr std::size_t kCount = sizeof kLetters - 1;
    unsigned char random[6];
    if (::getrandom(random, sizeof random, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof random)) {
        auto mix = static_cast<std::uint64_t>(
                       std::chrono::steady_clock::now().time_since_epoch().count()) ^
                   (static_cast<std::uint64_t>(::getpid()) << 32) ^
                   static_cast<std::uint64_t>(attempt * 0x9E3779B9u);
        for (unsigned char& r : random) {
            mix = mix * 6364136223846793005u + 1442695040888963407u;
            r = static_cast<unsigned char>(mix >> 56);
        }
    }
    std::string out;
    for (const unsigned char r : random) {
        out += kLetters[r % kCount];
    }
    return out;
}

// A new file in a folder that is removed again unless it was renamed into place.
class TempFile {
  public:
    explicit TempFile(int dirFd) : dirFd_(dirFd) {}
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        if (!name_.empty()) {
            ::unlinkat(dirFd_, name_.c_str(), 0);
        }
    }

    // Creates ".kestro-XXXXXX" with a name not taken yet; 0, or the error number of the failure.
    int create() {
        for (unsigned attempt = 0; attempt < 100; ++attempt) {
            std::string name = ".kestro-" + randomSuffix(attempt);
            const int fd = ::openat(dirFd_, name.c_str(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
            if (fd >= 0) {
                fd_.reset(fd);
                name_ = std::move(name);
                return 0;
            }
            if (errno != EEXIST) {
                return errno;
            }
        }
        return EEXIST;
    }

    UniqueFd& fd() { return fd_; }
    const std::string& name() const { return name_; }
    void release() { name_.clear(); }

  private:
    int dirFd_;
    UniqueFd fd_;
    std::string name_;
};

// The folder the new copy is made in.
fs::path folderOf(const Target& target) {
    return target.path.has_parent_path() ? target.path.parent_path() : fs::path(".");
}

// The start of every failure after the target is known: it names the path asked for, and the
// file written when that is another one.
std::string cannotWrite(const fs::path& path, const Target& target) {
    return "cannot write " + quoted(path) +
           (target.path == path ? "" : ", which links to " + quoted(target.path));
}

std::string cannotOpenFolder(const std::string& cannot, const fs::path& dir, int err) {
    return cannot + ": cannot open its folder " + quoted(dir) + ": " + std::strerror(err);
}

std::string cannotCreateIn(const std::string& cannot, const fs::path& dir, int err) {
    return cannot + ": cannot create a file in its folder " + quoted(dir) + ": " +
           std::strerror(err);
}

std::string cannotKeepOwner(const std::string& cannot, const Target& target, int err) {
    return cannot + ": a new copy cannot keep its owner (user " + std::to_string(target.owner) +
           ") and group (" + std::to_string(target.group) + "): " + std::strerror(err);
}

}  // namespace

std::optional<std::string> checkWritable(const fs::path& path) {
    const Target target = resolve(path);
    if (!target.error.empty()) {
        return target.error;
    }
    const fs::path dir = folderOf(target);
    const std::string cannot = cannotWrite(path, target);
    if (::faccessat(AT_FDCWD, dir.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        const int err = errno;
        return err == ENOENT || err == ENOTDIR ? cannotOpenFolder(cannot, dir, err)
                                               : cannotCreateIn(cannot, dir, err);
    }
    // Only root gives a file to another user.
    if (target.exists && target.owner != ::geteuid() && ::geteuid() != 0) {
        return cannotKeepOwner(cannot, target, EPERM);
    }
    return std::nullopt;
}

std::optional<std::string> writeWholeFile(const fs::path& path,
                                          std::span<const std::uint8_t> bytes) {
    const Target target = resolve(path);
    if (!target.error.empty()) {
        return target.error;
    }
    const fs::path dir = folderOf(target);
    const std::string name = target.path.filename().string();
    const std::string cannot = cannotWrite(path, target);

    // The folder is held open so that the file is created, renamed and synced in the same one.
    const UniqueFd dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dirFd.valid()) {
        return cannotOpenFolder(cannot, dir, errno);
    }
    TempFile temp(dirFd.get());
    if (const int err = temp.create(); err != 0) {
        return cannotCreateIn(cannot, dir, err);
    }
    const auto writeFailure = [&](int err) { return cannot + ": " + std::strerror(err); };
    if (target.exists) {
        // The new copy takes the old one's owner and group (which only root can give to another
        // user, or a user to a group of theirs), then its mode, which a change of owner may
        // have cleared bits of. A copy that cannot keep them is not put in place: the owner or
        // the group could lose their access to the file.
        struct stat st {};
        if (::fstat(temp.fd().get(), &st) != 0) {
            const int err = errno;
            return writeFailure(err);
        }
        if ((st.st_uid != target.owner || st.st_gid != target.group) &&
            ::fchown(temp.fd().get(), target.owner, target.group) != 0) {
            return cannotKeepOwner(cannot, target, errno);
        }
        if (::fchmod(temp.fd().get(), target.mode) != 0) {
            const int err = errno;
            return cannot + ": cannot keep its permissions: " + std::strerror(err);
        }
    }
    if (const int err = writeAll(temp.fd().get(), bytes.data(), bytes.size()); err != 0) {
        return writeFailure(err);
    }
    if (::fsync(temp.fd().get()) != 0) {
        const int err = errno;
        return writeFailure(err);
    }
    if (const int err = temp.fd().close(); err != 0) {
        return writeFailure(err);
    }
    if (::renameat(dirFd.get(), temp.name().c_str(), dirFd.get(), name.c_str()) != 0) {
        const int err = errno;
        return cannot + ": cannot replace it: " + std::strerror(err);
    }
    temp.release();

    // The new file is in place; the rename is only certain to survive a crash once the folder
    // is synced. A file system that cannot sync folders (EINVAL) has nothing more to do.
    if (::fsync(dirFd.get()) != 0 && errno != EINVAL) {
        const int err = errno;
        return quoted(path) + " is written, but its folder " + quoted(dir) +
               " cannot be synced: " + std::strerror(err);
    }
    return std::nullopt;
}

}  // namespace kestro
