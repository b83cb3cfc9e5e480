// The file a name stands for: its folder and its name there, links followed to their target.
#include <fcntl.h>
#include <limits.h>

#include <cerrno>

#include "output/file/file_write_steps.h"

namespace kelvane::filewrite {

namespace {

// As many links as the system itself follows in one name before it gives up.
constexpr int kMaxLinks = 40;

// Splits a name at its last slash. The folder part is empty for a bare name ("." is meant), "/"
// for a name right below the root; the file part of a name ending in a slash is ".", the folder
// itself, which is never a regular file.
struct SplitName {
    std::string folder, name;
};
SplitName splitName(const std::string& path) {
    const size_t slash = path.rfind('/');
    SplitName split;
    if (slash != std::string::npos)
        split.folder = path.substr(0, slash == 0 ? 1 : slash);
    split.name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (split.name.empty()) split.name.push_back('.');
    return split;
}

// Opens `folder` (relative to `base` unless it is absolute) as a path to work in.
int openFolder(int base, const std::string& folder, FileHandle& handle) {
    const int fd = ::openat(base, folder.empty() ? "." : folder.c_str(),
                            O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    handle = FileHandle(fd);
    return 0;
}

}  // namespace

int findWriteTarget(const std::string& path, WriteTarget& target) {
    SplitName split = splitName(path);
    target.name = std::move(split.name);
    if (int error = openFolder(AT_FDCWD, split.folder, target.folder)) return error;
    for (int links = 0;; ++links) {
        if (::fstatat(target.folder.get(), target.name.c_str(), &target.info, AT_SYMLINK_NOFOLLOW) != 0) {
            target.exists = false;
            return errno == ENOENT ? 0 : errno;
        }
        target.exists = true;
        if (!S_ISLNK(target.info.st_mode)) return 0;
        if (links == kMaxLinks) return ELOOP;
        char linked[PATH_MAX];
        const ssize_t n = ::readlinkat(target.folder.get(), target.name.c_str(), linked, sizeof linked);
        if (n < 0) return errno;
        if (size_t(n) == sizeof linked) return ENAMETOOLONG;
        // A relative link is read from the folder that holds it.
        split = splitName(std::string(linked, size_t(n)));
        target.name = std::move(split.name);
        if (!split.folder.empty())
            if (int error = openFolder(target.folder.get(), split.folder, target.folder)) return error;
    }
}

int FileHandle::close() {
    const int fd = fd_;
    fd_ = -1;
    return fd >= 0 && ::close(fd) != 0 ? errno : 0;
}

}  // namespace kelvane::filewrite
