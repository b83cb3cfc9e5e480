// Text of the raster layer: metrics, extents and placement against numbers captured from the
// reference renderer (tests/reference/text/expected.txt, made by gen_text.py --capture), CJK
// text and the system code page, escapement, and bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bmp_file.h"
#include "dib_section.h"
#include "kelvane/gdi.h"
#include "replay.h"

namespace kelvane {
namespace {

using namespace gdi;
namespace fs = std::filesystem;

// ------------------------------------------------------------------ helpers

// The code page is process-wide: each test that changes it puts it back.
class CodePageScope {
public:
    explicit CodePageScope(UINT codePage) : m_previous(GetSystemCodePage()) { SetSystemCodePage(codePage); }
    ~CodePageScope() { SetSystemCodePage(m_previous); }
    CodePageScope(const CodePageScope&) = delete;
    CodePageScope& operator=(const CodePageScope&) = delete;

private:
    UINT m_previous;
};

// A white 24-bit canvas with a font selected; frees everything it made.
class Canvas {
public:
    Canvas(int w, int h) : m_w(w), m_h(h) {
        m_dc = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        m_bitmap = test::createSection24(m_dc, w, h, true, &bits);
        m_bits = static_cast<uint8_t*>(bits);
        std::memset(m_bits, 0xFF, size_t(stride()) * h);
        m_old = SelectObject(m_dc, m_bitmap);
        SetBkMode(m_dc, TRANSPARENT);
    }
    ~Canvas() {
        SelectObject(m_dc, m_old);
        SelectObject(m_dc, GetStockObject(SYSTEM_FONT));
        if (m_font) DeleteObject(m_font);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return m_dc; }
    void font(LONG height, LONG escapement = 0, LONG weight = 400, const char* face = "Arial") {
        LOGFONTA lf{};
        lf.lfHeight = height;
        lf.lfEscapement = escapement;
        lf.lfWeight = weight;
        std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", face);
        HFONT f = CreateFontIndirectA(&lf);
        SelectObject(m_dc, f);
        if (m_font) DeleteObject(m_font);
        m_font = f;
    }
    int stride() const { return (m_w * 3 + 3) & ~3; }
    bool ink(int x, int y) const {
        const uint8_t* p = m_bits + size_t(y) * stride() + 3 * size_t(x);
        return p[0] != 0xFF || p[1] != 0xFF || p[2] != 0xFF;
    }
    // Inclusive box of the non-white pixels; left > right when there are none.
    RECT inkBox() const {
        RECT r{m_w, m_h, -1, -1};
        for (int y = 0; y < m_h; ++y)
            for (int x = 0; x < m_w; ++x)
                if (ink(x, y)) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x);
                    r.bottom = std::max<LONG>(r.bottom, y);
                }
        return r;
    }
    int inkCount() const {
        int n = 0;
        for (int y = 0; y < m_h; ++y)
            for (int x = 0; x < m_w; ++x) n += ink(x, y);
        return n;
    }
    std::vector<uint8_t> pixels() const { return {m_bits, m_bits + size_t(stride()) * m_h}; }
    void clear() { std::memset(m_bits, 0xFF, size_t(stride()) * m_h); }

private:
    int m_w, m_h;
    HDC m_dc = nullptr;
    HGDIOBJ m_bitmap = nullptr, m_old = nullptr, m_font = nullptr;
    uint8_t* m_bits = nullptr;
};

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

std::vector<long> numbers(const std::string& line) {
    std::vector<long> out;
    std::istringstream in(line);
    for (long v; in >> v;) out.push_back(v);
    return out;
}

// Inclusive box of the pixels that differ from white, as gen_text.py measures it.
std::string inkBoxText(const test::Picture& p) {
    int x0 = INT_MAX, y0 = INT_MAX, x1 = -1, y1 = -1;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.at(x, y) != 0xFFFFFF) {
                x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
            }
    if (x1 < 0) return "none";
    return std::to_string(x0) + " " + std::to_string(y0) + " " + std::to_string(x1) + " " + std::to_string(y1);
}

// ------------------------------------------------------------------ against the reference

