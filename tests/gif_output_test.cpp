// The GIF paths of makeChart and SaveBinary: names and types, the canvas afterwards, error
// texts, files replaced whole, awkward canvases, the per-thread modes, and the example charts'
// GIFs read by giflib pixel for pixel against the reduction rules.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "error_raised.h"
#include "example_scripts.h"
#include "file_output_support.h"
#include "gif_test_support.h"
#include "jpeg_test_support.h"
#include "kelvane/cChart.h"
#include "output/palette/dither8bpp.h"
#include "picture_helpers.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;
using namespace mDither8bpp;

// Each test starts with the modes of a new thread and leaves them so.
class GifOutput : public test::TempFolderTest {
protected:
    void SetUp() override {
        test::TempFolderTest::SetUp();
        resetModes();
    }
    void TearDown() override {
        resetModes();
        test::TempFolderTest::TearDown();
    }
    static void resetModes() {
        SetPaletteMode(kPaletteCube);
        SetDitherMode(kDitherNone);
    }
};

void makeCanvas(cChart& chart, int w, int h, Colour background = 0x30C0F0) {
    chart.Width(w);
    chart.Height(h);
    chart.BackgroundColor(background);
    chart.BorderWidth(1);
    chart.BorderColor(background);  // a canvas of one colour, frame included
    chart.InitChart();
}

int level(double v, double step, int top) { return std::clamp(int(std::nearbyint(v / step)), 0, top); }

// The ordered-dither matrix, row by row.
constexpr int kMatrix[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// The decoded GIF shows the canvas as the colour cube maps it: each channel at its nearest
// step of 51, after the dither's threshold when that is on.
std::string cubeMismatch(const jpegtest::Rgb& canvas, const giftest::Decoded& gif, bool ordered) {
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const int t = ordered ? int(std::nearbyint((kMatrix[y % 4][x % 4] + 1) * 51 / 16.0)) : 26;
            const auto decoded = gif.rgb(x, y);
            for (int k = 0; k < 3; ++k) {
                const int v = canvas.bytes[(size_t(y) * size_t(canvas.width) + size_t(x)) * 3 + size_t(k)];
                if (decoded[size_t(k)] != 51 * level(v + 26 - t, 51, 5))
                    return "at " + std::to_string(x) + "," + std::to_string(y);
            }
        }
    return "";
}

// The decoded GIF shows, at every pixel, a palette colour nearest to the pixel's channels on
// sixteen steps of 17 (shifted by the dither): the optimal palette's colour lookup. The colours
// the picture uses stand for the palette, since the chosen entry is always among them.
std::string lookupMismatch(const jpegtest::Rgb& canvas, const giftest::Decoded& gif, bool ordered) {
    std::set<std::array<uint8_t, 3>> used;
    for (uint8_t i : gif.indices) used.insert(gif.colours[i]);
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const int shift = ordered ? 8 - (kMatrix[y % 4][x % 4] + 1) : 0;
            int target[3];
            for (int k = 0; k < 3; ++k)
                target[k] = 17 * level(canvas.bytes[(size_t(y) * size_t(canvas.width) + size_t(x)) * 3 + size_t(k)] + shift, 17, 15);
            auto distance = [&](const std::array<uint8_t, 3>& c) {
                int d = 0;
                for (int k = 0; k < 3; ++k) d += (c[size_t(k)] - target[k]) * (c[size_t(k)] - target[k]);
                return d;
            };
            int best = 1 << 30;
            for (const auto& c : used) best = std::min(best, distance(c));
            if (distance(gif.rgb(x, y)) != best) return "at " + std::to_string(x) + "," + std::to_string(y);
        }
    return "";
}

