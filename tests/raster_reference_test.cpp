// The raster layer draws every reference script exactly as the reference renderer did: each
// tests/data/oracle/NAME.txt is replayed and every BMP it saves must equal the committed one.
#include <gtest/gtest.h>

#include <filesystem>

#include "bmp_file.h"
#include "replay.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

TEST(RasterReference, EveryReferenceScriptReplaysPixelForPixel) {
    const fs::path data = fs::path(KELVANE_TEST_DATA) / "oracle";
    const std::string out = test::tempDir();
    int pictures = 0;
    for (const auto& entry : fs::directory_iterator(data)) {
        if (entry.path().extension() != ".txt") continue;
        SCOPED_TRACE(entry.path().filename().string());
        const replay::Result r = replay::runScript(entry.path().string(), out);
        ASSERT_TRUE(r.ok) << r.error;
        for (const std::string& saved : r.saved) {
            test::Picture expected, actual;
            const fs::path reference = data / fs::path(saved).filename();
            ASSERT_TRUE(test::loadBmp24(reference.string(), expected)) << reference;
            ASSERT_TRUE(test::loadBmp24(saved, actual)) << saved;
            EXPECT_EQ(test::comparePictures(expected, actual), "") << fs::path(saved).filename();
            ++pictures;
        }
    }
    EXPECT_GE(pictures, 5);
    fs::remove_all(out);
}

}  // namespace
}  // namespace kelvane
