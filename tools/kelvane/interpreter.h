// Runs a chart script against one cChart: statements in order, failures reported with the
// script's name and line, and On Error Resume Next deciding whether a failure ends the script.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>

#include "ast.h"
#include "kelvane/cChart.h"

namespace kelvane::script {

struct RunOptions {
    std::string scriptName;               // as the messages show it
    std::filesystem::path outputFolder;   // empty: files go where their names say
    bool warnings = false;                 // print the chart's warnings after each output
};

// Checks the whole script first and prints its syntax errors on err; only a script without any
// runs. Prints what the script prints on out and its failures on err. Returns false after syntax
// errors or a failure that ended the script; failures passed over by On Error Resume Next do not
// count.
bool RunScript(std::string_view text, cChart& chart, const RunOptions& options, std::ostream& out,
               std::ostream& err);

}  // namespace kelvane::script