TEST_F(GifOutput, MakeChartWritesAGifFileAndDeletesTheCanvas) {
    cChart chart;
    makeCanvas(chart, 50, 40);
    chart.DrawRect(0, 1, 0, 0x0000FF, 10, 10, 30, 25);
    const jpegtest::Rgb canvas = jpegtest::readPixels(chart.canvasDC(), 50, 40);
    EXPECT_EQ(chart.makeChart(dir + "/chart.gif"), 0);
    EXPECT_EQ(chart.canvasDC(), nullptr);
    EXPECT_EQ(chart.ErrorInfo(), "");
    const std::vector<uint8_t> file = test::readFile(dir + "/chart.gif");
    ASSERT_GE(file.size(), 8u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 6), "GIF87a");
    EXPECT_EQ(file[file.size() - 2], 0x00);
    EXPECT_EQ(file.back(), 0x3B);
    const giftest::Decoded d = giftest::decodeGif(file);
    ASSERT_TRUE(d.ok) << d.message;
    EXPECT_EQ(d.colours.size(), 256u) << "the whole cube, padded to 256";
    EXPECT_EQ(cubeMismatch(canvas, d, false), "");
    // A further output needs a new canvas.
    chart.InitChart();
    EXPECT_TRUE(chart.SaveBinary("GIF").isBytes());
}

TEST_F(GifOutput, NamesEndingInGifInAnyCaseGiveGif) {
    for (const char* name : {"a.GIF", "b.Gif", "cgif"}) {
        cChart chart;
        makeCanvas(chart, 8, 8);
        chart.makeChart(dir + "/" + name);
        EXPECT_TRUE(giftest::decodeGif(test::readFile(dir + "/" + name)).ok) << name;
    }
    cChart chart;
    makeCanvas(chart, 8, 8);
    chart.makeChart(dir + "/e.gif.txt");
    EXPECT_FALSE(fs::exists(dir + "/e.gif.txt"));
    EXPECT_NE(chart.canvasDC(), nullptr);
    EXPECT_TRUE(chart.SaveBinary("gif ").isEmpty());
    EXPECT_TRUE(chart.SaveBinary(" gif").isEmpty());
    EXPECT_NE(chart.canvasDC(), nullptr);
}

TEST_F(GifOutput, SaveBinaryCutsThePaletteToTheColoursUsed) {
    cChart chart;
    makeCanvas(chart, 64, 48, 0xFFFFFF);
    chart.DrawRect(0, 1, 0, 0x0000FF, 5, 5, 40, 30);
    const jpegtest::Rgb canvas = jpegtest::readPixels(chart.canvasDC(), 64, 48);
    const Variant bytes = chart.SaveBinary("gif");
    ASSERT_TRUE(bytes.isBytes());
    EXPECT_EQ(chart.canvasDC(), nullptr);
    const giftest::Decoded d = giftest::decodeGif(bytes.bytes());
    ASSERT_TRUE(d.ok) << d.message;
    EXPECT_EQ(d.colours.size(), 4u) << "white, red and black, padded to 4";
    EXPECT_EQ(cubeMismatch(canvas, d, false), "");
    EXPECT_TRUE(chart.SaveBinary("gif").isEmpty()) << "no canvas";
}

TEST_F(GifOutput, WithoutACanvasTheErrorTextSaysSo) {
    cChart chart;
    makeCanvas(chart, 10, 10);
    chart.SaveBinary("bmp");  // hands the canvas over
    EXPECT_TRUE(chart.SaveBinary("gif").isEmpty());
    EXPECT_EQ(chart.ErrorInfo(), "Unexpected error Createing Gif DIB\r\n");
    EXPECT_EQ(chart.makeChart(dir + "/none.gif"), 0);
    EXPECT_EQ(chart.ErrorInfo(),
              "Unexpected error Createing Gif DIB\r\nUnexpected error Createing Gif DIB\r\n"
              "0Unexpected error savig GIF image\r\n");
    EXPECT_FALSE(fs::exists(dir + "/none.gif"));
}

