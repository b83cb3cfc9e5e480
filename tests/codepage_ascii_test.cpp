// ASCII text in the system code pages: read and written without a converter, as the converter
// itself reads and writes it.
#include <gtest/gtest.h>

#include <string>

#include "raster/codepage.h"

namespace kelvane::gdi {
namespace {

TEST(CodePageAscii, ReadsAndWritesAsTheConverterDoes) {
    std::string ascii;
    for (int b = 1; b < 0x80; ++b) ascii += char(b);
    for (UINT codePage : {936u, 54936u, 932u, 949u, 950u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u, 1257u,
                          1258u, 874u, 437u, 850u, 866u}) {
        SCOPED_TRACE(codePage);
        // A byte beyond ASCII sends the text through the converter; ASCII alone does not.
        const std::string mixed = ascii + "\xA1\xA1";
        std::u32string converted, direct;
        decodeCodePage(codePage, mixed.data(), mixed.size(), converted);
        decodeCodePage(codePage, ascii.data(), ascii.size(), direct);
        ASSERT_GE(converted.size(), ascii.size());
        EXPECT_EQ(converted.substr(0, ascii.size()), direct);
        const std::u32string text = direct + U"\u00E9";
        EXPECT_EQ(encodeCodePage(codePage, direct.data(), direct.size()), ascii);
        EXPECT_EQ(encodeCodePage(codePage, text.data(), text.size()).substr(0, ascii.size()), ascii);
    }
}

}  // namespace
}  // namespace kelvane::gdi
