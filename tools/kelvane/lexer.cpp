// The lexer of chart scripts: numbers (decimal and &H), strings with "" escapes, names,
// punctuation, and comments introduced by ' (anywhere outside a string), # or Rem.
#include "lexer.h"

#include <charconv>
#include <cstdint>
#include <limits>

#include "names.h"
#include "syntax_error.h"

namespace kelvane::script {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsNameChar(char c) { return IsLetter(c) || IsDigit(c) || c == '_'; }
int HexDigitValue(char c) {
    if (IsDigit(c)) return c - '0';
    char lower = AsciiLower(c);
    if (lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
    return -1;
}

Variant WholeNumber(uint64_t v) {
    if (v <= static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return Variant(static_cast<int32_t>(v));
    return Variant(static_cast<double>(v));
}

class LineLexer {
public:
    LineLexer(std::string_view line, int lineNumber) : m_line(line), m_lineNumber(lineNumber) {}

    std::vector<Token> run() {
        std::vector<Token> tokens;
        skipBlanks();
        if (m_pos < m_line.size() && m_line[m_pos] == '#') return endOf(tokens);
        while (true) {
            skipBlanks();
            if (m_pos >= m_line.size() || m_line[m_pos] == '\'') return endOf(tokens);
            size_t start = m_pos;
            char c = m_line[m_pos];
            if (IsLetter(c)) {
                while (m_pos < m_line.size() && IsNameChar(m_line[m_pos])) ++m_pos;
                std::string_view name = m_line.substr(start, m_pos - start);
                if (tokens.empty() && SameName(name, "Rem")) return endOf(tokens);
                tokens.push_back(make(TokenKind::Identifier, start));
                tokens.back().text = std::string(name);
            } else if (IsDigit(c) || (c == '.' && m_pos + 1 < m_line.size() && IsDigit(m_line[m_pos + 1]))) {
                tokens.push_back(decimalNumber());
            } else if (c == '&' && m_pos + 1 < m_line.size() && AsciiLower(m_line[m_pos + 1]) == 'h') {
                tokens.push_back(hexNumber());
            } else if (c == '"') {
                tokens.push_back(string());
            } else {
                TokenKind kind;
                switch (c) {
                    case ',': kind = TokenKind::Comma; break;
                    case '(': kind = TokenKind::LeftParen; break;
                    case ')': kind = TokenKind::RightParen; break;
                    case '=': kind = TokenKind::Equals; break;
                    case '-': kind = TokenKind::Minus; break;
                    case '+': kind = TokenKind::Plus; break;
                    case '&': kind = TokenKind::Ampersand; break;  // text concatenation
                    default: fail(start, "unexpected " + describe(c));
                }
                ++m_pos;
                tokens.push_back(make(kind, start));
            }
        }
    }

private:
    std::vector<Token>& endOf(std::vector<Token>& tokens) {
        tokens.push_back(make(TokenKind::End, m_line.size()));
        return tokens;
    }

    Token make(TokenKind kind, size_t start) {
        Token t;
        t.kind = kind;
        t.column = columnAt(start);
        return t;
    }

    // Tokens come left to right, so counting on from the last one keeps long lines linear.
    int columnAt(size_t offset) {
        if (offset < m_countedTo) {
            m_countedTo = 0;
            m_countedColumn = 1;
        }
        m_countedColumn += ColumnOf(m_line.substr(m_countedTo), offset - m_countedTo) - 1;
        m_countedTo = offset;
        return m_countedColumn;
    }

    void skipBlanks() {
        while (m_pos < m_line.size() && IsBlank(m_line[m_pos])) ++m_pos;
    }

    [[noreturn]] void fail(size_t at, std::string message) {
        throw SyntaxError{m_lineNumber, columnAt(at), std::move(message)};
    }

    static std::string describe(char c) {
        auto u = static_cast<unsigned char>(c);
        if (u >= 0x21 && u < 0x7F) return std::string("character '") + c + "'";
        static constexpr char kHex[] = "0123456789ABCDEF";
        return std::string("byte 0x") + kHex[u >> 4] + kHex[u & 15];
    }

    // A name character right after a number is a typo such as 12px, not two tokens.
    void expectNumberEnd(size_t start) {
        if (m_pos < m_line.size() && (IsNameChar(m_line[m_pos]) || m_line[m_pos] == '.')) {
            size_t end = m_pos;
            while (end < m_line.size() && (IsNameChar(m_line[end]) || m_line[end] == '.')) ++end;
            fail(start, "malformed number " + Quoted(m_line.substr(start, end - start)));
        }
    }

    Token decimalNumber() {
        size_t start = m_pos;
        bool whole = true;
        while (m_pos < m_line.size() && IsDigit(m_line[m_pos])) ++m_pos;
        if (m_pos < m_line.size() && m_line[m_pos] == '.') {
            whole = false;
            ++m_pos;
            while (m_pos < m_line.size() && IsDigit(m_line[m_pos])) ++m_pos;
        }
        if (m_pos < m_line.size() && (m_line[m_pos] == 'e' || m_line[m_pos] == 'E')) {
            whole = false;
            size_t exponent = m_pos + 1;
            if (exponent < m_line.size() && (m_line[exponent] == '+' || m_line[exponent] == '-')) ++exponent;
            if (exponent >= m_line.size() || !IsDigit(m_line[exponent])) {
                fail(start, "malformed number " + Quoted(m_line.substr(start, exponent - start)) +
                                ": the exponent needs digits");
            }
            m_pos = exponent;
            while (m_pos < m_line.size() && IsDigit(m_line[m_pos])) ++m_pos;
        }
        expectNumberEnd(start);

        std::string_view text = m_line.substr(start, m_pos - start);
        Token t = make(TokenKind::Number, start);
        t.wholeNumber = whole;
        uint64_t integer = 0;
        if (whole) {
            auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), integer);
            if (ec == std::errc() && end == text.data() + text.size()) {
                t.number = WholeNumber(integer);
                return t;
            }
        }
        // from_chars does not take a leading point.
        std::string digits = text.front() == '.' ? "0" + std::string(text) : std::string(text);
        double value = 0;
        auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (ec != std::errc() || end != digits.data() + digits.size()) {
            fail(start, "number out of range " + Quoted(text));
        }
        t.number = Variant(value);
        return t;
    }

    Token hexNumber() {
        size_t start = m_pos;
        if (m_pos + 1 >= m_line.size() || AsciiLower(m_line[m_pos + 1]) != 'h') fail(start, "unexpected character '&'");
        m_pos += 2;
        uint64_t value = 0;
        size_t digits = 0;
        while (m_pos < m_line.size() && HexDigitValue(m_line[m_pos]) >= 0) {
            value = value * 16 + static_cast<uint64_t>(HexDigitValue(m_line[m_pos]));
            ++m_pos;
            if (++digits > 8) fail(start, "hexadecimal number longer than 8 digits");
        }
        if (digits == 0) fail(start, "&H needs hexadecimal digits");
        if (m_pos < m_line.size() && m_line[m_pos] == '&') ++m_pos;
        expectNumberEnd(start);
        Token t = make(TokenKind::Number, start);
        // A Long, as in the host language: eight digits above &H7FFFFFFF are its negative values
        // (system colours such as &H80000005); shorter literals stay non-negative.
        t.number = Variant(static_cast<int32_t>(static_cast<uint32_t>(value)));
        t.wholeNumber = true;
        return t;
    }

    Token string() {
        size_t start = m_pos;
        ++m_pos;
        std::string content;
        while (true) {
            if (m_pos >= m_line.size()) fail(start, "string without closing quote");
            char c = m_line[m_pos++];
            if (c == '"') {
                if (m_pos < m_line.size() && m_line[m_pos] == '"') {
                    content.push_back('"');
                    ++m_pos;
                    continue;
                }
                break;
            }
            content.push_back(c);
        }
        Token t = make(TokenKind::String, start);
        t.text = std::move(content);
        return t;
    }

    std::string_view m_line;
    int m_lineNumber;
    size_t m_pos = 0;
    size_t m_countedTo = 0;
    int m_countedColumn = 1;
};

}  // namespace

int ColumnOf(std::string_view line, size_t byteOffset) {
    int column = 1;
    for (size_t i = 0; i < byteOffset && i < line.size(); ++i) {
        if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80) ++column;
    }
    return column;
}

std::vector<Token> TokenizeLine(std::string_view line, int lineNumber) {
    return LineLexer(line, lineNumber).run();
}

}  // namespace kelvane::script
