// What the chart keeps beside ErrorInfo's fixed texts when an output makes nothing: the file
// makeChart could not write with the system's reason, and the call that ended the canvas.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "file_output_support.h"
#include "format_report.h"
#include "kelvane/cChart.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

using test::FormatReport;
using test::kFormats;
using test::makeChartOfNewCanvas;

class OutputNotes : public test::TempFolderTest {};

TEST_F(OutputNotes, AFileThatCannotBeWrittenIsNamedWithTheSystemsReasonWhileErrorInfoKeepsItsText) {
    std::ofstream(dir + "/plain") << "a file, not a folder";
    const struct {
        const char* what;
        std::string stem;  // the file name without its extension
        std::string reason;
    } kinds[] = {
        {"missing folder", dir + "/no/such/folder/chart.", "No such file or directory"},
        {"under a regular file", dir + "/plain/chart.", "Not a directory"},
        {"a folder of that name", dir + "/taken.", "it is a folder"},
    };
    for (const FormatReport& format : kFormats) {
        fs::create_directory(dir + "/taken." + format.extension);
        for (const auto& kind : kinds) {
            SCOPED_TRACE(std::string(kind.what) + ", " + format.extension);
            const std::string path = kind.stem + format.extension;
            cChart chart;
            EXPECT_EQ(makeChartOfNewCanvas(chart, path), format.raised);
            EXPECT_EQ(chart.ErrorInfo(), format.errorInfo(kind.reason));
            const std::optional<FileFailure> failure = chart.lastFileFailure();
            ASSERT_TRUE(failure);
            EXPECT_EQ(failure->method, "makeChart");
            EXPECT_EQ(failure->fileName, path);
            EXPECT_EQ(failure->reason, kind.reason);
            EXPECT_EQ(DescribeFileFailure(*failure), "'" + path + "': " + kind.reason);
        }
    }
}

TEST_F(OutputNotes, AGifThatFailsOnceItsFileIsOpenKeepsItsErrorInfoAndIsNamedToo) {
    const std::string path = dir + "/pipe.gif";
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);  // taken for opened, then refused
    cChart chart;
    EXPECT_EQ(makeChartOfNewCanvas(chart, path), 0);
    EXPECT_EQ(chart.ErrorInfo(), "57Device I/O errorUnexpected error savig GIF image\r\n");
    ASSERT_TRUE(chart.lastFileFailure());
    EXPECT_EQ(chart.lastFileFailure()->reason, "not a regular file");
}

TEST_F(OutputNotes, AFolderTheWriterMayNotWriteToGivesPermissionDenied) {
    // Root may write anywhere, so the charts are made by a user without its rights.
    const std::string folder = dir + "/read-only";
    fs::create_directory(folder);
    ::chmod(dir.c_str(), 0755);
    ::chmod(folder.c_str(), 0555);
    for (const FormatReport& format : kFormats) {
        SCOPED_TRACE(format.extension);
        const std::string path = folder + "/chart." + format.extension;
        const int outcome = test::withoutRoot([&] {
            cChart chart;
            const bool raisedAsExpected = makeChartOfNewCanvas(chart, path) == format.raised;
            const std::optional<FileFailure> failure = chart.lastFileFailure();
            if (!failure || failure->fileName != path) return 1;
            if (failure->reason != std::strerror(EACCES)) return 2;
            return raisedAsExpected && chart.ErrorInfo() == format.errorInfo(failure->reason) ? 0 : 3;
        });
        EXPECT_EQ(outcome, 0);
    }
}

TEST_F(OutputNotes, EachMakeChartForgetsTheFailureOfTheOneBefore) {
    for (const char* next : {"chart.bmp", "chart.tiff"}) {
        SCOPED_TRACE(next);
        cChart chart;
        makeChartOfNewCanvas(chart, dir + "/no/such/chart.png");
        ASSERT_TRUE(chart.lastFileFailure());
        chart.makeChart(dir + "/" + next);  // written, or a name nothing is written for
        EXPECT_FALSE(chart.lastFileFailure());
    }
}

TEST_F(OutputNotes, TheCallThatEndedTheCanvasIsKeptUntilTheNextInitChart) {
    using How = CanvasEnd::How;
    const struct {
        const char* what;
        std::function<void(cChart&)> call;
        How how;
        std::string callText;
    } ends[] = {
        {"bmp bytes", [](cChart& c) { c.SaveBinary("bmp"); }, How::HandedOver, "SaveBinary(\"bmp\")"},
        {"gif bytes", [](cChart& c) { c.SaveBinary("GIF"); }, How::HandedOver, "SaveBinary(\"GIF\")"},
        {"jpeg file", [&](cChart& c) { c.makeChart(dir + "/a.jpg"); }, How::Released,
         "makeChart(\"" + dir + "/a.jpg\")"},
        {"gif file", [&](cChart& c) { c.makeChart(dir + "/a\"b.gif"); }, How::HandedOver,
         "makeChart(\"" + dir + "/a\"\"b.gif\")"},
        // The GIF path hands the canvas over before the file turns out not to be writable.
        {"gif file that fails", [&](cChart& c) { EXPECT_THROW(c.makeChart(dir + "/no/x.gif"), AutomationError); },
         How::HandedOver, "makeChart(\"" + dir + "/no/x.gif\")"},
        {"Destroy", [](cChart& c) { c.Destroy(); }, How::Released, "Destroy"},
    };
    for (const auto& end : ends) {
        SCOPED_TRACE(end.what);
        cChart chart;
        chart.Width(8);
        chart.Height(6);
        chart.InitChart();
        EXPECT_FALSE(chart.canvasEnd());
        end.call(chart);
        chart.Destroy();  // no canvas left to release: the first end stays
        chart.SaveBinary("bmp");
        const std::optional<CanvasEnd> recorded = chart.canvasEnd();
        ASSERT_TRUE(recorded);
        EXPECT_EQ(recorded->how, end.how);
        EXPECT_EQ(recorded->call, end.callText);
        chart.InitChart();
        EXPECT_FALSE(chart.canvasEnd());
    }
}

TEST_F(OutputNotes, OutputsThatKeepTheCanvasRecordNoEnd) {
    cChart chart;
    chart.Width(8);
    chart.Height(6);
    chart.InitChart();
    chart.makeChart(dir + "/a.bmp");
    chart.makeChart(dir + "/a.png");
    chart.makeChart(dir + "/no/such/a.bmp");
    chart.SaveBinary("jpg");
    chart.SaveBinary("png");
    chart.SaveBinary("tiff");
    chart.ExportToDC(nullptr);
    EXPECT_TRUE(chart.canvasDC());
    EXPECT_FALSE(chart.canvasEnd());
}

TEST_F(OutputNotes, AChartThatNeverGotACanvasSaysWhy) {
    cChart chart;
    chart.Destroy();
    ASSERT_TRUE(chart.canvasEnd());
    EXPECT_EQ(chart.canvasEnd()->how, CanvasEnd::How::NeverCreated);
    EXPECT_EQ(chart.canvasEnd()->call, "");
    chart.Width(-1);
    chart.InitChart();
    ASSERT_TRUE(chart.canvasEnd());
    EXPECT_EQ(chart.canvasEnd()->how, CanvasEnd::How::NotCreated);
    EXPECT_EQ(chart.canvasEnd()->call, "InitChart");
    EXPECT_EQ(chart.ErrorInfo(), "Canvas could not be created\r\n");
}

}  // namespace
}  // namespace kelvane
