// The warnings of a chart: lines that explain a blank or broken picture, made from the facts
// noted while it was drawn and output (chart_facts.h). Each line names what to change.
#pragma once

#include <string>
#include <vector>

#include "chart/chart_facts.h"

namespace kelvane {

struct CubeShiftReport;

// The canvas size and the bars: from the counters noted by InitChart, DrawBarChart, AddBarData.
void AddCanvasWarnings(const ChartFacts& facts, std::vector<std::string>& lines);

// Legends and titles past the canvas, value-axis and category labels past it or overlapping
// each other, overlapping pie labels: the noted texts measured in their fonts now.
void AddTextWarnings(const ChartFacts& facts, std::vector<std::string>& lines);

// A GIF in the colour cube that changed colours of 1 % of the picture or more visibly leaves a
// line in the facts (none when the report holds no colour).
void NoteGifColours(ChartFacts& facts, const CubeShiftReport& report);

}  // namespace kelvane
