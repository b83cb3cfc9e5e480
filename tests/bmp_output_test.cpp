// BMP output: the byte layouts of the in-memory image and the file, the format choice of
// makeChart, and output that never destroys an existing file when writing fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "bmp_file.h"
#include "file_output_support.h"
#include "kelvane/cChart.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

uint32_t u32(const std::vector<uint8_t>& d, size_t o) {
    return uint32_t(d[o]) | uint32_t(d[o + 1]) << 8 | uint32_t(d[o + 2]) << 16 | uint32_t(d[o + 3]) << 24;
}

class BmpOutput : public test::TempFolderTest {};

void makeCanvas(cChart& chart, int w, int h) {
    chart.Width(w);
    chart.Height(h);
    chart.InitChart();
}

TEST_F(BmpOutput, OnePixelImageIs62BytesAndFileIs58) {
    cChart chart;
    makeCanvas(chart, 1, 1);
    ASSERT_EQ(chart.makeChart(dir + "/one.bmp"), 0);
    const std::vector<uint8_t> file = test::readFile(dir + "/one.bmp");
    const Variant image = chart.SaveBinary("bmp");
    ASSERT_TRUE(image.isBytes());
    const std::vector<uint8_t>& mem = image.bytes();
    ASSERT_EQ(mem.size(), 62u);
    ASSERT_EQ(file.size(), 58u);
    // The in-memory form: pixels at 58, image size 0, four zero bytes after the header.
    EXPECT_EQ(u32(mem, 2), 62u);
    EXPECT_EQ(u32(mem, 10), 58u);
    EXPECT_EQ(u32(mem, 34), 0u);
    EXPECT_EQ(u32(mem, 54), 0u);
    // The file form: pixels at 54, image size filled in.
    EXPECT_EQ(u32(file, 2), 58u);
    EXPECT_EQ(u32(file, 10), 54u);
    EXPECT_EQ(u32(file, 34), 4u);
    for (const auto* d : {&mem, &file}) {
        EXPECT_EQ((*d)[0], 'B');
        EXPECT_EQ((*d)[1], 'M');
        EXPECT_EQ(u32(*d, 6), 0u);
        EXPECT_EQ(u32(*d, 14), 40u);
        EXPECT_EQ(u32(*d, 18), 1u);
        EXPECT_EQ(u32(*d, 22), 1u);
        EXPECT_EQ((*d)[26] | (*d)[27] << 8, 1);
        EXPECT_EQ((*d)[28] | (*d)[29] << 8, 24);
        EXPECT_EQ(u32(*d, 30), 0u);
        EXPECT_EQ(u32(*d, 38) | u32(*d, 42) | u32(*d, 46) | u32(*d, 50), 0u);
    }
    // A 1x1 frame draws nothing (its outline has no length): one white pixel and one pad byte.
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 54, file.end()),
              (std::vector<uint8_t>{255, 255, 255, 0}));
}

TEST_F(BmpOutput, RowsArePaddedToFourBytesAndStartAtTheBottom) {
    for (auto [width, stride] : {std::pair{4, 12}, std::pair{5, 16}}) {
        cChart chart;
        chart.BorderWidth(1);
        chart.BorderColor(0x0000FF);  // red frame
        makeCanvas(chart, width, 3);
        const std::string path = dir + "/w" + std::to_string(width) + ".bmp";
        chart.makeChart(path);
        const std::vector<uint8_t> file = test::readFile(path);
        ASSERT_EQ(file.size(), size_t(54 + stride * 3));
        EXPECT_EQ(u32(file, 34), uint32_t(stride * 3));
        // Bottom-left pixel first, blue-green-red order.
        EXPECT_EQ(file[54], 0);
        EXPECT_EQ(file[55], 0);
        EXPECT_EQ(file[56], 255);
        if (stride > width * 3) {
            EXPECT_EQ(file[54 + width * 3], 0) << "pad byte";
        }
        const std::vector<uint8_t> mem = chart.SaveBinary("bmp").bytes();
        ASSERT_EQ(mem.size(), size_t(58 + stride * 3));
        EXPECT_TRUE(std::equal(file.begin() + 54, file.end(), mem.begin() + 58));
    }
}

