// The raster layer draws every reference script exactly as the reference renderer did: each
// tests/data/oracle/NAME.txt is replayed and every BMP it saves must equal the committed one.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "bmp_file.h"
#include "replay.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

TEST(RasterReference, EveryReferenceScriptReplaysPixelForPixel) {
    const fs::path data = fs::path(KELVANE_TEST_DATA) / "oracle";
    int pictures = 0;
    for (const auto& entry : fs::directory_iterator(data)) {
        if (entry.path().extension() != ".txt") continue;
        SCOPED_TRACE(entry.path().filename().string());
        std::map<std::string, std::vector<uint8_t>> saved;
        std::ostringstream err;
        replay::Options options;
        options.captured = &saved;
        options.err = &err;
        ASSERT_EQ(replay::runScripts({entry.path().string()}, options), 0) << err.str();
        for (const auto& [name, bytes] : saved) {
            test::Picture expected, actual;
            const fs::path reference = data / fs::path(name).filename();
            ASSERT_TRUE(test::loadBmp24(reference.string(), expected)) << reference;
            ASSERT_TRUE(test::decodeBmp24(bytes, actual)) << name;
            EXPECT_EQ(test::comparePictures(expected, actual), "") << name;
            // The replayed file is the reference renderer's file, byte for byte.
            EXPECT_EQ(bytes, test::readFile(reference.string())) << name;
            ++pictures;
        }
    }
    EXPECT_GE(pictures, 5);
}

}  // namespace
}  // namespace kelvane
