// Helpers for the tests of writing files: text written through the file writer, what a file
// holds, the things besides regular files that a name can stand for, and a process in which
// the file system answers as one without unnamed files.
#pragma once

#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <fstream>
#include <iterator>
#include <span>
#include <string>

#include "output/file/file_write.h"

namespace kelvane::test {

// Writes `text` as the whole of `path`; the writer's error, empty on success.
inline std::string writeText(const std::string& path, const std::string& text, bool* opened = nullptr) {
    const std::span bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    return writeFileReplacing(path, {bytes}, opened);
}

inline void putText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string contentsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// What the name itself is (a link is not followed).
inline struct stat entryOf(const std::string& path) {
    struct stat s {};
    if (::lstat(path.c_str(), &s) != 0) s.st_mode = 0;
    return s;
}

inline bool isRoot() { return ::geteuid() == 0; }

// Things a name can stand for that are not regular files; the devices need root to be made.
struct SpecialEntry {
    const char* what;
    mode_t type;
    bool needsRoot;
    bool (*make)(const std::string& path);
};

inline const SpecialEntry kSpecialEntries[] = {
    {"folder", S_IFDIR, false, [](const std::string& p) { return ::mkdir(p.c_str(), 0755) == 0; }},
    {"pipe", S_IFIFO, false, [](const std::string& p) { return ::mkfifo(p.c_str(), 0666) == 0; }},
    {"null device", S_IFCHR, true,
     [](const std::string& p) { return ::mknod(p.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0; }},
};

// From now on in this process, asking for an unnamed file gets the answer of a file system that
// has none (EOPNOTSUPP). True when that is in force.
inline bool refuseUnnamedFiles() {
    constexpr uint32_t kUnnamedFlag = O_TMPFILE & ~O_DIRECTORY;
    sock_filter program[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_openat, 0, 3),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[2])),  // the flags
        BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, kUnnamedFlag, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EOPNOTSUPP),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog filter{sizeof program / sizeof program[0], program};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) == 0;
}

// Runs work() (returning an int from 0 to 254) in a child process without unnamed files and
// returns its result; 255 when the child could not be set up, -1 when it did not end normally.
template <typename Work>
int withoutUnnamedFiles(Work&& work) {
    const pid_t child = fork();
    if (child == 0) _exit(refuseUnnamedFiles() ? work() & 0xFF : 255);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace kelvane::test
