// Tests of the chart-script lexer: literal values, strings, comments and the positions it reports.
#include "lexer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "syntax_error.h"

namespace kelvane::script {
namespace {

std::vector<Token> Lex(std::string_view line) { return TokenizeLine(line, 1); }

// The value of a line holding one number.
Variant NumberOf(std::string_view line) {
    std::vector<Token> tokens = Lex(line);
    EXPECT_EQ(tokens.size(), 2u) << line;
    EXPECT_EQ(tokens[0].kind, TokenKind::Number) << line;
    return tokens[0].number;
}

// The error a line raises; fails the test when it lexes.
SyntaxError ErrorOf(std::string_view line) {
    try {
        Lex(line);
    } catch (const SyntaxError& e) {
        return e;
    }
    ADD_FAILURE() << "no syntax error for: " << line;
    return {};
}

TEST(ScriptLexer, WholeNumbersAreLongsWhileTheyFitIn32Bits) {
    EXPECT_EQ(NumberOf("0"), Variant(0));
    EXPECT_EQ(NumberOf("400"), Variant(400));
    EXPECT_EQ(NumberOf("007"), Variant(7));
    EXPECT_EQ(NumberOf("2147483647"), Variant(2147483647));
    EXPECT_EQ(NumberOf("2147483648"), Variant(2147483648.0));
    EXPECT_EQ(NumberOf("99999999999999999999"), Variant(1e20));
}

TEST(ScriptLexer, DecimalsAndExponentsAreDoubles) {
    EXPECT_EQ(NumberOf("1.5"), Variant(1.5));
    EXPECT_EQ(NumberOf(".25"), Variant(0.25));
    EXPECT_EQ(NumberOf("2."), Variant(2.0));
    EXPECT_EQ(NumberOf("1e3"), Variant(1000.0));
    EXPECT_EQ(NumberOf("1.5E+2"), Variant(150.0));
    EXPECT_EQ(NumberOf("25e-2"), Variant(0.25));
    EXPECT_EQ(NumberOf("3.0"), Variant(3.0)) << "a point makes a Double even for a whole value";
}

TEST(ScriptLexer, HexNumbersAreLongsAndOnlyEightDigitsReachTheSignBit) {
    // Two's complement as in the host language, with or without the trailing &; fewer than
    // eight digits cannot reach the sign bit, however many Fs.
    const struct {
        const char* literal;
        int32_t value;
    } cases[] = {
        {"&H00FF00", 65280},
        {"&hff", 255},
        {"&HFF&", 255},
        {"&HFFFF", 65535},
        {"&HFFFFFFF", 268435455},
        {"&H7FFFFFFF", 2147483647},
        {"&H80000000", -2147483647 - 1},
        {"&H80000005", -2147483643},
        {"&HFFFFFFFF", -1},
        {"&HFFFFFFFF&", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(NumberOf(c.literal), Variant(c.value)) << c.literal;
}

TEST(ScriptLexer, MalformedNumbersAreErrorsAtTheirStart) {
    SyntaxError tooLong = ErrorOf("x = &H123456789");
    EXPECT_EQ(tooLong.column, 5);
    EXPECT_NE(tooLong.message.find("8 digits"), std::string::npos) << tooLong.message;
    EXPECT_NE(ErrorOf("&H").message.find("hexadecimal digits"), std::string::npos);
    EXPECT_NE(ErrorOf("&HFG").message.find("'&HFG'"), std::string::npos);
    EXPECT_NE(ErrorOf("1e").message.find("exponent"), std::string::npos);
    EXPECT_NE(ErrorOf("1e+").message.find("exponent"), std::string::npos);
    EXPECT_NE(ErrorOf("12px").message.find("'12px'"), std::string::npos);
    EXPECT_NE(ErrorOf("1.2.3").message.find("'1.2.3'"), std::string::npos);
    EXPECT_NE(ErrorOf("1e999").message.find("out of range"), std::string::npos);
}

TEST(ScriptLexer, StringsTakeDoubledQuotesAsOneQuote) {
    std::vector<Token> tokens = Lex(R"(print "say ""hi""", "", """")");
    ASSERT_EQ(tokens.size(), 7u);
    EXPECT_EQ(tokens[1].kind, TokenKind::String);
    EXPECT_EQ(tokens[1].text, "say \"hi\"");
    EXPECT_EQ(tokens[3].text, "");
    EXPECT_EQ(tokens[5].text, "\"");
}

TEST(ScriptLexer, StringsKeepCommentMarksAndNonAsciiText) {
    std::vector<Token> tokens = Lex("print \"it's #1 \xC3\xBC\" ' a comment");
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[1].text, "it's #1 \xC3\xBC");
}

TEST(ScriptLexer, UnterminatedStringIsAnErrorAtItsOpeningQuote) {
    SyntaxError e = ErrorOf(R"(Title = "abc)");
    EXPECT_EQ(e.column, 9);
    EXPECT_NE(e.message.find("closing quote"), std::string::npos) << e.message;
}

TEST(ScriptLexer, CommentsAndBlankLinesYieldNoTokens) {
    for (std::string_view line : {"", "   ", "' note", "  # note", "Rem note", "rem", "\t\r"}) {
        std::vector<Token> tokens = Lex(line);
        ASSERT_EQ(tokens.size(), 1u) << line;
        EXPECT_EQ(tokens[0].kind, TokenKind::End) << line;
    }
}

TEST(ScriptLexer, ATrailingCommentEndsTheLine) {
    std::vector<Token> tokens = Lex("Width = 400 ' wide enough");
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_EQ(tokens[2].number, Variant(400));
}

TEST(ScriptLexer, NamesStartingWithRemAreNotComments) {
    std::vector<Token> tokens = Lex("Remark = 1");
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_EQ(tokens[0].text, "Remark");
}

TEST(ScriptLexer, HashInsideALineIsAnError) {
    EXPECT_EQ(ErrorOf("Width = 4 # x").column, 11);
}

TEST(ScriptLexer, NamesMayHoldDigitsAndUnderscores) {
    std::vector<Token> tokens = Lex("Angle_3D = 1");
    EXPECT_EQ(tokens[0].kind, TokenKind::Identifier);
    EXPECT_EQ(tokens[0].text, "Angle_3D");
}

TEST(ScriptLexer, ColumnsCountCharactersNotBytes) {
    std::vector<Token> tokens = Lex("print \"\xC3\xBC\xC3\xBC\", x");
    ASSERT_GE(tokens.size(), 4u);
    EXPECT_EQ(tokens[1].column, 7);
    EXPECT_EQ(tokens[2].column, 11);
    EXPECT_EQ(tokens[3].column, 13);
    EXPECT_EQ(ErrorOf("print \"\xC3\xBC\" @").column, 11);
}

TEST(ScriptLexer, UnexpectedBytesAreNamedInTheMessage) {
    EXPECT_NE(ErrorOf("print 1 : print 2").message.find("':'"), std::string::npos);
    EXPECT_NE(ErrorOf("print \xC3\xBC").message.find("0xC3"), std::string::npos);
}

TEST(ScriptLexer, HugeTokensAreQuotedShortInMessages) {
    std::string line = "print " + std::string(100000, '1') + "x";
    EXPECT_LT(ErrorOf(line).message.size(), 100u);
}

}  // namespace
}  // namespace kelvane::script
