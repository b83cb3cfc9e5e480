// What the chart's warnings are made from: small facts noted while a picture is drawn and output
// (a canvas size, counters, where texts were put, the boxes of legends and pie labels). Noting
// them costs a copy of a few numbers and strings; measuring and comparing them waits until the
// host asks for the warnings (chart_warnings.cpp).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kelvane/gdi.h"

namespace kelvane {

// What a noted text is; texts of one role drawn by one call form a group.
enum class TextRole : uint8_t {
    LeftAxis,    // tick labels of DrawBarChart's value axis
    RightAxis,   // tick labels of DrawRightAxis
    Categories,  // DrawAreaText labels
    Title,       // DrawChartTiTle
    BarLegend,   // heading of DrawBarChart's legend and the names AddBarData puts in it
    PieLegend,   // title and names of the pie legend
};

// A text drawn with its reference point (the cell's top-left corner, which rotated text turns
// about) at (x, y) in `font`.
struct NotedText {
    TextRole role;
    uint32_t group;
    gdi::LOGFONTA font;
    int32_t x, y;
    std::string text;  // UTF-8, as drawn
};

// A legend box: where it was drawn and the x its width is counted from (its box then ends at
// origin + LegendWidth).
struct NotedLegend {
    gdi::RECT box;
    int32_t origin;
    int32_t width;  // LegendWidth when it was drawn
};

// A pie percentage label with its tinted box.
struct NotedPieLabel {
    std::string name;
    gdi::RECT box;
};

// The box (left, top, right, bottom) widened by bx and by on each side, saturating rather than
// wrapping at the ends of the 32-bit range.
gdi::RECT WidenedBox(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t bx, int32_t by);

// One noted picture holds at most this many texts and pie labels; beyond it the warnings look
// at the first ones only (an axis of thousands of ticks shows its overlap among the first).
inline constexpr size_t kMaxNotedTexts = 4096;
// A longer text is noted by its first this many bytes. Its ink then covers less than the whole
// text's, so what the warnings find of it stays true: a beginning past the canvas or over another
// label means the whole text is.
inline constexpr size_t kMaxNotedTextBytes = 256;

struct ChartFacts {
    // Warnings() was called: the checks that can only run inside an output (the GIF's colours)
    // run from now on. Kept from picture to picture.
    bool armed = false;

    // From InitChart on; reset by it.
    bool canvas = false;             // InitChart made a canvas
    int32_t width = 0, height = 0;   // its size
    bool widthUnset = false, heightUnset = false;  // the template's 21 pixels were taken
    int64_t idleBarCalls = 0;        // AddBarData calls with no drawing mode
    int32_t idleBarMode = 0;         // the DrawBarMode of the first of them
    float frameSpaceRate = 1;        // BarSpaceRate when DrawBarChart laid out the bars
    int64_t thinBars = 0;            // bars drawn 1 pixel wide since that rate was 0
    uint32_t groups = 0;             // groups handed out so far
    std::vector<NotedText> texts;
    std::optional<NotedLegend> barLegend, pieLegend;
    std::vector<NotedPieLabel> pieLabels;
    std::vector<std::string> outputWarnings;  // found by the outputs themselves, in order

    // A new picture: everything but the arming is forgotten.
    void startPicture(bool made, int32_t canvasWidth, int32_t canvasHeight, bool noWidth, bool noHeight);
    uint32_t newGroup() { return ++groups; }
    // Notes the text head followed by tail (an axis label's number and unit) drawn on canvas,
    // within the bounds below; nothing when there was no canvas to draw on (canvas null).
    void noteText(gdi::HDC canvas, TextRole role, uint32_t group, const gdi::LOGFONTA& font, int32_t x, int32_t y,
                  std::string_view head, std::string_view tail = {});
    // The pie is drawn again by every output: its labels and legend replace the earlier ones.
    void startPie();
    void notePieLabel(gdi::HDC canvas, const std::string& name, const gdi::RECT& box);
    void noteOutputWarning(std::string line);
};

}  // namespace kelvane
