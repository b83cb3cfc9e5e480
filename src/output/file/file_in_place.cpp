// Writing over an existing file in place, for a file whose folder allows no replacement. The
// old bytes are kept until the new ones are all written, so that a failed write (a full disk, a
// file size limit) leaves the file as it was; only a crash midway can leave it mixed.
#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "output/file/file_write_steps.h"

namespace kelvane::filewrite {

namespace {

// 0 when all of `bytes` were read from `offset` (the file is at least that long).
int readAt(int fd, std::span<uint8_t> bytes, off_t offset) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pread(fd, bytes.data() + done, bytes.size() - done, offset + off_t(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;  // shorter than it was a moment ago
        done += size_t(n);
    }
    return 0;
}

// 0 when all of `bytes` were written at `offset`.
int writeAt(int fd, std::span<const uint8_t> bytes, off_t offset) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, offset + off_t(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        done += size_t(n);
    }
    return 0;
}

// Claims the disk space a file grown to `newSize` needs, so that writing it cannot run out of
// room or past a size limit halfway. A file system that cannot claim space ahead is written
// without the claim; a claim that fails leaves the file at its old length.
int claimSpace(int fd, off_t oldSize, off_t newSize) {
    if (newSize <= oldSize) return 0;
    if (::fallocate(fd, 0, oldSize, newSize - oldSize) == 0) return 0;
    const int error = errno;
    if (error == EOPNOTSUPP || error == ENOSYS) return 0;
    (void)::ftruncate(fd, oldSize);
    return error;
}

}  // namespace

InPlaceResult writeInPlace(const WriteTarget& target, Parts parts) {
    InPlaceResult result;
    // Not blocking: should a pipe have taken the file's place meanwhile, it is refused below
    // rather than waited on.
    FileHandle file(::openat(target.folder.get(), target.name.c_str(),
                             O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!file.valid()) {
        result.error = errno;
        return result;
    }
    result.opened = true;
    struct stat now {};
    if (::fstat(file.get(), &now) != 0) {
        result.error = errno;
        return result;
    }
    if (!S_ISREG(now.st_mode) || now.st_ino != target.info.st_ino || now.st_dev != target.info.st_dev) {
        result.error = EAGAIN;  // the file was swapped for another while we looked
        return result;
    }
    const off_t oldSize = now.st_size;
    const off_t newSize = off_t(totalSize(parts));
    std::vector<uint8_t> old(size_t(std::min(oldSize, newSize)));
    if ((result.error = readAt(file.get(), old, 0)) != 0) return result;
    if ((result.error = claimSpace(file.get(), oldSize, newSize)) != 0) return result;

    size_t written = 0;
    result.error = writeParts(file.get(), parts, written);
    if (!result.error && newSize < oldSize && ::ftruncate(file.get(), newSize) != 0) result.error = errno;
    if (result.error) {
        // Put back what was overwritten and the old length; best effort, as the first error is
        // the one reported.
        (void)writeAt(file.get(), std::span(old).first(std::min(written, old.size())), 0);
        (void)::ftruncate(file.get(), oldSize);
        (void)::fsync(file.get());
        return result;
    }
    if (::fsync(file.get()) != 0) result.error = errno;
    if (const int closed = file.close(); !result.error) result.error = closed;
    return result;
}

}  // namespace kelvane::filewrite
