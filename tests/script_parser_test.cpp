// Tests of the chart-script parser: statement forms, argument slots, name resolution and the
// syntax errors a whole-script check reports.
#include "parser.h"

#include <gtest/gtest.h>

#include <string>

namespace kelvane::script {
namespace {

Statement Parse(std::string_view line) {
    std::optional<Statement> s = ParseLine(line, 1);
    EXPECT_TRUE(s.has_value()) << line;
    return s ? std::move(*s) : Statement{};
}

SyntaxError ErrorOf(std::string_view line) {
    try {
        ParseLine(line, 1);
    } catch (const SyntaxError& e) {
        return e;
    }
    ADD_FAILURE() << "no syntax error for: " << line;
    return {};
}

bool Mentions(const SyntaxError& e, std::string_view text) { return e.message.find(text) != std::string::npos; }

// The constant a `print` line prints.
Variant PrintedConstant(std::string_view expression) {
    Statement s = Parse("print " + std::string(expression));
    EXPECT_EQ(s.kind, Statement::Kind::Print);
    if (s.args.size() != 1 || s.args[0]->kind != Expr::Kind::Constant) {
        ADD_FAILURE() << "not a constant: " << expression;
        return {};
    }
    return s.args[0]->constant;
}

TEST(ScriptParser, AssignmentResolvesThePropertyWhateverTheCase) {
    Statement s = Parse("wIdTh = 400");
    EXPECT_EQ(s.kind, Statement::Kind::Assign);
    ASSERT_NE(s.property, nullptr);
    EXPECT_EQ(s.property->name, "Width");
    ASSERT_EQ(s.args.size(), 1u);
    EXPECT_EQ(s.args[0]->constant, Variant(400));
}

TEST(ScriptParser, EveryChartSettingCanBeAssigned) {
#define KV_SETTING(name, stored, assigned, initial) \
    EXPECT_EQ(Parse(#name " = 0").property, FindProperty(#name)) << #name;
#include "kelvane/chart_settings.def"
#undef KV_SETTING
}

TEST(ScriptParser, ConstantsAreCaseInsensitive) {
    EXPECT_EQ(PrintedConstant("TRUE"), Variant::FromBool(true));
    EXPECT_EQ(PrintedConstant("false"), Variant::FromBool(false));
    EXPECT_EQ(PrintedConstant("KVSINGLECOLOR"), Variant(1));
    EXPECT_EQ(PrintedConstant("kvLine"), Variant(2));
    EXPECT_EQ(PrintedConstant("kvFillImage"), Variant(3));
    EXPECT_EQ(PrintedConstant("kvOnePole"), Variant(4));
    EXPECT_EQ(PrintedConstant("kvDot"), Variant(5));
    EXPECT_EQ(PrintedConstant("dtcir"), Variant(1));
    EXPECT_EQ(PrintedConstant("DtRect"), Variant(2));
}

TEST(ScriptParser, MinusBeforeANumberFoldsIntoTheConstant) {
    EXPECT_EQ(PrintedConstant("-5"), Variant(-5));
    EXPECT_EQ(PrintedConstant("-2147483648"), Variant(int32_t{-2147483647 - 1}));
    EXPECT_EQ(PrintedConstant("-2147483649"), Variant(-2147483649.0));
    EXPECT_EQ(PrintedConstant("-2147483648.0"), Variant(-2147483648.0));
    EXPECT_EQ(PrintedConstant("-1.5"), Variant(-1.5));
    EXPECT_EQ(PrintedConstant("-&HFF"), Variant(-255));
    EXPECT_EQ(PrintedConstant("-&HFFFFFFFF"), Variant(1));
    EXPECT_EQ(PrintedConstant("-&H80000000"), Variant(2147483648.0)) << "beyond a Long, as at run time";
    EXPECT_EQ(PrintedConstant("+7"), Variant(7));
    EXPECT_EQ(PrintedConstant("(-(3))"), Variant(-3)) << "parentheses around a constant keep it constant";
}

TEST(ScriptParser, MinusBeforeANameNegatesAtRunTime) {
    Statement s = Parse("print -BarWidth");
    ASSERT_EQ(s.args[0]->kind, Expr::Kind::Negate);
    EXPECT_EQ(s.args[0]->args[0]->kind, Expr::Kind::Call);
}

TEST(ScriptParser, CallStatementsTakeArgumentsWithOrWithoutParentheses) {
    for (std::string_view line : {"makeChart \"a.gif\"", "MAKECHART(\"a.gif\")", "makechart (\"a.gif\")"}) {
        Statement s = Parse(line);
        EXPECT_EQ(s.kind, Statement::Kind::Call) << line;
        ASSERT_NE(s.method, nullptr);
        EXPECT_EQ(s.method->name, "makeChart");
        ASSERT_EQ(s.args.size(), 1u) << line;
        EXPECT_EQ(s.args[0]->constant, Variant("a.gif")) << line;
    }
    EXPECT_TRUE(Parse("InitChart").args.empty());
    EXPECT_TRUE(Parse("InitChart()").args.empty());
}

TEST(ScriptParser, ParenthesesFollowedByMoreArgumentsBelongToTheFirstArgument) {
    SyntaxError e = ErrorOf("SaveBinary (\"bmp\"), 2");
    EXPECT_TRUE(Mentions(e, "at most 1 argument, got 2")) << e.message;
}

TEST(ScriptParser, EmptySlotsCountAsArguments) {
    EXPECT_TRUE(Mentions(ErrorOf("makeChart ,"), "at most 1 argument, got 2"));
    EXPECT_TRUE(Mentions(ErrorOf("makeChart , \"a\""), "at most 1 argument, got 2"));
    EXPECT_TRUE(Mentions(ErrorOf("makeChart(,)"), "at most 1 argument, got 2"));
}

TEST(ScriptParser, AnEmptySlotCannotStandForARequiredArgument) {
    EXPECT_TRUE(Mentions(ErrorOf("makeChart()"), "needs argument 1 (FileName)"));
    EXPECT_TRUE(Mentions(ErrorOf("print SaveBinary()"), "needs argument 1 (imgType)"));
}

TEST(ScriptParser, EmptySlotsOfOptionalParametersAreAllowed) {
    for (const MethodEntry& m : ChartMethods()) {
        for (size_t i = 0; i < m.params.size(); ++i) {
            if (!m.params[i].defaultValue) continue;
            std::string line(m.name);
            for (size_t j = 0; j < m.params.size(); ++j) {
                line += j == 0 ? " " : ", ";
                if (j != i) line += "1";
            }
            Statement s = Parse(line);
            ASSERT_EQ(s.args.size(), m.params.size()) << line;
            EXPECT_EQ(s.args[i], nullptr) << line;
        }
    }
}

TEST(ScriptParser, ArgumentCountsAreCheckedAgainstTheMethodTable) {
    EXPECT_TRUE(Mentions(ErrorOf("InitChart 1"), "InitChart takes no arguments"));
    EXPECT_TRUE(Mentions(ErrorOf("makeChart \"a\", \"b\""), "makeChart takes at most 1 argument, got 2"));
    EXPECT_TRUE(Mentions(ErrorOf("makeChart"), "makeChart needs argument 1 (FileName)"));
    EXPECT_TRUE(Mentions(ErrorOf("print SaveBinary"), "SaveBinary needs argument 1 (imgType)"));
    EXPECT_TRUE(Mentions(ErrorOf("print BarWidth(1)"), "BarWidth takes no arguments"));
}

TEST(ScriptParser, PrintTakesOneValueOrNone) {
    Statement empty = Parse("PRINT");
    EXPECT_EQ(empty.kind, Statement::Kind::Print);
    EXPECT_TRUE(empty.args.empty());
    Statement barWidth = Parse("print BarWidth");
    ASSERT_EQ(barWidth.args.size(), 1u);
    EXPECT_EQ(barWidth.args[0]->kind, Expr::Kind::Call);
    EXPECT_TRUE(barWidth.args[0]->method->readOnlyProperty);
    EXPECT_TRUE(Mentions(ErrorOf("print 1, 2"), "one statement per line"));
}

TEST(ScriptParser, SaveTakesTheDataAndAFileName) {
    Statement s = Parse("Save SaveBinary(\"bmp\"), \"out.bmp\"");
    EXPECT_EQ(s.kind, Statement::Kind::Save);
    ASSERT_EQ(s.args.size(), 2u);
    EXPECT_EQ(s.args[0]->method->name, "SaveBinary");
    EXPECT_EQ(s.args[1]->constant, Variant("out.bmp"));
    EXPECT_TRUE(Mentions(ErrorOf("save SaveBinary(\"bmp\")"), "save needs the data and a file name"));
}

TEST(ScriptParser, OnErrorStatementsTurnResumeNextOnAndOff) {
    EXPECT_EQ(Parse("On Error Resume Next").kind, Statement::Kind::ResumeNextOn);
    EXPECT_EQ(Parse("on error resume next ' from here").kind, Statement::Kind::ResumeNextOn);
    EXPECT_EQ(Parse("On Error GoTo 0").kind, Statement::Kind::ResumeNextOff);
    EXPECT_TRUE(Mentions(ErrorOf("On Error Resume"), "On Error Resume Next"));
    EXPECT_TRUE(Mentions(ErrorOf("On Error GoTo 10"), "On Error GoTo 0"));
}

TEST(ScriptParser, RgbAndArrayAreBuiltinFunctions) {
    Statement rgb = Parse("FillColor = rgb(1, 2, 3)");
    ASSERT_EQ(rgb.args[0]->kind, Expr::Kind::Builtin);
    EXPECT_EQ(rgb.args[0]->builtin, Builtin::Rgb);
    EXPECT_EQ(rgb.args[0]->args.size(), 3u);
    Statement array = Parse("print Array(\"Q1\", Array(), -3)");
    ASSERT_EQ(array.args[0]->kind, Expr::Kind::Builtin);
    EXPECT_EQ(array.args[0]->builtin, Builtin::Array);
    ASSERT_EQ(array.args[0]->args.size(), 3u);
    EXPECT_TRUE(array.args[0]->args[1]->args.empty());
    EXPECT_TRUE(Mentions(ErrorOf("print RGB(1, 2)"), "RGB takes 3 arguments"));
    EXPECT_TRUE(Mentions(ErrorOf("print RGB(1, , 3)"), "empty argument"));
    EXPECT_TRUE(Mentions(ErrorOf("print Array(1, , 3)"), "empty argument"));
    EXPECT_TRUE(Mentions(ErrorOf("print Array"), "parentheses"));
}

TEST(ScriptParser, MisusedNamesGetMessagesSayingWhatTheNameIs) {
    EXPECT_TRUE(Mentions(ErrorOf("Widht = 400"), "unknown property 'Widht'"));
    EXPECT_TRUE(Mentions(ErrorOf("DrawNothing 1"), "unknown method 'DrawNothing'"));
    EXPECT_TRUE(Mentions(ErrorOf("print nothing"), "unknown name 'nothing'"));
    EXPECT_TRUE(Mentions(ErrorOf("print Width"), "Width can be assigned but not read"));
    EXPECT_TRUE(Mentions(ErrorOf("Width 400"), "Width is a property"));
    EXPECT_TRUE(Mentions(ErrorOf("BarWidth = 3"), "BarWidth is read-only"));
    EXPECT_TRUE(Mentions(ErrorOf("InitChart = 3"), "InitChart is a method"));
    EXPECT_TRUE(Mentions(ErrorOf("True = 3"), "cannot assign"));
    EXPECT_TRUE(Mentions(ErrorOf("RGB 1, 2, 3"), "RGB is a function"));
    EXPECT_TRUE(Mentions(ErrorOf("kvDot"), "constant"));
}

TEST(ScriptParser, ErrorsPointAtTheOffendingToken) {
    SyntaxError unknown = ErrorOf("print Array(1, foo)");
    EXPECT_EQ(unknown.line, 1);
    EXPECT_EQ(unknown.column, 16);
    EXPECT_EQ(ErrorOf("Width = ").column, 9);
    EXPECT_TRUE(Mentions(ErrorOf("Width = "), "expected a value"));
    EXPECT_EQ(ErrorOf("Width = 4 5").column, 11);
    EXPECT_EQ(ErrorOf("print (1").column, 9);
    EXPECT_EQ(ErrorOf("  = 4").column, 3);
}

TEST(ScriptParser, NestingUpToTheLimitParsesAndDeeperIsAnError) {
    auto nested = [](int depth) {
        std::string line = "print ";
        for (int i = 0; i < depth; ++i) line += "Array(";
        line += "1";
        line += std::string(static_cast<size_t>(depth), ')');
        return line;
    };
    EXPECT_NO_THROW(ParseLine(nested(kMaxNesting - 1), 1));
    EXPECT_TRUE(Mentions(ErrorOf(nested(kMaxNesting)), "nested too deeply"));
    EXPECT_TRUE(Mentions(ErrorOf(nested(100000)), "nested too deeply"));
    EXPECT_TRUE(Mentions(ErrorOf("print " + std::string(100000, '(') + "1"), "nested too deeply"));
    EXPECT_TRUE(Mentions(ErrorOf("print " + std::string(100000, '-') + "x"), "nested too deeply"));
}

TEST(ScriptParser, OverlongLinesAreRefused) {
    std::string line = "print \"" + std::string(kMaxLineBytes, 'x') + "\"";
    EXPECT_TRUE(Mentions(ErrorOf(line), "line longer than"));
}

TEST(ScriptCheck, ReportsEveryBadLineWithItsNumber) {
    CheckResult r = CheckScript("Width = 1\nWidht = 2\n\nprint (\nInitChart\n");
    ASSERT_EQ(r.errors.size(), 2u);
    EXPECT_EQ(r.errors[0].line, 2);
    EXPECT_EQ(r.errors[0].column, 1);
    EXPECT_EQ(r.errors[1].line, 4);
    EXPECT_EQ(r.errors[1].column, 8);
    EXPECT_FALSE(r.moreErrors);
}

TEST(ScriptCheck, AcceptsByteOrderMarkAndCrLfLineEnds) {
    std::string text = "\xEF\xBB\xBFWidth = 400\r\n' note\r\nprint \"a\" ' trailing\r\nInitChart\r\n";
    EXPECT_TRUE(CheckScript(text).ok());
    int lines = 0;
    ForEachLine(text, [&](std::string_view, int) {
        ++lines;
        return true;
    });
    EXPECT_EQ(lines, 4);
    CheckResult bad = CheckScript("\xEF\xBB\xBF@\r\n");
    ASSERT_EQ(bad.errors.size(), 1u);
    EXPECT_EQ(bad.errors[0].column, 1) << "the byte order mark takes no column";
}

TEST(ScriptCheck, StopsReportingAfterTheLimit) {
    std::string text;
    for (size_t i = 0; i < kMaxSyntaxErrors + 5; ++i) text += "@\n";
    CheckResult r = CheckScript(text);
    EXPECT_EQ(r.errors.size(), kMaxSyntaxErrors);
    EXPECT_TRUE(r.moreErrors);
}

TEST(ScriptCheck, AnEmptyScriptIsFine) {
    EXPECT_TRUE(CheckScript("").ok());
    EXPECT_TRUE(CheckScript("\n\n\r\n").ok());
}

}  // namespace
}  // namespace kelvane::script
