// Printing the chart's warnings after the statements that output the picture.
#include "chart_warnings.h"

#include <string_view>

namespace kelvane::script {
namespace {

bool isOutput(const MethodEntry* method) {
    if (!method) return false;
    const std::string_view name = method->name;
    return name == "makeChart" || name == "SaveBinary" || name == "ExportToDC";
}

bool callsOutput(const Expr& e) {
    if (e.kind == Expr::Kind::Call && isOutput(e.method)) return true;
    for (const ExprPtr& arg : e.args)
        if (arg && callsOutput(*arg)) return true;
    return false;
}

}  // namespace

bool CallsOutput(const Statement& s) {
    if (s.kind == Statement::Kind::Call && isOutput(s.method)) return true;
    for (const ExprPtr& arg : s.args)
        if (arg && callsOutput(*arg)) return true;
    return false;
}

WarningReport::WarningReport(cChart& chart, bool enabled) : m_chart(chart), m_enabled(enabled) {
    if (m_enabled) m_chart.Warnings();
}

void WarningReport::afterStatement(const Statement& s, const std::string& scriptName, int line,
                                   std::ostream& out, std::ostream& err) {
    if (!m_enabled || !CallsOutput(s)) return;
    const std::string text = m_chart.Warnings();
    bool flushed = false;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string warning = text.substr(start, end - start);
        start = end + 1;
        if (warning.empty() || !m_printed.insert(warning).second) continue;
        if (!flushed) out.flush();
        flushed = true;
        err << scriptName << ':' << line << ": warning: " << warning << '\n';
    }
}

}  // namespace kelvane::script
