// The parser of chart scripts: one statement per line, names resolved as they are read, and
// argument counts checked against the method table so that a wrong call never starts running.
#include "parser.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "lexer.h"
#include "names.h"

namespace kelvane::script {
namespace {

std::string Plural(size_t n, std::string_view word) {
    return std::to_string(n) + " " + std::string(word) + (n == 1 ? "" : "s");
}

class LineParser {
public:
    LineParser(std::vector<Token> tokens, int line) : m_tokens(std::move(tokens)), m_line(line) {}

    std::optional<Statement> statement() {
        if (at(TokenKind::End)) return std::nullopt;
        if (!at(TokenKind::Identifier)) fail(peek(), "expected a statement, found " + describe(peek()));
        Statement s;
        s.line = m_line;
        const Token& first = peek();
        if (SameName(first.text, "On")) {
            s.kind = onError();
        } else if (SameName(first.text, "print")) {
            next();
            s.kind = Statement::Kind::Print;
            if (!at(TokenKind::End)) s.args.push_back(expression(0));
        } else if (SameName(first.text, "save")) {
            next();
            s.kind = Statement::Kind::Save;
            s.args.push_back(expression(0));
            if (!at(TokenKind::Comma)) {
                fail(peek(), "save needs the data and a file name, as in save SaveBinary(\"png\"), \"out.png\"");
            }
            next();
            s.args.push_back(expression(0));
        } else if (peek(1).kind == TokenKind::Equals) {
            s.kind = Statement::Kind::Assign;
            s.property = assignedProperty(next());
            next();
            s.args.push_back(expression(0));
        } else {
            s.kind = Statement::Kind::Call;
            const Token& name = next();
            s.method = calledMethod(name);
            s.args = statementArguments();
            checkArguments(*s.method, s.args, name);
        }
        if (!at(TokenKind::End)) fail(peek(), "unexpected " + describe(peek()) + "; one statement per line");
        return s;
    }

private:
    const Token& peek(size_t ahead = 0) const {
        return m_tokens[std::min(m_pos + ahead, m_tokens.size() - 1)];
    }
    const Token& next() {
        const Token& t = peek();
        if (m_pos + 1 < m_tokens.size()) ++m_pos;
        return t;
    }
    bool at(TokenKind kind) const { return peek().kind == kind; }
    bool atWord(std::string_view word) const { return at(TokenKind::Identifier) && SameName(peek().text, word); }

    [[noreturn]] void fail(const Token& where, std::string message) const {
        throw SyntaxError{m_line, where.column, std::move(message)};
    }

    static std::string describe(const Token& t) {
        switch (t.kind) {
            case TokenKind::Identifier: return Quoted(t.text);
            case TokenKind::Number: return "a number";
            case TokenKind::String: return "a string";
            case TokenKind::Comma: return "','";
            case TokenKind::LeftParen: return "'('";
            case TokenKind::RightParen: return "')'";
            case TokenKind::Equals: return "'='";
            case TokenKind::Minus: return "'-'";
            case TokenKind::Ampersand: return "'&'";
            case TokenKind::Plus: return "'+'";
            case TokenKind::End: break;
        }
        return "the end of the line";
    }

    void expect(TokenKind kind, std::string_view what) {
        if (!at(kind)) fail(peek(), "expected " + std::string(what) + ", found " + describe(peek()));
        next();
    }

    Statement::Kind onError() {
        const Token& on = next();
        auto bad = [&] { fail(on, "expected On Error Resume Next or On Error GoTo 0"); };
        if (!atWord("Error")) bad();
        next();
        if (atWord("Resume")) {
            next();
            if (!atWord("Next")) bad();
            next();
            return Statement::Kind::ResumeNextOn;
        }
        if (atWord("GoTo")) {
            next();
            if (!at(TokenKind::Number) || peek().number != Variant(0)) bad();
            next();
            return Statement::Kind::ResumeNextOff;
        }
        bad();
        return Statement::Kind::ResumeNextOff;
    }

