// The example chart scripts as tests run them: the drawing without the GIF outputs at their
// end, which delete the canvas the tests go on to read.
#pragma once

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "interpreter.h"
#include "kelvane/cChart.h"

namespace kelvane::test {

inline bool writesGif(std::string line) {
    std::transform(line.begin(), line.end(), line.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return (line.rfind("makechart", 0) == 0 && line.find(".gif\"") != std::string::npos) ||
           line.find("savebinary(\"gif\")") != std::string::npos;
}

inline std::string withoutGifOutputs(const std::string& script) {
    std::istringstream in(script);
    std::string out;
    for (std::string line; std::getline(in, line);)
        if (!writesGif(line)) out += line + "\n";
    return out;
}

inline const std::filesystem::path kExamples =
    std::filesystem::path(KELVANE_TEST_DATA).parent_path().parent_path() / "examples";

// Runs an example chart script, without its GIF outputs, with its outputs going to a scratch
// folder; true when it ran and left its canvas.
inline bool runExample(const std::filesystem::path& script, const std::string& dir, cChart& chart) {
    std::ifstream in(script);
    std::stringstream text;
    text << in.rdbuf();
    std::ostringstream out, err;
    script::RunOptions options;
    options.scriptName = script.filename().string();
    options.outputFolder = dir;
    return script::RunScript(withoutGifOutputs(text.str()), chart, options, out, err) &&
           chart.canvasDC() != nullptr;
}

}  // namespace kelvane::test
