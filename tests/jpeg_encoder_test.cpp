// cJpeg: the stream's layout, its tables and scans, pictures that decode with libjpeg-turbo,
// the settings and their errors, saving to files, and bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>

#include "bmp_file.h"
#include "file_output_support.h"
#include "jpeg_test_support.h"
#include "kelvane/runtime.h"
#include "output/jpeg/jpeg_encoder.h"
#include "output/jpeg/jpeg_segments.h"
#include "output/jpeg/jpeg_stream.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;
using jpegtest::Segment;

std::vector<uint8_t> bytesOf(const Variant& v) { return v.bytes(); }

std::vector<uint8_t> encode(const jpegtest::TestCanvas& canvas, int quality = 75) {
    cJpeg jpeg;
    jpeg.Quality(quality);
    EXPECT_EQ(jpeg.SampleHDC(canvas.dc(), canvas.width(), canvas.height(), 0, 0), 0);
    return bytesOf(jpeg.SaveBinary());
}

std::vector<Segment> segmentsOf(const std::vector<uint8_t>& stream) {
    std::vector<Segment> segments;
    EXPECT_TRUE(jpegtest::splitSegments(stream, segments)) << "the stream is a clean sequence of segments";
    return segments;
}

std::vector<uint8_t> markersOf(const std::vector<Segment>& segments) {
    std::vector<uint8_t> markers;
    for (const Segment& s : segments) markers.push_back(s.marker);
    return markers;
}

const Segment* findSegment(const std::vector<Segment>& segments, uint8_t marker, int nth = 0) {
    for (const Segment& s : segments)
        if (s.marker == marker && nth-- == 0) return &s;
    return nullptr;
}