TEST_F(GifOutput, AFileIsReplacedOnlyByACompleteOne) {
    const std::string path = dir + "/keep.gif";
    { std::ofstream(path) << "precious"; }
    cChart chart;
    makeCanvas(chart, 300, 200);
    for (int i = 0; i < 40; ++i) chart.DrawLine(0, "1", Colour(0x050301 * i), float(i * 7), 0, float(300 - i * 5), 200);
    test::underFileSizeLimit(100, [&] { chart.makeChart(path); });
    EXPECT_EQ(chart.ErrorInfo(), "57Device I/O errorUnexpected error savig GIF image\r\n");
    EXPECT_EQ(test::firstWordOf(path), "precious");
    EXPECT_EQ(test::entriesIn(dir), 1);

    cChart second;
    makeCanvas(second, 30, 20);
    fs::permissions(path, fs::perms::owner_read);
    second.makeChart(path);
    EXPECT_TRUE(giftest::decodeGif(test::readFile(path)).ok) << "a read-only file is replaced too";
    EXPECT_EQ(second.ErrorInfo(), "");

    cChart third;
    makeCanvas(third, 30, 20);
    EXPECT_EQ(test::errorRaisedBy([&] { third.makeChart(dir + "/no/such/folder.gif"); }), 75);
}

// Canvases at the edges of what a chart can be, through both paths: each gives a GIF that
// giflib reads at the canvas size.
TEST_F(GifOutput, AwkwardCanvasesStillMakeGifs) {
    test::TempFolder pictures;
    std::vector<gdi::COLORREF> many;
    for (int i = 0; i < 300; ++i) many.push_back(gdi::COLORREF((i * 37) % 256 | ((i * 91) % 256) << 8 | ((i * 53) % 256) << 16));
    const std::string manyColours = pictures.write("many.bmp", test::bmpFile(20, 15, many));
    // A picture of the canvas colour: the chart takes the optimal palette and stays one colour.
    const std::string grey = pictures.write("grey.bmp", test::bmpFile(4, 4, std::vector<gdi::COLORREF>(16, 0x808080)));
    struct Case {
        const char* what;
        int width, height;
        Colour background;
        const std::string picture;  // placed with DrawImage: the optimal palette
        size_t colourTable;         // of the byte array
    };
    const Case cases[] = {
        {"1 x 1", 1, 1, 0x30C0F0, "", 2},
        {"32767 x 1", 32767, 1, 0x30C0F0, "", 2},
        {"one colour", 120, 80, 0x123456, "", 2},
        {"one colour with a picture's palette", 120, 80, 0x808080, grey, 2},
        {"a picture of 300 colours", 60, 40, 0xFFFFFF, manyColours, 0},
    };
    for (const Case& c : cases) {
        for (bool file : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (file ? ", file" : ", byte array"));
            cChart chart;
            makeCanvas(chart, c.width, c.height, c.background);
            if (!c.picture.empty()) {
                EXPECT_EQ(chart.DrawImage(c.picture, 10, 10, 0x01020304, 100), 1);
            }
            std::vector<uint8_t> stream;
            if (file) {
                chart.makeChart(dir + "/x.gif");
                stream = test::readFile(dir + "/x.gif");
            } else {
                const Variant v = chart.SaveBinary("gif");
                if (v.isBytes()) stream = v.bytes();
            }
            EXPECT_EQ(chart.ErrorInfo(), "");
            const giftest::Decoded d = giftest::decodeGif(stream);
            ASSERT_TRUE(d.ok) << d.message;
            EXPECT_EQ(d.width, c.width);
            EXPECT_EQ(d.height, c.height);
            if (!file && c.colourTable) {
                EXPECT_EQ(d.colours.size(), c.colourTable);
            }
            if (c.picture != manyColours) {
                for (int x = 0; x < c.width; ++x)
                    ASSERT_EQ(d.rgb(x, c.height - 1), d.rgb(0, 0)) << x << " of a one-colour canvas";
            }
            resetModes();
        }
    }
}

