// All-or-nothing file output: a new file, complete and flushed, takes the target's name.
#include "output/file/file_write.h"

#include <fcntl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include "output/file/file_write_steps.h"

namespace kelvane {

namespace filewrite {

int writeParts(int fd, Parts parts, size_t& written) {
    written = 0;
    for (const auto& part : parts) {
        size_t done = 0;
        while (done < part.size()) {
            const ssize_t n = ::write(fd, part.data() + done, part.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return errno;
            done += size_t(n);
            written += size_t(n);
        }
    }
    return 0;
}

size_t totalSize(Parts parts) {
    size_t size = 0;
    for (const auto& part : parts) size += part.size();
    return size;
}

}  // namespace filewrite

namespace {

using namespace filewrite;

// How one way of writing ended.
struct Outcome {
    int error = 0;
    bool created = false;      // a new file was made, so a failure came from the writing
    bool unsupported = false;  // the file system cannot do it this way; the next way may
};

// Attempts at a free temporary name before giving up.
constexpr int kNameAttempts = 16;

// A temporary name of fixed length, so that it fits wherever the target's name does, and random,
// so that two writers in one folder never share it.
std::string temporaryName(std::random_device& entropy) {
    char name[40];
    std::snprintf(name, sizeof name, ".kelvane-%08x%08x.part", entropy(), entropy());
    return name;
}

// A file replacing another is made private and given the old file's permissions before any byte
// is written; a new name gets the permissions of any new file.
mode_t creationMode(const WriteTarget& target) { return target.exists ? 0600 : 0666; }

int fillAndFlush(int fd, const WriteTarget& target, Parts parts) {
    if (int error = takeOver(fd, target)) return error;
    size_t written = 0;
    if (int error = writeParts(fd, parts, written)) return error;
    return ::fsync(fd) == 0 ? 0 : errno;
}

// Puts the complete file `temp` in the target's place; `temp` is gone afterwards either way.
int moveInto(const WriteTarget& target, const std::string& temp) {
    const int folder = target.folder.get();
    if (::renameat(folder, temp.c_str(), folder, target.name.c_str()) == 0) return 0;
    const int error = errno;
    ::unlinkat(folder, temp.c_str(), 0);
    return error;
}

// Gives the unnamed file `fd` the name `name` in the target's folder: directly where this
// process may, else through its entry in /proc. ENOENT when neither is possible.
int linkUnnamed(int fd, const WriteTarget& target, const std::string& name) {
    const int folder = target.folder.get();
    if (::linkat(fd, "", folder, name.c_str(), AT_EMPTY_PATH) == 0) return 0;
    char self[40];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
    return ::linkat(AT_FDCWD, self, folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

// The file is made without a name, so nothing is left behind by a process killed while writing.
// A new name is linked straight in; a replacement is linked under a temporary name for the
// moment it takes to rename it over the old file.
Outcome writeUnnamed(const WriteTarget& target, Parts parts) {
    Outcome outcome;
    FileHandle file(::openat(target.folder.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC,
                             creationMode(target)));
    if (!file.valid()) {
        outcome.error = errno;
        // Kernels and file systems without unnamed files answer with one of these.
        outcome.unsupported = errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL;
        return outcome;
    }
    outcome.created = true;
    if ((outcome.error = fillAndFlush(file.get(), target, parts)) != 0) return outcome;
    int error = EEXIST;
    if (!target.exists) error = linkUnnamed(file.get(), target, target.name);
    if (error == EEXIST) {
        std::random_device entropy;
        std::string temp;
        for (int attempt = 0; attempt < kNameAttempts && error == EEXIST; ++attempt)
            error = linkUnnamed(file.get(), target, temp = temporaryName(entropy));
        if (!error) error = moveInto(target, temp);
    }
    outcome.error = error;
    outcome.unsupported = error == ENOENT;
    return outcome;
}

// The file is made under a temporary name beside the target and renamed over it when complete.
Outcome writeNamed(const WriteTarget& target, Parts parts) {
    Outcome outcome;
    std::random_device entropy;
    std::string temp;
    FileHandle file;
    for (int attempt = 0; attempt < kNameAttempts && !file.valid(); ++attempt) {
        temp = temporaryName(entropy);
        file = FileHandle(::openat(target.folder.get(), temp.c_str(),
                                   O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, creationMode(target)));
        if (!file.valid() && errno != EEXIST) break;
    }
    if (!file.valid()) {
        outcome.error = errno;
        return outcome;
    }
    outcome.created = true;
    outcome.error = fillAndFlush(file.get(), target, parts);
    if (const int closed = file.close(); !outcome.error) outcome.error = closed;
    if (outcome.error)
        ::unlinkat(target.folder.get(), temp.c_str(), 0);
    else
        outcome.error = moveInto(target, temp);
    return outcome;
}

// The folder refuses new files, or refuses replacing this one (a sticky folder and a file of
// another user).
bool folderRefuses(const Outcome& outcome) { return outcome.error == EACCES || outcome.error == EPERM; }

}  // namespace

std::string writeFileReplacing(const std::string& path,
                               std::initializer_list<std::span<const uint8_t>> parts,
                               bool* opened) {
    if (opened) *opened = false;
    if (path.empty()) return "empty file name";
    // The system would open the name only up to a NUL, a file other than the one named.
    if (path.find('\0') != std::string::npos) return "the name holds a NUL character";
    WriteTarget target;
    if (const int error = findWriteTarget(path, target)) return std::strerror(error);
    if (target.exists && S_ISDIR(target.info.st_mode)) return "it is a folder";
    if (target.exists && !S_ISREG(target.info.st_mode)) {
        if (opened) *opened = true;
        return "not a regular file";
    }
    Outcome outcome = writeUnnamed(target, parts);
    if (outcome.unsupported) outcome = writeNamed(target, parts);
    if (target.exists && folderRefuses(outcome)) {
        const InPlaceResult inPlace = writeInPlace(target, parts);
        outcome = Outcome{inPlace.error, inPlace.opened, false};
    }
    if (opened) *opened = outcome.created;
    return outcome.error ? std::strerror(outcome.error) : "";
}

}  // namespace kelvane
