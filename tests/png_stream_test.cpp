// The PNG container as rows arrive: rows given in pieces of any size make the same stream as
// rows given whole, the zlib stream is cut into IDAT chunks of the size asked for, and rows that
// do not come as promised leave the output as it was. libpng reads every stream back.
#include <gtest/gtest.h>

#include <random>

#include "output/png/png_stream.h"
#include "png_test_support.h"

namespace kelvane::png {
namespace {

constexpr StreamHeader kHeader{300, 200, 8, 2};
constexpr size_t kRowBytes = 1 + 300 * 3;

// Unfiltered 24-bit rows: runs and repeated rows, which deflate packs, and noise, which it stores.
std::vector<uint8_t> rows() {
    std::vector<uint8_t> bytes(kRowBytes * kHeader.height);
    std::mt19937 random(17);
    for (size_t y = 0; y < kHeader.height; ++y) {
        uint8_t* row = bytes.data() + y * kRowBytes;
        row[0] = 0;
        for (size_t i = 1; i < kRowBytes; ++i) row[i] = y % 3 == 0 ? uint8_t(random()) : uint8_t(i / 40 + y / 7);
    }
    return bytes;
}

// The rows from `all` in pieces of `piece` bytes (the last what is left), or `stopAt` bytes in all
// and then nothing.
RowSource inPieces(const std::vector<uint8_t>& all, size_t piece, size_t stopAt = SIZE_MAX) {
    return [&all, piece, stopAt, at = size_t{0}]() mutable -> std::span<const uint8_t> {
        const size_t n = std::min({piece, all.size() - at, stopAt - std::min(at, stopAt)});
        const std::span<const uint8_t> given(all.data() + at, n);
        at += n;
        return given;
    };
}

struct Chunk {
    std::string type;
    std::vector<uint8_t> data;
};

std::vector<Chunk> chunks(const std::vector<uint8_t>& stream) {
    std::vector<Chunk> out;
    for (size_t at = 8; at + 12 <= stream.size();) {
        const uint32_t length = pngtest::bigEndian32(&stream[at]);
        out.push_back({std::string(stream.begin() + long(at) + 4, stream.begin() + long(at) + 8),
                       {stream.begin() + long(at) + 8, stream.begin() + long(at + 8 + length)}});
        at += 12 + length;
    }
    return out;
}

std::vector<uint8_t> zlibStream(const std::vector<uint8_t>& stream) {
    std::vector<uint8_t> out;
    for (const Chunk& c : chunks(stream))
        if (c.type == "IDAT") out.insert(out.end(), c.data.begin(), c.data.end());
    return out;
}

TEST(PngStream, RowsInPiecesMakeTheStreamOfTheWholeRows) {
    const std::vector<uint8_t> all = rows();
    for (const Deflate deflate : {Deflate{1, false}, Deflate{3, false}, Deflate{6, true}, Deflate{9, false}}) {
        std::vector<uint8_t> whole;
        ASSERT_EQ(WriteStream(kHeader, {}, all, deflate, whole), "");
        ASSERT_TRUE(pngtest::decodePng(whole).ok);
        for (size_t piece : {size_t{1}, size_t{7}, kRowBytes, size_t{65537}}) {
            SCOPED_TRACE("level " + std::to_string(deflate.level) + ", pieces of " + std::to_string(piece));
            std::vector<uint8_t> pieces;
            ASSERT_EQ(WriteStream(kHeader, {}, all.size(), inPieces(all, piece), deflate, pieces), "");
            EXPECT_EQ(pieces, whole);
        }
    }
}

TEST(PngStream, EveryIdatChunkButTheLastHoldsTheMostAsked) {
    const std::vector<uint8_t> all = rows();
    std::vector<uint8_t> one;
    ASSERT_EQ(WriteStream(kHeader, {}, all, {6, true}, one), "");
    const std::vector<uint8_t> zlib = zlibStream(one);
    // 1 and 2 cut the zlib header and sum; the stream's own length leaves no bytes for a last chunk.
    for (size_t most : {size_t{1}, size_t{2}, size_t{1000}, zlib.size() / 3, zlib.size(), zlib.size() - 1}) {
        SCOPED_TRACE("at most " + std::to_string(most));
        std::vector<uint8_t> cut;
        ASSERT_EQ(WriteStream(kHeader, {}, all.size(), inPieces(all, 4096), {6, true}, cut, most), "");
        const std::vector<Chunk> found = chunks(cut);
        ASSERT_GE(found.size(), 3u);
        EXPECT_EQ(found.front().type, "IHDR");
        EXPECT_EQ(found.back().type, "IEND");
        for (size_t i = 1; i + 1 < found.size(); ++i) {
            EXPECT_EQ(found[i].type, "IDAT");
            const size_t expected = i + 2 < found.size() ? most : zlib.size() - (found.size() - 3) * most;
            EXPECT_EQ(found[i].data.size(), expected) << "chunk " << i;
        }
        EXPECT_EQ(found.size() - 2, (zlib.size() + most - 1) / most);
        EXPECT_EQ(zlibStream(cut), zlib);
        const pngtest::Decoded d = pngtest::decodePng(cut);  // libpng checks every chunk's CRC
        ASSERT_TRUE(d.ok) << d.message;
        EXPECT_EQ(d.picture.bytes, pngtest::decodePng(one).picture.bytes);
    }
}

TEST(PngStream, RowsThatDoNotComeAsPromisedLeaveTheOutputAsItWas) {
    const std::vector<uint8_t> all = rows();
    struct Case {
        const char* name;
        size_t promised, stopAt;
    };
    const Case cases[] = {{"ending early", all.size(), all.size() / 2},
                          {"more than promised", all.size() - 10, SIZE_MAX}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> out = {1, 2, 3};
        EXPECT_NE(WriteStream(kHeader, {}, c.promised, inPieces(all, kRowBytes * 7, c.stopAt), {6, true}, out), "");
        EXPECT_EQ(out, std::vector<uint8_t>({1, 2, 3}));
    }
}

}  // namespace
}  // namespace kelvane::png