std::string text(const std::vector<uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

// An asymmetric picture: a red "F" on blue, a green bar and a gradient strip.
void drawF(jpegtest::TestCanvas& c) {
    const int w = c.width(), h = c.height();
    c.fill(0, 0, w, h, gdi::RGB(20, 40, 200));
    c.fill(w / 5, h / 6, w / 5 + w / 8, h - h / 6, gdi::RGB(230, 20, 20));
    c.fill(w / 5, h / 6, w - w / 4, h / 6 + h / 8, gdi::RGB(230, 20, 20));
    c.fill(w / 5, h / 2, w / 2, h / 2 + h / 10, gdi::RGB(230, 20, 20));
    c.fill(w - w / 6, 0, w, h, gdi::RGB(0, 160, 60));
    for (int x = 0; x < w; ++x) c.fill(x, h - 3, x + 1, h, gdi::RGB(uint8_t(x * 255 / std::max(1, w - 1)), 128, 0));
}

TEST(JpegStream, StartsWithSoiAndJfifAndEndsWithEoi) {
    jpegtest::TestCanvas canvas(64, 48);
    drawF(canvas);
    const std::vector<uint8_t> s = encode(canvas);
    ASSERT_GT(s.size(), 4u);
    EXPECT_EQ(s[0], 0xFF);
    EXPECT_EQ(s[1], 0xD8);
    EXPECT_EQ(s[2], 0xFF);
    EXPECT_EQ(s[3], 0xE0);
    EXPECT_EQ(s[s.size() - 2], 0xFF);
    EXPECT_EQ(s[s.size() - 1], 0xD9);
}

TEST(JpegStream, SegmentsComeInTheOrderOfABaselineJfifFile) {
    jpegtest::TestCanvas canvas(64, 48);
    drawF(canvas);
    const auto segments = segmentsOf(encode(canvas));
    EXPECT_EQ(markersOf(segments), (std::vector<uint8_t>{0xD8, 0xE0, 0xFE, 0xDB, 0xDB, 0xC0, 0xC4, 0xC4,
                                                         0xC4, 0xC4, 0xDA, 0xD9}));
    const Segment* app0 = findSegment(segments, 0xE0);
    ASSERT_TRUE(app0);
    EXPECT_EQ(app0->payload, (std::vector<uint8_t>{'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0}));
    const Segment* sof = findSegment(segments, 0xC0);
    ASSERT_TRUE(sof);
    EXPECT_EQ(sof->payload, (std::vector<uint8_t>{8, 0, 48, 0, 64, 3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1}));
    const Segment* sos = findSegment(segments, 0xDA);
    ASSERT_TRUE(sos);
    EXPECT_EQ(sos->payload, (std::vector<uint8_t>{3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0}));
    // DHT classes and numbers: DC 0, AC 0, DC 1, AC 1.
    for (int i = 0; i < 4; ++i) {
        const Segment* dht = findSegment(segments, 0xC4, i);
        ASSERT_TRUE(dht);
        EXPECT_EQ(dht->payload[0], (std::vector<uint8_t>{0x00, 0x10, 0x01, 0x11})[size_t(i)]);
    }
}

TEST(JpegStream, OwnCommentNamesTheEncoderAfterTheHostsComment) {
    jpegtest::TestCanvas canvas(16, 16);
    cJpeg jpeg;
    jpeg.Comment("made by a test");
    jpeg.SampleHDC(canvas.dc(), 16, 16, 0, 0);
    const auto segments = segmentsOf(bytesOf(jpeg.SaveBinary()));
    const Segment* host = findSegment(segments, 0xFE, 0);
    const Segment* own = findSegment(segments, 0xFE, 1);
    ASSERT_TRUE(host && own);
    EXPECT_EQ(text(host->payload), "made by a test");
    const std::string ownText = text(own->payload);
    EXPECT_EQ(ownText.rfind("JPEG Encoder Class\r\n", 0), 0u);
    EXPECT_EQ(std::count(ownText.begin(), ownText.end(), '\n'), 2) << "three lines";
}

TEST(JpegStream, ScanDataHasNoUnstuffedFfAndTablesAreCompleteCodes) {
    // Noise gives long codes and many 0xFF bytes in the coded data.
    jpegtest::TestCanvas canvas(96, 80);
    uint32_t state = 1;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 96; ++x) {
            state = state * 1103515245u + 12345u;
            gdi::SetPixel(canvas.dc(), x, y, state >> 8 & 0xFFFFFF);
        }
    for (int quality : {1, 75, 100}) {
        const std::vector<uint8_t> s = encode(canvas, quality);
        const auto segments = segmentsOf(s);
        const Segment* sos = findSegment(segments, 0xDA);
        ASSERT_TRUE(sos);
        const size_t begin = sos->offset + 2 + 2 + sos->payload.size();
        for (size_t i = begin; i < sos->dataEnd; ++i)
            if (s[i] == 0xFF) {
                ASSERT_EQ(s[i + 1], 0x00) << "at " << i;
            }
        EXPECT_EQ(sos->dataEnd, s.size() - 2) << "the scan runs up to EOI";
        for (int t = 0; t < 4; ++t) {
            const Segment* dht = findSegment(segments, 0xC4, t);
            ASSERT_TRUE(dht);
            uint64_t kraft = 0;  // in units of 2^-16
            size_t count = 0;
            for (int n = 1; n <= 16; ++n) {
                kraft += uint64_t(dht->payload[size_t(n)]) << (16 - n);
                count += dht->payload[size_t(n)];
            }
            EXPECT_LT(kraft, uint64_t{1} << 16) << "lengths fit in 16 bits with room for no all-ones code";
            EXPECT_EQ(dht->payload.size(), 17 + count);
        }
    }
}

TEST(JpegQuality, HundredGivesAllOnesAndOneGivesAll255) {
    jpegtest::TestCanvas canvas(8, 8);
    for (auto [quality, expected] : {std::pair{100, 1}, std::pair{1, 255}}) {
        const auto segments = segmentsOf(encode(canvas, quality));
        for (int t = 0; t < 2; ++t) {
            const Segment* dqt = findSegment(segments, 0xDB, t);
            ASSERT_TRUE(dqt);
            ASSERT_EQ(dqt->payload.size(), 65u);
            EXPECT_EQ(dqt->payload[0], t);
            for (size_t i = 1; i < 65; ++i) EXPECT_EQ(dqt->payload[i], expected) << quality;
        }
    }
}

TEST(JpegQuality, ScaledValuesRoundHalvesToEvenRatherThanTruncating) {
    jpegtest::TestCanvas canvas(8, 8);
    const auto at75 = segmentsOf(encode(canvas, 75));
    const std::vector<uint8_t>& luminance = findSegment(at75, 0xDB, 0)->payload;
    // Base 16 gives 8.5 -> 8; base 11 gives 6; base 10 gives 5.5 -> 6; base 12 gives 6.5 -> 6.
    EXPECT_EQ(luminance[1 + 0], 8);
    EXPECT_EQ(luminance[1 + 1], 6);
    EXPECT_EQ(luminance[1 + 5], 6);
    EXPECT_EQ(luminance[1 + 2], 6);
    const auto at50 = segmentsOf(encode(canvas, 50));
    const std::vector<uint8_t>& chrominance = findSegment(at50, 0xDB, 1)->payload;
    // At 50 every value is base + 0.5: 17.5 -> 18, 18.5 -> 18, 99.5 -> 100.
    EXPECT_EQ(chrominance[1 + 0], 18);
    EXPECT_EQ(chrominance[1 + 1], 18);
    EXPECT_EQ(chrominance[1 + 63], 100);
}

TEST(JpegQuality, BelowFiftyTheScaleIsRoundedToEvenBeforeScaling) {
    // Quality 16: 5000 / 16 = 312.5 gives 312; base 11 then gives 34.82, rounded to 35.
    jpegtest::TestCanvas canvas(8, 8);
    const auto segments = segmentsOf(encode(canvas, 16));
    const std::vector<uint8_t>& luminance = findSegment(segments, 0xDB, 0)->payload;
    EXPECT_EQ(luminance[1 + 0], 50);
    EXPECT_EQ(luminance[1 + 1], 35);
}

TEST(JpegQuality, ValuesOutsideOneToHundredAreIgnored) {
    cJpeg jpeg;
    EXPECT_EQ(jpeg.Quality(), 75);
    jpeg.Quality(0);
    EXPECT_EQ(jpeg.Quality(), 75);
    jpeg.Quality(101);
    EXPECT_EQ(jpeg.Quality(), 75);
    jpeg.Quality(-5);
    EXPECT_EQ(jpeg.Quality(), 75);
    jpeg.Quality(100);
    EXPECT_EQ(jpeg.Quality(), 100);
    jpeg.Quality(INT_MIN);
    EXPECT_EQ(jpeg.Quality(), 100);

    jpegtest::TestCanvas canvas(8, 8);
    cJpeg ignored;
    ignored.Quality(101);
    ignored.SampleHDC(canvas.dc(), 8, 8, 0, 0);
    EXPECT_EQ(bytesOf(ignored.SaveBinary()), encode(canvas, 75));
}

void expectJpegError(const std::function<void()>& call, const std::string& description) {
    try {
        call();
        ADD_FAILURE() << "no error";
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.number(), 1);
        EXPECT_EQ(e.description(), description);
    }
}

TEST(JpegSampling, InvalidFactorsRaiseInvalidSamplingValue) {
    cJpeg jpeg;
    for (auto f : {std::array{0, 1, 1, 1, 1, 1}, std::array{1, 5, 1, 1, 1, 1}, std::array{1, 1, 5, 1, 1, 1},
                   std::array{1, 1, 1, 1, 1, 0}, std::array{1, 1, 1, -1, 1, 1}, std::array{5, 1, 0, 0, 0, 0}})
        expectJpegError([&] { jpeg.SetSamplingFrequencies(f[0], f[1], f[2], f[3], f[4], f[5]); },
                        "Invalid Sampling Value");
}

TEST(JpegSampling, GreyscaleHasOneTableOfEachKindAndOneScan) {
    jpegtest::TestCanvas canvas(40, 30);
    drawF(canvas);
    cJpeg jpeg;
    jpeg.SetSamplingFrequencies(1, 1, 0, 0, 0, 0);
    jpeg.SampleHDC(canvas.dc(), 40, 30, 0, 0);
    const std::vector<uint8_t> s = bytesOf(jpeg.SaveBinary());
    const auto segments = segmentsOf(s);
    EXPECT_EQ(markersOf(segments), (std::vector<uint8_t>{0xD8, 0xE0, 0xFE, 0xDB, 0xC0, 0xC4, 0xC4, 0xDA, 0xD9}));
    EXPECT_EQ(findSegment(segments, 0xC0)->payload, (std::vector<uint8_t>{8, 0, 30, 0, 40, 1, 1, 0x11, 0}));
    EXPECT_EQ(findSegment(segments, 0xDA)->payload, (std::vector<uint8_t>{1, 1, 0x00, 0, 63, 0}));
    const jpegtest::Decoded d = jpegtest::decodeJpeg(s);
    ASSERT_TRUE(d.ok) << d.message;
    EXPECT_EQ(d.components, 1);
    EXPECT_EQ(d.warnings, 0);
    // Red (230, 20, 20) has luminance 82.
    const uint8_t* p = &d.picture.bytes[(size_t(10) * 40 + 9) * 3];
    EXPECT_NEAR(p[0], 82, 4);
    EXPECT_EQ(p[0], p[1]);
}

TEST(JpegSampling, SixteenLuminanceBlocksGetAScanOfTheirOwn) {
    jpegtest::TestCanvas canvas(70, 50);
    canvas.fill(0, 0, 70, 50, gdi::RGB(240, 240, 200));
    canvas.fill(0, 0, 35, 50, gdi::RGB(200, 30, 30));
    cJpeg jpeg;
    jpeg.SetSamplingFrequencies(4, 4, 1, 1, 1, 1);
    jpeg.SampleHDC(canvas.dc(), 70, 50, 0, 0);
    const std::vector<uint8_t> s = bytesOf(jpeg.SaveBinary());
    const auto segments = segmentsOf(s);
    EXPECT_EQ(findSegment(segments, 0xDA, 0)->payload, (std::vector<uint8_t>{1, 1, 0x00, 0, 63, 0}));
    EXPECT_EQ(findSegment(segments, 0xDA, 1)->payload, (std::vector<uint8_t>{2, 2, 0x11, 3, 0x11, 0, 63, 0}));
    const jpegtest::Decoded d = jpegtest::decodeJpeg(s);
    ASSERT_TRUE(d.ok) << d.message;
    EXPECT_EQ(d.warnings, 0);
    const uint8_t* red = &d.picture.bytes[(size_t(25) * 70 + 8) * 3];
    EXPECT_NEAR(red[0], 200, 6);
    EXPECT_NEAR(red[1], 30, 6);
    const uint8_t* light = &d.picture.bytes[(size_t(25) * 70 + 60) * 3];
    EXPECT_NEAR(light[2], 200, 6);
}

TEST(JpegSampling, TwelveBlocksSplitAfterTheSecondComponent) {
    jpegtest::TestCanvas canvas(40, 40);
    drawF(canvas);
    cJpeg jpeg;
    jpeg.SetSamplingFrequencies(2, 2, 2, 2, 2, 2);
    jpeg.SampleHDC(canvas.dc(), 40, 40, 0, 0);
    const std::vector<uint8_t> s = bytesOf(jpeg.SaveBinary());
    const auto segments = segmentsOf(s);
    EXPECT_EQ(findSegment(segments, 0xDA, 0)->payload, (std::vector<uint8_t>{2, 1, 0x00, 2, 0x11, 0, 63, 0}));
    EXPECT_EQ(findSegment(segments, 0xDA, 1)->payload, (std::vector<uint8_t>{1, 3, 0x11, 0, 63, 0}));
    const jpegtest::Decoded d = jpegtest::decodeJpeg(s);
    ASSERT_TRUE(d.ok) << d.message;
    EXPECT_EQ(d.warnings, 0);
}

// Decodes our stream and libjpeg-turbo's for the same pixels; ours must come within 0.5 dB.
void expectPsnrLikeLibjpeg(const jpegtest::Rgb& source, const std::vector<uint8_t>& ours, int quality,
                           const std::string& what) {
    const jpegtest::Decoded mine = jpegtest::decodeJpeg(ours);
    ASSERT_TRUE(mine.ok) << what << ": " << mine.message;
    EXPECT_EQ(mine.warnings, 0) << what;
    const jpegtest::Decoded theirs = jpegtest::decodeJpeg(jpegtest::encodeWithLibjpeg(source, quality));
    ASSERT_TRUE(theirs.ok) << what;
    const double a = jpegtest::psnr(source, mine.picture), b = jpegtest::psnr(source, theirs.picture);
    EXPECT_GE(a, b - 0.5) << what << " at quality " << quality << ": ours " << a << " dB, libjpeg-turbo " << b;
}

TEST(JpegPictures, DecodeAsWellAsLibjpegTurbosAtTheSameQualityAndSampling) {
    for (auto [w, h] : {std::pair{64, 48}, std::pair{96, 62}, std::pair{200, 120}}) {
        jpegtest::TestCanvas canvas(w, h);
        drawF(canvas);
        for (int quality : {75, 100})
            expectPsnrLikeLibjpeg(canvas.pixels(), encode(canvas, quality), quality,
                                  std::to_string(w) + "x" + std::to_string(h));
    }
}

TEST(JpegPictures, OddSizesKeepTheirChromaCloseToLibjpegTurbos) {
    // An odd width W has chroma planes of (W + 1) / 2 pixels stretched from all W, so chroma
    // pixels drift by up to a pixel from the pairs a decoder assumes. On hard edges between
    // saturated colours that costs a few dB against sampling in pairs; nowhere more than 3.
    for (auto [w, h] : {std::pair{97, 61}, std::pair{33, 17}}) {
        jpegtest::TestCanvas canvas(w, h);
        drawF(canvas);
        const jpegtest::Rgb source = canvas.pixels();
        const jpegtest::Decoded ours = jpegtest::decodeJpeg(encode(canvas, 100));
        const jpegtest::Decoded theirs = jpegtest::decodeJpeg(jpegtest::encodeWithLibjpeg(source, 100));
        ASSERT_TRUE(ours.ok && theirs.ok);
        EXPECT_EQ(ours.warnings, 0);
        EXPECT_GE(jpegtest::psnr(source, ours.picture), jpegtest::psnr(source, theirs.picture) - 3.0);
    }
}

TEST(JpegPictures, OnePixelIsOneMcuThatDecodesToItsColour) {
    jpegtest::TestCanvas canvas(1, 1);
    canvas.fill(0, 0, 1, 1, gdi::RGB(200, 100, 50));
    const jpegtest::Decoded d = jpegtest::decodeJpeg(encode(canvas, 100));
    ASSERT_TRUE(d.ok) << d.message;
    ASSERT_EQ(d.picture.width, 1);
    ASSERT_EQ(d.picture.height, 1);
    EXPECT_NEAR(d.picture.bytes[0], 200, 2);
    EXPECT_NEAR(d.picture.bytes[1], 100, 2);
    EXPECT_NEAR(d.picture.bytes[2], 50, 2);
}

// Neutral greys, so that the chroma planes are flat and every difference from libjpeg-turbo would
// come from the luminance padding and the dummy blocks.
void expectEdgesDecode(int w, int h) {
    jpegtest::TestCanvas canvas(w, h);
    canvas.fill(0, 0, w, h, gdi::RGB(250, 250, 250));
    canvas.fill(w - 3, 0, w, h, gdi::RGB(40, 40, 40));
    canvas.fill(0, h - 2, w, h, gdi::RGB(120, 120, 120));
    const std::vector<uint8_t> s = encode(canvas, 100);
    const jpegtest::Decoded d = jpegtest::decodeJpeg(s);
    ASSERT_TRUE(d.ok) << d.message;
    EXPECT_EQ(d.warnings, 0);
    ASSERT_EQ(d.picture.width, w);
    ASSERT_EQ(d.picture.height, h);
    expectPsnrLikeLibjpeg(canvas.pixels(), s, 100, std::to_string(w) + "x" + std::to_string(h));
    EXPECT_GT(jpegtest::psnr(canvas.pixels(), d.picture), 40.0);
    const uint8_t* corner = &d.picture.bytes[(size_t(h - 1) * size_t(w) + size_t(w - 1)) * 3];
    EXPECT_NEAR(corner[0], 120, 3) << "the bottom-right pixel, next to the padding";
}

TEST(JpegPictures, PicturesOfAtMostEightByEightKeepTheirColoursApart) {
    // The half-size chrominance of such a picture pads to the luminance's 8 x 8 block; it must
    // still be drawn halved, or the decoder stretches its left half over the whole picture.
    for (auto [w, h] : {std::pair{8, 8}, std::pair{8, 4}, std::pair{6, 7}}) {
        jpegtest::TestCanvas canvas(w, h);
        canvas.fill(0, 0, w / 2, h, gdi::RGB(220, 30, 30));
        canvas.fill(w / 2, 0, w, h, gdi::RGB(30, 30, 220));
        const jpegtest::Decoded d = jpegtest::decodeJpeg(encode(canvas, 100));
        ASSERT_TRUE(d.ok) << d.message;
        const uint8_t* right = &d.picture.bytes[size_t(w - 1) * 3];
        EXPECT_LT(right[0], 90) << w << "x" << h << ": the right edge keeps its blue";
        EXPECT_GT(right[2], 160) << w << "x" << h;
    }
}

TEST(JpegPictures, NineByNineIsOneMcuWithoutDummyBlocks) { expectEdgesDecode(9, 9); }
TEST(JpegPictures, SeventeenByNineEndsInDummyLuminanceBlocks) { expectEdgesDecode(17, 9); }
TEST(JpegPictures, WidthSeventeenPadsBothPlanes) { expectEdgesDecode(17, 40); }

TEST(JpegPictures, SameColourEverywhereCodesOneDcSymbolAndOnlyEndOfBlock) {
    jpegtest::TestCanvas canvas(64, 64);
    canvas.fill(0, 0, 64, 64, gdi::RGB(90, 180, 30));
    const auto segments = segmentsOf(encode(canvas));
    for (int t = 0; t < 4; ++t) {
        const Segment* dht = findSegment(segments, 0xC4, t);
        const size_t count = dht->payload.size() - 17;
        // DC 0: the first block's category, then 0. DC 1: the first categories of both chroma
        // components, then 0. AC: end of block only.
        EXPECT_EQ(count, (std::vector<size_t>{2, 1, 3, 1})[size_t(t)]) << t;
        if (t % 2) {
            EXPECT_EQ(dht->payload[17], 0x00);
        }
    }
}

TEST(JpegPictures, TheSamePixelsGiveTheSameBytes) {
    jpegtest::TestCanvas canvas(120, 90);
    drawF(canvas);
    const std::vector<uint8_t> first = encode(canvas);
    EXPECT_EQ(encode(canvas), first);
    cJpeg jpeg;
    jpeg.SampleHDC(canvas.dc(), 120, 90, 0, 0);
    EXPECT_EQ(bytesOf(jpeg.SaveBinary()), first);
    EXPECT_EQ(bytesOf(jpeg.SaveBinary()), first) << "SaveBinary keeps the planes";
}

TEST(JpegPictures, SamplesTheRequestedRectangleOfTheContext) {
    jpegtest::TestCanvas canvas(64, 64);
    canvas.fill(0, 0, 64, 64, gdi::RGB(255, 255, 255));
    canvas.fill(32, 16, 64, 64, gdi::RGB(200, 0, 0));
    cJpeg jpeg;
    jpeg.Quality(100);
    jpeg.SampleHDC(canvas.dc(), 16, 16, 40, 30);
    const jpegtest::Decoded d = jpegtest::decodeJpeg(bytesOf(jpeg.SaveBinary()));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.picture.width, 16);
    EXPECT_NEAR(d.picture.bytes[0], 200, 3);
    EXPECT_NEAR(d.picture.bytes[1], 0, 3);
}

// The sampling procedure step by step: one bitmap of the rounded-up size, each component drawn
// at its bottom-left (copied, or stretched with halftone), its edges repeated by one-pixel copies,
// and the padded picture read back; then the same stream assembly. Returns the stream from its
// first DQT segment on (the comments differ).
std::vector<uint8_t> literalStreamTail(gdi::HDC source, int W, int H, int L, int T, std::array<int, 6> f,
                                       int quality) {
    using namespace gdi;
    const bool grey = f[2] == 0 && f[3] == 0 && f[4] == 0 && f[5] == 0;
    const int count = grey ? 1 : 3;
    if (grey) f = {1, 1, 0, 0, 0, 0};
    int hmax = 1, vmax = 1;
    for (int i = 0; i < count; ++i) {
        hmax = std::max(hmax, f[size_t(2 * i)]);
        vmax = std::max(vmax, f[size_t(2 * i + 1)]);
    }
    std::vector<jpeg::QuantTable> tables(size_t(count == 3 ? 2 : 1));
    for (size_t t = 0; t < tables.size(); ++t) {
        tables[t].values = jpeg::scaleTable(jpeg::baseTable(int(t)), jpeg::qualityScale(quality));
        jpeg::computeDivisors(tables[t], 8);
    }
    const int W8 = (W + 7) / 8 * 8, H8 = (H + 7) / 8 * 8;
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), W8, H8, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    SetStretchBltMode(dc, HALFTONE);
    const ptrdiff_t stride = ptrdiff_t(W8) * 3;
    std::vector<jpeg::Plane> planes(static_cast<size_t>(count));
    jpeg::StreamContents contents;
    contents.frame = {W, H, hmax, vmax, {}};
    int lastW = -1, lastH = -1;
    for (int i = 0; i < count; ++i) {
        const int hf = f[size_t(2 * i)], vf = f[size_t(2 * i + 1)];
        const int w = (hf * W + hmax - 1) / hmax, h = (vf * H + vmax - 1) / vmax;
        const int D = (w + 7) / 8 * 8, E = (h + 7) / 8 * 8;
        if (w != lastW || h != lastH) {
            if (w == W && h == H) BitBlt(dc, 0, H8 - E, W, H, source, L, T, SRCCOPY);
            else StretchBlt(dc, 0, H8 - E, w, h, source, L, T, W, H, SRCCOPY);
            for (int x = w; x < D; ++x) BitBlt(dc, x, H8 - E, 1, h, dc, x - 1, H8 - E, SRCCOPY);
            for (int y = H8 - E + h; y < H8; ++y) BitBlt(dc, 0, y, D, 1, dc, 0, y - 1, SRCCOPY);
            lastW = w;
            lastH = h;
        }
        const jpeg::PixelView view{static_cast<const uint8_t*>(bits) + ptrdiff_t(E - 1) * stride, -stride, D, E};
        jpeg::transformPlane(view, D, E, jpeg::ColourComponent(i), tables[size_t(i == 0 ? 0 : 1)], planes[size_t(i)]);
        contents.frame.components.push_back(
            {{uint8_t(i + 1), uint8_t(hf), uint8_t(vf), uint8_t(i == 0 ? 0 : 1)}, &planes[size_t(i)]});
    }
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    contents.tables = tables;
    const std::vector<uint8_t> stream = jpeg::assembleStream(contents);
    const auto segments = segmentsOf(stream);
    return {stream.begin() + long(findSegment(segments, 0xDB)->offset), stream.end()};
}