// Tolerances: cell metrics and extents within a pixel (per character for extents), the ink of
// every TextOut within two pixels of the reference renderer's. The maximum character width is not
// compared: it comes from the face's bounding box, which Liberation 2 widened for a few rare
// glyphs.
TEST(RasterText, MetricsExtentsAndInkBoxesAgreeWithTheReferenceRenderer) {
    const fs::path dir = fs::path(KELVANE_TEST_DATA).parent_path() / "reference" / "text";
    const std::vector<uint8_t> expectedBytes = test::readFile((dir / "expected.txt").string());
    ASSERT_FALSE(expectedBytes.empty()) << "missing " << (dir / "expected.txt");
    const std::vector<std::string> expected = lines(std::string(expectedBytes.begin(), expectedBytes.end()));

    std::map<std::string, std::vector<uint8_t>> saved;
    std::ostringstream out, err;
    replay::Options options;
    options.captured = &saved;
    options.out = &out;
    options.err = &err;
    ASSERT_EQ(replay::runScripts({(dir / "text_metrics.txt").string()}, options), 0) << err.str();
    std::vector<std::string> actual = lines(out.str());

    int metrics = 0, metricsExact = 0, extents = 0, extentsExact = 0, inks = 0, inksExact = 0;
    long worstInk = 0;
    size_t a = 0;
    std::string kind, name;
    long chars = 0;
    for (const std::string& e : expected) {
        if (e.rfind("ink ", 0) == 0) {
            std::istringstream in(e);
            std::string word, picture;
            in >> word >> picture;
            std::string rest;
            std::getline(in, rest);
            rest.erase(0, rest.find_first_not_of(' '));
            test::Picture p;
            ASSERT_TRUE(saved.count(picture) && test::decodeBmp24(saved[picture], p)) << picture;
            const std::string mine = inkBoxText(p);
            ++inks;
            if (mine == rest) {
                ++inksExact;
                continue;
            }
            const std::vector<long> want = numbers(rest), got = numbers(mine);
            ASSERT_TRUE(want.size() == 4 && got.size() == 4) << picture << ": ink " << mine << ", expected " << rest;
            long deviation = 0;
            for (int i = 0; i < 4; ++i) deviation = std::max(deviation, std::labs(want[i] - got[i]));
            worstInk = std::max(worstInk, deviation);
            EXPECT_LE(deviation, 2) << picture << ": ink " << mine << ", expected " << rest;
            continue;
        }
        ASSERT_LT(a, actual.size()) << "our output ended before " << e;
        const std::string& m = actual[a++];
        if (e.rfind("case ", 0) == 0 || e.rfind("m ", 0) == 0 || e.rfind("e ", 0) == 0 || e.rfind("f ", 0) == 0) {
            ASSERT_EQ(m, e);  // markers: both outputs stay in step
            std::istringstream in(e);
            in >> kind >> name;
            if (kind == "e") in >> chars;
            continue;
        }
        if (kind == "m") {
            ++metrics;
            const std::vector<long> want = numbers(e), got = numbers(m);
            ASSERT_EQ(got.size(), 7u) << name;
            bool exact = true;
            for (int i = 0; i < 6; ++i) {
                EXPECT_LE(std::labs(want[i] - got[i]), 1) << name << " metrics " << m << ", expected " << e;
                exact = exact && want[i] == got[i];
            }
            metricsExact += exact;
        } else if (kind == "e") {
            ++extents;
            const std::vector<long> want = numbers(e), got = numbers(m);
            ASSERT_EQ(got.size(), 2u) << name;
            EXPECT_LE(std::labs(want[0] - got[0]), std::max(1L, chars)) << name << " extent " << m << ", expected " << e;
            EXPECT_LE(std::labs(want[1] - got[1]), 1) << name << " extent " << m << ", expected " << e;
            extentsExact += want == got;
        } else if (kind == "f") {
            EXPECT_EQ(m, e) << name << " face name";
        }
        kind.clear();
    }
    EXPECT_EQ(a, actual.size());
    EXPECT_GE(inks, 300);
    std::printf("text_metrics: %d metrics (%d exact), %d extents (%d exact), %d ink boxes (%d exact, "
                "worst off by %ld px)\n",
                metrics, metricsExact, extents, extentsExact, inks, inksExact, worstInk);
}

