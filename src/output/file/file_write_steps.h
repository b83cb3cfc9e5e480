// The steps of writing a picture file, shared by the ways file_write.cpp tries in turn: the
// file that a name really stands for, an owned descriptor, what a new file keeps of the one it
// replaces, writing all the parts, and the in-place write kept for a file whose folder allows
// no replacement.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <utility>

namespace kelvane::filewrite {

using Parts = std::initializer_list<std::span<const uint8_t>>;

// A descriptor closed when it goes out of scope.
class FileHandle {
public:
    explicit FileHandle(int fd = -1) : fd_(fd) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    FileHandle& operator=(FileHandle&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~FileHandle() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now; 0 or the errno of a failed close (which may report a failed delayed write).
    int close();

private:
    int fd_;
};

// Where the bytes of a name end up: the folder that holds the file (opened as a path only) and
// the file's name in that folder, after following any symbolic links the name goes through.
struct WriteTarget {
    FileHandle folder;
    std::string name;
    bool exists = false;
    struct stat info {};  // of the existing file, not of a link to it
    FileHandle file;      // the existing file, opened as a path only
};

// 0 when `target` was found (whether or not a file of that name exists yet), else the errno of
// the folder or link that could not be followed. Every folder and link on the way is looked up
// with this process's rights, one at a time. A link that another user left in a sticky folder
// everyone may write to (such as /tmp) is not followed: EACCES, unless the link belongs to this
// process's user or to the folder's owner. This is the rule Linux applies itself when
// fs.protected_symlinks is set, applied here whatever that setting.
int findWriteTarget(const std::string& path, WriteTarget& target);

// Gives the new file `fd` what it keeps of the existing file of `target` (nothing for a new
// name): its owner and group as far as this process may set them, its access control list and
// `user.` extended attributes, and its permissions without the set-user-ID and set-group-ID
// bits. 0, or the errno of what could not be kept.
int takeOver(int fd, const WriteTarget& target);

// The sum of the parts' sizes.
size_t totalSize(Parts parts);

// Writes the parts in order from the descriptor's current offset; 0 or the errno of the failed
// write. `written` counts the bytes that did get written.
int writeParts(int fd, Parts parts, size_t& written);

// Why writing in place failed, if it did.
struct InPlaceResult {
    int error = 0;
    bool opened = false;  // the file was opened for writing
};

// Overwrites the existing regular file of `target` with the parts and cuts it to their length.
// Before anything is changed its old bytes (as far as the new ones reach) are read, and space
// for a longer file is claimed, so that a write that fails puts the old bytes back.
InPlaceResult writeInPlace(const WriteTarget& target, Parts parts);

}  // namespace kelvane::filewrite
