// Helpers for the tests that write files: a fixture with a fresh temporary folder, a write made
// under a file size limit (so that it fails part way), work done without root's rights, and what
// a file and the folder hold after.
#pragma once

#include <gtest/gtest.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bmp_file.h"

namespace kelvane::test {

// Each test gets a fresh temporary folder, `dir`, removed with everything in it afterwards.
class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override { dir = tempDir(); }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string dir;
};

// Runs write() while this process may write files of at most `bytes` bytes and ignores SIGXFSZ,
// so that a longer write fails instead of ending the process; then puts both back.
template <typename Write>
void underFileSizeLimit(rlim_t bytes, Write&& write) {
    struct sigaction ignore {}, previous{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &previous);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &small);
    write();
    setrlimit(RLIMIT_FSIZE, &old);
    sigaction(SIGXFSZ, &previous, nullptr);
}

// The user and group "nobody", which root becomes to meet folders it may not write to.
inline constexpr uid_t kNobody = 65534;

// Runs work() (which returns an int from 0 to 254) as a user without root's rights and returns
// its result: in this process when it is not root, else in a child process that has become
// `kNobody`; -1 when that child could not drop its rights or did not end normally.
template <typename Work>
int withoutRoot(Work&& work) {
    if (geteuid() != 0) return work();
    const pid_t child = fork();
    if (child == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(255);
        _exit(work() & 0xFF);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) && WEXITSTATUS(status) != 255 ? WEXITSTATUS(status) : -1;
}

// The first word of a text file; empty when there is none or the file cannot be read.
inline std::string firstWordOf(const std::string& path) {
    std::ifstream in(path);
    std::string word;
    in >> word;
    return word;
}

// How many entries a folder holds.
inline int entriesIn(const std::string& dir) {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir)) ++n, (void)e;
    return n;
}

}  // namespace kelvane::test