TEST(RasterText, ArialAndTimesCellsMapAsTheReferenceRendererMapsThem) {
    Canvas c(8, 8);
    TEXTMETRICA tm{};
    c.font(14);
    ASSERT_TRUE(GetTextMetricsA(c.dc(), &tm));
    EXPECT_EQ((std::vector<long>{tm.tmHeight, tm.tmAscent, tm.tmDescent, tm.tmInternalLeading, tm.tmExternalLeading}),
              (std::vector<long>{14, 11, 3, 1, 0}));
    c.font(16, 0, 700, "Times New Roman");
    ASSERT_TRUE(GetTextMetricsA(c.dc(), &tm));
    EXPECT_EQ((std::vector<long>{tm.tmHeight, tm.tmAscent, tm.tmDescent, tm.tmInternalLeading, tm.tmExternalLeading}),
              (std::vector<long>{15, 12, 3, 2, 1}));
    // A negative height is the em: Arial -12 has the cell of Arial 14.
    c.font(-12);
    ASSERT_TRUE(GetTextMetricsA(c.dc(), &tm));
    EXPECT_EQ(tm.tmHeight, 14);
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32A(c.dc(), "Hello, GDI", 10, &size));
    EXPECT_EQ(size.cy, 14);
    EXPECT_NEAR(size.cx, 56, 10);
}

TEST(RasterText, TextDrawsInTheTextColourBelowTheReferencePoint) {
    Canvas c(120, 40);
    c.font(20);
    SetTextColor(c.dc(), RGB(0, 0, 255));
    ASSERT_TRUE(TextOutU8(c.dc(), 10, 5, "Hxy", 3));
    const RECT box = c.inkBox();
    TEXTMETRICA tm{};
    GetTextMetricsA(c.dc(), &tm);
    // The cell's top-left corner is the reference point: ink starts at or right of x 10 and
    // inside the cell (the 'H' reaches from the cap height to the baseline).
    EXPECT_GE(box.left, 10);
    EXPECT_LE(box.left, 13);
    EXPECT_GE(box.top, 5);
    EXPECT_LE(box.top, 5 + tm.tmInternalLeading + 3);
    EXPECT_LE(box.bottom, 5 + tm.tmHeight - 1);
    EXPECT_GE(box.bottom, 5 + tm.tmAscent);  // 'y' descends below the baseline
    std::vector<uint8_t> px = c.pixels();
    bool allBlue = true;
    for (int y = box.top; y <= box.bottom; ++y)
        for (int x = box.left; x <= box.right; ++x)
            if (c.ink(x, y)) {
                const uint8_t* p = &px[size_t(y) * c.stride() + 3 * size_t(x)];
                allBlue = allBlue && p[0] == 0xFF && p[1] == 0 && p[2] == 0;
            }
    EXPECT_TRUE(allBlue);
}

TEST(RasterText, OpaqueBackgroundFillsTheCellBoxOfTheExtent) {
    Canvas c(100, 40);
    c.font(16);
    SetBkMode(c.dc(), OPAQUE);
    SetBkColor(c.dc(), RGB(255, 255, 0));
    SIZE size{};
    GetTextExtentPointU8(c.dc(), "Text", 4, &size);
    ASSERT_TRUE(TextOutU8(c.dc(), 7, 9, "Text", 4));
    const RECT box = c.inkBox();
    EXPECT_EQ(box.left, 7);
    EXPECT_EQ(box.top, 9);
    EXPECT_EQ(box.right, 7 + size.cx - 1);
    EXPECT_EQ(box.bottom, 9 + size.cy - 1);
}

TEST(RasterText, Escapement900DrawsUpwardsFromTheReferencePoint) {
    Canvas c(60, 160);
    c.font(20, 900);
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPointU8(c.dc(), "Hello", 5, &size));
    ASSERT_TRUE(TextOutU8(c.dc(), 20, 140, "Hello", 5));
    const RECT box = c.inkBox();
    // The text runs up from y 140; its cell lies to the right of x 20, the baseline one ascent
    // to the right, the glyph tops towards x 20.
    EXPECT_LE(box.bottom, 140);
    EXPECT_GE(box.bottom, 137);
    EXPECT_NEAR(box.top, 140 - size.cx, 3);
    EXPECT_GE(box.left, 20);
    EXPECT_LE(box.right, 20 + size.cy);
    // Extents do not turn with the text.
    Canvas level(8, 8);
    level.font(20);
    SIZE flat{};
    GetTextExtentPointU8(level.dc(), "Hello", 5, &flat);
    EXPECT_EQ(size.cx, flat.cx);
    EXPECT_EQ(size.cy, flat.cy);
}

