// Reads a whole chart script into a Program before anything runs, so a script with a syntax
// error draws nothing.
#pragma once

#include <string_view>
#include <vector>

#include "ast.h"
#include "syntax_error.h"

namespace kelvane::script {

// Arrays and parentheses nest at most this deep; deeper is a syntax error, not a stack overflow.
inline constexpr int kMaxNesting = 64;
// Reporting stops after this many syntax errors in one script.
inline constexpr size_t kMaxSyntaxErrors = 20;

struct ParseResult {
    Program program;
    std::vector<SyntaxError> errors;  // at most kMaxSyntaxErrors
    bool moreErrors = false;          // reporting stopped at the limit
    bool ok() const { return errors.empty(); }
};

// Takes the text as read from the file: a UTF-8 byte order mark and CR LF line ends are fine.
ParseResult ParseScript(std::string_view text);

}  // namespace kelvane::script
