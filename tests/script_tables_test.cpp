// Tests of the name tables chart scripts use: the method table, the property table built from the
// chart settings, and the builtin names, which must never shadow one another.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "builtins.h"
#include "methods.h"
#include "names.h"
#include "properties.h"

namespace kelvane::script {
namespace {

TEST(ScriptTables, NoNameIsClaimedTwice) {
    std::map<std::string, std::string> owner;
    auto claim = [&](std::string_view name, std::string_view table) {
        auto [it, fresh] = owner.emplace(NameKey(name), std::string(table));
        EXPECT_TRUE(fresh) << name << " is in " << table << " and in " << it->second;
    };
    for (const MethodEntry& m : ChartMethods()) claim(m.name, "the method table");
    for (const PropertyEntry& p : ChartProperties()) claim(p.name, "the property table");
    for (std::string_view word : {"print", "save", "On", "Rem", "True", "False", "RGB", "Array", "kvSingleColor",
                                  "kvline", "kvFillImage", "kvOnePole", "kvDot", "dtCir", "dtRect"}) {
        claim(word, "the language");
    }
}

TEST(ScriptTables, EveryMethodIsFoundWhateverTheCase) {
    for (const MethodEntry& m : ChartMethods()) {
        EXPECT_EQ(FindMethod(m.name), &m);
        EXPECT_EQ(FindMethod(NameKey(m.name)), &m);
    }
    EXPECT_EQ(FindMethod("NoSuchMethod"), nullptr);
}

TEST(ScriptTables, RequiredParametersNeverFollowOptionalOnes) {
    for (const MethodEntry& m : ChartMethods()) {
        bool optionalSeen = false;
        for (const Param& p : m.params) {
            if (p.defaultValue) optionalSeen = true;
            EXPECT_FALSE(optionalSeen && !p.defaultValue) << m.name << ": " << p.name;
        }
    }
}

TEST(ScriptTables, EveryMethodHasAnAdapter) {
    for (const MethodEntry& m : ChartMethods()) EXPECT_NE(m.invoke, nullptr) << m.name;
}

TEST(ScriptTables, PropertiesFollowTheSettingsListInOrder) {
    std::vector<std::string_view> expected = {
#define KV_SETTING(name, stored, assigned, initial) #name,
#include "kelvane/chart_settings.def"
#undef KV_SETTING
    };
    ASSERT_EQ(ChartProperties().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(ChartProperties()[i].name, expected[i]);
}

TEST(ScriptTables, RgbComposesAColourAndRejectsComponentsOutsideAByte) {
    EXPECT_EQ(Rgb(Variant(255), Variant(0), Variant(0)), Variant(255));
    EXPECT_EQ(Rgb(Variant(0), Variant(255), Variant(0)), Variant(65280));
    EXPECT_EQ(Rgb(Variant(1), Variant(2), Variant(3)), Variant(0x030201));
    EXPECT_EQ(Rgb(Variant(255), Variant(255), Variant(255)), Variant(0xFFFFFF));
    EXPECT_EQ(Rgb(Variant(1.5), Variant("2"), Variant()), Variant(0x0202)) << "components convert like a Long";
    for (auto bad : {Variant(256), Variant(-1)}) {
        try {
            Rgb(bad, Variant(0), Variant(0));
            ADD_FAILURE() << "no error for " << bad.toText();
        } catch (const AutomationError& e) {
            EXPECT_EQ(e.number(), kErrInvalidCall);
        }
    }
}

TEST(ScriptTables, NegationKeepsLongsWhereTheyFit) {
    EXPECT_EQ(Negate(Variant(5)), Variant(-5));
    EXPECT_EQ(Negate(Variant(int32_t{-2147483647 - 1})), Variant(2147483648.0));
    EXPECT_EQ(Negate(Variant(1.5)), Variant(-1.5));
    EXPECT_EQ(Negate(Variant::FromBool(true)), Variant(1));
    EXPECT_EQ(Negate(Variant()), Variant(0));
    EXPECT_EQ(Negate(Variant("2.5")), Variant(-2.5));
}

}  // namespace
}  // namespace kelvane::script
