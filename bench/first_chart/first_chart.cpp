// Start-up cost: the time of a process's first chart (fontconfig's configuration, font matching,
// FreeType's first faces) against the median of the charts after it. Run it in a fresh process:
//   build/kelvane_first_chart [later-charts]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "chart_canvases.h"

namespace {

// One request like the typical one: a bar chart to JPEG bytes and its image map; milliseconds.
double oneChart() {
    const auto start = std::chrono::steady_clock::now();
    auto chart = kelvane::bench::barChart(400, 300);
    kelvane::Variant jpeg = chart->SaveBinary("jpg");
    std::string map = chart->MakeMap("m", "detail.html");
    benchmark::DoNotOptimize(jpeg);
    benchmark::DoNotOptimize(map);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int later = argc > 1 ? std::max(1, std::atoi(argv[1])) : 31;
    const double first = oneChart();
    std::vector<double> times;
    for (int i = 0; i < later; ++i) times.push_back(oneChart());
    std::nth_element(times.begin(), times.begin() + later / 2, times.end());
    const double median = times[size_t(later / 2)];
    std::printf("first chart %.3f ms, later charts (median of %d) %.3f ms, first - later %.3f ms\n",
                first, later, median, first - median);
    return 0;
}