TEST(RasterText, Escapement2700DrawsDownwardsAndNegativeAnglesTurnClockwise) {
    Canvas down(60, 160);
    down.font(20, 2700);
    ASSERT_TRUE(TextOutU8(down.dc(), 40, 20, "Hello", 5));
    RECT box = down.inkBox();
    EXPECT_GE(box.top, 20);
    EXPECT_LE(box.right, 40);
    EXPECT_GT(box.bottom, 55);
    // -300 is 330 degrees: the text runs right and down, its cell turned about (30, 10).
    Canvas slant(120, 120);
    slant.font(20, -300);
    ASSERT_TRUE(TextOutU8(slant.dc(), 30, 10, "Hello", 5));
    box = slant.inkBox();
    EXPECT_GT(box.right, 50);
    EXPECT_GT(box.bottom, 33);
    EXPECT_LT(box.left, 30);  // the cell's bottom-left corner turned left of the reference point
}

// ------------------------------------------------------------------ faces

TEST(RasterText, FaceNamesAreTheRequestedOnesOrTheDefaultFacesOwn) {
    Canvas c(8, 8);
    char name[LF_FACESIZE] = "";
    c.font(14, 0, 400, "Arial");
    EXPECT_EQ(GetTextFaceA(c.dc(), sizeof name, name), 6);
    EXPECT_STREQ(name, "Arial");
    c.font(14, 0, 400, "");
    GetTextFaceA(c.dc(), sizeof name, name);
    const std::string defaultFace = name;
    EXPECT_FALSE(defaultFace.empty());
    c.font(14, 0, 400, "No Such Face At All");
    GetTextFaceA(c.dc(), sizeof name, name);
    EXPECT_EQ(std::string(name), defaultFace);
    // Truncation and the size query.
    c.font(14, 0, 400, "Times New Roman");
    EXPECT_EQ(GetTextFaceA(c.dc(), 0, nullptr), 16);
    EXPECT_EQ(GetTextFaceA(c.dc(), 6, name), 6);
    EXPECT_STREQ(name, "Times");
    EXPECT_EQ(GetTextFaceA(c.dc(), 0, name), 0);
}

TEST(RasterText, FaceNamesAreReadInTheSystemCodePage) {
    CodePageScope scope(936);
    Canvas c(8, 8);
    // 文泉驿微米黑 in GBK: the CJK face installed for fallbacks, asked for by its Chinese name.
    const char* gbkName = "\xCE\xC4\xC8\xAA\xE6\xE4\xCE\xA2\xC3\xD7\xBA\xDA";
    c.font(20, 0, 400, gbkName);
    char name[LF_FACESIZE] = "";
    GetTextFaceA(c.dc(), sizeof name, name);
    EXPECT_STREQ(name, gbkName);
    TEXTMETRICA cjk{}, latin{};
    GetTextMetricsA(c.dc(), &cjk);
    c.font(20, 0, 400, "Arial");
    GetTextMetricsA(c.dc(), &latin);
    EXPECT_NE(cjk.tmAveCharWidth, latin.tmAveCharWidth);  // a face of its own, not the default
}

TEST(RasterText, BoldAbove550WidensTextAndTheStockFontMeasuresAsSystem) {
    Canvas c(8, 8);
    SIZE regular{}, bold{};
    c.font(16, 0, 400);
    GetTextExtentPointU8(c.dc(), "Bold text", 9, &regular);
    c.font(16, 0, 700);
    GetTextExtentPointU8(c.dc(), "Bold text", 9, &bold);
    EXPECT_GT(bold.cx, regular.cx);
    EXPECT_EQ(bold.cy, regular.cy);
    // Weights take the nearer of regular and bold, as the reference renderer maps them.
    SIZE at550{}, at551{};
    c.font(16, 0, 550);
    GetTextExtentPointU8(c.dc(), "Bold text", 9, &at550);
    c.font(16, 0, 551);
    GetTextExtentPointU8(c.dc(), "Bold text", 9, &at551);
    EXPECT_EQ(at550.cx, regular.cx);
    EXPECT_EQ(at551.cx, bold.cx);
    SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
    SIZE stock{};
    ASSERT_TRUE(GetTextExtentPointU8(c.dc(), "Hello, GDI", 10, &stock));
    EXPECT_EQ(stock.cy, 16);
    EXPECT_NEAR(stock.cx, 66, 10);
    char name[LF_FACESIZE] = "";
    GetTextFaceA(c.dc(), sizeof name, name);
    EXPECT_STREQ(name, "System");
}

