// A syntax error found while reading a script, with the place it points at (1-based line and
// column, columns counted in characters).
#pragma once

#include <string>
#include <string_view>

namespace kelvane::script {

struct SyntaxError {
    int line = 0;
    int column = 0;
    std::string message;
};

// Script text quoted in a message, cut short so that one huge token cannot flood the terminal.
inline std::string Quoted(std::string_view text) {
    constexpr size_t kMax = 40;
    if (text.size() <= kMax) return "'" + std::string(text) + "'";
    return "'" + std::string(text.substr(0, kMax)) + "...'";
}

}  // namespace kelvane::script
