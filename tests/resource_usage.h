// Test helper: the time and memory one piece of work takes, measured in a child process so that
// the figures are its own (the peak resident size of the test process only ever grows).
#pragma once

#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>

namespace kelvane::test {

struct ResourceUse {
    bool completed = false;  // the work returned (an exception counts as returning)
    double seconds = 0;      // wall time of the child, start to exit
    double cpuSeconds = 0;   // processor time the child used (user and system)
    double peakMiB = 0;      // the child's peak resident size
};

// Runs `work` in a forked child and reports how long the child ran and its peak memory. The
// child's own figures include the test process's memory at the fork, shared until written.
inline ResourceUse measureInChild(const std::function<void()>& work) {
    ResourceUse use;
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child < 0) return use;
    if (child == 0) {
        try {
            work();
        } catch (...) {
        }
        ::_exit(0);
    }
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) != child) return use;
    use.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    use.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    use.peakMiB = double(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
    use.completed = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return use;
}

}  // namespace kelvane::test
