#include "kelvane/runtime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "error_raised.h"

namespace kelvane {
namespace {

using test::errorRaisedBy;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(AutomationErrorTest, CarriesTheNumberAndTheStandardDescription) {
    try {
        Raise(kErrOverflow);
        FAIL() << "Raise returned";
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.number(), 6);
        EXPECT_EQ(e.description(), "Overflow");
        EXPECT_STREQ(e.what(), "error 6: Overflow");
    }
}

TEST(AutomationErrorTest, KeepsACustomDescription) {
    try {
        Raise(kErrJpeg, "Bad quality");
        FAIL() << "Raise returned";
    } catch (const std::runtime_error& e) {
        const auto* automation = dynamic_cast<const AutomationError*>(&e);
        ASSERT_NE(automation, nullptr);
        EXPECT_EQ(automation->number(), 1);
        EXPECT_EQ(automation->description(), "Bad quality");
        EXPECT_STREQ(e.what(), "error 1: Bad quality");
    }
}

TEST(AutomationErrorTest, DescribesEveryNumberTheComponentRaises) {
    EXPECT_EQ(ErrorDescription(5), "Invalid procedure call or argument");
    EXPECT_EQ(ErrorDescription(6), "Overflow");
    EXPECT_EQ(ErrorDescription(7), "Out of memory");
    EXPECT_EQ(ErrorDescription(9), "Subscript out of range");
    EXPECT_EQ(ErrorDescription(11), "Division by zero");
    EXPECT_EQ(ErrorDescription(13), "Type mismatch");
    EXPECT_EQ(ErrorDescription(53), "File not found");
    EXPECT_EQ(ErrorDescription(91), "Object variable or With block variable not set");
}

TEST(AutomationErrorTest, LeavesUnknownNumbersUndescribed) {
    EXPECT_EQ(ErrorDescription(0), "");
    EXPECT_EQ(ErrorDescription(1), "");
    EXPECT_EQ(ErrorDescription(12), "");
    try {
        Raise(42);
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.number(), 42);
        EXPECT_STREQ(e.what(), "error 42");
    }
}

TEST(RoundEvenTest, SendsExactHalvesToTheEvenNeighbour) {
    EXPECT_EQ(RoundEven(0.5), 0);
    EXPECT_EQ(RoundEven(1.5), 2);
    EXPECT_EQ(RoundEven(2.5), 2);
    EXPECT_EQ(RoundEven(-2.5), -2);
    EXPECT_EQ(RoundEven(3.5), 4);
    EXPECT_EQ(RoundEven(-0.5), 0);
}

TEST(RoundEvenTest, RoundsEverythingElseToTheNearestInteger) {
    EXPECT_EQ(RoundEven(2.4999999999999996), 2);
    EXPECT_EQ(RoundEven(2.5000000000000004), 3);
    EXPECT_EQ(RoundEven(-7.6), -8);
    EXPECT_EQ(RoundEven(1e20), 1e20);
}

TEST(CheckedConversionTest, IntegerAcceptsTheWhole16BitRangeAfterRounding) {
    EXPECT_EQ(CInt(32767.0), 32767);
    EXPECT_EQ(CInt(32767.4), 32767);
    EXPECT_EQ(CInt(-32768.4), -32768);
    EXPECT_EQ(CInt(-32768.5), -32768);  // the tie goes to the even -32768, still in range
    EXPECT_EQ(CInt(2.5), 2);
    EXPECT_EQ(CInt(int64_t{-32768}), -32768);
    EXPECT_EQ(CInt(int32_t{32767}), 32767);
}