    const PropertyEntry* assignedProperty(const Token& name) const {
        if (const PropertyEntry* p = FindProperty(name.text)) return p;
        if (const MethodEntry* m = FindMethod(name.text)) {
            if (m->readOnlyProperty) fail(name, std::string(m->name) + " is read-only");
            fail(name, std::string(m->name) + " is a method, not a property");
        }
        if (FindConstant(name.text) || FindBuiltin(name.text)) fail(name, "cannot assign to " + Quoted(name.text));
        fail(name, "unknown property " + Quoted(name.text));
    }

    const MethodEntry* calledMethod(const Token& name) const {
        if (const MethodEntry* m = FindMethod(name.text)) return m;
        if (const PropertyEntry* p = FindProperty(name.text)) {
            fail(name, std::string(p->name) + " is a property: assign it, as in " + std::string(p->name) + " = value");
        }
        if (auto b = FindBuiltin(name.text)) {
            fail(name, std::string(BuiltinName(*b)) + " is a function: use its value, as in print " +
                           std::string(BuiltinName(*b)) + "(...)");
        }
        if (FindConstant(name.text)) fail(name, Quoted(name.text) + " is a constant, not a statement");
        fail(name, "unknown method " + Quoted(name.text));
    }

    // `Name (a, b)` is the whole argument list in parentheses when nothing follows the closing
    // parenthesis; otherwise the parentheses belong to the first argument, as in Name (a), b.
    std::vector<ExprPtr> statementArguments() {
        if (at(TokenKind::End)) return {};
        if (at(TokenKind::LeftParen)) {
            size_t start = m_pos;
            try {
                std::vector<ExprPtr> args = parenthesizedArguments(0);
                if (at(TokenKind::End)) return args;
            } catch (const SyntaxError&) {
                // Read the line again the other way; if that fails too, its error is the one shown.
            }
            m_pos = start;
        }
        std::vector<ExprPtr> args;
        while (true) {
            args.push_back(at(TokenKind::Comma) || at(TokenKind::End) ? nullptr : expression(0));
            if (!at(TokenKind::Comma)) return args;
            next();
        }
    }

    std::vector<ExprPtr> parenthesizedArguments(int depth) {
        expect(TokenKind::LeftParen, "'('");
        std::vector<ExprPtr> args;
        if (at(TokenKind::RightParen)) {
            next();
            return args;
        }
        while (true) {
            bool empty = at(TokenKind::Comma) || at(TokenKind::RightParen);
            args.push_back(empty ? nullptr : expression(depth + 1));
            if (!at(TokenKind::Comma)) break;
            next();
        }
        expect(TokenKind::RightParen, "',' or ')'");
        return args;
    }

    void checkArguments(const MethodEntry& method, const std::vector<ExprPtr>& args, const Token& at) const {
        std::string name(method.name);
        if (args.size() > method.params.size()) {
            if (method.params.empty()) fail(at, name + " takes no arguments");
            fail(at, name + " takes at most " + Plural(method.params.size(), "argument") + ", got " +
                         std::to_string(args.size()));
        }
        for (size_t i = 0; i < method.params.size(); ++i) {
            const Param& p = method.params[i];
            if (p.defaultValue) continue;
            if (i >= args.size() || !args[i]) {
                fail(at, name + " needs argument " + std::to_string(i + 1) + " (" + std::string(p.name) + ")");
            }
        }
    }

    // A term, or terms joined by "&" into one text. A chain is one node with every term beside the
    // next, so however long it is, running and freeing it never nests deeper than its terms do.
    ExprPtr expression(int depth) {
        ExprPtr first = term(depth);
        if (!at(TokenKind::Ampersand)) return first;
        auto joined = std::make_unique<Expr>();
        joined->kind = Expr::Kind::Concat;
        joined->args.push_back(std::move(first));
        while (at(TokenKind::Ampersand)) {
            next();
            joined->args.push_back(term(depth + 1));
        }
        return joined;
    }