std::vector<uint8_t> tailFromFirstDqt(const std::vector<uint8_t>& stream) {
    const auto segments = segmentsOf(stream);
    return {stream.begin() + long(findSegment(segments, 0xDB)->offset), stream.end()};
}

TEST(JpegSampling, GivesTheStreamOfTheStepByStepProcedure) {
    jpegtest::TestCanvas canvas(120, 80);
    drawF(canvas);
    uint32_t state = 5;
    for (int y = 40; y < 70; ++y)
        for (int x = 60; x < 100; ++x) {
            state = state * 1103515245u + 12345u;
            gdi::SetPixel(canvas.dc(), x, y, state >> 8 & 0xFFFFFF);
        }
    struct Request {
        int w, h, left, top;
        std::array<int, 6> factors;
        int quality;
    };
    for (const Request& r : {Request{120, 80, 0, 0, {2, 2, 1, 1, 1, 1}, 75}, Request{17, 9, 50, 45, {2, 2, 1, 1, 1, 1}, 100},
                             Request{97, 61, 11, 7, {2, 2, 1, 1, 1, 1}, 50}, Request{40, 30, 70, 45, {1, 1, 0, 0, 0, 0}, 90},
                             Request{33, 21, 60, 40, {1, 1, 1, 1, 1, 1}, 75}, Request{70, 50, -9, 45, {2, 2, 1, 1, 1, 1}, 75},
                             Request{45, 37, 90, -5, {2, 1, 1, 1, 1, 1}, 60}, Request{64, 48, 30, 20, {4, 4, 1, 1, 1, 1}, 75},
                             Request{1, 1, 119, 79, {2, 2, 1, 1, 1, 1}, 100}, Request{97, 61, 5, 3, {2, 2, 2, 1, 2, 1}, 75},
                             Request{50, 41, 3, 3, {1, 1, 2, 2, 2, 2}, 75}, Request{8, 6, 62, 42, {2, 2, 1, 1, 1, 1}, 75}}) {
        cJpeg jpeg;
        jpeg.Quality(r.quality);
        const auto& f = r.factors;
        jpeg.SetSamplingFrequencies(f[0], f[1], f[2], f[3], f[4], f[5]);
        ASSERT_EQ(jpeg.SampleHDC(canvas.dc(), r.w, r.h, r.left, r.top), 0);
        EXPECT_EQ(tailFromFirstDqt(bytesOf(jpeg.SaveBinary())),
                  literalStreamTail(canvas.dc(), r.w, r.h, r.left, r.top, f, r.quality))
            << r.w << "x" << r.h << " at " << r.left << "," << r.top;
    }
}

