// Everything a chart keeps between calls besides its settings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "chart/canvas.h"
#include "chart/chart_facts.h"
#include "chart/chart_pictures.h"
#include "kelvane/cChart.h"

namespace kelvane {

// One drawn bar, segment or point, as the image map needs it.
struct MapRecord {
    int16_t bIndex, sIndex;
    std::string addParam;
    float left, top, right, bottom;
    float value;
};

// The most cells (bar positions x items) a stacked-bar table may hold, 16 MiB of heights:
// DrawBarChart fails with "Out of memory" beyond it rather than reserve what settings ask for.
inline constexpr int64_t kMaxStackCells = int64_t{1} << 22;

struct ChartState {
    ChartSettings settings;
    Canvas canvas;
    std::string errorText;
    PlotFrame frame;
    // Text of the axis, legend and value labels, reused from call to call (fields not set by a
    // call keep their last value); its face name is never set, so the default face draws them.
    gdi::LOGFONTA labelFont{};
    float currentItemX = 0;
    // Stacked bars: the height reached so far, by bar position and item.
    std::vector<std::vector<float>> stackTable;
    std::vector<MapRecord> mapRecords;
    VBBool pictureFlag = kFalse;
    std::optional<FillPictureCache> fillPicture;
    // 2 once DrawPieChart asked for a pie: the output then runs the pie renderer.
    int16_t pieChartFlag = 0;
    // The slices in call order; absent until the first AddPieData and again after Destroy,
    // which keeps the count (a later AddPieData then makes count + 1 entries, the old ones empty).
    std::optional<std::vector<PieItem>> pieList;
    int16_t pieItemCount = 0;
    // How the canvas last ended (read only while there is none), and the file the last makeChart
    // could not write (its reason empty when there was none).
    CanvasEnd canvasEnd;
    FileFailure fileFailure;
    // What the warnings are made from (Warnings()).
    ChartFacts facts;
};

// Notes, when it goes out of scope, that `call` ended the canvas if the chart had one when the
// watch began and has none now, also when the call fails midway.
class CanvasEndWatch {
public:
    CanvasEndWatch(ChartState& state, CanvasEnd::How how, std::string call);
    ~CanvasEndWatch();
    CanvasEndWatch(const CanvasEndWatch&) = delete;
    CanvasEndWatch& operator=(const CanvasEndWatch&) = delete;

private:
    ChartState& m_state;
    bool m_had;
    CanvasEnd::How m_how;
    std::string m_call;
};

}  // namespace kelvane
