// Working memory reused across requests: reused blocks come back zeroed where asked, what a thread
// keeps stays bounded, and results handed to the caller never share a reused block.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "kelvane/cChart.h"
#include "raster/surface.h"
#include "runtime/spare_blocks.h"
#include "typical_request.h"

namespace kelvane {
namespace {

TEST(SpareBlocks, KeepsOnlyMidSizedBlocksWithinTheThreadsBound) {
    struct Case {
        size_t bytes;
        bool kept;
    };
    for (const Case& c : {Case{100, false}, Case{64 << 10, true}, Case{6 << 20, true},
                          Case{spare::kSpareBytesPerThread, false}, Case{100 << 20, false}}) {
        spare::releaseAll();
        uint8_t* block = spare::take(c.bytes, false);
        ASSERT_NE(block, nullptr) << c.bytes;
        block[0] = block[c.bytes - 1] = 0xAB;
        spare::give(block);
        EXPECT_EQ(spare::keptBytes() > 0, c.kept) << c.bytes;
        uint8_t* again = spare::take(c.bytes, true);
        if (c.kept) {
            EXPECT_EQ(again, block) << c.bytes;
        }
        EXPECT_EQ(again[0], 0) << c.bytes;
        EXPECT_EQ(again[c.bytes - 1], 0) << c.bytes;
        spare::give(again);
    }
    // Many blocks given back at once: the oldest go, the bound holds.
    std::vector<uint8_t*> blocks;
    for (int i = 0; i < 40; ++i) blocks.push_back(spare::take(size_t(3) << 20, false));
    for (uint8_t* b : blocks) spare::give(b);
    EXPECT_LE(spare::keptBytes(), spare::kSpareBytesPerThread);
    EXPECT_GT(spare::keptBytes(), 0u);
    spare::releaseAll();
    EXPECT_EQ(spare::keptBytes(), 0u);
}

TEST(SpareBlocks, BlocksTravelBetweenThreads) {
    spare::releaseAll();
    uint8_t* block = spare::take(1 << 20, false);
    // Given back on a thread that ends at once: released with that thread's spares.
    std::thread([block] { spare::give(block); }).join();
    EXPECT_EQ(spare::keptBytes(), 0u);
    uint8_t* other = nullptr;
    std::thread([&other] { other = spare::take(1 << 20, true); }).join();
    spare::give(other);
    EXPECT_GT(spare::keptBytes(), 0u);
    spare::releaseAll();
}

TEST(SpareBlocks, SurfaceOnReusedMemoryStartsZeroed) {
    for (int bpp : {1, 24, 32}) {
        gdi::Surface first;
        ASSERT_TRUE(first.allocate(301, 299, bpp, false));
        std::memset(first.bits(), 0xA5, first.byteSize());
        first = gdi::Surface();
        gdi::Surface second;
        ASSERT_TRUE(second.allocate(299, 301, bpp, false));
        const std::vector<uint8_t> zeros(second.byteSize(), 0);
        EXPECT_EQ(std::memcmp(second.bits(), zeros.data(), zeros.size()), 0) << bpp;
    }
}

TEST(SpareBlocks, SavedBytesOutliveTheNextRequest) {
    struct Case {
        const char* format;
    };
    for (const Case& c : {Case{"bmp"}, Case{"jpg"}, Case{"gif"}}) {
        cChart a;
        test::typicalRequest(a);
        a.InitChart();
        a.DrawBarChart(100, 5, 0);
        a.AddBarData("North", 40, 1, 1);
        const Variant saved = a.SaveBinary(c.format);
        const std::vector<uint8_t> copy = saved.bytes();
        ASSERT_FALSE(copy.empty()) << c.format;
        // A second chart on this thread, drawn into the blocks the first one gave back.
        cChart b;
        test::typicalRequest(b);
        b.BackgroundColor(0x00FF00);
        b.InitChart();
        b.DrawBarChart(100, 5, 0);
        b.AddBarData("South", 90, 2, 1);
        const Variant other = b.SaveBinary(c.format);
        EXPECT_NE(other.bytes(), copy) << c.format;
        EXPECT_EQ(saved.bytes(), copy) << c.format;
    }
}

}  // namespace
}  // namespace kelvane