TEST(JpegComment, LongerThan65533BytesIsRefusedAndTheOldCommentKept) {
    cJpeg jpeg;
    jpeg.Comment("short");
    expectJpegError([&] { jpeg.Comment(std::string(65534, 'x')); }, "Illegal Comment Length");
    EXPECT_EQ(jpeg.Comment(), "short");
    jpeg.Comment(std::string(65533, 'y'));
    jpegtest::TestCanvas canvas(8, 8);
    jpeg.SampleHDC(canvas.dc(), 8, 8, 0, 0);
    const auto segments = segmentsOf(bytesOf(jpeg.SaveBinary()));
    EXPECT_EQ(findSegment(segments, 0xFE)->payload.size(), 65533u);
}

TEST(JpegComment, IsWrittenInTheSystemCodePage) {
    const gdi::UINT previous = gdi::GetSystemCodePage();
    gdi::SetSystemCodePage(1252);
    cJpeg jpeg;
    jpeg.Comment("f\xC3\xBCr");  // "für" in UTF-8
    jpegtest::TestCanvas canvas(8, 8);
    jpeg.SampleHDC(canvas.dc(), 8, 8, 0, 0);
    const auto segments = segmentsOf(bytesOf(jpeg.SaveBinary()));
    gdi::SetSystemCodePage(previous);
    EXPECT_EQ(findSegment(segments, 0xFE)->payload, (std::vector<uint8_t>{'f', 0xFC, 'r'}));
}

