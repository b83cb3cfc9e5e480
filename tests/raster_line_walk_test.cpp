// The one-pixel line walk steps its minor offset instead of dividing for each pixel: every pixel
// must be the one the nearest-with-ties-to-smaller rule gives.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "raster/line_walk.h"

namespace kelvane {
namespace {

using namespace gdi;

TEST(LineWalk, EveryPixelIsTheNearestToTheIdealLineTiesToTheSmaller) {
    Surface surface;
    ASSERT_TRUE(surface.allocate(300, 200, 24, true));
    std::mt19937 random(7);
    for (int k = 0; k < 20000; ++k) {
        const long scale = k % 10 == 0 ? 5000 : k % 3 == 0 ? 20 : 400;
        auto coordinate = [&] { return long(std::uniform_int_distribution<long>(-scale, scale)(random)) + 100; };
        const long x0 = coordinate(), y0 = coordinate(), x1 = coordinate(), y1 = coordinate();
        std::vector<std::pair<long, long>> walked;
        long skipped = 0;
        walkLine(surface, x0, y0, x1, y1, [&](long n) { skipped += n; }, [&](long x, long y) { walked.emplace_back(x, y); });
        // The same steps worked out one by one from the rule itself.
        const long dx = x1 - x0, dy = y1 - y0;
        const bool xMajor = std::labs(dx) >= std::labs(dy);
        const long n = xMajor ? std::labs(dx) : std::labs(dy), step = (xMajor ? dx : dy) > 0 ? 1 : -1;
        std::vector<std::pair<long, long>> expected;
        for (long i = 0; i < n; ++i) {
            const long major = (xMajor ? x0 : y0) + i * step;
            if (major < 0 || major >= (xMajor ? surface.width() : surface.height())) continue;
            const long minor = (xMajor ? y0 : x0) + line_walk::minorOffset(i, xMajor ? dy : dx, n);
            expected.emplace_back(xMajor ? major : minor, xMajor ? minor : major);
        }
        ASSERT_EQ(walked, expected) << x0 << "," << y0 << " to " << x1 << "," << y1;
        EXPECT_EQ(skipped + long(walked.size()), n) << x0 << "," << y0 << " to " << x1 << "," << y1;
    }
}

}  // namespace
}  // namespace kelvane