    ExprPtr term(int depth) {
        if (depth >= kMaxNesting) {
            fail(peek(), "expression nested too deeply (more than " + std::to_string(kMaxNesting) + " levels)");
        }
        const Token& t = peek();
        auto expr = std::make_unique<Expr>();
        switch (t.kind) {
            case TokenKind::Minus:
                next();
                if (at(TokenKind::Number)) {
                    expr->constant = negated(next());
                    return expr;
                }
                expr->kind = Expr::Kind::Negate;
                expr->args.push_back(expression(depth + 1));
                return folded(std::move(expr));
            case TokenKind::Plus:
                next();
                return expression(depth + 1);
            case TokenKind::Number:
                expr->constant = next().number;
                return expr;
            case TokenKind::String:
                expr->constant = Variant(next().text);
                return expr;
            case TokenKind::LeftParen: {
                next();
                ExprPtr inner = expression(depth + 1);
                expect(TokenKind::RightParen, "')'");
                return inner;
            }
            case TokenKind::Identifier:
                return named(next(), depth);
            default:
                fail(t, "expected a value, found " + describe(t));
        }
    }

    // Negated numbers are constants too, so -(3) is checked and shown like -3.
    static ExprPtr folded(ExprPtr negation) {
        const Expr& operand = *negation->args[0];
        if (operand.kind != Expr::Kind::Constant || !operand.constant.isNumeric()) return negation;
        auto constant = std::make_unique<Expr>();
        constant->constant = Negate(operand.constant);
        return constant;
    }

    static Variant negated(const Token& number) {
        // -&H80000000 has no Long: Negate makes it a Double, as at run time.
        if (number.number.type() == Variant::Type::Long) return Negate(number.number);
        double v = -number.number.toDouble();
        if (number.wholeNumber && v == static_cast<double>(std::numeric_limits<int32_t>::min())) {
            return Variant(std::numeric_limits<int32_t>::min());
        }
        return Variant(v);
    }

    ExprPtr named(const Token& name, int depth) {
        auto expr = std::make_unique<Expr>();
        if (auto constant = FindConstant(name.text)) {
            expr->constant = std::move(*constant);
            return expr;
        }
        if (auto builtin = FindBuiltin(name.text)) {
            expr->kind = Expr::Kind::Builtin;
            expr->builtin = *builtin;
            std::string fn(BuiltinName(*builtin));
            if (!at(TokenKind::LeftParen)) fail(peek(), fn + " needs its arguments in parentheses");
            expr->args = parenthesizedArguments(depth);
            for (const ExprPtr& arg : expr->args) {
                if (!arg) fail(name, fn + " cannot take an empty argument");
            }
            if (*builtin == Builtin::Rgb && expr->args.size() != 3) {
                fail(name, "RGB takes 3 arguments (red, green, blue), got " + std::to_string(expr->args.size()));
            }
            return expr;
        }
        if (const MethodEntry* method = FindMethod(name.text)) {
            expr->kind = Expr::Kind::Call;
            expr->method = method;
            if (at(TokenKind::LeftParen)) expr->args = parenthesizedArguments(depth);
            checkArguments(*method, expr->args, name);
            return expr;
        }
        if (const PropertyEntry* p = FindProperty(name.text)) {
            fail(name, std::string(p->name) + " can be assigned but not read");
        }
        fail(name, "unknown name " + Quoted(name.text));
    }

    std::vector<Token> m_tokens;
    int m_line;
    size_t m_pos = 0;
};

}  // namespace

std::optional<Statement> ParseLine(std::string_view line, int lineNumber) {
    if (line.size() > kMaxLineBytes) {
        throw SyntaxError{lineNumber, 1, "line longer than " + std::to_string(kMaxLineBytes) + " bytes"};
    }
    return LineParser(TokenizeLine(line, lineNumber), lineNumber).statement();
}

CheckResult CheckScript(std::string_view text) {
    CheckResult result;
    ForEachLine(text, [&](std::string_view line, int lineNumber) {
        try {
            ParseLine(line, lineNumber);
        } catch (const SyntaxError& e) {
            if (result.errors.size() == kMaxSyntaxErrors) {
                result.moreErrors = true;
                return false;
            }
            result.errors.push_back(e);
        }
        return true;
    });
    return result;
}

}  // namespace kelvane::script
