// Everything a chart keeps between calls besides its settings.
#pragma once

#include <string>
#include <vector>

#include "chart/canvas.h"
#include "kelvane/cChart.h"

namespace kelvane {

struct ChartState {
    ChartSettings settings;
    Canvas canvas;
    std::string errorText;
    PlotFrame frame;
    // Text of the axis, legend and value labels; its face name is never set, so the default
    // face draws them.
    struct LabelFont {
        int32_t height = 0;
        int32_t escapement = 0;
        int32_t weight = 0;
        uint8_t charSet = 0;
        char faceName[32] = {};
    } labelFont;
    float currentItemX = 0;
    std::vector<std::vector<float>> stackTable;
    std::string mapRecords;
    VBBool pictureFlag = kFalse;
    // 2 once DrawPieChart asked for a pie: the output then runs the pie renderer.
    int16_t pieChartFlag = 0;
};

}  // namespace kelvane
