// Span fills on 24-bit rows write exactly the span's pixels, whatever its start, length and
// colour (greys and colours take different store paths).
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "raster/surface.h"

namespace kelvane::gdi {
namespace {

TEST(SurfaceSpan, TwentyFourBitFillWritesOnlyTheSpan) {
    constexpr int kWidth = 53;
    for (COLORREF colour : {COLORREF(0x000000), COLORREF(0x808080), COLORREF(0xFFFFFF),
                            COLORREF(0x123456), COLORREF(0xFF0000), COLORREF(0x0000FE)}) {
        for (int x0 = 0; x0 < 10; ++x0) {
            for (int x1 = x0; x1 <= kWidth; ++x1) {
                Surface s;
                ASSERT_TRUE(s.allocate(kWidth, 3, 24, false));
                for (size_t i = 0; i < s.byteSize(); ++i) s.bits()[i] = uint8_t(i * 7 + 1);
                const std::vector<uint8_t> before(s.bits(), s.bits() + s.byteSize());
                s.fillSpan(1, x0, x1, colour);
                for (int y = 0; y < 3; ++y) {
                    const size_t start = size_t(s.row(y) - s.bits());
                    for (int i = 0; i < s.stride(); ++i) {
                        const int x = i / 3;
                        uint8_t want = before[start + i];
                        if (y == 1 && i < kWidth * 3 && x >= x0 && x < x1)
                            want = uint8_t(colour >> (8 * (2 - i % 3)));
                        ASSERT_EQ(s.row(y)[i], want)
                            << std::hex << colour << std::dec << " span " << x0 << ".." << x1
                            << " row " << y << " byte " << i;
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace kelvane::gdi