TEST(JpegStream, TheBufferKeepsEveryByteWhateverItsEstimateAndLittleSpareRoom) {
    // The stream buffer starts at an estimate of the coded size: far short, exact or far too
    // large. Bytes come one at a time, as spans and straight through the cursor, across the
    // places where the buffer grows or makes more bytes ready.
    for (size_t estimate : {size_t{1}, size_t{300000}, size_t{5000000}}) {
        SCOPED_TRACE(estimate);
        jpeg::ByteSink sink(estimate);
        std::vector<uint8_t> expected;
        for (int i = 0; i < 100000; ++i) {
            const uint8_t bytes[2] = {uint8_t(i * 7), uint8_t(i >> 3)};
            if (i % 3 == 0) {
                sink.put(bytes[0]);
                expected.push_back(bytes[0]);
            } else if (i % 3 == 1) {
                sink.append(bytes);
                expected.insert(expected.end(), bytes, bytes + 2);
            } else {
                sink.ensure(40);
                std::copy(bytes, bytes + 2, sink.cursor());
                sink.advance(2);
                expected.insert(expected.end(), bytes, bytes + 2);
            }
        }
        const std::vector<uint8_t> result = sink.finish();
        EXPECT_EQ(result, expected);
        EXPECT_LE(result.capacity(), result.size() + result.size() / 8);
    }
}

