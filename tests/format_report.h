// How each picture format reports a file that makeChart could not write, for the tests of
// names and folders that cannot be written: in ErrorInfo, or by raising error 75.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "kelvane/cChart.h"

namespace kelvane::test {

struct FormatReport {
    const char* extension;
    int32_t raised;
    std::function<std::string(const std::string& reason)> errorInfo;
};

inline const FormatReport kFormats[] = {
    {"bmp", 0, [](const std::string&) { return std::string("Unexpected error Saving BMP file\r\n"); }},
    {"png", 0, [](const std::string& reason) { return "Unexpected error Saving PNG file: " + reason + "\r\n"; }},
    {"jpg", 75, [](const std::string&) { return std::string(); }},
    {"gif", 75, [](const std::string&) { return std::string(); }},
};

// Writes the picture of a small new canvas to `path`: the error it raised (0 for none).
inline int32_t makeChartOfNewCanvas(cChart& chart, const std::string& path) {
    chart.Width(8);
    chart.Height(6);
    chart.InitChart();
    try {
        chart.makeChart(path);
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.description(), "Path/File access error") << path;
        return e.number();
    }
    return 0;
}

}  // namespace kelvane::test
