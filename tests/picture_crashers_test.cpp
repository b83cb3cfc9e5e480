// Inputs that once crashed or hung a picture loader (tests/crashers/picture) stay harmless.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "bmp_file.h"
#include "picture/image_from.h"
#include "picture_helpers.h"

namespace kelvane {
namespace {

TEST(PictureCrashers, SavedInputsLoadOrFailQuickly) {
    const std::filesystem::path folder = std::filesystem::path(KELVANE_TEST_DATA) / ".." / "crashers" / "picture";
    test::MessageLog log;
    int inputs = 0;
    if (!std::filesystem::exists(folder)) return;  // none saved yet
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        const auto start = std::chrono::steady_clock::now();
        const StdPicture picture = mImageFrom::PictureFromBytes(test::readFile(entry.path().string()));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << entry.path();
        ++inputs;
    }
    RecordProperty("inputs", inputs);
}

}  // namespace
}  // namespace kelvane