// The stem of a glyph drawn alone in the area: the most common width of the first ink run along
// its middle rows (top and bottom tenth left out), or along its middle columns when `turned` (the
// glyph drawn upwards); 0 when the area has no ink.
int stemWidth(const Canvas& c, RECT area, bool turned) {
    auto ink = [&](int along, int across) { return turned ? c.ink(across, along) : c.ink(along, across); };
    const int from = turned ? area.left : area.top, to = turned ? area.right : area.bottom;
    const int begin = turned ? area.bottom - 1 : area.left, end = turned ? area.top - 1 : area.right;
    const int step = turned ? -1 : 1;  // turned text's glyph tops face left, its left side down
    std::vector<int> lines;
    for (int across = from; across < to; ++across)
        for (int along = begin; along != end; along += step)
            if (ink(along, across)) {
                lines.push_back(across);
                break;
            }
    if (lines.empty()) return 0;
    const int trim = std::max<int>(1, int(lines.size()) / 10);
    std::map<int, int> widths;
    for (size_t i = trim; i + trim < lines.size(); ++i) {
        int along = begin, n = 0;
        while (along != end && !ink(along, lines[i])) along += step;
        for (; along != end && ink(along, lines[i]); along += step) ++n;
        ++widths[n];
    }
    int best = 0, count = 0;
    for (const auto& [width, seen] : widths)
        if (seen > count) best = width, count = seen;
    return best;
}

// Bold at the sizes of titles and labels draws two-pixel stems (the faces' hinting leaves some
// one pixel wide there, as thin as regular text) and measures exactly as before.
TEST(RasterText, BoldStemsAreTwoPixelsWideAtLabelSizesWhileExtentsStay) {
    struct Case {
        const char* face;
        LONG height;
        SIZE extent;  // of "Sales by quarter"
    };
    const Case cases[] = {
        {"Arial", 12, {85, 12}},          {"Arial", 13, {94, 14}},          {"Arial", 14, {94, 14}},
        {"Arial", -12, {94, 14}},         {"Arial", -13, {101, 15}},        {"Arial", -14, {111, 16}},
        {"Times New Roman", 12, {79, 12}}, {"Times New Roman", 14, {92, 15}}, {"Times New Roman", -13, {92, 15}},
        {"Courier New", 12, {112, 12}},    {"Courier New", 14, {112, 14}},    {"Courier New", -13, {128, 15}},
    };
    const char letters[] = "lHEn";
    for (const Case& k : cases) {
        const std::string name = std::string(k.face) + " " + std::to_string(k.height);
        Canvas c(100, 30);
        c.font(k.height, 0, 700, k.face);
        SIZE size{};
        GetTextExtentPoint32A(c.dc(), "Sales by quarter", 16, &size);
        EXPECT_EQ(size.cx, k.extent.cx) << name;
        EXPECT_EQ(size.cy, k.extent.cy) << name;
        for (int i = 0; i < 4; ++i) TextOutA(c.dc(), 4 + 24 * i, 4, letters + i, 1);
        for (int i = 0; i < 4; ++i)
            EXPECT_GE(stemWidth(c, RECT{24 * i, 0, 24 * i + 24, 30}, false), 2) << name << " '" << letters[i] << "'";
    }
    // Turned text widens along its own baseline.
    Canvas c(30, 100);
    c.font(12, 900, 700);
    for (int i = 0; i < 4; ++i) TextOutA(c.dc(), 4, 96 - 24 * i, letters + i, 1);
    for (int i = 0; i < 4; ++i)
        EXPECT_GE(stemWidth(c, RECT{0, 76 - 24 * i, 30, 100 - 24 * i}, true), 2) << "turned '" << letters[i] << "'";
}

// ------------------------------------------------------------------ CJK and code pages

