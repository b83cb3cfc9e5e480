// Colours that move visibly on their way into the 216-colour cube.
#include "output/gif/gif_colour_check.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>
#include <unordered_map>

#include "output/palette/dither8bpp.h"
#include "raster/cdib.h"

namespace kelvane {

namespace {

// Frequent-items counters: a colour on more than 1/(kCounters + 1) of the far-off pixels keeps
// a counter, so one on 1 % of the picture does.
constexpr size_t kCounters = 100;

uint8_t cubeValue(int v) { return uint8_t(51 * mDither8bpp::CubeLevel(v)); }

// Squared change of each channel value on its way to the nearest cube level.
std::array<int, 256> squaredChanges() {
    std::array<int, 256> t{};
    for (int v = 0; v < 256; ++v) t[size_t(v)] = (v - cubeValue(v)) * (v - cubeValue(v));
    return t;
}

// Calls visit(key) for every pixel whose colour moves visibly; key = red | green << 8 | blue << 16.
template <class Visit>
void forFarPixels(const cDIB& picture, const std::array<int, 256>& change, Visit&& visit) {
    const int limit = int(kVisibleCubeShift * kVisibleCubeShift);
    for (int32_t y = 0; y < picture.Height(); ++y) {
        const uint8_t* p = picture.lpBits() + size_t(y) * size_t(picture.BytesPerScanLine());
        for (int32_t x = 0; x < picture.Width(); ++x, p += 4)
            if (change[p[2]] + change[p[1]] + change[p[0]] > limit)
                visit(uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16);
    }
}

}  // namespace

CubeShiftReport FindCubeShifts(const cDIB& picture) {
    CubeShiftReport report;
    if (picture.BPP() != 32 || !picture.lpBits()) return report;
    report.pixels = int64_t(picture.Width()) * picture.Height();
    const std::array<int, 256> change = squaredChanges();

    std::unordered_map<uint32_t, int64_t> counts;
    counts.reserve(kCounters * 2);
    forFarPixels(picture, change, [&](uint32_t key) {
        if (auto it = counts.find(key); it != counts.end()) {
            ++it->second;
        } else if (counts.size() < kCounters) {
            counts.emplace(key, 1);
        } else {
            for (auto i = counts.begin(); i != counts.end();) i = --i->second == 0 ? counts.erase(i) : std::next(i);
        }
    });
    if (counts.empty()) return report;  // no pixel moves visibly: no second pass
    for (auto& entry : counts) entry.second = 0;
    forFarPixels(picture, change, [&](uint32_t key) {
        if (auto it = counts.find(key); it != counts.end()) ++it->second;
    });

    for (const auto& [key, pixels] : counts) {
        if (pixels * 100 < report.pixels) continue;
        const int r = int(key & 0xFF), g = int(key >> 8 & 0xFF), b = int(key >> 16 & 0xFF);
        report.shifts.push_back(CubeShift{uint8_t(r), uint8_t(g), uint8_t(b), cubeValue(r), cubeValue(g),
                                          cubeValue(b), std::sqrt(double(change[size_t(r)] + change[size_t(g)] + change[size_t(b)])),
                                          pixels});
    }
    std::sort(report.shifts.begin(), report.shifts.end(), [](const CubeShift& a, const CubeShift& b) {
        if (a.pixels != b.pixels) return a.pixels > b.pixels;
        return std::tie(a.red, a.green, a.blue) < std::tie(b.red, b.green, b.blue);
    });
    return report;
}

}  // namespace kelvane
