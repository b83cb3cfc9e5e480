// The wording of the notes that name why an output made nothing, and the chart's accessors.
#include "kelvane/output_notes.h"

#include "chart/chart_state.h"
#include "kelvane/cChart.h"

namespace kelvane {

std::string CallText(std::string_view method, std::string_view argument) {
    std::string text(method);
    if (argument.empty()) return text;
    text += "(\"";
    for (const char c : argument) {
        text += c;
        if (c == '"') text += c;
    }
    text += "\")";
    return text;
}

std::string DescribeCanvasEnd(const CanvasEnd& end, std::string_view where) {
    const std::string call = end.call + std::string(where);
    switch (end.how) {
        case CanvasEnd::How::HandedOver:
            return "the canvas was handed over by " + call + "; call InitChart for a new one";
        case CanvasEnd::How::Released:
            return "the canvas was released by " + call + "; call InitChart for a new one";
        case CanvasEnd::How::NotCreated:
            return call + " could not create the canvas; check Width and Height";
        case CanvasEnd::How::NeverCreated:
            break;
    }
    return "InitChart was never called; call InitChart first";
}

std::string DescribeFileFailure(const FileFailure& failure) {
    return "'" + failure.fileName + "': " + failure.reason;
}

CanvasEndWatch::CanvasEndWatch(ChartState& state, CanvasEnd::How how, std::string call)
    : m_state(state), m_had(state.canvas.exists()), m_how(how), m_call(std::move(call)) {}

CanvasEndWatch::~CanvasEndWatch() {
    if (m_had && !m_state.canvas.exists()) m_state.canvasEnd = CanvasEnd{m_how, std::move(m_call)};
}

std::optional<FileFailure> cChart::lastFileFailure() const {
    if (m->fileFailure.reason.empty()) return std::nullopt;
    return m->fileFailure;
}

std::optional<CanvasEnd> cChart::canvasEnd() const {
    if (m->canvas.exists()) return std::nullopt;
    return m->canvasEnd;
}

}  // namespace kelvane
