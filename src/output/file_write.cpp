// All-or-nothing file output through a sibling temporary file and rename.
#include "output/file_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace kelvane {

namespace {

// 0 when every byte was written, else the errno of the failure.
int writeAll(int fd, std::span<const uint8_t> bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += size_t(n);
    }
    return 0;
}

// A new file beside the target; O_EXCL and a random name keep two writers of the same target
// from sharing a temporary file.
int openTemporary(const std::string& path, std::string& temp) {
    std::random_device entropy;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%08x%08x.part", entropy(), entropy());
        temp = path + suffix;
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

}  // namespace

std::string writeFileReplacing(const std::string& path,
                               std::initializer_list<std::span<const uint8_t>> parts,
                               bool* opened) {
    if (opened) *opened = false;
    if (path.empty()) return "empty file name";
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return "it is a folder";
    std::string temp;
    const int fd = openTemporary(path, temp);
    if (fd < 0) return std::strerror(errno);
    if (opened) *opened = true;
    int error = 0;
    for (const auto& part : parts)
        if (!error) error = writeAll(fd, part);
    // Flushed before the rename, so that a crash never leaves a short file under the old name.
    if (!error && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && !error) error = errno;
    if (!error && ::rename(temp.c_str(), path.c_str()) != 0) error = errno;
    if (error) ::unlink(temp.c_str());
    return error ? std::strerror(error) : "";
}

}  // namespace kelvane
