// A text tail measured once draws, behind each head, exactly what TextOut draws for the whole
// text, wherever the text starts and however long it runs off the surface.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kelvane/gdi.h"
#include "raster/text_tail.h"
#include "raster_fill_canvas.h"

namespace kelvane {
namespace {

using namespace gdi;
using test::FillCanvas;
using test::Selected;

struct Font {
    int height, escapement, weight;
};

HFONT makeFont(const Font& f) {
    LOGFONTA lf{};
    lf.lfHeight = f.height;
    lf.lfEscapement = f.escapement;
    lf.lfWeight = f.weight;
    return CreateFontIndirectA(&lf);
}

struct Call {
    int x, y;
    std::string head;
};

// The surface after each call, drawn as one TextOut of head + tail or through the tail.
std::string drawn(const Font& font, int bkMode, const std::string& tail, const std::vector<Call>& calls, bool useTail) {
    FillCanvas c(80, 40);
    Selected selected(c.dc(), makeFont(font));
    SetBkMode(c.dc(), bkMode);
    SetBkColor(c.dc(), RGB(250, 220, 0));
    SetTextColor(c.dc(), RGB(0, 0, 200));
    TextTail measured(tail);
    std::string maps;
    for (const Call& call : calls) {
        if (useTail) {
            measured.draw(c.dc(), call.x, call.y, call.head);
        } else {
            const std::string whole = call.head + tail;
            TextOutU8(c.dc(), call.x, call.y, whole.data(), int(whole.size()));
        }
        maps += c.map() + "\n";
    }
    return maps;
}

TEST(TextTail, DrawsWhatTextOutDrawsForTheWholeText) {
    const std::string longTail = " units" + std::string(3000, 'W') + "i\xE4\xB8\xAD|";
    std::vector<Call> calls = {
        {2, 3, "12.5"}, {-7 * 3000, 10, "-4"}, {-7 * 3000 - 250, 20, ""}, {60, 25, "0"}, {-40000, 0, "99999.99"},
    };
    // A glyph cut by the left edge at every offset of a pixel.
    for (int k = 0; k < 24; ++k) calls.push_back({-2000 - k, 2 * k - 8, "1"});
    struct Case {
        const char* name;
        Font font;
        int bkMode;
        std::string tail;
    };
    const std::vector<Case> cases = {
        {"long tail", {14, 0, 400}, TRANSPARENT, longTail},
        {"long tail on a box", {14, 0, 400}, OPAQUE, longTail},
        {"bold", {17, 0, 700}, TRANSPARENT, longTail},
        {"turned", {14, 300, 400}, TRANSPARENT, longTail.substr(0, 300)},
        {"short tail", {12, 0, 400}, OPAQUE, "%"},
        {"no tail", {14, 0, 400}, TRANSPARENT, ""},
        {"large glyphs", {400, 0, 400}, TRANSPARENT, "gW" + std::string(200, 'j')},
    };
    for (const Case& c : cases)
        EXPECT_EQ(drawn(c.font, c.bkMode, c.tail, calls, true), drawn(c.font, c.bkMode, c.tail, calls, false)) << c.name;
}

TEST(TextTail, MeasuresWhatTheWholeTextMeasures) {
    const struct {
        const char* name;
        Font font;
        std::string tail;
    } cases[] = {
        {"long tail", {14, 0, 400}, std::string(32767, '0') + "%"},
        {"bold", {17, 0, 700}, " units" + std::string(3000, 'W') + "i\xE4\xB8\xAD|"},
        {"large glyphs", {400, 0, 400}, std::string(9000, 'W')},
        {"no tail", {14, 0, 400}, ""},
    };
    FillCanvas c(10, 10);
    for (const auto& k : cases) {
        Selected font(c.dc(), makeFont(k.font));
        TextTail measured(k.tail);
        for (const std::string head : {"", "12.5", "-99999.000017"}) {
            const std::string whole = head + k.tail;
            SIZE expected{-1, -1};
            GetTextExtentPointU8(c.dc(), whole.data(), int(whole.size()), &expected);
            const SIZE got = measured.extent(c.dc(), head);
            EXPECT_EQ(got.cx, expected.cx) << k.name << ", " << head;
            EXPECT_EQ(got.cy, expected.cy) << k.name << ", " << head;
        }
    }
}

TEST(TextTail, AnotherFontMeasuresTheTailAgain) {
    FillCanvas a(80, 40), b(80, 40);
    const std::string tail = std::string(500, 'm') + "end";
    TextTail measured(tail);
    for (const Font& f : {Font{14, 0, 400}, Font{22, 0, 700}}) {
        Selected inA(a.dc(), makeFont(f)), inB(b.dc(), makeFont(f));
        measured.draw(a.dc(), -4000, 5, "7");
        const std::string whole = "7" + tail;
        TextOutU8(b.dc(), -4000, 5, whole.data(), int(whole.size()));
    }
    EXPECT_EQ(a.map(), b.map());
}

}  // namespace
}  // namespace kelvane