class JpegSaveFile : public test::TempFolderTest {};

TEST_F(JpegSaveFile, WritesTheStreamWithTheShortOwnComment) {
    jpegtest::TestCanvas canvas(32, 32);
    drawF(canvas);
    cJpeg jpeg;
    jpeg.SampleHDC(canvas.dc(), 32, 32, 0, 0);
    const std::vector<uint8_t> binary = bytesOf(jpeg.SaveBinary());
    EXPECT_EQ(jpeg.SaveFile(dir + "/a.jpg"), 0);
    const std::vector<uint8_t> file = test::readFile(dir + "/a.jpg");
    const auto segments = segmentsOf(file);
    EXPECT_EQ(text(findSegment(segments, 0xFE)->payload), "JPEG Encoder Class");
    const jpegtest::Decoded a = jpegtest::decodeJpeg(file), b = jpegtest::decodeJpeg(binary);
    ASSERT_TRUE(a.ok && b.ok);
    EXPECT_EQ(a.picture.bytes, b.picture.bytes) << "the same picture as the byte array";
}

TEST_F(JpegSaveFile, ReturnsOneForAnEmptyNameAndTwoForAnExistingFile) {
    jpegtest::TestCanvas canvas(8, 8);
    cJpeg jpeg;
    jpeg.SampleHDC(canvas.dc(), 8, 8, 0, 0);
    EXPECT_EQ(jpeg.SaveFile(""), 1);
    const std::string path = dir + "/taken.jpg";
    { std::ofstream(path) << "precious"; }
    EXPECT_EQ(jpeg.SaveFile(path), 2);
    EXPECT_EQ(test::firstWordOf(path), "precious");
    EXPECT_EQ(test::entriesIn(dir), 1);
}

