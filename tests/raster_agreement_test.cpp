// Agreement of the raster layer with the reference renderer. Every tests/reference/NAME.txt is
// replayed through our layer; each picture it saves is compared with the reference renderer's
// picture packed in NAME.ref. The family table is printed; every judged family must have at
// least 99.5 % of its cases identical and no case with more than 0.5 % of its pixels different.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "bmp_file.h"
#include "replay.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

size_t differingPixels(const test::Picture& a, const test::Picture& b) {
    if (a.width != b.width || a.height != b.height) return size_t(-1);
    size_t n = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
    return n;
}

struct FamilyResult {
    std::string family;
    bool judged = true;
    int cases = 0;
    int identical = 0;
    double worstPercent = 0;
    std::string worstCase;
};

TEST(RasterAgreement, EveryFamilyMatchesTheReferenceRenderer) {
    const fs::path dir = fs::path(KELVANE_TEST_DATA).parent_path() / "reference";
    std::vector<fs::path> scripts;
    if (fs::exists(dir))
        for (const auto& e : fs::directory_iterator(dir))
            if (e.path().extension() == ".txt" && fs::exists(fs::path(e.path()).replace_extension(".ref")))
                scripts.push_back(e.path());
    std::sort(scripts.begin(), scripts.end());
    if (scripts.empty()) GTEST_SKIP() << "no reference sets";

    std::vector<FamilyResult> results;
    for (const fs::path& script : scripts) {
        SCOPED_TRACE(script.filename().string());
        std::vector<test::RefPicture> reference;
        ASSERT_TRUE(test::readPack(fs::path(script).replace_extension(".ref").string(), reference));
        std::map<std::string, std::vector<uint8_t>> saved;
        std::ostringstream err;
        replay::Options options;
        options.captured = &saved;
        options.err = &err;
        options.baseDir = dir.string();
        ASSERT_EQ(replay::runScripts({script.string()}, options), 0) << err.str();

        FamilyResult r;
        r.family = script.stem().string();
        // Halftone stretching is reported, not judged: the reference renderer's halftone filter is
        // not the platform's, and only the area average matters to the chart.
        r.judged = r.family.find("halftone") == std::string::npos;
        for (const test::RefPicture& ref : reference) {
            ++r.cases;
            test::Picture ours;
            const auto it = saved.find(ref.name);
            const bool decoded = it != saved.end() && test::decodeBmp24(it->second, ours);
            const size_t diff = decoded ? differingPixels(ref.picture, ours) : size_t(-1);
            const double percent =
                diff == size_t(-1) ? 100.0 : 100.0 * double(diff) / double(ref.picture.pixels.size());
            if (diff == 0) ++r.identical;
            if (percent > r.worstPercent) {
                r.worstPercent = percent;
                r.worstCase = ref.name;
            }
        }
        results.push_back(r);
    }

    std::ostringstream table;
    table << "\nfamily               cases  identical   worst case (% pixels)\n";
    for (const FamilyResult& r : results) {
        char line[200];
        std::snprintf(line, sizeof line, "%-20s %5d  %8.2f %%  %6.3f %% %s%s\n", r.family.c_str(), r.cases,
                      100.0 * r.identical / std::max(1, r.cases), r.worstPercent, r.worstCase.c_str(),
                      r.judged ? "" : "  (reported only)");
        table << line;
    }
    std::printf("%s", table.str().c_str());
    for (const FamilyResult& r : results) {
        if (!r.judged) continue;
        EXPECT_GE(100.0 * r.identical, 99.5 * r.cases) << r.family;
        EXPECT_LE(r.worstPercent, 0.5) << r.family << ": " << r.worstCase;
    }
}

}  // namespace
}  // namespace kelvane
