// Example charts drawn by a real GDI. The canvas calls of each example script were recorded once
// (tests/data/oracle_charts/NAME.txt, with the pictures they copy in) and drawn by the reference
// renderer (NAME.ref). Each example must still make exactly those calls, draw exactly what its
// calls say, and agree with the reference pixel for pixel outside its text, whose glyphs come
// from other font files there.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "bmp_file.h"
#include "example_scripts.h"
#include "interpreter.h"
#include "kelvane/cChart.h"
#include "raster/gdi_handles.h"
#include "replay.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;
using namespace gdi;

const fs::path kSource = fs::path(KELVANE_TEST_DATA).parent_path().parent_path();
const fs::path kData = fs::path(KELVANE_TEST_DATA) / "oracle_charts";

std::string readText(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The script with the run's own picture names replaced by the example's, without its closing
// save (whose name differs from run to run).
std::string normalised(std::string script, const std::string& stem, const std::string& name) {
    script = std::regex_replace(script, std::regex(stem), name);
    std::istringstream in(script);
    std::string out;
    for (std::string line; std::getline(in, line);)
        if (line.rfind("save ", 0) != 0) out += line + "\n";
    return out;
}

// The boxes the script's text covers: each textout's extent in the font selected before it,
// two pixels larger all round, for glyphs that reach past their advance (turned text: a square of its length about the reference point).
std::vector<RECT> textBoxes(const std::string& script) {
    std::vector<RECT> boxes;
    OwnedDC dc(CreateCompatibleDC(nullptr));
    Owned<HFONT> font;
    int escapement = 0;
    std::istringstream in(script);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        if (command == "font") {
            LOGFONTA lf{};
            words >> lf.lfHeight >> lf.lfEscapement >> lf.lfWeight;
            escapement = lf.lfEscapement;
            std::string face;
            std::getline(words >> std::ws, face);
            face.copy(lf.lfFaceName, LF_FACESIZE - 1);
            font.reset(CreateFontIndirectA(&lf));
            SelectObject(dc.get(), font.get());
        } else if (command == "textout") {
            int x, y;
            words >> x >> y;
            std::string text;
            std::getline(words >> std::ws, text);
            if (text.size() >= 2 && text.front() == '"') text = text.substr(1, text.size() - 2);
            SIZE size{};
            GetTextExtentPoint32A(dc.get(), text.data(), int(text.size()), &size);
            if (escapement == 0) {
                boxes.push_back(RECT{x - 2, y - 2, x + size.cx + 2, y + size.cy + 2});
            } else {
                const int reach = size.cx + size.cy + 1;
                boxes.push_back(RECT{x - reach, y - reach, x + reach, y + reach});
            }
        }
    }
    SelectObject(dc.get(), GetStockObject(SYSTEM_FONT));
    return boxes;
}

class ChartReference : public ::testing::TestWithParam<const char*> {};

TEST_P(ChartReference, ExampleAgreesWithARealGdiOutsideItsText) {
    const std::string name = GetParam();
    const UINT codePage = GetSystemCodePage();
    SetSystemCodePage(1252);  // the recorded scripts were made with this code page
    const fs::path previous = fs::current_path();
    fs::current_path(kSource);  // example scripts name their pictures from the project folder
    const std::string dir = test::tempDir();

    setenv("KELVANE_GDI_TRACE", dir.c_str(), 1);
    cChart chart;
    std::ostringstream out, err;
    // The recordings end with the BMP: the GIF outputs after it are left out.
    const bool ran = script::RunScript(test::withoutGifOutputs(readText(kSource / "examples" / (name + ".kvs"))), chart,
                                       script::RunOptions{name, dir}, out, err);
    chart.Destroy();  // ends the canvas, and so its trace
    unsetenv("KELVANE_GDI_TRACE");
    fs::current_path(previous);
    ASSERT_TRUE(ran) << err.str();

    fs::path traceFile;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().extension() == ".txt") traceFile = e.path();
    ASSERT_FALSE(traceFile.empty());
    const std::string script = readText(traceFile);
    const std::string stem = traceFile.stem().string();

    // The same calls as when the reference was made.
    EXPECT_EQ(normalised(script, stem, name), normalised(readText(kData / (name + ".txt")), stem, name));

    // The calls say everything: replayed, they draw the example's own picture exactly.
    test::Picture ours, replayed;
    ASSERT_TRUE(test::loadBmp24(dir + "/" + name + ".bmp", ours));
    std::map<std::string, std::vector<uint8_t>> saved;
    replay::Options options;
    options.captured = &saved;
    options.baseDir = dir;
    ASSERT_EQ(replay::runScriptText("trace", script, options), 0);
    ASSERT_EQ(saved.size(), 1u);
    ASSERT_TRUE(test::decodeBmp24(saved.begin()->second, replayed));
    EXPECT_EQ(test::comparePictures(ours, replayed), "");

    // A real GDI draws the same picture, but for the glyphs of the text.
    std::vector<test::RefPicture> reference;
    ASSERT_TRUE(test::readPack((kData / (name + ".ref")).string(), reference));
    ASSERT_EQ(reference.size(), 1u);
    const test::Picture& real = reference[0].picture;
    ASSERT_EQ(real.width, ours.width);
    ASSERT_EQ(real.height, ours.height);
    const std::vector<RECT> boxes = textBoxes(script);
    int outside = 0;
    std::string first;
    for (int y = 0; y < ours.height; ++y)
        for (int x = 0; x < ours.width; ++x) {
            if (ours.at(x, y) == real.at(x, y)) continue;
            bool inText = false;
            for (const RECT& b : boxes) inText = inText || (x >= b.left && x < b.right && y >= b.top && y < b.bottom);
            if (!inText && ++outside == 1) first = std::to_string(x) + "," + std::to_string(y);
        }
    EXPECT_EQ(outside, 0) << "first at " << first;
    fs::remove_all(dir);
    SetSystemCodePage(codePage);
}

INSTANTIATE_TEST_SUITE_P(Examples, ChartReference,
                         ::testing::Values("bars_flat", "bars_3d", "bars_line", "bars_stacked", "bars_labels",
                                           "bars_pareto", "bars_pictures", "line_modes", "shapes", "wave_curves",
                                           "pie_pulled_out", "pie_solid", "pie_solid_low"));

}  // namespace
}  // namespace kelvane