TEST(RasterText, CjkTextDrawsDistinctGlyphsAndCountsTwoBytesPerCharacterUnder936) {
    CodePageScope scope(936);
    const char* chinese = "\xE4\xB8\xAD\xE6\x96\x87";  // 中文
    EXPECT_EQ(CodePageByteCount(chinese, 6), 4);
    Canvas c(80, 40);
    c.font(24);
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPointU8(c.dc(), chinese, 6, &size));
    EXPECT_GE(size.cx, 2 * 18);  // full-width characters
    // Each character draws its own glyph, not the face's missing-character box.
    ASSERT_TRUE(TextOutU8(c.dc(), 2, 2, chinese, 3));
    const std::vector<uint8_t> zhong = c.pixels();
    EXPECT_GT(c.inkCount(), 40);
    c.clear();
    TextOutU8(c.dc(), 2, 2, chinese + 3, 3);
    const std::vector<uint8_t> wen = c.pixels();
    c.clear();
    TextOutU8(c.dc(), 2, 2, "\xEF\xBF\xBE", 3);  // U+FFFE: no face has it
    const std::vector<uint8_t> missing = c.pixels();
    EXPECT_NE(zhong, wen);
    EXPECT_NE(zhong, missing);
    EXPECT_NE(wen, missing);
    // Japanese kana and Korean hangul draw too.
    c.clear();
    TextOutU8(c.dc(), 2, 2, "\xE3\x81\x82\xED\x95\x9C", 6);  // あ한
    EXPECT_GT(c.inkCount(), 40);
    // The same text given in GBK bytes to the "A" call draws the same pixels.
    c.clear();
    ASSERT_TRUE(TextOutA(c.dc(), 2, 2, "\xD6\xD0", 2));  // 中 in GBK
    EXPECT_EQ(c.pixels(), zhong);
}

TEST(RasterText, ACharacterMissingFrom936CountsOneByteAndConvertsToAQuestionMark) {
    CodePageScope scope(936);
    const char* text = "A\xED\x95\x9C" "B";  // A, Hangul 한 (not in GBK), B
    EXPECT_EQ(CodePageByteCount(text, 5), 3);
    char out[8] = {};
    EXPECT_EQ(Utf8ToCodePage(text, 5, out, sizeof out), 3);
    EXPECT_STREQ(out, "A?B");
    EXPECT_EQ(Utf8ToCodePage("\xE4\xB8\xAD", 3, nullptr, 0), 2);
    EXPECT_EQ(Utf8ToCodePage("\xE4\xB8\xAD", 3, out, 8), 2);
    EXPECT_EQ(uint8_t(out[0]), 0xD6);
    EXPECT_EQ(uint8_t(out[1]), 0xD0);
    // Only whole characters are written when the room runs out.
    EXPECT_EQ(Utf8ToCodePage("a\xE4\xB8\xAD", 4, out, 2), 1);
    // A Hangul character still draws as itself through the U8 calls.
    Canvas c(40, 40);
    c.font(24);
    ASSERT_TRUE(TextOutU8(c.dc(), 2, 2, "\xED\x95\x9C", 3));
    EXPECT_GT(c.inkCount(), 30);
}

TEST(RasterText, CodePages1252And65001ConvertAndCount) {
    {
        CodePageScope scope(1252);
        EXPECT_EQ(GetSystemCodePage(), 1252u);
        EXPECT_EQ(CodePageByteCount("Caf\xC3\xA9 \xE2\x82\xAC", 9), 6);  // Café €
        char out[8] = {};
        EXPECT_EQ(Utf8ToCodePage("\xC3\xA9\xE2\x82\xAC\xE4\xB8\xAD", 8, out, 8), 3);
        EXPECT_EQ(uint8_t(out[0]), 0xE9);
        EXPECT_EQ(uint8_t(out[1]), 0x80);
        EXPECT_EQ(out[2], '?');
        // TextOutA reads 1252 bytes: 0xE9 draws the é the U8 call draws.
        Canvas a(40, 30), b(40, 30);
        a.font(20);
        b.font(20);
        TextOutA(a.dc(), 2, 2, "\xE9", 1);
        TextOutU8(b.dc(), 2, 2, "\xC3\xA9", 2);
        EXPECT_EQ(a.pixels(), b.pixels());
        EXPECT_GT(a.inkCount(), 5);
    }
    {
        CodePageScope scope(65001);
        EXPECT_EQ(CodePageByteCount("\xE4\xB8\xAD" "a", 4), 4);
        // Malformed bytes count (and convert) as one '?' each.
        EXPECT_EQ(CodePageByteCount("\xFF\xC3", 2), 2);
        char out[4] = {};
        EXPECT_EQ(Utf8ToCodePage("\xFF" "a", 2, out, 4), 2);
        EXPECT_EQ(std::string(out, 2), "?a");
    }
}

TEST(RasterText, UnknownCodePagesAreRefusedAndLeaveTheSettingAlone) {
    CodePageScope scope(1252);
    EXPECT_FALSE(SetSystemCodePage(12345));
    EXPECT_FALSE(SetSystemCodePage(0));
    EXPECT_EQ(GetSystemCodePage(), 1252u);
    EXPECT_TRUE(SetSystemCodePage(936));
    EXPECT_EQ(GetSystemCodePage(), 936u);
}

