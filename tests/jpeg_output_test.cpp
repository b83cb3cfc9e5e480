// The JPEG paths of makeChart and SaveBinary: which names and types give JPEG, what happens to
// the canvas and to existing files, the chart's Quality, and the example charts' picture quality.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "bmp_file.h"
#include "error_raised.h"
#include "example_scripts.h"
#include "file_output_support.h"
#include "interpreter.h"
#include "jpeg_test_support.h"
#include "kelvane/cChart.h"
#include "output/jpeg/jpeg_encoder.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

class JpegOutput : public test::TempFolderTest {};

void makeCanvas(cChart& chart, int w, int h) {
    chart.Width(w);
    chart.Height(h);
    chart.BackgroundColor(0x30C0F0);
    chart.BorderWidth(2);
    chart.BorderColor(0x802000);
    chart.InitChart();
}

bool isJpeg(const std::vector<uint8_t>& s) {
    return s.size() > 4 && s[0] == 0xFF && s[1] == 0xD8 && s[2] == 0xFF && s[3] == 0xE0 &&
           s[s.size() - 2] == 0xFF && s[s.size() - 1] == 0xD9;
}

// The luminance table of a stream (the first DQT segment).
std::vector<uint8_t> luminanceTable(const std::vector<uint8_t>& stream) {
    std::vector<jpegtest::Segment> segments;
    EXPECT_TRUE(jpegtest::splitSegments(stream, segments));
    for (const auto& s : segments)
        if (s.marker == 0xDB) return s.payload;
    return {};
}

std::string ownComment(const std::vector<uint8_t>& stream) {
    std::vector<jpegtest::Segment> segments;
    EXPECT_TRUE(jpegtest::splitSegments(stream, segments));
    for (const auto& s : segments)
        if (s.marker == 0xFE) return {s.payload.begin(), s.payload.end()};
    return {};
}

TEST_F(JpegOutput, MakeChartWritesAJpegFileAndThenReleasesTheCanvas) {
    cChart chart;
    makeCanvas(chart, 50, 40);
    const jpegtest::Rgb before = jpegtest::readPixels(chart.canvasDC(), 50, 40);
    EXPECT_EQ(chart.makeChart(dir + "/chart.jpg"), 0);
    EXPECT_EQ(chart.canvasDC(), nullptr) << "Destroy ran";
    EXPECT_EQ(chart.ErrorInfo(), "");
    const std::vector<uint8_t> file = test::readFile(dir + "/chart.jpg");
    ASSERT_TRUE(isJpeg(file));
    EXPECT_EQ(ownComment(file), "JPEG Encoder Class");
    const jpegtest::Decoded d = jpegtest::decodeJpeg(file);
    ASSERT_TRUE(d.ok) << d.message;
    EXPECT_EQ(d.warnings, 0);
    const jpegtest::Decoded reference = jpegtest::decodeJpeg(jpegtest::encodeWithLibjpeg(before, 75));
    EXPECT_GE(jpegtest::psnr(before, d.picture), jpegtest::psnr(before, reference.picture) - 0.5);
    // A further output needs a new canvas.
    EXPECT_TRUE(chart.SaveBinary("bmp").isEmpty());
    chart.InitChart();
    EXPECT_TRUE(chart.SaveBinary("jpg").isBytes());
}

TEST_F(JpegOutput, NamesEndingInJpgOrJpegInAnyCaseGiveJpeg) {
    for (const char* name : {"a.JPEG", "b.Jpg", "cjpg", "d.jpeg"}) {
        cChart chart;
        makeCanvas(chart, 8, 8);
        chart.makeChart(dir + "/" + name);
        EXPECT_TRUE(isJpeg(test::readFile(dir + "/" + name))) << name;
    }
    cChart chart;
    makeCanvas(chart, 8, 8);
    chart.makeChart(dir + "/e.jpg.txt");
    EXPECT_FALSE(fs::exists(dir + "/e.jpg.txt"));
    EXPECT_NE(chart.canvasDC(), nullptr) << "an unsupported name leaves the canvas";
}

TEST_F(JpegOutput, SaveBinaryJpgReturnsTheStreamAndKeepsTheCanvas) {
    cChart chart;
    makeCanvas(chart, 30, 20);
    const Variant jpg = chart.SaveBinary("jpg");
    ASSERT_TRUE(jpg.isBytes());
    EXPECT_TRUE(isJpeg(jpg.bytes()));
    EXPECT_EQ(ownComment(jpg.bytes()).rfind("JPEG Encoder Class\r\n", 0), 0u);
    ASSERT_NE(chart.canvasDC(), nullptr);
    EXPECT_EQ(chart.SaveBinary("JPEG").bytes(), jpg.bytes()) << "the same canvas gives the same bytes";
    EXPECT_TRUE(chart.SaveBinary(" jpg").isEmpty());
    EXPECT_TRUE(chart.SaveBinary("jpg ").isEmpty());
    // Then a BMP of the same canvas.
    test::Picture bmp;
    ASSERT_TRUE(test::decodeBmp24(chart.SaveBinary("bmp").bytes(), bmp));
    EXPECT_EQ(bmp.width, 30);
}

