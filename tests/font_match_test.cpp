// Face matching: whichever configuration answers, a family name gets the face the system's
// whole fontconfig configuration chooses, and the names charts use are answered without it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "raster/font_match.h"

namespace kelvane::gdi {
namespace {

// The names charts, scripts and tests ask for, other spellings, generic and unknown names, and
// every family installed.
std::vector<std::string> familiesToCheck() {
    std::vector<std::string> families = {
        "Arial", "arial", "ARIAL", "Times New Roman", "TimesNewRoman", "Courier New", "System", "",
        "No Such Face At All", "Helvetica", "Times", "Courier", "sans-serif", "serif", "monospace", "sans",
        "mono", "Arimo", "Tinos", "Cousine",
        "\xE6\x96\x87\xE6\xB3\x89\xE9\xA9\xBF\xE5\xBE\xAE\xE7\xB1\xB3\xE9\xBB\x91"};  // 文泉驿微米黑
    FcPattern* all = FcPatternCreate();
    FcObjectSet* fields = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* fonts = FcFontList(nullptr, all, fields);
    std::set<std::string> installed;
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
        FcChar8* name = nullptr;
        for (int k = 0; FcPatternGetString(fonts->fonts[i], FC_FAMILY, k, &name) == FcResultMatch; ++k)
            installed.insert(reinterpret_cast<const char*>(name));
    }
    if (fonts) FcFontSetDestroy(fonts);
    FcObjectSetDestroy(fields);
    FcPatternDestroy(all);
    families.insert(families.end(), installed.begin(), installed.end());
    return families;
}

TEST(FontMatch, EveryFamilyGetsTheSystemConfigurationsFace) {
    for (const std::string& family : familiesToCheck()) {
        for (bool bold : {false, true}) {
            SCOPED_TRACE(family + (bold ? " bold" : " regular"));
            FaceMatch chosen, system;
            ASSERT_EQ(chooseFace(family, bold, chosen), matchFamily(nullptr, family, bold, system));
            EXPECT_EQ(chosen.file.path, system.file.path);
            EXPECT_EQ(chosen.file.index, system.file.index);
            EXPECT_EQ(chosen.file.family, system.file.family);
            EXPECT_EQ(chosen.file.bold, system.file.bold);  // a regular face matched for bold reports bold
            EXPECT_EQ(chosen.requested, system.requested);
        }
    }
}

TEST(FontMatch, TheChartsFacesAreAnsweredByTheLeanConfiguration) {
    FcConfig* lean = leanFontConfig();
    if (!lean) GTEST_SKIP() << "a local or user fontconfig configuration is present";
    for (const char* family : {"Arial", "Times New Roman", "Courier New", "Liberation Sans"}) {
        SCOPED_TRACE(family);
        FaceMatch m;
        ASSERT_TRUE(matchFamily(lean, family, false, m));
        EXPECT_TRUE(m.requested);
    }
}

TEST(FontMatch, FontconfigRedirectedByTheEnvironmentLeavesMatchingToIt) {
    const char* before = std::getenv("FONTCONFIG_PATH");
    const std::string saved = before ? before : "";
    setenv("FONTCONFIG_PATH", "/nonexistent", 1);
    FcConfig* lean = reinterpret_cast<FcConfig*>(1);
    std::thread([&] { lean = leanFontConfig(); }).join();  // a thread makes its own on first use
    if (before)
        setenv("FONTCONFIG_PATH", saved.c_str(), 1);
    else
        unsetenv("FONTCONFIG_PATH");
    EXPECT_EQ(lean, nullptr);
}

}  // namespace
}  // namespace kelvane::gdi