TEST_F(JpegSaveFile, ReleasesThePlanesSoAnotherSaveNeedsSamplingAgain) {
    jpegtest::TestCanvas canvas(8, 8);
    cJpeg jpeg;
    jpeg.SampleHDC(canvas.dc(), 8, 8, 0, 0);
    EXPECT_EQ(jpeg.SaveFile(dir + "/once.jpg"), 0);
    expectJpegError([&] { jpeg.SaveBinary(); }, "No picture sampled");
    jpeg.SetSamplingFrequencies(2, 2, 1, 1, 1, 1);
    expectJpegError([&] { jpeg.SaveBinary(); }, "No picture sampled");
    jpeg.SampleHDC(canvas.dc(), 8, 8, 0, 0);
    EXPECT_EQ(jpeg.SaveFile(dir + "/twice.jpg"), 0);
}

TEST_F(JpegSaveFile, AFolderOfThatNameIsAnAccessError) {
    jpegtest::TestCanvas canvas(8, 8);
    cJpeg jpeg;
    jpeg.SampleHDC(canvas.dc(), 8, 8, 0, 0);
    fs::create_directory(dir + "/folder.jpg");
    try {
        jpeg.SaveFile(dir + "/folder.jpg");
        ADD_FAILURE() << "no error";
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.number(), 75);
    }
}