TEST_F(JpegOutput, AnExistingReadOnlyFileIsReplacedWhole) {
    const std::string path = dir + "/chart.jpg";
    { std::ofstream(path) << "old contents"; }
    fs::permissions(path, fs::perms::owner_read);
    cChart chart;
    makeCanvas(chart, 20, 20);
    chart.makeChart(path);
    EXPECT_TRUE(isJpeg(test::readFile(path)));
    for (const auto& e : fs::directory_iterator(dir)) EXPECT_EQ(e.path().filename(), "chart.jpg");
}

TEST_F(JpegOutput, AFailedWriteRaisesAnErrorAndKeepsTheOldFile) {
    const std::string path = dir + "/keep.jpg";
    { std::ofstream(path) << "precious"; }
    cChart chart;
    makeCanvas(chart, 64, 64);
    int number = 0;
    test::underFileSizeLimit(100, [&] { number = test::errorRaisedBy([&] { chart.makeChart(path); }); });

    EXPECT_EQ(number, 75);
    EXPECT_EQ(test::firstWordOf(path), "precious");
    EXPECT_EQ(test::entriesIn(dir), 1) << "no temporary file is left behind";
}

TEST_F(JpegOutput, QualityNeverSetOrOutOfRangeEncodesAt75) {
    cJpeg reference;
    jpegtest::TestCanvas canvas(8, 8);
    reference.SampleHDC(canvas.dc(), 8, 8, 0, 0);
    const std::vector<uint8_t> at75 = luminanceTable(reference.SaveBinary().bytes());
    for (int quality : {0, 101, -1, 75}) {
        cChart chart;
        chart.Quality(quality);
        makeCanvas(chart, 8, 8);
        EXPECT_EQ(luminanceTable(chart.SaveBinary("jpg").bytes()), at75) << quality;
    }
    cChart best;
    best.Quality(100);
    makeCanvas(best, 8, 8);
    std::vector<uint8_t> ones(65, 1);
    ones[0] = 0;  // 8-bit entries, table 0
    EXPECT_EQ(luminanceTable(best.SaveBinary("jpeg").bytes()), ones);
}

TEST_F(JpegOutput, FileAndByteArrayShowTheSamePicture) {
    cChart chart;
    makeCanvas(chart, 70, 45);
    chart.DrawRect(0, 1, 0, 0x0000FF, 10, 10, 40, 30);
    const Variant bytes = chart.SaveBinary("jpg");
    chart.makeChart(dir + "/same.jpg");
    const jpegtest::Decoded a = jpegtest::decodeJpeg(bytes.bytes());
    const jpegtest::Decoded b = jpegtest::decodeJpeg(test::readFile(dir + "/same.jpg"));
    ASSERT_TRUE(a.ok && b.ok);
    EXPECT_EQ(a.picture.bytes, b.picture.bytes);
}

TEST_F(JpegOutput, WithoutACanvasNothingIsMadeAndTheErrorTextSaysSo) {
    const std::string noCanvas = "Unexpected error Saving JPEG: the chart has no canvas\r\n";
    struct Case {
        const char* what;
        std::function<void(cChart&)> before;
        int side;  // of the picture made; 0: none
    };
    const std::string first = dir + "/first.jpg";
    for (const Case& c : {Case{"no InitChart", [](cChart&) {}, 0},
                          Case{"after makeChart of a JPEG name", [&](cChart& chart) {
                                   makeCanvas(chart, 20, 10);
                                   chart.makeChart(first);
                               }, 0},
                          Case{"after SaveBinary bmp", [](cChart& chart) {
                                   makeCanvas(chart, 20, 10);
                                   chart.SaveBinary("bmp");
                               }, 0},
                          Case{"the template canvas", [](cChart& chart) { makeCanvas(chart, 0, 0); }, 21}}) {
        const std::string path = dir + "/kept.jpg";
        { std::ofstream(path) << "precious"; }
        cChart chart;
        c.before(chart);
        const Variant bytes = chart.SaveBinary("jpg");
        EXPECT_EQ(chart.makeChart(path), 0) << c.what;
        if (c.side == 0) {
            EXPECT_TRUE(bytes.isEmpty()) << c.what;
            EXPECT_EQ(test::firstWordOf(path), "precious") << c.what << ": the old file stays";
            EXPECT_EQ(chart.ErrorInfo(), noCanvas + noCanvas) << c.what;
            continue;
        }
        EXPECT_EQ(chart.ErrorInfo(), "") << c.what;
        for (const std::vector<uint8_t>& stream : {bytes.bytes(), test::readFile(path)}) {
            const jpegtest::Decoded d = jpegtest::decodeJpeg(stream);
            ASSERT_TRUE(d.ok) << c.what << ": " << d.message;
            EXPECT_EQ(d.picture.width, c.side) << c.what;
            EXPECT_EQ(d.picture.height, c.side) << c.what;
        }
    }
}

