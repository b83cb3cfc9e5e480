// The parser of chart scripts, line by line, and the check of a whole script before it runs, so
// that a script with a syntax error draws nothing.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "ast.h"
#include "syntax_error.h"

namespace kelvane::script {

// Arrays and parentheses nest at most this deep; deeper is a syntax error, not a stack overflow.
inline constexpr int kMaxNesting = 64;
// A longer line is a syntax error; with it, the memory one parsed line takes stays bounded.
inline constexpr size_t kMaxLineBytes = size_t{1} << 20;
// Reporting stops after this many syntax errors in one script.
inline constexpr size_t kMaxSyntaxErrors = 20;

// Calls fn(line, lineNumber) for each line of a script as read from its file (a UTF-8 byte
// order mark and CR LF line ends are fine), until fn returns false.
template <class Fn>
void ForEachLine(std::string_view text, Fn&& fn) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    int lineNumber = 0;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!fn(line, ++lineNumber)) return;
    }
}

// The statement of one line; none for a blank or comment line. Throws SyntaxError.
std::optional<Statement> ParseLine(std::string_view line, int lineNumber);

struct CheckResult {
    std::vector<SyntaxError> errors;  // at most kMaxSyntaxErrors
    bool moreErrors = false;          // reporting stopped at the limit
    bool ok() const { return errors.empty(); }
};

// Parses every line and keeps only the errors, so a whole script is checked before any of it
// runs without holding all of it parsed at once.
CheckResult CheckScript(std::string_view text);

}  // namespace kelvane::script
