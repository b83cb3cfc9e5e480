// The PNG paths of makeChart and SaveBinary, read back by libpng: every example chart and a
// photo-like canvas come back pixel for pixel, the colour count picks the bit depth, nothing but
// the chunks a browser needs, names and types, the canvas afterwards and the error texts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "example_scripts.h"
#include "file_output_support.h"
#include "kelvane/cChart.h"
#include "png_test_support.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

class PngOutput : public test::TempFolderTest {};

// The whole canvas bitmap (a side set to 0 takes the template's size).
jpegtest::Rgb canvasPixels(cChart& chart) {
    gdi::BITMAP bm{};
    gdi::GetObjectA(gdi::GetCurrentObject(chart.canvasDC(), gdi::OBJ_BITMAP), sizeof bm, &bm);
    return jpegtest::readPixels(chart.canvasDC(), bm.bmWidth, bm.bmHeight);
}

// A width x height canvas whose pixel (x, y) takes colour(x, y), 0x00RRGGBB.
void paintCanvas(cChart& chart, int width, int height, const std::function<uint32_t(int, int)>& colour) {
    chart.Width(width);
    chart.Height(height);
    ASSERT_EQ(chart.InitChart(), 0);
    gdi::BITMAP bm{};
    gdi::GetObjectA(gdi::GetCurrentObject(chart.canvasDC(), gdi::OBJ_BITMAP), sizeof bm, &bm);
    for (int y = 0; y < height; ++y) {
        uint8_t* p = static_cast<uint8_t*>(bm.bmBits) + size_t(height - 1 - y) * size_t(bm.bmWidthBytes);
        for (int x = 0; x < width; ++x, p += 3) {
            const uint32_t c = colour(x, y);
            p[0] = uint8_t(c), p[1] = uint8_t(c >> 8), p[2] = uint8_t(c >> 16);
        }
    }
}

// Every example chart (its GIF outputs left out), as byte array and as file: libpng decodes the
// canvas exactly, and the canvas is still there for more output.
TEST_F(PngOutput, ExampleChartsDecodeToTheirCanvasPixels) {
    const fs::path previous = fs::current_path();
    fs::current_path(test::kExamples.parent_path());  // the scripts name their pictures from there
    int checked = 0, pies = 0;
    for (const auto& entry : fs::directory_iterator(test::kExamples)) {
        if (entry.path().extension() != ".kvs") continue;
        SCOPED_TRACE(entry.path().filename().string());
        cChart chart;
        if (!test::runExample(entry.path(), dir, chart)) continue;
        pies += entry.path().filename().string().starts_with("pie");
        for (bool file : {false, true}) {
            std::vector<uint8_t> stream;
            if (file) {
                chart.makeChart(dir + "/example.png");
                stream = test::readFile(dir + "/example.png");
            } else {
                stream = chart.SaveBinary("png").bytes();
            }
            // The output drew the finishing step; the canvas now holds what was encoded.
            ASSERT_NE(chart.canvasDC(), nullptr) << "the canvas stays";
            const pngtest::Decoded d = pngtest::decodePng(stream);
            ASSERT_TRUE(d.ok) << d.message;
            EXPECT_EQ(pngtest::mismatch(canvasPixels(chart), d.picture), "") << (file ? "file" : "byte array");
            ++checked;
        }
    }
    fs::current_path(previous);
    EXPECT_GE(checked, 2 * 25);
    EXPECT_GE(pies, 7);
}

// A photograph-like canvas has far more than 256 colours: a 24-bit PNG, every pixel exact.
TEST_F(PngOutput, PhotoLikeCanvasIsWritten24BitExactly) {
    cChart chart;
    std::mt19937 random(11);
    paintCanvas(chart, 123, 77, [&](int x, int y) {
        return uint32_t((x * 2 + int(random() % 9)) & 0xFF) << 16 | uint32_t((y * 3 + int(random() % 9)) & 0xFF) << 8 |
               uint32_t((x + y + int(random() % 9)) & 0xFF);
    });
    const std::vector<uint8_t> stream = chart.SaveBinary("png").bytes();
    EXPECT_EQ(pngtest::colourTypeOf(stream), 2);
    EXPECT_EQ(pngtest::bitDepthOf(stream), 8);
    const pngtest::Decoded d = pngtest::decodePng(stream);
    ASSERT_TRUE(d.ok) << d.message;
    EXPECT_EQ(pngtest::mismatch(canvasPixels(chart), d.picture), "");
}

