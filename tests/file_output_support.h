// Helpers for the tests that write files: a fixture with a fresh temporary folder, a write made
// under a file size limit (so that it fails part way), and what a file and the folder hold after.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

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
