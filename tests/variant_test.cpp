#include "kelvane/variant.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>

#include "error_raised.h"

namespace kelvane {
namespace {

using test::errorRaisedBy;

Variant ArrayOf(Variant a, Variant b) { return Variant(Variant::Array{std::move(a), std::move(b)}); }
Variant SomeBytes() { return Variant(Variant::Bytes{1, 2, 3}); }

TEST(VariantTest, ReportsTheKindOfValueItHolds) {
    EXPECT_EQ(Variant().type(), Variant::Type::Empty);
    EXPECT_TRUE(Variant().isEmpty());
    EXPECT_EQ(Variant::FromBool(true).type(), Variant::Type::Bool);
    EXPECT_EQ(Variant(int32_t{3}).type(), Variant::Type::Long);
    EXPECT_EQ(Variant(3.0).type(), Variant::Type::Double);
    EXPECT_EQ(Variant(3.0f).type(), Variant::Type::Double);
    EXPECT_EQ(Variant("x").type(), Variant::Type::String);
    EXPECT_EQ(ArrayOf(1, 2).type(), Variant::Type::Array);
    EXPECT_EQ(SomeBytes().type(), Variant::Type::Bytes);

    EXPECT_TRUE(Variant::FromBool(false).isNumeric());
    EXPECT_TRUE(Variant(1).isNumeric());
    EXPECT_TRUE(Variant(1.5).isNumeric());
    EXPECT_FALSE(Variant("1").isNumeric());
    EXPECT_FALSE(Variant().isNumeric());
}

TEST(VariantTest, ComparesByKindAndValue) {
    EXPECT_EQ(Variant(), Variant());
    EXPECT_EQ(ArrayOf(1, "a"), ArrayOf(1, "a"));
    EXPECT_NE(Variant(1), Variant(1.0));
    EXPECT_NE(Variant::FromBool(true), Variant(-1));
    EXPECT_NE(Variant(""), Variant());
}

TEST(VariantNumberTest, EmptyAndBooleansConvertToNumbers) {
    EXPECT_EQ(Variant().toDouble(), 0);
    EXPECT_EQ(Variant().toLong(), 0);
    EXPECT_EQ(Variant::FromBool(true).toDouble(), -1);
    EXPECT_EQ(Variant::FromBool(true).toInteger(), -1);
    EXPECT_EQ(Variant::FromBool(false).toLong(), 0);
}

TEST(VariantNumberTest, DoublesRoundTiesToEvenWhenMadeIntegers) {
    EXPECT_EQ(Variant(2.5).toInteger(), 2);
    EXPECT_EQ(Variant(3.5).toLong(), 4);
    EXPECT_EQ(Variant(-2.5).toLong(), -2);
    EXPECT_EQ(Variant(0.1).toSingle(), 0.1f);
}

TEST(VariantNumberTest, IntegersOutsideTheTargetRangeOverflow) {
    EXPECT_EQ(Variant(int32_t{40000}).toLong(), 40000);
    EXPECT_EQ(errorRaisedBy([] { Variant(int32_t{40000}).toInteger(); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { Variant(32767.5).toInteger(); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { Variant(3e9).toLong(); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { Variant(1e39).toSingle(); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { Variant(std::numeric_limits<double>::quiet_NaN()).toLong(); }), kErrOverflow);
}

TEST(VariantNumberTest, TextIsParsedAsANumber) {
    EXPECT_EQ(Variant(" 2.5 ").toDouble(), 2.5);
    EXPECT_EQ(Variant("2.5").toInteger(), 2);
    EXPECT_EQ(Variant("-1e3").toLong(), -1000);
    EXPECT_EQ(Variant("0.1").toSingle(), 0.1f);
    EXPECT_EQ(errorRaisedBy([] { Variant("40000").toInteger(); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([] { Variant("1e999").toDouble(); }), kErrOverflow);
}

TEST(VariantNumberTest, TextThatIsNotANumberIsATypeMismatch) {
    EXPECT_EQ(errorRaisedBy([] { Variant("").toDouble(); }), kErrTypeMismatch);
    EXPECT_EQ(errorRaisedBy([] { Variant("abc").toLong(); }), kErrTypeMismatch);
    EXPECT_EQ(errorRaisedBy([] { Variant("1,5").toSingle(); }), kErrTypeMismatch);
    EXPECT_EQ(errorRaisedBy([] { Variant("True").toInteger(); }), kErrTypeMismatch);
}

TEST(VariantNumberTest, ArraysAndBytesAreNotNumbers) {
    EXPECT_EQ(errorRaisedBy([] { ArrayOf(1, 2).toDouble(); }), kErrTypeMismatch);
    EXPECT_EQ(errorRaisedBy([] { ArrayOf(1, 2).toLong(); }), kErrTypeMismatch);
    EXPECT_EQ(errorRaisedBy([] { SomeBytes().toInteger(); }), kErrTypeMismatch);
    EXPECT_EQ(errorRaisedBy([] { SomeBytes().toSingle(); }), kErrTypeMismatch);
}

TEST(VariantBoolTest, AnyNonZeroNumberIsTrue) {
    EXPECT_EQ(Variant().toBool(), kFalse);
    EXPECT_EQ(Variant(0).toBool(), kFalse);
    EXPECT_EQ(Variant(0.0).toBool(), kFalse);
    EXPECT_EQ(Variant(1).toBool(), kTrue);
    EXPECT_EQ(Variant(-0.25).toBool(), kTrue);
    EXPECT_EQ(Variant::FromBool(true).toBool(), kTrue);
    EXPECT_EQ(Variant::FromBool(false).toBool(), kFalse);
}

TEST(VariantBoolTest, TextReadsAsTrueFalseInAnyCaseOrElseAsANumber) {
    EXPECT_EQ(Variant("True").toBool(), kTrue);
    EXPECT_EQ(Variant("tRUE").toBool(), kTrue);
    EXPECT_EQ(Variant(" false ").toBool(), kFalse);
    EXPECT_EQ(Variant("FALSE").toBool(), kFalse);
    EXPECT_EQ(Variant("2").toBool(), kTrue);
    EXPECT_EQ(Variant("0.0").toBool(), kFalse);
    EXPECT_EQ(errorRaisedBy([] { Variant("yes").toBool(); }), kErrTypeMismatch);
    EXPECT_EQ(errorRaisedBy([] { Variant("").toBool(); }), kErrTypeMismatch);
    EXPECT_EQ(errorRaisedBy([] { Variant("Truer").toBool(); }), kErrTypeMismatch);
    EXPECT_EQ(errorRaisedBy([] { SomeBytes().toBool(); }), kErrTypeMismatch);
}

TEST(VariantTextTest, WritesEachKindAsTheHostWould) {
    EXPECT_EQ(Variant().toText(), "");
    EXPECT_EQ(Variant::FromBool(true).toText(), "True");
    EXPECT_EQ(Variant::FromBool(false).toText(), "False");
    EXPECT_EQ(Variant(-2147483647 - 1).toText(), "-2147483648");
    EXPECT_EQ(Variant("as is ").toText(), "as is ");
}

TEST(VariantTextTest, WritesWholeDoublesWithoutAPointAndOthersWithFifteenDigits) {
    EXPECT_EQ(Variant(3.0).toText(), "3");
    EXPECT_EQ(Variant(-0.0).toText(), "0");
    EXPECT_EQ(Variant(123456789012345.0).toText(), "123456789012345");
    EXPECT_EQ(Variant(0.1).toText(), "0.1");
    EXPECT_EQ(Variant(0.1f).toText(), "0.100000001490116");
    EXPECT_EQ(Variant(2.0 / 3.0).toText(), "0.666666666666667");
    EXPECT_EQ(Variant(1e20).toText(), "1E+20");
}

TEST(VariantTextTest, ArraysAndBytesHaveNoText) {
    EXPECT_EQ(errorRaisedBy([] { ArrayOf("a", "b").toText(); }), kErrTypeMismatch);
    EXPECT_EQ(errorRaisedBy([] { SomeBytes().toText(); }), kErrTypeMismatch);
}

TEST(VariantAccessTest, GivesDirectAccessToTheHeldValue) {
    EXPECT_EQ(Variant("abc").string(), "abc");
    const Variant list = ArrayOf(1, "two");
    ASSERT_EQ(list.array().size(), 2u);
    EXPECT_EQ(list.array()[1].string(), "two");

    Variant bytes = SomeBytes();
    bytes.bytes().push_back(4);
    EXPECT_EQ(std::as_const(bytes).bytes(), (Variant::Bytes{1, 2, 3, 4}));
}

TEST(VariantAccessTest, AccessToADifferentKindIsATypeMismatch) {
    EXPECT_EQ(errorRaisedBy([] { Variant(1).string(); }), kErrTypeMismatch);
    EXPECT_EQ(errorRaisedBy([] { Variant().string(); }), kErrTypeMismatch);
    EXPECT_EQ(errorRaisedBy([] { SomeBytes().array(); }), kErrTypeMismatch);
    EXPECT_EQ(errorRaisedBy([] { ArrayOf(1, 2).bytes(); }), kErrTypeMismatch);
    const Variant text("x");
    EXPECT_EQ(errorRaisedBy([&] { text.bytes(); }), kErrTypeMismatch);
}

}  // namespace
}  // namespace kelvane
