// The typical bar-chart request drawn by a real GDI: the canvas calls the chart makes were
// recorded once (tests/data/oracle_charts/typical_request.txt) and drawn by the reference
// renderer (typical_request-reference.bmp). The chart must still make exactly those calls, draw
// exactly what its calls say, and agree with the reference pixel for pixel outside its text,
// whose glyphs come from other font files there.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "bmp_file.h"
#include "kelvane/cChart.h"
#include "raster/gdi_handles.h"
#include "replay.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;
using namespace gdi;

const fs::path kData = fs::path(KELVANE_TEST_DATA) / "oracle_charts";

std::string readText(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The script without its closing save, whose name differs from run to run.
std::string withoutSave(const std::string& script) {
    std::istringstream in(script);
    std::string out;
    for (std::string line; std::getline(in, line);)
        if (line.rfind("save ", 0) != 0) out += line + "\n";
    return out;
}

// Draws the typical request with KELVANE_GDI_TRACE pointing at `dir`; returns the picture.
test::Picture drawTypicalRequest(const std::string& dir) {
    setenv("KELVANE_GDI_TRACE", dir.c_str(), 1);
    cChart c;
    c.Width(400);
    c.Height(300);
    c.SerialBars(4);
    c.SerialItems(2);
    c.BarSpaceRate(0.8f);
    c.DrawBarMode(kvSingleColor);
    c.InitChart();
    unsetenv("KELVANE_GDI_TRACE");
    c.DrawBarChart(100, 5, 0);
    const float values[2][4] = {{40, 50, 30, 90}, {20, 40, 60, 70}};
    for (int16_t s = 1; s <= 2; ++s) {
        c.FillColor(s == 1 ? 0xCC6600 : 0x0078E6);
        for (int16_t b = 1; b <= 4; ++b) c.AddBarData(s == 1 ? "North" : "South", values[s - 1][b - 1], b, s);
    }
    test::Picture p;
    test::decodeBmp24(c.SaveBinary("bmp").bytes(), p);  // ends the canvas, and so the trace
    return p;
}

// The boxes the script's text covers: each textout's extent in the font selected before it,
// one pixel larger all round.
std::vector<RECT> textBoxes(const std::string& script) {
    std::vector<RECT> boxes;
    OwnedDC dc(CreateCompatibleDC(nullptr));
    Owned<HFONT> font;
    std::istringstream in(script);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        if (command == "font") {
            LOGFONTA lf{};
            words >> lf.lfHeight >> lf.lfEscapement >> lf.lfWeight;
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
            boxes.push_back(RECT{x - 1, y - 1, x + size.cx + 1, y + size.cy + 1});
        }
    }
    SelectObject(dc.get(), GetStockObject(SYSTEM_FONT));
    return boxes;
}

TEST(ChartReference, TypicalRequestAgreesWithARealGdiOutsideItsText) {
    const UINT codePage = GetSystemCodePage();
    SetSystemCodePage(1252);  // the recorded script's text is read in code page 1252
    const std::string dir = test::tempDir();
    const test::Picture ours = drawTypicalRequest(dir);
    std::string traceFile;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().extension() == ".txt") traceFile = e.path().string();
    ASSERT_FALSE(traceFile.empty());
    const std::string script = readText(traceFile);

    // The same calls as when the reference was made.
    const std::string recorded = readText(kData / "typical_request.txt");
    EXPECT_EQ(withoutSave(script), withoutSave(recorded));

    // The calls say everything: replayed, they draw our picture exactly.
    std::map<std::string, std::vector<uint8_t>> saved;
    replay::Options options;
    options.captured = &saved;
    ASSERT_EQ(replay::runScriptText("trace", script, options), 0);
    ASSERT_EQ(saved.size(), 1u);
    test::Picture replayed;
    ASSERT_TRUE(test::decodeBmp24(saved.begin()->second, replayed));
    EXPECT_EQ(test::comparePictures(ours, replayed), "");

    // A real GDI draws the same picture, but for the glyphs of the text.
    test::Picture reference;
    ASSERT_TRUE(test::loadBmp24((kData / "typical_request-reference.bmp").string(), reference));
    ASSERT_EQ(reference.width, ours.width);
    ASSERT_EQ(reference.height, ours.height);
    const std::vector<RECT> boxes = textBoxes(script);
    int outside = 0, inside = 0;
    for (int y = 0; y < ours.height; ++y)
        for (int x = 0; x < ours.width; ++x) {
            if (ours.at(x, y) == reference.at(x, y)) continue;
            bool inText = false;
            for (const RECT& b : boxes) inText = inText || (x >= b.left && x < b.right && y >= b.top && y < b.bottom);
            ++(inText ? inside : outside);
        }
    EXPECT_EQ(outside, 0);
    EXPECT_LT(inside, 400);
    fs::remove_all(dir);
    SetSystemCodePage(codePage);
}

}  // namespace
}  // namespace kelvane