TEST_F(JpegOutput, CanvasesOfTheLargestSidesEncode) {
    // 32761 to 32767 pixels round up to 32768 blocks' worth, more than a surface may have.
    for (auto [w, h] : {std::pair{32767, 1}, std::pair{1, 32767}, std::pair{32761, 12}}) {
        cChart chart;
        makeCanvas(chart, w, h);
        chart.DrawRect(0, 1, 0x2020E0, 0x2020E0, w / 2, h / 2, w, h);  // red up to the last pixel
        const jpegtest::Rgb source = jpegtest::readPixels(chart.canvasDC(), w, h);
        const jpegtest::Decoded reference = jpegtest::decodeJpeg(jpegtest::encodeWithLibjpeg(source, 75));
        ASSERT_TRUE(reference.ok);
        const Variant bytes = chart.SaveBinary("jpg");
        chart.makeChart(dir + "/wide.jpg");
        EXPECT_EQ(chart.ErrorInfo(), "");
        for (const std::vector<uint8_t>& stream : {bytes.bytes(), test::readFile(dir + "/wide.jpg")}) {
            const jpegtest::Decoded d = jpegtest::decodeJpeg(stream);
            ASSERT_TRUE(d.ok) << w << "x" << h << ": " << d.message;
            EXPECT_EQ(d.warnings, 0);
            ASSERT_EQ(d.picture.width, w);
            ASSERT_EQ(d.picture.height, h);
            EXPECT_GE(jpegtest::psnr(source, d.picture), jpegtest::psnr(source, reference.picture) - 3.0)
                << w << "x" << h;
            const uint8_t* last = &d.picture.bytes[d.picture.bytes.size() - 3];
            EXPECT_NEAR(last[0], 0xE0, 24) << w << "x" << h;
            EXPECT_NEAR(last[1], 0x20, 24) << w << "x" << h;
        }
    }
}

TEST_F(JpegOutput, ASamplingBitmapThatCannotBeMadeIsReportedAsSuch) {
    // Width set after InitChart: the 40000 pixels asked for lie partly off the canvas, so they are
    // drawn into a bitmap of their own padded size, which is larger than any surface.
    cChart chart;
    makeCanvas(chart, 100, 20);
    chart.Width(40000);
    for (const auto& output : std::vector<std::function<void()>>{[&] { chart.SaveBinary("jpg"); },
                                                                 [&] { chart.makeChart(dir + "/none.jpg"); }}) {
        try {
            output();
            ADD_FAILURE() << "no error";
        } catch (const AutomationError& e) {
            EXPECT_EQ(e.number(), 1);
            EXPECT_EQ(e.description(), "Could not create the sampling bitmap");
        }
    }
    EXPECT_FALSE(fs::exists(dir + "/none.jpg"));
}

TEST_F(JpegOutput, ExampleChartsDecodeAsWellAsWithLibjpegTurbo) {
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(test::kExamples)) {
        if (entry.path().extension() != ".kvs") continue;
        cChart chart;
        if (!test::runExample(entry.path(), dir, chart)) continue;
        const int w = chart.settings().Width, h = chart.settings().Height;
        if (w <= 0 || h <= 0) continue;
        const jpegtest::Rgb source = jpegtest::readPixels(chart.canvasDC(), w, h);
        for (int quality : {75, 100}) {
            cJpeg jpeg;
            jpeg.Quality(quality);
            jpeg.SampleHDC(chart.canvasDC(), w, h, 0, 0);
            const jpegtest::Decoded ours = jpegtest::decodeJpeg(jpeg.SaveBinary().bytes());
            const jpegtest::Decoded theirs = jpegtest::decodeJpeg(jpegtest::encodeWithLibjpeg(source, quality));
            ASSERT_TRUE(ours.ok && theirs.ok) << entry.path();
            EXPECT_EQ(ours.warnings, 0);
            const double a = jpegtest::psnr(source, ours.picture), b = jpegtest::psnr(source, theirs.picture);
            EXPECT_GE(a, b - 0.5) << entry.path().filename() << " quality " << quality << ": ours " << a
                                  << " dB, libjpeg-turbo " << b << " dB";
        }
        ++checked;
    }
    EXPECT_GE(checked, 5) << "the example charts were found and drawn";
}

}  // namespace
}  // namespace kelvane