TEST_F(GifOutput, APictureLeavesTheOrderedDitherOnForTheThread) {
    const std::string logo = (test::kExamples / "pictures" / "logo.bmp").string();
    auto greyGif = [&](bool withPicture) {
        cChart chart;
        makeCanvas(chart, 40, 40, 0x808080);
        if (withPicture) chart.DrawImage(logo, 0, 0);
        const Variant v = chart.SaveBinary("gif");
        return giftest::decodeGif(v.isBytes() ? v.bytes() : std::vector<uint8_t>{});
    };
    auto distinctColours = [](const giftest::Decoded& d) {
        std::set<std::array<uint8_t, 3>> s;
        for (uint8_t i : d.indices) s.insert(d.colours[i]);
        return s.size();
    };
    EXPECT_EQ(distinctColours(greyGif(false)), 1u) << "a new thread does not dither";
    greyGif(true);
    EXPECT_EQ(PaletteMode(), kPaletteOptimal);
    EXPECT_EQ(DitherMode(), kDitherOrdered);

    const giftest::Decoded after = greyGif(false);
    EXPECT_EQ(PaletteMode(), kPaletteCube);
    EXPECT_EQ(DitherMode(), kDitherOrdered);
    EXPECT_EQ(distinctColours(after), 2u) << "grey 128 dithered between cube levels 2 and 3";
    jpegtest::Rgb grey{40, 40, std::vector<uint8_t>(40 * 40 * 3, 128)};
    EXPECT_EQ(cubeMismatch(grey, after, true), "");

    size_t elsewhere = 0;
    std::thread([&] { elsewhere = distinctColours(greyGif(false)); }).join();
    EXPECT_EQ(elsewhere, 1u) << "another thread starts without the dither";
}

// Every example chart as both GIFs: giflib reads them, and each pixel is the canvas pixel
// mapped by the rule of the modes the output used.
TEST_F(GifOutput, ExampleChartsDecodeToTheReductionOfTheirCanvas) {
    const fs::path previous = fs::current_path();
    fs::current_path(test::kExamples.parent_path());  // the scripts name their pictures from there
    int checked = 0, dithered = 0, optimal = 0;
    for (const auto& entry : fs::directory_iterator(test::kExamples)) {
        if (entry.path().extension() != ".kvs") continue;
        for (bool file : {false, true}) {
            SCOPED_TRACE(entry.path().filename().string() + (file ? ", file" : ", byte array"));
            cChart chart;
            if (!test::runExample(entry.path(), dir, chart)) break;
            const int w = chart.settings().Width, h = chart.settings().Height;
            if (w <= 0 || h <= 0) break;
            chart.ExportToDC(nullptr);  // the finishing step, drawn before the pixels are read
            const jpegtest::Rgb canvas = jpegtest::readPixels(chart.canvasDC(), w, h);
            std::vector<uint8_t> stream;
            if (file) {
                chart.makeChart(dir + "/example.gif");
                stream = test::readFile(dir + "/example.gif");
            } else {
                stream = chart.SaveBinary("gif").bytes();
            }
            const giftest::Decoded d = giftest::decodeGif(stream);
            ASSERT_TRUE(d.ok) << d.message;
            ASSERT_EQ(d.width, w);
            ASSERT_EQ(d.height, h);
            const bool ordered = DitherMode() == kDitherOrdered;
            if (PaletteMode() == kPaletteCube) {
                EXPECT_EQ(cubeMismatch(canvas, d, ordered), "");
            } else {
                EXPECT_EQ(lookupMismatch(canvas, d, ordered), "");
                ++optimal;
            }
            dithered += ordered;
            ++checked;
        }
        resetModes();
    }
    fs::current_path(previous);
    EXPECT_GE(checked, 20);
    EXPECT_GE(optimal, 2) << "the example with a picture";
    EXPECT_GE(dithered, 2);
}

}  // namespace
}  // namespace kelvane
