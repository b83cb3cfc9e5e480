// The file a name stands for: its folder and its name there, links followed to their target.
// The name is looked up one part at a time, so that each link on the way can be checked before
// it is followed.
#include <fcntl.h>
#include <limits.h>

#include <cerrno>
#include <vector>

#include "output/file/file_write_steps.h"

namespace kelvane::filewrite {

namespace {

// As many links as the system itself follows in one name before it gives up.
constexpr int kMaxLinks = 40;

// The parts of a name still to be looked up, the next one last.
using PendingParts = std::vector<std::string>;

// Puts the parts of `name` before those still pending. Empty parts (doubled slashes) are
// dropped; a name ending in a slash ends in ".", the folder itself, which is never a regular file.
void pushParts(const std::string& name, PendingParts& pending) {
    if (name.empty() || name.back() == '/') pending.push_back(".");
    size_t end = name.size();
    while (end > 0) {
        const size_t slash = name.rfind('/', end - 1);
        const size_t start = slash == std::string::npos ? 0 : slash + 1;
        if (end > start) pending.push_back(name.substr(start, end - start));
        if (slash == std::string::npos) break;
        end = slash;
    }
}

// Opens `name` in `folder` as a path only, a link as the link itself.
int openEntry(int folder, const char* name, FileHandle& entry) {
    const int fd = ::openat(folder, name, O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return errno;
    entry = FileHandle(fd);
    return 0;
}

// 0 when the link described by `link`, found in `folder`, may be followed; EACCES for a link in
// a sticky folder that everyone may write to, unless it belongs to this process's user or to the
// folder's owner. Anyone can leave a link in such a folder, and following it would have this
// process write wherever its maker chose.
int mayFollow(int folder, const struct stat& link) {
    if (link.st_uid == ::geteuid()) return 0;
    struct stat holder {};
    if (::fstat(folder, &holder) != 0) return errno;
    constexpr mode_t kOpenToAll = S_ISVTX | S_IWOTH;
    if ((holder.st_mode & kOpenToAll) != kOpenToAll) return 0;
    return holder.st_uid == link.st_uid ? 0 : EACCES;
}

// The text of the link opened as `entry`.
int readLink(const FileHandle& entry, std::string& text) {
    char linked[PATH_MAX];
    const ssize_t n = ::readlinkat(entry.get(), "", linked, sizeof linked);
    if (n < 0) return errno;
    if (size_t(n) == sizeof linked) return ENAMETOOLONG;
    if (n == 0) return ENOENT;
    text.assign(linked, size_t(n));
    return 0;
}

}  // namespace

int findWriteTarget(const std::string& path, WriteTarget& target) {
    const bool absolute = path.front() == '/';
    if (int error = openEntry(AT_FDCWD, absolute ? "/" : ".", target.folder)) return error;
    PendingParts pending;
    pushParts(path, pending);
    for (int links = 0;;) {
        const std::string part = std::move(pending.back());
        pending.pop_back();
        const bool last = pending.empty();
        FileHandle entry;
        struct stat info {};
        if (const int error = openEntry(target.folder.get(), part.c_str(), entry)) {
            if (!last || error != ENOENT) return error;
            target.name = part;
            target.exists = false;
            return 0;
        }
        if (::fstat(entry.get(), &info) != 0) return errno;
        if (S_ISLNK(info.st_mode)) {
            if (++links > kMaxLinks) return ELOOP;
            if (int error = mayFollow(target.folder.get(), info)) return error;
            // A relative link is read from the folder that holds it.
            std::string linked;
            if (int error = readLink(entry, linked)) return error;
            if (linked.front() == '/')
                if (int error = openEntry(AT_FDCWD, "/", target.folder)) return error;
            pushParts(linked, pending);
        } else if (last) {
            target.name = part;
            target.exists = true;
            target.info = info;
            target.file = std::move(entry);
            return 0;
        } else if (S_ISDIR(info.st_mode)) {
            target.folder = std::move(entry);
        } else {
            return ENOTDIR;
        }
    }
}

int FileHandle::close() {
    const int fd = fd_;
    fd_ = -1;
    return fd >= 0 && ::close(fd) != 0 ? errno : 0;
}

}  // namespace kelvane::filewrite