// The palette holds each colour once; its size picks 1, 2, 4 or 8 bits a pixel, and a 257th
// colour makes the picture 24-bit. Odd widths leave part of each row's last byte unused.
TEST_F(PngOutput, ColourCountPicksPaletteAndBitDepth) {
    struct Case {
        const char* name;
        int width, height, colours, bitDepth, colourType;
    };
    const Case cases[] = {
        {"1 x 1", 1, 1, 1, 1, 3},          {"one colour", 37, 20, 1, 1, 3},
        {"two colours", 37, 20, 2, 1, 3},  {"three colours", 37, 20, 3, 2, 3},
        {"four colours", 37, 20, 4, 2, 3}, {"five colours", 37, 20, 5, 4, 3},
        {"16 colours", 37, 20, 16, 4, 3},  {"17 colours", 37, 20, 17, 8, 3},
        {"32767 x 1, 256 colours", 32767, 1, 256, 8, 3},
        {"32767 x 1, 257 colours", 32767, 1, 257, 8, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cChart chart;
        paintCanvas(chart, c.width, c.height, [&](int x, int y) {
            const uint32_t k = uint32_t((x + 3 * y) % c.colours);
            return (k & 0xFF) << 16 | (k >> 8) << 8 | ((k * 7) & 0xFF);
        });
        const std::vector<uint8_t> stream = chart.SaveBinary("png").bytes();
        EXPECT_EQ(pngtest::bitDepthOf(stream), c.bitDepth);
        EXPECT_EQ(pngtest::colourTypeOf(stream), c.colourType);
        const std::vector<pngtest::Chunk> chunks = pngtest::chunksOf(stream);
        if (c.colourType == 3) {
            ASSERT_GE(chunks.size(), 2u);
            EXPECT_EQ(chunks[1].type, "PLTE");
            EXPECT_EQ(chunks[1].length, uint32_t(3 * c.colours));
        }
        const pngtest::Decoded d = pngtest::decodePng(stream);
        ASSERT_TRUE(d.ok) << d.message;
        EXPECT_EQ(pngtest::mismatch(canvasPixels(chart), d.picture), "");
    }
}

// Header, palette where there is one, the data and the end: no ancillary chunk.
TEST_F(PngOutput, StreamHoldsOnlyTheChunksABrowserNeeds) {
    for (int colours : {3, 300}) {
        cChart chart;
        paintCanvas(chart, 40, 30, [&](int x, int y) { return uint32_t((x * 40 + y) % colours) * 0x010101u; });
        std::string types;
        for (const pngtest::Chunk& chunk : pngtest::chunksOf(chart.SaveBinary("png").bytes()))
            if (types.empty() || !types.ends_with(chunk.type + " ")) types += chunk.type + " ";
        EXPECT_EQ(types, colours <= 256 ? "IHDR PLTE IDAT IEND " : "IHDR IDAT IEND ");
    }
}

TEST_F(PngOutput, FormatIsChosenByTheEndOfTheNameOrTheWholeTypeWithoutRegardToCase) {
    cChart chart;
    paintCanvas(chart, 8, 8, [](int, int) { return 0x336699u; });
    for (const char* name : {"upper.PNG", "nodotpng", "Mixed.Png"}) {
        chart.makeChart(dir + "/" + name);
        EXPECT_TRUE(pngtest::decodePng(test::readFile(dir + "/" + name)).ok) << name;
    }
    chart.makeChart(dir + "/other.png.txt");
    EXPECT_FALSE(fs::exists(dir + "/other.png.txt"));
    EXPECT_TRUE(chart.SaveBinary("PNG").isBytes());
    EXPECT_TRUE(chart.SaveBinary("png ").isEmpty());
    EXPECT_EQ(chart.ErrorInfo(), "");
    EXPECT_NE(chart.canvasDC(), nullptr) << "both keep the canvas";
}

// Nothing to encode, or nowhere to write it: a line in the error text, no file, no bytes.
TEST_F(PngOutput, FailuresAreReportedAndWriteNothing) {
    cChart none;
    none.makeChart(dir + "/none.png");
    EXPECT_TRUE(none.SaveBinary("png").isEmpty());
    EXPECT_EQ(none.ErrorInfo(), "Unexpected error Saving PNG file: the chart has no canvas\r\n"
                                "Unexpected error Saving PNG: the chart has no canvas\r\n");
    EXPECT_FALSE(fs::exists(dir + "/none.png"));

    cChart chart;
    paintCanvas(chart, 8, 8, [](int x, int) { return x < 4 ? 0u : 0xFFFFFFu; });
    chart.makeChart(dir + "/missing/chart.png");
    EXPECT_EQ(chart.ErrorInfo(), "Unexpected error Saving PNG file: No such file or directory\r\n");
}

// A write that fails part way keeps the old file and says so.
TEST_F(PngOutput, AFailedWriteKeepsTheOldFile) {
    const std::string path = dir + "/chart.png";
    { std::ofstream(path) << "old"; }
    cChart chart;
    std::mt19937 random(5);
    paintCanvas(chart, 200, 200, [&](int, int) { return uint32_t(random()) & 0xFFFFFF; });
    test::underFileSizeLimit(1000, [&] { chart.makeChart(path); });
    EXPECT_EQ(test::readFile(path), std::vector<uint8_t>({'o', 'l', 'd'}));
    EXPECT_TRUE(chart.ErrorInfo().starts_with("Unexpected error Saving PNG file: ")) << chart.ErrorInfo();
}

}  // namespace
}  // namespace kelvane
