// What a script's failure messages add to the chart's fixed texts: the file an output could not
// write and the system's reason, or how the chart lost its canvas, on which line, and what to do.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "kelvane/cChart.h"

namespace kelvane::script {

struct FailureNotes {
    std::optional<FileFailure> file;  // the file a makeChart could not write
    std::string canvas;               // why an output found no canvas, as DescribeCanvasEnd says it
};

// Follows one chart through a script: which line ended its canvas, and why an output call made
// nothing.
class FailureNoter {
public:
    explicit FailureNoter(const cChart& chart) : m_chart(chart) {}

    // Before each call into the chart.
    void before() { m_hadCanvas = m_chart.canvasDC() != nullptr; }
    // After it, also when it failed: remembers the line of a call that ended the canvas (or of an
    // InitChart that could not make one) and, for an output call, gives the notes for its messages.
    FailureNotes after(std::string_view method, bool output, int line);

private:
    const cChart& m_chart;
    bool m_hadCanvas = false;
    int m_canvasEndLine = 0;  // 0: not during this script
};

// "message (note)".
std::string WithNote(const std::string& message, const std::string& note);
// "message ('file': reason)", or "message ('file')" when the message already ends in the reason.
std::string WithFileNote(const std::string& message, const FileFailure& file);

}  // namespace kelvane::script
