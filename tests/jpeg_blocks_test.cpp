// The block transform against a plain scalar transcription of the arithmetic (colour formulas,
// column-then-row AAN DCT, single-precision quantisation with ties to even): the fast paths must
// give the same coefficients bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "output/jpeg/jpeg_blocks.h"
#include "output/jpeg/jpeg_tables.h"
#include "vector_isas.h"

namespace kelvane::jpeg {
namespace {

// One 8-point pass written out step by step, every intermediate a float.
void referenceAan(float* d, int step) {
    float x[8];
    for (int i = 0; i < 8; ++i) x[i] = d[i * step];
    float tmp0 = x[0] + x[7], tmp7 = x[0] - x[7];
    float tmp1 = x[1] + x[6], tmp6 = x[1] - x[6];
    float tmp2 = x[2] + x[5], tmp5 = x[2] - x[5];
    float tmp3 = x[3] + x[4], tmp4 = x[3] - x[4];
    float tmp10 = tmp0 + tmp3, tmp13 = tmp0 - tmp3;
    float tmp11 = tmp1 + tmp2, tmp12 = tmp1 - tmp2;
    float out[8];
    out[0] = tmp10 + tmp11;
    out[4] = tmp10 - tmp11;
    float z1 = (tmp12 + tmp13) * 0.707106781f;
    out[2] = tmp13 + z1;
    out[6] = tmp13 - z1;
    tmp10 = tmp4 + tmp5;
    tmp11 = tmp5 + tmp6;
    tmp12 = tmp6 + tmp7;
    float z5 = (tmp10 - tmp12) * 0.382683433f;
    float z2 = 0.541196100f * tmp10 + z5;
    float z4 = 1.306562965f * tmp12 + z5;
    float z3 = tmp11 * 0.707106781f;
    float z11 = tmp7 + z3, z13 = tmp7 - z3;
    out[5] = z13 + z2;
    out[3] = z13 - z2;
    out[1] = z11 + z4;
    out[7] = z11 - z4;
    for (int i = 0; i < 8; ++i) d[i * step] = out[i];
}

void referenceTransform(const float samples[64], const QuantTable& table, int16_t zigzag[64]) {
    float b[64];
    for (int i = 0; i < 64; ++i) b[i] = samples[i];
    for (int c = 0; c < 8; ++c) referenceAan(b + c, 8);  // columns first
    for (int r = 0; r < 8; ++r) referenceAan(b + r * 8, 1);
    for (int n = 0; n < 64; ++n) {
        const int z = kZigzag[size_t(n)];
        const float product = table.divisors[size_t(z)] * b[n];
        zigzag[z] = int16_t(std::nearbyint(product));
    }
}

float referenceSample(ColourComponent c, int r, int g, int b) {
    const float R = float(r), G = float(g), B = float(b);
    switch (c) {
    case ColourComponent::Luminance: return 0.299f * R + 0.587f * G + 0.114f * B - 128.0f;
    case ColourComponent::BlueDifference: return -0.16874f * R - 0.33126f * G + 0.5f * B;
    case ColourComponent::RedDifference: return 0.5f * R - 0.41869f * G - 0.08131f * B;
    }
    return 0;
}

QuantTable tableAt(int quality, int which) {
    QuantTable t;
    t.values = scaleTable(baseTable(which), qualityScale(quality));
    computeDivisors(t, 8);
    return t;
}

// A 24-bit picture, blue-green-red, top row first, with the view a caller wants onto it.
struct Bgr {
    int width, height;
    std::vector<uint8_t> bytes;
    uint8_t* at(int x, int y) { return &bytes[(size_t(y) * size_t(width) + size_t(x)) * 3]; }
    PixelView view() const { return {bytes.data(), ptrdiff_t(width) * 3, width, height}; }
};

std::vector<int16_t> referencePlane(const Bgr& picture, int paddedWidth, int paddedHeight,
                                    ColourComponent c, const QuantTable& table) {
    std::vector<int16_t> out;
    for (int by = 0; by < paddedHeight / 8; ++by) {
        for (int bx = 0; bx < paddedWidth / 8; ++bx) {
            float samples[64];
            for (int r = 0; r < 8; ++r) {
                for (int col = 0; col < 8; ++col) {
                    const int x = std::min(bx * 8 + col, picture.width - 1);
                    const int y = std::min(by * 8 + r, picture.height - 1);
                    const uint8_t* p = &picture.bytes[(size_t(y) * size_t(picture.width) + size_t(x)) * 3];
                    samples[r * 8 + col] = referenceSample(c, p[2], p[1], p[0]);
                }
            }
            int16_t block[64];
            referenceTransform(samples, table, block);
            out.insert(out.end(), block, block + 64);
        }
    }
    return out;
}

// All 64 coefficients of every block, as the plane keeps them.
std::vector<int16_t> planeOf(const Plane& plane) {
    std::vector<int16_t> out;
    for (const BlockCode& b : plane.blocks)
        for (int k = 0; k < 64; ++k) out.push_back(k == 0 || (b.acMask >> k & 1) ? plane.coefficient(b, k) : 0);
    return out;
}

TEST(JpegBlockTransform, EveryKernelMatchesTheScalarArithmeticOnRandomBlocks) {
    for (VectorIsa isa : test::vectorIsasHere()) {
        std::mt19937 random(7);
        std::uniform_real_distribution<float> sample(-128.0f, 127.5f);
        for (int quality : {1, 25, 50, 75, 90, 100}) {
            for (int which : {0, 1}) {
                const QuantTable table = tableAt(quality, which);
                const BlockQuantiser quantiser(table);
                for (int trial = 0; trial < 2000; ++trial) {
                    float samples[64];
                    for (float& s : samples) s = sample(random);
                    int16_t fast[64], expected[64];
                    const uint64_t mask = transformBlock(isa, samples, quantiser, fast);
                    referenceTransform(samples, table, expected);
                    for (int i = 0; i < 64; ++i) {
                        ASSERT_EQ(i > 0 && !(mask >> i & 1) ? 0 : fast[i], expected[i])
                            << test::isaName(isa) << " quality " << quality << " coefficient " << i;
                        if (i > 0) {
                            ASSERT_EQ(bool(mask >> i & 1), expected[i] != 0) << test::isaName(isa) << " " << i;
                        }
                    }
                }
            }
        }
    }
}

TEST(JpegBlockTransform, HandlesExtremeAndSparseBlocks) {
    const QuantTable table = tableAt(100, 0);
    const BlockQuantiser quantiser(table);
    std::vector<std::vector<float>> cases;
    cases.push_back(std::vector<float>(64, -128.0f));
    cases.push_back(std::vector<float>(64, 127.0f));
    std::vector<float> checker(64);
    for (int i = 0; i < 64; ++i) checker[size_t(i)] = ((i / 8 + i % 8) % 2) ? 127.0f : -128.0f;
    cases.push_back(checker);
    for (int i = 0; i < 64; ++i) {
        std::vector<float> spike(64, 0.0f);
        spike[size_t(i)] = 127.0f;
        cases.push_back(spike);
    }
    for (VectorIsa isa : test::vectorIsasHere()) {
        for (const auto& samples : cases) {
            int16_t fast[64], expected[64];
            const uint64_t mask = transformBlock(isa, samples.data(), quantiser, fast);
            referenceTransform(samples.data(), table, expected);
            EXPECT_EQ(fast[0], expected[0]) << test::isaName(isa);
            for (int i = 1; i < 64; ++i) {
                ASSERT_EQ(bool(mask >> i & 1), expected[i] != 0) << test::isaName(isa) << " " << i;
                if (mask >> i & 1) {
                    ASSERT_EQ(fast[i], expected[i]) << test::isaName(isa) << " " << i;
                }
            }
        }
    }
}

TEST(JpegColourConversion, TabulatedSamplesEqualTheFormulasForEveryChannelValue) {
    std::mt19937 random(11);
    for (ColourComponent c : {ColourComponent::Luminance, ColourComponent::BlueDifference,
                              ColourComponent::RedDifference}) {
        for (int v = 0; v < 256; ++v) {
            ASSERT_EQ(sampleOf(c, uint8_t(v), 0, 0), referenceSample(c, v, 0, 0));
            ASSERT_EQ(sampleOf(c, 0, uint8_t(v), 0), referenceSample(c, 0, v, 0));
            ASSERT_EQ(sampleOf(c, 0, 0, uint8_t(v)), referenceSample(c, 0, 0, v));
        }
        for (int i = 0; i < 100000; ++i) {
            const int r = int(random() & 255), g = int(random() & 255), b = int(random() & 255);
            ASSERT_EQ(sampleOf(c, uint8_t(r), uint8_t(g), uint8_t(b)), referenceSample(c, r, g, b));
        }
    }
}

Bgr randomPicture(int width, int height, unsigned seed, bool blocky) {
    std::mt19937 random(seed);
    Bgr p{width, height, std::vector<uint8_t>(size_t(width) * size_t(height) * 3)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* px = p.at(x, y);
            if (blocky) {
                // Large flat areas of a few colours, as on a chart, with some noisy blocks.
                const unsigned area = unsigned((x / 13) * 7 + (y / 11) * 3);
                const bool noisy = (x / 8 + y / 8) % 5 == 0;
                for (int k = 0; k < 3; ++k)
                    px[k] = noisy ? uint8_t(random()) : uint8_t(area * (37 + 50 * k));
            } else {
                for (int k = 0; k < 3; ++k) px[k] = uint8_t(random());
            }
        }
    }
    return p;
}

TEST(JpegPlaneTransform, EveryKernelMatchesTheReferenceOnNoiseAndOnFlatAreas) {
    for (VectorIsa isa : test::vectorIsasHere()) {
        const VectorIsaLimit limit(isa);
        ASSERT_EQ(blockVectorIsa(), isa);
        for (bool blocky : {false, true}) {
            const Bgr picture = randomPicture(40, 24, blocky ? 3 : 4, blocky);
            for (ColourComponent c : {ColourComponent::Luminance, ColourComponent::BlueDifference,
                                      ColourComponent::RedDifference}) {
                const QuantTable table = tableAt(75, c == ColourComponent::Luminance ? 0 : 1);
                Plane plane;
                transformPlane(picture.view(), 40, 24, c, table, plane);
                EXPECT_EQ(plane.blocksWide, 5);
                EXPECT_EQ(plane.blocksHigh, 3);
                EXPECT_EQ(planeOf(plane), referencePlane(picture, 40, 24, c, table)) << test::isaName(isa);
            }
        }
    }
}

TEST(JpegPlaneTransform, OneColourBlocksGiveTheTransformedDcValue) {
    // Every colour value the shortcut for flat blocks may meet, compared with the full transform.
    for (int v = 0; v < 256; v += 1) {
        Bgr picture{8, 8, std::vector<uint8_t>(8 * 8 * 3)};
        for (int i = 0; i < 64; ++i) {
            picture.bytes[size_t(i) * 3] = uint8_t(v);
            picture.bytes[size_t(i) * 3 + 1] = uint8_t(255 - v);
            picture.bytes[size_t(i) * 3 + 2] = uint8_t(v * 7);
        }
        for (ColourComponent c : {ColourComponent::Luminance, ColourComponent::BlueDifference,
                                  ColourComponent::RedDifference}) {
            for (int quality : {1, 50, 100}) {
                const QuantTable table = tableAt(quality, c == ColourComponent::Luminance ? 0 : 1);
                Plane plane;
                transformPlane(picture.view(), 8, 8, c, table, plane);
                ASSERT_EQ(planeOf(plane), referencePlane(picture, 8, 8, c, table)) << v;
            }
        }
    }
}

TEST(JpegPlaneTransform, RepeatsTheLastColumnAndRowIntoThePadding) {
    const Bgr picture = randomPicture(17, 9, 5, false);
    const QuantTable table = tableAt(90, 0);
    Plane plane;
    transformPlane(picture.view(), 24, 16, ColourComponent::Luminance, table, plane);
    EXPECT_EQ(plane.blocksWide, 3);
    EXPECT_EQ(plane.blocksHigh, 2);
    EXPECT_EQ(planeOf(plane), referencePlane(picture, 24, 16, ColourComponent::Luminance, table));

    // The same as transforming a picture that holds the repeated pixels itself.
    Bgr padded{24, 16, std::vector<uint8_t>(24 * 16 * 3)};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x)
            std::copy_n(picture.bytes.data() + (size_t(std::min(y, 8)) * 17 + size_t(std::min(x, 16))) * 3, 3,
                        padded.at(x, y));
    Plane explicitPadding;
    transformPlane(padded.view(), 24, 16, ColourComponent::Luminance, table, explicitPadding);
    EXPECT_EQ(planeOf(plane), planeOf(explicitPadding));
}

TEST(JpegPlaneTransform, ReadsBottomUpRowsThroughANegativeStride) {
    const Bgr picture = randomPicture(16, 16, 9, true);
    Bgr flipped = picture;
    for (int y = 0; y < 16; ++y) std::copy_n(picture.bytes.data() + size_t(y) * 48, 48, flipped.at(0, 15 - y));
    const PixelView bottomUp{flipped.bytes.data() + 15 * 48, -48, 16, 16};
    const QuantTable table = tableAt(75, 0);
    Plane a, b;
    transformPlane(picture.view(), 16, 16, ColourComponent::Luminance, table, a);
    transformPlane(bottomUp, 16, 16, ColourComponent::Luminance, table, b);
    EXPECT_EQ(planeOf(a), planeOf(b));
}

}  // namespace
}  // namespace kelvane::jpeg