TEST(CheckedConversionTest, IntegerOverflowsOnceRoundingLeavesTheRange) {
    EXPECT_EQ(errorRaisedBy([] { CInt(32767.5); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { CInt(-32769.0); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { CInt(-32768.6); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { CInt(int64_t{32768}); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { CInt(int32_t{-32769}); }), kErrOverflow);
}

TEST(CheckedConversionTest, LongAcceptsTheWhole32BitRangeAfterRounding) {
    EXPECT_EQ(CLng(2147483647.0), 2147483647);
    EXPECT_EQ(CLng(2147483647.4), 2147483647);
    EXPECT_EQ(CLng(-2147483648.4), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(CLng(-3.5), -4);
    EXPECT_EQ(CLng(int64_t{-2147483648}), std::numeric_limits<int32_t>::min());
}

TEST(CheckedConversionTest, LongOverflowsOnceRoundingLeavesTheRange) {
    EXPECT_EQ(errorRaisedBy([] { CLng(2147483647.5); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { CLng(-2147483648.6); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { CLng(1e300); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { CLng(int64_t{2147483648}); }), kErrOverflow);
}

TEST(CheckedConversionTest, NaNAndInfinitiesNeverBecomeIntegers) {
    EXPECT_EQ(errorRaisedBy([] { CInt(kNaN); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { CInt(kInf); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { CLng(kNaN); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { CLng(-kInf); }), kErrOverflow);
}

TEST(CheckedConversionTest, SingleRoundsToNearestFloatAndRejectsWhatLeavesItsRange) {
    EXPECT_EQ(CSng(0.1), 0.1f);
    EXPECT_EQ(CSng(3.4028234663852886e38), std::numeric_limits<float>::max());
    EXPECT_EQ(CSng(1e-50), 0.0f);
    EXPECT_EQ(errorRaisedBy([] { CSng(kInf); }), kErrOverflow);  // an overflow earlier on
    EXPECT_EQ(errorRaisedBy([] { CSng(kNaN); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { CSng(3.5e38); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { CSng(-1e300); }), kErrOverflow);
}

TEST(CheckedArithmeticTest, LongArithmeticWorksUpToTheLimits) {
    EXPECT_EQ(AddLng(2147483646, 1), 2147483647);
    EXPECT_EQ(SubLng(-2147483647, 1), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(MulLng(-65536, 32768), std::numeric_limits<int32_t>::min());
}

TEST(CheckedArithmeticTest, LongArithmeticOverflowsPastTheLimits) {
    EXPECT_EQ(errorRaisedBy([] { AddLng(2147483647, 1); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { SubLng(std::numeric_limits<int32_t>::min(), 1); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { MulLng(65536, 32768); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { MulLng(std::numeric_limits<int32_t>::min(), -1); }), kErrOverflow);
}

TEST(CheckedArithmeticTest, IntegerArithmeticIsCheckedAt16Bits) {
    EXPECT_EQ(AddInt(32766, 1), 32767);
    EXPECT_EQ(SubInt(-32767, 1), -32768);
    EXPECT_EQ(errorRaisedBy([] { AddInt(32767, 1); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { SubInt(-32768, 1); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { SubInt(0, -32768); }), kErrOverflow);
}

TEST(DivisionTest, DividesOrdinaryValues) {
    EXPECT_EQ(Divide(7, 2), 3.5);
    EXPECT_EQ(Divide(-1, 4), -0.25);
    EXPECT_EQ(Divide(0, 5), 0);
}

TEST(DivisionTest, ZeroDivisorRaisesDivisionByZeroUnlessTheDividendIsZeroToo) {
    EXPECT_EQ(errorRaisedBy([] { Divide(1, 0); }), kErrDivisionByZero);
    EXPECT_EQ(errorRaisedBy([] { Divide(-1, -0.0); }), kErrDivisionByZero);
    EXPECT_EQ(errorRaisedBy([] { Divide(kInf, 0); }), kErrDivisionByZero);
    EXPECT_EQ(errorRaisedBy([] { Divide(0, 0); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { Divide(-0.0, 0); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { Divide(kNaN, 0); }), kErrOverflow);
}

TEST(DivisionTest, QuotientBeyondTheDoubleRangeOverflows) {
    EXPECT_EQ(errorRaisedBy([] { Divide(1e300, 1e-300); }), kErrOverflow);
}

TEST(DivisionTest, IntegerDivisionTruncatesTowardZero) {
    EXPECT_EQ(IntDivide(7, 2), 3);
    EXPECT_EQ(IntDivide(-7, 2), -3);
    EXPECT_EQ(IntDivide(7, -2), -3);
    EXPECT_EQ(IntDivide(std::numeric_limits<int32_t>::min(), 1), std::numeric_limits<int32_t>::min());
}

TEST(DivisionTest, IntegerDivisionRejectsZeroAndTheOneOverflowingQuotient) {
    EXPECT_EQ(errorRaisedBy([] { IntDivide(5, 0); }), kErrDivisionByZero);
    EXPECT_EQ(errorRaisedBy([] { IntDivide(0, 0); }), kErrDivisionByZero);
    EXPECT_EQ(errorRaisedBy([] { IntDivide(std::numeric_limits<int32_t>::min(), -1); }), kErrOverflow);
}

TEST(SingleToTextTest, WritesShortFixedFormsWithoutTrailingZeros) {
    EXPECT_EQ(SingleToText(35), "35");
    EXPECT_EQ(SingleToText(-3), "-3");
    EXPECT_EQ(SingleToText(220.5f), "220.5");
    EXPECT_EQ(SingleToText(124.375f), "124.375");
    EXPECT_EQ(SingleToText(81.25f), "81.25");
    EXPECT_EQ(SingleToText(0.5f), "0.5");
    EXPECT_EQ(SingleToText(1234567), "1234567");
    EXPECT_EQ(SingleToText(0.0001f), "0.0001");
}

TEST(SingleToTextTest, ShowsTheSevenDigitValueNotTheBinaryOne) {
    EXPECT_EQ(SingleToText(0.1f), "0.1");
    EXPECT_EQ(SingleToText(2.675f), "2.675");
    EXPECT_EQ(SingleToText(1.0f / 3.0f), "0.3333333");
}

TEST(SingleToTextTest, UsesExponentFormWhereSevenDigitsCannotShowTheValue) {
    EXPECT_EQ(SingleToText(1E+07f), "1E+07");
    EXPECT_EQ(SingleToText(12345678), "1.234568E+07");
    EXPECT_EQ(SingleToText(1.5E-08f), "1.5E-08");
    EXPECT_EQ(SingleToText(1E-05f), "1E-05");
    EXPECT_EQ(SingleToText(-2.5E+20f), "-2.5E+20");
}

TEST(SingleToTextTest, WritesZeroAndNonFiniteValuesPlainly) {
    EXPECT_EQ(SingleToText(0.0f), "0");
    EXPECT_EQ(SingleToText(-0.0f), "0");
    EXPECT_EQ(SingleToText(std::numeric_limits<float>::quiet_NaN()), "NaN");
    EXPECT_EQ(SingleToText(std::numeric_limits<float>::infinity()), "Inf");
    EXPECT_EQ(SingleToText(-std::numeric_limits<float>::infinity()), "-Inf");
}

TEST(DoubleToTextTest, KeepsFifteenSignificantDigits) {
    EXPECT_EQ(DoubleToText(0.1), "0.1");
    EXPECT_EQ(DoubleToText(0.1 + 0.2), "0.3");
    EXPECT_EQ(DoubleToText(123456789012345.0), "123456789012345");
    EXPECT_EQ(DoubleToText(1234567890123456.0), "1.23456789012346E+15");
    EXPECT_EQ(DoubleToText(-1.0 / 3.0), "-0.333333333333333");
    EXPECT_EQ(DoubleToText(2.5e-20), "2.5E-20");
    EXPECT_EQ(DoubleToText(-0.0), "0");
    EXPECT_EQ(DoubleToText(kNaN), "NaN");
}

TEST(FormatPatternTest, RoundsExactHalvesAwayFromZero) {
    EXPECT_EQ(FormatPattern(0.125, "0.00"), "0.13");
    EXPECT_EQ(FormatPattern(-0.125, "0.00"), "-0.13");
    EXPECT_EQ(FormatPattern(2.5, "0"), "3");
    EXPECT_EQ(FormatPattern(-2.5, "0"), "-3");
    EXPECT_EQ(FormatPattern(0.5, "0"), "1");
    EXPECT_EQ(FormatPattern(9.995, "0.00"), "9.99");  // 9.995 is stored just below the half
    EXPECT_EQ(FormatPattern(99.5, "0"), "100");
}

TEST(FormatPatternTest, RoundsTheExactBinaryValueOfASingle) {
    EXPECT_EQ(FormatPattern(2.675f, "0.00"), "2.67");
    EXPECT_EQ(FormatPattern(2.675, "0.00"), "2.67");
    EXPECT_EQ(FormatPattern(1.005f, "0.00"), "1.00");  // 1.00499999523...
    EXPECT_EQ(FormatPattern(0.15f, "0.0"), "0.2");     // 0.15000000596...
}

TEST(FormatPatternTest, PadsToThePatternsDecimals) {
    EXPECT_EQ(FormatPattern(1234.5678, "0.0"), "1234.6");
    EXPECT_EQ(FormatPattern(0.5, "0.00"), "0.50");
    EXPECT_EQ(FormatPattern(7, "0.000"), "7.000");
    EXPECT_EQ(FormatPattern(-7, "0"), "-7");
    EXPECT_EQ(FormatPattern(0.999, "0.00"), "1.00");
}

TEST(FormatPatternTest, KeepsTheSignOfANegativeValueThatRoundsToZero) {
    EXPECT_EQ(FormatPattern(-0.001, "0.00"), "-0.00");
    EXPECT_EQ(FormatPattern(-0.4, "0"), "-0");
    EXPECT_EQ(FormatPattern(-0.0, "0.0"), "0.0");  // negative zero is zero
    EXPECT_EQ(FormatPattern(-0.005, "0.00"), "-0.01");  // -0.005000000000000000104...
}

TEST(FormatPatternTest, HandlesExtremeMagnitudes) {
    const std::string big = FormatPattern(1e300, "0");
    ASSERT_EQ(big.size(), 301u);
    EXPECT_EQ(big.substr(0, 17), "10000000000000000");
    EXPECT_EQ(FormatPattern(-1e300, "0.0").substr(0, 3), "-10");
    EXPECT_EQ(FormatPattern(5e-324, "0.00"), "0.00");
    EXPECT_EQ(FormatPattern(std::numeric_limits<double>::max(), "0.00").size(), 312u);
}

TEST(FormatPatternTest, RejectsPatternsOfOtherShapes) {
    for (const char* pattern : {"", "0.", "00", "0.0#", "#.00", "0,00", ".00", "1", "0.00 ", "0.0.0"}) {
        EXPECT_EQ(errorRaisedBy([&] { FormatPattern(1, pattern); }), kErrInvalidCall) << '"' << pattern << '"';
    }
}

TEST(TextToNumberTest, ReadsPlainDecimalNumbers) {
    EXPECT_EQ(TextToNumber("42"), 42);
    EXPECT_EQ(TextToNumber("-1.5"), -1.5);
    EXPECT_EQ(TextToNumber("+0.25"), 0.25);
    EXPECT_EQ(TextToNumber(".5"), 0.5);
    EXPECT_EQ(TextToNumber("5."), 5);
    EXPECT_EQ(TextToNumber("007"), 7);
    EXPECT_EQ(TextToNumber("0.1"), 0.1);
}

TEST(TextToNumberTest, ReadsExponents) {
    EXPECT_EQ(TextToNumber("1e3"), 1000);
    EXPECT_EQ(TextToNumber("2.5E-2"), 0.025);
    EXPECT_EQ(TextToNumber("-4E+1"), -40);
    EXPECT_EQ(TextToNumber("1e-400"), 0);
    EXPECT_EQ(TextToNumber("0.0001e-320"), 0);
    EXPECT_EQ(TextToNumber("0e99999999999999999999"), 0);
}

TEST(TextToNumberTest, IgnoresSurroundingSpacesAndTabs) {
    EXPECT_EQ(TextToNumber("  12 "), 12);
    EXPECT_EQ(TextToNumber("\t-3.5\t "), -3.5);
}

TEST(TextToNumberTest, RejectsAnythingThatIsNotASimpleNumber) {
    for (const char* text : {"", "   ", "1,5", "abc", "1e", "1e+", ".", "--1", "+-1", "- 1", "1 2", "1.2.3",
                             "e5", "inf", "nan", "0x10", "1d2", "12a", "\n1", "1\n", "$1", "1e2.5"}) {
        EXPECT_EQ(errorRaisedBy([&] { TextToNumber(text); }), kErrTypeMismatch) << '"' << text << '"';
    }
}

TEST(TextToNumberTest, OverflowsWhenTheValueExceedsADouble) {
    EXPECT_EQ(errorRaisedBy([] { TextToNumber("1e309"); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { TextToNumber("-2e308"); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { TextToNumber("0.001e99999999999999999999"); }), kErrOverflow);
    EXPECT_EQ(TextToNumber("1.7976931348623157e308"), std::numeric_limits<double>::max());
}

}  // namespace
}  // namespace kelvane