TEST(JpegBadInput, ANullContextSamplesBlack) {
    cJpeg jpeg;
    EXPECT_EQ(jpeg.SampleHDC(nullptr, 20, 10, 0, 0), 0);
    const jpegtest::Decoded d = jpegtest::decodeJpeg(bytesOf(jpeg.SaveBinary()));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.picture.width, 20);
    EXPECT_LE(d.picture.bytes[0], 2);
}

TEST(JpegBadInput, EmptyNegativeAndHugeSizesSampleNothing) {
    jpegtest::TestCanvas canvas(8, 8);
    for (auto [w, h] : {std::pair{0, 8}, std::pair{8, 0}, std::pair{-8, 8}, std::pair{8, INT_MIN},
                        std::pair{INT_MAX, INT_MAX}, std::pair{INT_MAX, 1}, std::pair{1, 70000}}) {
        cJpeg jpeg;
        EXPECT_EQ(jpeg.SampleHDC(canvas.dc(), w, h, 0, 0), 1) << w << "x" << h;
        // Said as it is, not as the table problem that an empty picture would lead to.
        expectJpegError([&] { jpeg.SaveBinary(); }, "No picture sampled");
    }
    cJpeg never;
    expectJpegError([&] { never.SaveBinary(); }, "No picture sampled");
}

TEST(JpegBadInput, SourceRectanglesOffTheContextStillEncode) {
    jpegtest::TestCanvas canvas(16, 16);
    canvas.fill(0, 0, 16, 16, gdi::RGB(255, 255, 255));
    for (auto [x, y] : {std::pair{-100, -100}, std::pair{8, 8}, std::pair{INT_MAX - 4, 0}, std::pair{INT_MIN, INT_MIN}}) {
        cJpeg jpeg;
        EXPECT_EQ(jpeg.SampleHDC(canvas.dc(), 24, 24, x, y), 0);
        const jpegtest::Decoded d = jpegtest::decodeJpeg(bytesOf(jpeg.SaveBinary()));
        EXPECT_TRUE(d.ok) << x << "," << y;
    }
}

TEST(JpegBadInput, FactorsChangedAfterSamplingGiveAPictureOfDummyBlocks) {
    // The new factors describe planes that were never drawn; every block is a dummy block.
    jpegtest::TestCanvas canvas(16, 16);
    cJpeg jpeg;
    jpeg.SampleHDC(canvas.dc(), 16, 16, 0, 0);
    jpeg.SetSamplingFrequencies(1, 1, 1, 1, 1, 1);
    const jpegtest::Decoded d = jpegtest::decodeJpeg(bytesOf(jpeg.SaveBinary()));
    EXPECT_TRUE(d.ok) << d.message;
}

}  // namespace
}  // namespace kelvane
