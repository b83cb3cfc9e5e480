// The chart's warnings in a script run: after each statement that outputs the picture
// (makeChart, SaveBinary, ExportToDC), the warnings not shown yet, on the error stream as
// SCRIPT:LINE: warning: TEXT, LINE being that statement's.
#pragma once

#include <ostream>
#include <set>
#include <string>

#include "ast.h"
#include "kelvane/cChart.h"

namespace kelvane::script {

class WarningReport {
public:
    // When enabled, asks the chart for its warnings at once: that arms the checks that run
    // inside later outputs.
    WarningReport(cChart& chart, bool enabled);

    // After statement s on line `line`: when it called an output method, prints the chart's
    // warnings that this report has not printed before (out is flushed first).
    void afterStatement(const Statement& s, const std::string& scriptName, int line, std::ostream& out,
                        std::ostream& err);

private:
    cChart& m_chart;
    bool m_enabled;
    std::set<std::string> m_printed;
};

// Statement s calls makeChart, SaveBinary or ExportToDC somewhere in it.
bool CallsOutput(const Statement& s);

}  // namespace kelvane::script
