// The notes a script's failure messages carry about files and the canvas.
#include "failure_notes.h"

namespace kelvane::script {

FailureNotes FailureNoter::after(std::string_view method, bool output, int line) {
    const std::optional<CanvasEnd> end = m_chart.canvasEnd();
    // A call that ended the canvas; InitChart also when it left the chart without one.
    if (end && (m_hadCanvas || method == "InitChart")) m_canvasEndLine = line;
    FailureNotes notes;
    if (!output) return notes;
    if (method == "makeChart") notes.file = m_chart.lastFileFailure();
    if (!m_hadCanvas && end) {
        const std::string where = m_canvasEndLine > 0 ? " on line " + std::to_string(m_canvasEndLine) : "";
        notes.canvas = DescribeCanvasEnd(*end, where);
    }
    return notes;
}

std::string WithNote(const std::string& message, const std::string& note) {
    return message + " (" + note + ")";
}

std::string WithFileNote(const std::string& message, const FileFailure& file) {
    if (message.ends_with(": " + file.reason)) return WithNote(message, "'" + file.fileName + "'");
    return WithNote(message, DescribeFileFailure(file));
}

}  // namespace kelvane::script