TEST(RasterText, InvalidUtf8DrawsReplacementsAndNeverReadsPastTheLength) {
    Canvas c(200, 40);
    c.font(16);
    const char bad[] = "\xC3\x28\xA0\xA1\xE2\x28\xA1\xF0\x90\x28\xBC\xED\xA0\x80\xC0\xAF\xF8\x88";
    SIZE size{};
    EXPECT_TRUE(GetTextExtentPointU8(c.dc(), bad, int(sizeof bad - 1), &size));
    EXPECT_GT(size.cx, 0);
    EXPECT_TRUE(TextOutU8(c.dc(), 2, 2, bad, int(sizeof bad - 1)));
    // A sequence cut by the length is malformed, not read further.
    EXPECT_TRUE(TextOutU8(c.dc(), 2, 2, "\xE4\xB8\xAD", 2));
    EXPECT_GE(CodePageByteCount("\xE4\xB8", 2), 1);
}

// ------------------------------------------------------------------ threads

TEST(RasterText, ThreadsDrawAtOnceAndFontsOutliveTheThreadThatMadeThem) {
    LOGFONTA lf{};
    lf.lfHeight = 18;
    std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "Arial");
    HFONT made = nullptr;
    std::thread maker([&] { made = CreateFontIndirectA(&lf); });  // its thread's caches die with it
    maker.join();
    ASSERT_NE(made, nullptr);
    // Each thread draws with a font of its own and with the stock font, which all share.
    auto draw = [&](HFONT font, std::vector<uint8_t>& out) {
        Canvas c(160, 50);
        HFONT own = font ? font : CreateFontIndirectA(&lf);
        for (int i = 0; i < 50; ++i) {
            SelectObject(c.dc(), own);
            TextOutU8(c.dc(), 2, 4, "Threads \xE4\xB8\xAD 42", 13);
            SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
            TextOutU8(c.dc(), 2, 26, "Stock 7", 7);
        }
        if (!font) DeleteObject(own);
        out = c.pixels();
    };
    std::vector<uint8_t> alone;
    draw(made, alone);
    EXPECT_GT(std::count(alone.begin(), alone.end(), 0), 100);
    std::vector<std::vector<uint8_t>> results(4);
    std::vector<std::thread> threads;
    for (auto& r : results) threads.emplace_back([&draw, &r] { draw(nullptr, r); });
    for (auto& t : threads) t.join();
    for (const auto& r : results) EXPECT_EQ(r, alone);
    DeleteObject(made);
}

// ------------------------------------------------------------------ bad input

TEST(RasterText, NullContextsAndBadArgumentsFailWithoutTouchingAnything) {
    SIZE size{1, 1};
    TEXTMETRICA tm{};
    char name[8] = "x";
    EXPECT_FALSE(TextOutA(nullptr, 0, 0, "a", 1));
    EXPECT_FALSE(TextOutU8(nullptr, 0, 0, "a", 1));
    EXPECT_FALSE(GetTextExtentPoint32A(nullptr, "a", 1, &size));
    EXPECT_FALSE(GetTextExtentPointU8(nullptr, "a", 1, &size));
    EXPECT_FALSE(GetTextMetricsA(nullptr, &tm));
    EXPECT_EQ(GetTextFaceA(nullptr, 8, name), 0);
    EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
    Canvas c(20, 20);
    EXPECT_FALSE(TextOutA(c.dc(), 0, 0, "a", -1));
    EXPECT_FALSE(TextOutU8(c.dc(), 0, 0, "a", INT_MIN));
    EXPECT_FALSE(TextOutA(c.dc(), 0, 0, nullptr, 3));
    EXPECT_FALSE(GetTextExtentPoint32A(c.dc(), "a", -5, &size));
    EXPECT_FALSE(GetTextExtentPointU8(c.dc(), "a", 1, nullptr));
    EXPECT_FALSE(GetTextMetricsA(c.dc(), nullptr));
    EXPECT_TRUE(TextOutA(c.dc(), 0, 0, nullptr, 0));
    EXPECT_TRUE(GetTextExtentPointU8(c.dc(), "", 0, &size));
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, 0);  // as the reference renderer measures no text
    EXPECT_EQ(CodePageByteCount(nullptr, 5), 0);
    EXPECT_EQ(CodePageByteCount("abc", -1), 0);
    EXPECT_EQ(Utf8ToCodePage("abc", 3, name, 0), 0);
    EXPECT_EQ(Utf8ToCodePage("abc", INT_MIN, name, 8), 0);
    EXPECT_EQ(c.inkCount(), 0);
}

