// What a new picture keeps of the file it replaces: owner and group, the access control list and
// the user's extended attributes, and the permissions, less those that would let a picture run
// with its owner's or group's rights.
#include <sys/xattr.h>

#include <cerrno>
#include <cstdio>
#include <string_view>
#include <vector>

#include "output/file/file_write_steps.h"

namespace kelvane::filewrite {

namespace {

// The access control list of a file, kept by the system as an extended attribute. (A folder's
// default list concerns only folders.)
constexpr const char* kAccessList = "system.posix_acl_access";

// The attributes of this namespace belong to the file's user; other namespaces hold what the
// system or its security modules decide (file capabilities among them), which is never copied.
constexpr std::string_view kUserAttributes = "user.";

// The answers of a file system that keeps no such attributes.
bool unsupported(int error) { return error == ENOTSUP || error == EOPNOTSUPP; }

// Reads into `bytes` what `read(buffer, size)` gives, growing the buffer while the value grows
// under it. 0 or the errno.
template <typename Read>
int readSized(std::vector<char>& bytes, Read&& read) {
    for (;;) {
        const ssize_t size = read(nullptr, 0);
        if (size < 0) return errno;
        bytes.resize(size_t(size));
        const ssize_t got = read(bytes.data(), bytes.size());
        if (got >= 0) {
            bytes.resize(size_t(got));
            return 0;
        }
        if (errno != ERANGE) return errno;
    }
}

// Copies the attribute `name` of the file at `from` to `to`; one the old file no longer has, or
// that this file system cannot hold, is not an error.
int copyAttribute(const char* from, int to, const char* name) {
    std::vector<char> value;
    const int error = readSized(value, [&](char* buffer, size_t size) {
        return ::getxattr(from, name, buffer, size);
    });
    if (error == ENODATA || unsupported(error)) return 0;
    if (error) return error;
    if (::fsetxattr(to, name, value.data(), value.size(), 0) == 0 || unsupported(errno)) return 0;
    return errno;
}

// Copies the user's extended attributes and then the access control list (which may take away
// the owner's right to write them) from the existing file to `to`.
int copyAttributes(const WriteTarget& target, int to) {
    // The old file is open as a path only, which the attribute calls take by its name in /proc.
    char from[40];
    std::snprintf(from, sizeof from, "/proc/self/fd/%d", target.file.get());
    std::vector<char> names;
    int error = readSized(names, [&](char* buffer, size_t size) { return ::listxattr(from, buffer, size); });
    // Without /proc the attributes cannot be read; the file is replaced as it was before they
    // were kept.
    if (error == ENOENT) return 0;
    if (unsupported(error)) error = 0;
    for (size_t at = 0; !error && at < names.size();) {
        const std::string_view name(names.data() + at);
        if (name.starts_with(kUserAttributes)) error = copyAttribute(from, to, name.data());
        at += name.size() + 1;
    }
    return error ? error : copyAttribute(from, to, kAccessList);
}

}  // namespace

int takeOver(int fd, const WriteTarget& target) {
    if (!target.exists) return 0;
    const struct stat& old = target.info;
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) (void)::fchown(fd, uid_t(-1), old.st_gid);
    if (int error = copyAttributes(target, fd)) return error;
    // Permissions come last, as a change of owner may clear some of them. A picture is never
    // run, so it does not take the set-user-ID and set-group-ID bits.
    constexpr mode_t kKept = 07777 & ~mode_t(S_ISUID | S_ISGID);
    return ::fchmod(fd, old.st_mode & kKept) == 0 ? 0 : errno;
}

}  // namespace kelvane::filewrite
