// cChart::Warnings, the warnings about the canvas and the bars, and the GIF colour warning.
#include "chart/chart_warnings.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "chart/chart_state.h"
#include "kelvane/cChart.h"
#include "output/gif/gif_colour_check.h"

namespace kelvane {

namespace {

std::string counted(int64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string rgb(int r, int g, int b) {
    return "RGB(" + std::to_string(r) + ", " + std::to_string(g) + ", " + std::to_string(b) + ")";
}

}  // namespace

void AddCanvasWarnings(const ChartFacts& f, std::vector<std::string>& lines) {
    if (f.canvas && f.widthUnset && f.heightUnset) {
        lines.push_back("Width and Height were not set: the canvas is the " + std::to_string(kTemplateSide) + " x " +
                        std::to_string(kTemplateSide) + " template; set Width and Height before InitChart");
    } else if (f.canvas && (f.widthUnset || f.heightUnset)) {
        const char* name = f.widthUnset ? "Width" : "Height";
        lines.push_back(std::string(name) + " was not set: the canvas is " + std::to_string(kTemplateSide) +
                        " pixels " + (f.widthUnset ? "wide" : "high") + ", the template's size; set " + name +
                        " before InitChart");
    }
    if (f.idleBarCalls > 0) {
        lines.push_back("AddBarData drew nothing in " + counted(f.idleBarCalls, "call", "calls") +
                        ": DrawBarMode was " + std::to_string(f.idleBarMode) +
                        ", not a drawing mode; set DrawBarMode to kvSingleColor, kvline, kvFillImage, kvOnePole "
                        "or kvDot before AddBarData");
    }
    if (f.thinBars > 0) {
        lines.push_back("BarSpaceRate was 0 at DrawBarChart, so " + counted(f.thinBars, "bar is", "bars are") +
                        " 1 pixel wide; set BarSpaceRate (the share of a bar position its bars cover, such as "
                        "0.8) before DrawBarChart");
    }
}

void NoteGifColours(ChartFacts& facts, const CubeShiftReport& report) {
    if (report.shifts.empty() || report.pixels <= 0) return;
    constexpr size_t kListed = 3;
    std::string line = "GIF output: colours not in the GIF's 216-colour cube cover 1 % or more of the picture: ";
    for (size_t i = 0; i < report.shifts.size() && i < kListed; ++i) {
        const CubeShift& c = report.shifts[i];
        if (i > 0) line += ", ";
        line += rgb(c.red, c.green, c.blue) + " on " + std::to_string(c.pixels * 100 / report.pixels) +
                " % (nearest " + rgb(c.cubeRed, c.cubeGreen, c.cubeBlue) + ", " +
                std::to_string(int(std::lround(c.distance))) + " away)";
    }
    if (report.shifts.size() > kListed) line += " and " + std::to_string(report.shifts.size() - kListed) + " more";
    line += "; write PNG instead to keep them (a .png name for makeChart, or SaveBinary(\"png\"))";
    facts.noteOutputWarning(std::move(line));
}

std::string cChart::Warnings() {
    ChartFacts& f = m->facts;
    f.armed = true;
    std::vector<std::string> lines;
    AddCanvasWarnings(f, lines);
    AddTextWarnings(f, lines);
    lines.insert(lines.end(), f.outputWarnings.begin(), f.outputWarnings.end());
    // A picture written twice, or an axis drawn twice, says the same once.
    std::set<std::string> seen;
    std::string text;
    for (const std::string& line : lines)
        if (seen.insert(line).second) text += line + "\n";
    return text;
}

}  // namespace kelvane
