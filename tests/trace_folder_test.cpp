// KELVANE_GDI_TRACE: a missing folder is made, and one that cannot be made is said once while
// the charts are drawn as they would be untraced.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bmp_file.h"
#include "kelvane/cChart.h"
#include "picture_helpers.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

// Sets the variable for the test's life.
class TraceVariable {
public:
    explicit TraceVariable(const std::string& folder) { setenv("KELVANE_GDI_TRACE", folder.c_str(), 1); }
    ~TraceVariable() { unsetenv("KELVANE_GDI_TRACE"); }
};

Variant smallChartBmp() {
    cChart chart;
    chart.Width(12);
    chart.Height(9);
    chart.InitChart();
    chart.DrawLine(1, "1", 0x0000FF, 0, 0, 11, 8);
    return chart.SaveBinary("bmp");
}

class TraceFolder : public ::testing::Test {
protected:
    void SetUp() override { dir = test::tempDir(); }
    void TearDown() override { fs::remove_all(dir); }
    std::string dir;
};

TEST_F(TraceFolder, AMissingFolderIsMadeWithItsParents) {
    const std::string folder = dir + "/traces/of/today";
    test::MessageLog messages;
    {
        TraceVariable trace(folder);
        smallChartBmp();
    }
    ASSERT_TRUE(fs::is_directory(folder));
    int scripts = 0;
    for (const auto& e : fs::directory_iterator(folder)) scripts += e.path().extension() == ".txt";
    EXPECT_EQ(scripts, 1);
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(TraceFolder, AFolderThatCannotBeMadeIsSaidOnceAndTheChartsAreDrawnAsUntraced) {
    std::ofstream(dir + "/plain") << "a file, not a folder";
    const std::string folder = dir + "/plain/traces";
    const Variant untraced = smallChartBmp();
    test::MessageLog messages;
    {
        TraceVariable trace(folder);
        EXPECT_EQ(smallChartBmp().bytes(), untraced.bytes());
        EXPECT_EQ(smallChartBmp().bytes(), untraced.bytes());
    }
    EXPECT_EQ(messages.messages(),
              std::vector<std::string>{"KELVANE_GDI_TRACE: cannot create the folder '" + folder +
                                       "': Not a directory; the drawing calls are not recorded"});
}

}  // namespace
}  // namespace kelvane