TEST(RasterText, HugeCoordinatesAndLongTextFinishQuickly) {
    Canvas c(64, 64);
    c.font(14);
    const std::string longText(1 << 20, 'W');
    const auto start = std::chrono::steady_clock::now();
    for (int x : {INT_MIN, INT_MIN + 1, -1000000, INT_MAX - 5, INT_MAX}) {
        for (int y : {INT_MIN, 0, INT_MAX}) {
            EXPECT_TRUE(TextOutU8(c.dc(), x, y, "Far away", 8));
            EXPECT_TRUE(TextOutU8(c.dc(), x, y, longText.data(), int(longText.size())));
        }
    }
    // Off to the left but running across the canvas: only the visible part costs pixels.
    EXPECT_TRUE(TextOutU8(c.dc(), -100000, 10, longText.data(), int(longText.size())));
    SIZE size{};
    EXPECT_TRUE(GetTextExtentPointU8(c.dc(), longText.data(), int(longText.size()), &size));
    EXPECT_GT(size.cx, 1 << 20);
    for (int esc : {900, 450, 2700, -300, INT_MIN, INT_MAX}) {
        c.font(14, esc);
        EXPECT_TRUE(TextOutU8(c.dc(), INT_MAX, INT_MIN, longText.data(), 4096));
        EXPECT_TRUE(TextOutU8(c.dc(), 30, 30, "Turn", 4));
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 10.0);
}

TEST(RasterText, HugeAndDegenerateHeightsNeverCrashAndDrawOnlyWhatShows) {
    Canvas c(64, 64);
    for (LONG height : {0x7FFFFFFF, -0x7FFFFFFF, INT_MIN, 1, -1, 100000, -20000}) {
        c.font(height);
        TEXTMETRICA tm{};
        ASSERT_TRUE(GetTextMetricsA(c.dc(), &tm)) << height;
        EXPECT_GT(tm.tmHeight, 0) << height;
        EXPECT_LE(tm.tmHeight, 40000) << height;
        SIZE size{};
        EXPECT_TRUE(GetTextExtentPointU8(c.dc(), "Big", 3, &size)) << height;
    }
    // A glyph far larger than the canvas: drawn clipped, its stem covering the canvas.
    const auto start = std::chrono::steady_clock::now();
    c.font(-20000);
    c.clear();
    TEXTMETRICA tm{};
    GetTextMetricsA(c.dc(), &tm);
    // Put the middle of an 'l' stem (about a tenth of the em wide) over the canvas.
    EXPECT_TRUE(TextOutU8(c.dc(), -20000 / 10, -tm.tmAscent / 2, "l", 1));
    EXPECT_GT(c.inkCount(), 64 * 64 / 2);
    c.font(-16000, 450);
    EXPECT_TRUE(TextOutU8(c.dc(), 0, 0, "WM", 2));
    c.font(-3000, 0, 700);
    EXPECT_TRUE(TextOutU8(c.dc(), -500, -500, "\xE4\xB8\xAD", 3));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 10.0);
}

TEST(RasterText, ContextsWithoutAPictureMeasureButDrawNothing) {
    HDC dc = CreateCompatibleDC(nullptr);
    SIZE size{};
    EXPECT_TRUE(TextOutU8(dc, 0, 0, "x", 1));
    EXPECT_TRUE(GetTextExtentPointU8(dc, "x", 1, &size));
    EXPECT_GT(size.cx, 0);
    DeleteDC(dc);
}

TEST(RasterText, TracedTextBecomesAQuotedReferenceRendererCommand) {
    const std::string path = test::tempDir() + "/text_trace.txt";
    Canvas c(40, 20);
    ASSERT_TRUE(StartTrace(c.dc(), path.c_str()));
    TextOutU8(c.dc(), 3, 4, "  Caf\xC3\xA9 \xE4\xB8\xAD\n", 12);
    StopTrace(c.dc());
    std::ifstream in(path, std::ios::binary);
    const std::string script((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(script.find("textout 3 4 \"  Caf\xE9 ??\"\n"), std::string::npos) << script;
}

}  // namespace
}  // namespace kelvane