TEST_F(BmpOutput, FileAndImageShowTheSamePicture) {
    cChart chart;
    chart.BorderWidth(4);
    chart.BorderColor(0x3366CC);
    chart.BackgroundColor(0x20A040);
    makeCanvas(chart, 37, 23);
    chart.makeChart(dir + "/pic.bmp");
    test::Picture fromFile, fromImage;
    ASSERT_TRUE(test::loadBmp24(dir + "/pic.bmp", fromFile));
    ASSERT_TRUE(test::decodeBmp24(chart.SaveBinary("bmp").bytes(), fromImage));
    EXPECT_EQ(test::comparePictures(fromFile, fromImage), "");
    EXPECT_EQ(fromFile.at(18, 11), 0x40A020u);
    EXPECT_EQ(fromFile.at(0, 0), 0xCC6633u);
}

TEST_F(BmpOutput, FormatIsChosenByTheEndOfTheNameWithoutRegardToCase) {
    cChart chart;
    makeCanvas(chart, 8, 8);
    chart.makeChart(dir + "/upper.BMP");
    chart.makeChart(dir + "/nodotbmp");
    chart.makeChart(dir + "/other.bmp.txt");
    EXPECT_TRUE(fs::exists(dir + "/upper.BMP"));
    EXPECT_TRUE(fs::exists(dir + "/nodotbmp"));
    EXPECT_FALSE(fs::exists(dir + "/other.bmp.txt"));
    EXPECT_EQ(chart.ErrorInfo(), "");
    EXPECT_TRUE(chart.SaveBinary("tif").isEmpty());
    EXPECT_TRUE(chart.SaveBinary(" bmp").isEmpty());
    EXPECT_TRUE(chart.SaveBinary("BMP").isBytes());
    // SaveBinary("bmp") took the canvas with it.
    EXPECT_TRUE(chart.SaveBinary("bmp").isEmpty());
    EXPECT_EQ(chart.canvasDC(), nullptr);
}

TEST_F(BmpOutput, SavingOverAnExistingFileReplacesIt) {
    const std::string path = dir + "/chart.bmp";
    { std::ofstream(path) << "old contents"; }
    fs::permissions(path, fs::perms::owner_read);  // read-only files are replaced too
    cChart chart;
    makeCanvas(chart, 6, 6);
    chart.makeChart(path);
    EXPECT_EQ(fs::file_size(path), 54u + 20u * 6u);
    EXPECT_EQ(chart.ErrorInfo(), "");
    for (const auto& e : fs::directory_iterator(dir)) EXPECT_EQ(e.path().filename(), "chart.bmp");
}

TEST_F(BmpOutput, MissingFolderIsReportedAndWritesNothing) {
    cChart chart;
    makeCanvas(chart, 6, 6);
    EXPECT_EQ(chart.makeChart(dir + "/no/such/folder/x.bmp"), 0);
    EXPECT_EQ(chart.ErrorInfo(), "Unexpected error Saving BMP file\r\n");
}

TEST_F(BmpOutput, FailedWriteReportsAnErrorAndKeepsTheOldFile) {
    const std::string path = dir + "/keep.bmp";
    { std::ofstream(path) << "precious"; }
    cChart chart;
    makeCanvas(chart, 200, 200);
    // Limit the size of files this process may write, so that the write itself fails.
    test::underFileSizeLimit(1000, [&] { chart.makeChart(path); });

    EXPECT_EQ(chart.ErrorInfo(), "Unexpected error Saving BMP file\r\n");
    EXPECT_EQ(test::firstWordOf(path), "precious");
    EXPECT_EQ(test::entriesIn(dir), 1) << "no temporary file is left behind";
}

TEST_F(BmpOutput, OutputFinishesWithABlackAxisLineFromTheFrame) {
    // Without DrawBarChart the line runs at y = -35, above the canvas: nothing shows.
    cChart chart;
    chart.BackgroundColor(0x00FF00);
    makeCanvas(chart, 50, 50);
    test::Picture p;
    ASSERT_TRUE(test::decodeBmp24(chart.SaveBinary("bmp").bytes(), p));
    int black = 0;
    for (int y = 1; y < 49; ++y)
        for (int x = 1; x < 49; ++x) black += p.at(x, y) == 0;
    EXPECT_EQ(black, 0);
}

}  // namespace
}  // namespace kelvane

namespace kelvane {
namespace {

TEST(TemplateCanvasOutput, JpegAndExportCopyTheTemplateSizedCanvas) {
    cChart chart;
    chart.InitChart();  // Width and Height 0: the 21 x 21 template
    const Variant jpeg = chart.SaveBinary("jpg");
    ASSERT_TRUE(jpeg.isBytes());
    EXPECT_EQ(jpeg.bytes()[0], 0xFF);
    EXPECT_EQ(jpeg.bytes()[1], 0xD8);
    EXPECT_EQ(chart.ErrorInfo(), "");
}

}  // namespace
}  // namespace kelvane
