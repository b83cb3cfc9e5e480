// Output paths and safe file replacement for the save statement and makeChart.
#include "output_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

namespace kelvane::script {

std::string ResolveOutputPath(const std::string& name, const std::filesystem::path& outputFolder) {
    if (name.empty() || outputFolder.empty()) return name;
    std::filesystem::path path(name);
    if (path.is_absolute()) return name;
    return (outputFolder / path).string();
}

namespace {

std::string SystemError(int code) { return std::strerror(code); }

// Opens a new file next to the target; O_EXCL and a random name keep two runs writing the same
// target from taking each other's temporary file.
int OpenTemporary(const std::filesystem::path& target, std::string& tempPath) {
    std::random_device seed;
    std::mt19937_64 random((static_cast<uint64_t>(seed()) << 32) | seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::filesystem::path candidate = target;
        candidate += ".tmp" + std::to_string(random() % 1000000000u);
        int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            tempPath = candidate.string();
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

}  // namespace

std::string WriteFileReplacing(const std::string& path, std::span<const uint8_t> bytes) {
    std::filesystem::path target(path);
    std::error_code ec;
    if (std::filesystem::is_directory(target, ec)) return "it is a folder";
    std::string tempPath;
    int fd = OpenTemporary(target, tempPath);
    if (fd < 0) return SystemError(errno);

    std::string error;
    size_t written = 0;
    while (written < bytes.size() && error.empty()) {
        ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = SystemError(errno);
        } else {
            written += static_cast<size_t>(n);
        }
    }
    if (error.empty() && ::fsync(fd) != 0) error = SystemError(errno);
    if (::close(fd) != 0 && error.empty()) error = SystemError(errno);
    if (error.empty() && ::rename(tempPath.c_str(), path.c_str()) != 0) error = SystemError(errno);
    if (!error.empty()) ::unlink(tempPath.c_str());
    return error;
}

}  // namespace kelvane::script
