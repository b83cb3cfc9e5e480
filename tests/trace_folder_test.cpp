// KELVANE_GDI_TRACE: a missing folder is made, and one that cannot be made is said once while
// the charts are drawn as they would be untraced.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bmp_file.h"
#include "file_output_support.h"
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

TEST_F(TraceFolder, AFolderTheScriptCannotBeWrittenToIsSaidOnce) {
    const std::string folder = dir + "/read-only";
    fs::create_directory(folder);
    ::chmod(dir.c_str(), 0755);
    ::chmod(folder.c_str(), 0555);
    TraceVariable trace(folder);
    // Root may write anywhere, so the charts are drawn by a user without its rights.
    const int outcome = test::withoutRoot([&] {
        test::MessageLog messages;
        smallChartBmp();
        smallChartBmp();
        if (messages.messages().size() != 1) return 1;
        const std::string& said = messages.messages()[0];
        const bool named = said.starts_with("KELVANE_GDI_TRACE: cannot write '" + folder + "/chart-") &&
                           said.ends_with(".txt': Permission denied; the drawing calls are not recorded");
        return named ? 0 : 2;
    });
    EXPECT_EQ(outcome, 0);
}

}  // namespace
}  // namespace kelvane
