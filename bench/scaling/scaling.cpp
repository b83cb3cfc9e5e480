// Scaling of the typical dressed request (eight bars, legend, value labels, grid, category labels,
// title, then SaveBinary("jpg") and MakeMap) from 400 x 300 to 7680 x 4320: time per pixel and the
// peak resident memory of a fresh process per size, against 3 x the canvas (24-bit) + 16 MB.
//
// Each size runs in a child process of its own (so its peak memory is its own), in rounds that
// visit every size in turn (so a busy machine slows all sizes alike); the table shows the median
// over all rounds of each size's per-request time and the largest peak of its children.
//   build/kelvane_scaling [rounds [WIDTHxHEIGHT]]   (one size only, e.g. to profile it)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "chart_canvases.h"

namespace {

struct Size {
    int width, height;
};
constexpr Size kSizes[] = {{400, 300}, {800, 600}, {1920, 1080}, {3840, 2160}, {7680, 4320}};

std::vector<Size> sizesFrom(int argc, char** argv) {
    Size one{};
    if (argc > 2 && std::sscanf(argv[2], "%dx%d", &one.width, &one.height) == 2 && one.width > 0 && one.height > 0)
        return {one};
    return {std::begin(kSizes), std::end(kSizes)};
}

// The CPU time of this thread (its page faults included): a machine shared with other work slows
// it far less than the wall clock.
double threadMilliseconds() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// One request; milliseconds of CPU time.
double oneRequest(const Size& size) {
    const double start = threadMilliseconds();
    kelvane::cChart c;
    kelvane::bench::typicalRequestChart(c, true, size.width, size.height);
    kelvane::Variant jpeg = c.SaveBinary("jpg");
    std::string map = c.MakeMap("m", "detail.html");
    benchmark::DoNotOptimize(jpeg);
    benchmark::DoNotOptimize(map);
    return threadMilliseconds() - start;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Runs one round of a size in a child: a first request (start-up), then requests for about a
// tenth of a second (at least three). Writes the times of the later ones to `out`; returns the
// child's peak resident memory in kilobytes, or -1 when the child failed.
long runChild(const Size& size, std::vector<double>& out) {
    int fds[2];
    if (::pipe(fds) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        ::close(fds[0]);
        oneRequest(size);
        std::vector<double> times;
        double spent = 0;
        while (times.size() < 3 || (spent < 100 && times.size() < 200)) {
            times.push_back(oneRequest(size));
            spent += times.back();
        }
        std::string text;
        for (double t : times) text += std::to_string(t) + "\n";
        const bool written = ::write(fds[1], text.data(), text.size()) == ssize_t(text.size());
        ::close(fds[1]);
        ::_exit(written ? 0 : 1);
    }
    ::close(fds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, size_t(n));
    ::close(fds[0]);
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find('\n', at);
        out.push_back(std::strtod(text.c_str() + at, nullptr));
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::vector<Size> sizes = sizesFrom(argc, argv);
    const size_t count = sizes.size();
    std::vector<std::vector<double>> times(count);
    std::vector<long> peak(count, 0);
    for (int r = 0; r < rounds; ++r) {
        for (size_t i = 0; i < count; ++i) {
            const long kb = runChild(sizes[i], times[i]);
            if (kb < 0) {
                std::fprintf(stderr, "scaling: the %d x %d child failed\n", sizes[i].width, sizes[i].height);
                return 1;
            }
            peak[i] = std::max(peak[i], kb);
        }
    }
    std::printf("Typical dressed request scaled; %d rounds of one fresh process per size, median "
                "CPU time of a request, largest peak RSS.\n\n",
                rounds);
    std::printf("| size | requests | median CPU ms | ns / pixel | peak RSS | bound 3 x canvas + 16 MB | within |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    bool allWithin = true;
    for (size_t i = 0; i < count; ++i) {
        const double pixels = double(sizes[i].width) * sizes[i].height;
        const double ms = median(times[i]);
        const double peakMb = double(peak[i]) / 1024;
        const double boundMb = 3 * pixels * 3 / (1024 * 1024) + 16;
        const bool within = peakMb <= boundMb;
        allWithin = allWithin && within;
        std::printf("| %d x %d | %zu | %.3f | %.2f | %.1f MB | %.1f MB | %s |\n", sizes[i].width,
                    sizes[i].height, times[i].size(), ms, ms * 1e6 / pixels, peakMb, boundMb,
                    within ? "yes" : "no");
    }
    return allWithin ? 0 : 2;
}
