// Splits one line of a chart script into tokens; blanks and comments never reach the parser.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "kelvane/variant.h"

namespace kelvane::script {

enum class TokenKind { Identifier, Number, String, Comma, LeftParen, RightParen, Equals, Minus, Plus, Ampersand, End };

struct Token {
    TokenKind kind = TokenKind::End;
    int column = 0;
    std::string text;        // identifier as written, or the string's content
    Variant number;          // Long when a whole number fits in 32 bits, else Double
    bool wholeNumber = false;  // written without point or exponent (so -2147483648 can be a Long)
};

// The tokens of one line, always ending with an End token. Throws SyntaxError.
std::vector<Token> TokenizeLine(std::string_view line, int lineNumber);

// The 1-based character column of a byte offset in a UTF-8 line.
int ColumnOf(std::string_view line, size_t byteOffset);

}  // namespace kelvane::script
