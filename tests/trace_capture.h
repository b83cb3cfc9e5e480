// Test helper: the calls a chart makes on its canvas, recorded as reference-renderer script lines.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "bmp_file.h"
#include "kelvane/cChart.h"

namespace kelvane::test {

// Runs `call` with the chart's canvas traced and returns the recorded script.
inline std::string traced(cChart& chart, const std::function<void()>& call) {
    const std::string dir = tempDir();
    const std::string path = dir + "/t.txt";
    gdi::StartTrace(chart.canvasDC(), path.c_str());
    call();
    gdi::StopTrace(chart.canvasDC());
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    std::filesystem::remove_all(dir);
    return text.str();
}

// The script lines that start with `command` followed by a blank.
inline std::vector<std::string> linesOf(const std::string& script, const std::string& command) {
    std::vector<std::string> out;
    std::istringstream in(script);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(command + " ", 0) == 0) out.push_back(line);
    return out;
}

}  // namespace kelvane::test
