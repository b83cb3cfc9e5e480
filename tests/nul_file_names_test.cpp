// A name with a NUL in it names no file: the system would stop reading it at the NUL and so
// write or read another file than the one named (the format is chosen from the whole name).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "file_output_support.h"
#include "format_report.h"
#include "kelvane/cChart.h"

namespace kelvane {
namespace {

using namespace std::string_literals;

class NulFileNames : public test::TempFolderTest {};

TEST_F(NulFileNames, AnOutputNameWithANulWritesNothingAndFailsAsItsFormatDoes) {
    for (const test::FormatReport& format : test::kFormats) {
        SCOPED_TRACE(format.extension);
        const std::string cut = dir + "/cut-" + format.extension;
        cChart chart;
        const int32_t raised = test::makeChartOfNewCanvas(chart, cut + "\0."s + format.extension);
        EXPECT_EQ(raised, format.raised);
        EXPECT_EQ(chart.ErrorInfo(), format.errorInfo("the name holds a NUL character"));
        EXPECT_FALSE(std::filesystem::exists(cut)) << "written under the name cut at the NUL";
    }
}

TEST_F(NulFileNames, APictureNameWithANulLoadsNoPicture) {
    const std::string picture = std::string(KELVANE_TEST_DATA) + "/pictures/rgb24.bmp";
    ASSERT_TRUE(std::filesystem::exists(picture));
    cChart chart;
    chart.Width(40);
    chart.Height(30);
    chart.InitChart();
    EXPECT_EQ(chart.DrawImage(picture, 0, 0), 1) << "the picture itself loads";
    EXPECT_EQ(chart.DrawImage(picture + "\0.zzz"s, 0, 0), 0);
}

}  // namespace
}  // namespace kelvane
