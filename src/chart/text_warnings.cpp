// The warnings about texts: legends and titles past the canvas, value-axis and category labels
// past it or over each other, pie labels over each other.
#include <algorithm>
#include <cmath>
#include <map>

#include "chart/chart_warnings.h"
#include "chart/text_boxes.h"

namespace kelvane {

namespace {

struct Canvas {
    int32_t width, height;
};

std::string joined(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (size_t i = 0; i < parts.size(); ++i) text += (i > 0 ? separator : "") + parts[i];
    return text;
}

// The boxes of one role, in the order noted.
std::vector<const TextBox*> boxesOf(const std::vector<TextBox>& boxes, TextRole role) {
    std::vector<const TextBox*> found;
    for (const TextBox& b : boxes)
        if (b.text->role == role) found.push_back(&b);
    return found;
}

void legendWarning(const std::optional<NotedLegend>& legend, const std::vector<const TextBox*>& texts, bool pie,
                   Canvas canvas, std::vector<std::string>& lines) {
    EdgeReach reach;
    double top = 1e300, bottom = -1e300, textRight = -1e300;
    for (const TextBox* b : texts) {
        reach.widen(ReachPastCanvas(*b, canvas.width, canvas.height));
        top = std::min(top, b->top);
        bottom = std::max(bottom, b->bottom);
        textRight = std::max(textRight, b->right);
    }
    if (legend && legend->box.right > legend->box.left && legend->box.bottom > legend->box.top) {
        const gdi::RECT& r = legend->box;
        reach.widen(ReachPastCanvas(r.left, r.top, r.right, r.bottom, canvas.width, canvas.height));
        top = std::min(top, double(r.top));
        bottom = std::max(bottom, double(r.bottom));
    }
    if (!reach.any()) return;

    std::vector<std::string> advice;
    if (reach.right > 0) {
        // The texts keep their place from where the width is counted; the box must hold them.
        const int64_t needed = legend && !texts.empty() ? int64_t(std::ceil(textRight - legend->origin)) + 5 : 0;
        if (legend && legend->width < needed)
            advice.push_back("set LegendWidth to at least " + std::to_string(needed) +
                             (legend->width == 0 ? " (it is 0)" : ""));
        else
            advice.push_back(pie ? "lower LegendOffsetX or raise MarginRight" : "lower LegendOffsetX");
    }
    if (reach.left > 0) advice.push_back("lower LegendWidth or raise LegendOffsetX");
    if (reach.top > 0 || reach.bottom > 0) {
        if (bottom - top > canvas.height)
            advice.push_back("make it shorter (LegendItemHeight, LegendTitleHeight, LegendFontSize) or the canvas "
                             "taller (Height)");
        else
            advice.push_back("move it with LegendOffsetY");
    }
    lines.push_back("the legend extends past " + EdgeNames(reach) + " of the canvas; " + joined(advice, "; "));
}

void titleWarnings(const std::vector<const TextBox*>& titles, Canvas canvas, std::vector<std::string>& lines) {
    for (const TextBox* b : titles) {
        const EdgeReach reach = ReachPastCanvas(*b, canvas.width, canvas.height);
        if (!reach.any()) continue;
        std::vector<std::string> advice;
        if (reach.left > 0 || reach.right > 0)
            advice.push_back("lower DrawChartTiTle's Size (now " + std::to_string(b->text->font.lfHeight) +
                             "), shorten the title or change its offsetX");
        if (reach.top > 0 || reach.bottom > 0) advice.push_back("change DrawChartTiTle's offsetY");
        lines.push_back("the title " + Quoted(b->text->text) + " extends past " + EdgeNames(reach) +
                        " of the canvas; " + joined(advice, "; "));
    }
}

// Labels of one drawing call: past the canvas, over each other.
void labelWarnings(TextRole role, const std::vector<const TextBox*>& group, Canvas canvas,
                   std::vector<std::string>& lines) {
    const bool categories = role == TextRole::Categories;
    const std::string what = role == TextRole::LeftAxis    ? "DrawBarChart's value-axis labels"
                             : role == TextRole::RightAxis ? "DrawRightAxis labels"
                                                           : "DrawAreaText labels";
    const std::string size = std::to_string(group.front()->text->font.lfHeight);

    EdgeReach reach;
    const TextBox* first = nullptr;
    for (const TextBox* b : group) {
        const EdgeReach r = ReachPastCanvas(*b, canvas.width, canvas.height);
        if (r.any() && !first) first = b;
        reach.widen(r);
    }
    if (first) {
        std::vector<std::string> margins;
        const auto margin = [&](int32_t by, const char* name) {
            if (by > 0) margins.push_back(std::string(name) + " by at least " + std::to_string(by));
        };
        margin(reach.left, "MarginLeft");
        margin(reach.top, "MarginTop");
        margin(reach.right, "MarginRight");
        margin(reach.bottom, "MarginBottom");
        lines.push_back(what + " extend past " + EdgeNames(reach) + " of the canvas (" + Quoted(first->text->text) +
                        "); raise " + joined(margins, " and ") +
                        (categories ? ", or shorten them or lower DrawAreaText's Size (now " + size + ")"
                                    : ", or shorten them (DecimalNum, bStr)"));
    }

    const TextBox *a = nullptr, *b = nullptr;
    for (size_t i = 0; i < group.size() && !a; ++i)
        for (size_t j = i + 1; j < group.size(); ++j)
            if (TextsOverlap(*group[i], *group[j])) {
                a = group[i];
                b = group[j];
                break;
            }
    if (!a) return;
    if (categories) {
        lines.push_back(what + " overlap (" + Quoted(a->text->text) + " and " + Quoted(b->text->text) +
                        "); shorten them, lower DrawAreaText's Size (now " + size +
                        "), label every other position (stepNum 1) or turn them (Angle)");
        return;
    }
    // Ticks lie one step apart: the closest two tell the step.
    int32_t step = INT32_MAX;
    for (size_t i = 1; i < group.size(); ++i)
        step = std::min(step, std::abs(group[i]->text->y - group[i - 1]->text->y));
    lines.push_back(what + " overlap: steps of " + std::to_string(step) + " pixels for labels " +
                    std::to_string(int32_t(a->height)) + " pixels high; lower " +
                    (role == TextRole::RightAxis ? "DrawRightAxis's" : "DrawBarChart's") +
                    " Vstep or raise Height");
}

void pieLabelWarning(const std::vector<NotedPieLabel>& labels, std::vector<std::string>& lines) {
    const NotedPieLabel *a = nullptr, *b = nullptr;
    int64_t pairs = 0;
    for (size_t i = 0; i < labels.size(); ++i)
        for (size_t j = i + 1; j < labels.size(); ++j)
            if (BoxesOverlap(labels[i].box, labels[j].box) && pairs++ == 0) {
                a = &labels[i];
                b = &labels[j];
            }
    if (!a) return;
    lines.push_back("pie labels overlap (" + Quoted(a->name) + " and " + Quoted(b->name) +
                    (pairs > 1 ? ", " + std::to_string(pairs) + " pairs in all" : std::string()) +
                    "); hide them (MValueVisible = False) or give the pie more room (PieSizeRate, Width, Height)");
}

}  // namespace

void AddTextWarnings(const ChartFacts& f, std::vector<std::string>& lines) {
    if (!f.canvas) return;
    const Canvas canvas{f.width, f.height};
    const std::vector<TextBox> boxes = MeasureTexts(f.texts);
    legendWarning(f.barLegend, boxesOf(boxes, TextRole::BarLegend), false, canvas, lines);
    legendWarning(f.pieLegend, boxesOf(boxes, TextRole::PieLegend), true, canvas, lines);
    titleWarnings(boxesOf(boxes, TextRole::Title), canvas, lines);
    for (TextRole role : {TextRole::LeftAxis, TextRole::RightAxis, TextRole::Categories}) {
        std::map<uint32_t, std::vector<const TextBox*>> groups;
        for (const TextBox* b : boxesOf(boxes, role)) groups[b->text->group].push_back(b);
        for (const auto& [group, members] : groups) labelWarnings(role, members, canvas, lines);
    }
    pieLabelWarning(f.pieLabels, lines);
}

}  // namespace kelvane
