// cChart: the component's one public class. A host creates one per picture, assigns settings,
// calls InitChart, draws, and asks for the picture as a file, a byte array or a copy on a DC.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kelvane/gdi.h"
#include "kelvane/output_notes.h"
#include "kelvane/runtime.h"
#include "kelvane/variant.h"

namespace kelvane {

enum iDrawBarMode : int32_t {
    kvSingleColor = 1,  // solid bars in FillColor, optionally 3D
    kvline = 2,         // points joined by a line
    kvFillImage = 3,    // bars filled with a tiled picture
    kvOnePole = 4,      // one stacked bar per bar position
    kvDot = 5,          // point markers only
};

enum emLineDotType : int32_t {
    dtCir = 1,   // circular point marker
    dtRect = 2,  // square point marker
};

// The record of the type library; no method takes or returns it.
struct Size {
    int32_t cx;
    int32_t cy;
};

// Every setting with the value a new chart holds.
struct ChartSettings {
#define KV_SETTING(name, stored, assigned, initial) stored name = initial;
#include "kelvane/chart_settings.def"
#undef KV_SETTING
};

// Where the bars go: computed by DrawBarChart, read by bars, free drawing and the axis line.
struct PlotFrame {
    int32_t plotLeft = 0;
    float plotBottom = 0;
    float plotWidth = 0;
    float slotWidth = 0;
    float barWidth = 0;
    float slotGap = 0;
    float axisHeight = 0;
    float axisRight = 0;
    float valueScale = 0;
    float axisStartValue = 0;
    float rightReserve = 0;
};

// One slice of a pie chart, as AddPieData stored it.
struct PieItem {
    std::string Name;            // shown in the legend
    float Value = 0;             // any sign is kept
    int16_t FillStyle = 0;       // stored only
    VBBool ItemHidden = kFalse;  // keeps its angle, but is neither drawn, labelled nor listed
    VBBool ItemOut = kFalse;     // pulled out of the pie by PieItemOutOffset3D
    Colour FillColor1 = 0;       // top face, flat slice, legend icon, label box
    Colour FillColor2 = 0;       // stored only
    std::string FillImage;       // stored only
    float Share = 0;             // Value over the sum of all values, written when the pie is drawn
};

struct ChartState;

class cChart {
public:
    cChart();
    ~cChart();
    cChart(const cChart&) = delete;
    cChart& operator=(const cChart&) = delete;

    // Write-only settings; assigning only stores the value.
#define KV_SETTING(name, stored, assigned, initial) void name(assigned value);
#include "kelvane/chart_settings.def"
#undef KV_SETTING

    // The slot width of the last DrawBarChart; 0 before it.
    float BarWidth() const;
    // A fixed text naming the component and its version.
    std::string CopyRight() const;

    // Canvas lifecycle and error text.
    int32_t InitChart();
    void Destroy();
    std::string ErrorInfo() const;

    // Bar charts: the plot frame, value axis, category ticks, 3D walls, legend box and grid;
    // errors are appended to ErrorInfo ("number:description") instead of failing the call.
    int32_t DrawBarChart(float VMax, int16_t Vstep, float VStartValue, int16_t DecimalNum = 0,
                         const std::string& bStr = "", VBBool bTxtVisible = kTrue);
    // A second value scale at the right end of the category axis.
    int32_t DrawRightAxis(float VMax, int16_t Vstep, float VStartValue, int16_t DecimalNum = 0,
                          const std::string& bStr = "", VBBool bVisible = kTrue);

    // One item of a bar chart: a bar, a stacked segment or a point by DrawBarMode, with its value
    // label, legend entry and image-map record. Returns an empty variant.
    Variant AddBarData(const std::string& Name, float Value, int16_t bIndex, int16_t sIndex,
                       const std::string& sAddParam = "");
    // The HTML image map of the items drawn so far (the last drawn first); error 5 when none.
    std::string MakeMap(const std::string& MapName, const std::string& sLink = "", const std::string& sParam = "",
                        const std::string& sTarget = "_blank") const;

    // Pie charts: one AddPieData per slice (stored only, returns an empty variant), then
    // DrawPieChart (clamps BorderOffset to 5..30, sets the plot origin). The pie, its percentage
    // labels and its legend are drawn by every output method from the settings current then.
    Variant AddPieData(const std::string& Name, float Value, int16_t FillStyle, VBBool ItemHidden = kFalse,
                       VBBool ItemOut = kFalse, int32_t FillColor1 = 0, int32_t FillColor2 = 0,
                       const std::string& FillImage = "");
    int32_t DrawPieChart();

    // The running total of a series as a polyline over the bars (a Pareto line), one point per bar
    // position, labelled with its percentage of the grand total. Always returns 0.
    int32_t DrawPolaLine(const Variant& arrValue, int16_t DecimalNum, int16_t LineMode, const std::string& LineWidth,
                         Colour LineColor, const Variant& ValueOffsetX = Variant(0), const Variant& ValueOffsetY = Variant(0),
                         VBBool ValueVisible = kTrue, VBBool ValueBackVisible = kFalse,
                         const Variant& ValueBorderOffsetX = Variant(1), const Variant& ValueBorderOffsetY = Variant(1));

    // Free drawing: lines, rectangles and circles (line modes 0..5), in canvas pixels or, with
    // StartPointMode 2, in plot coordinates.
    int32_t DrawLine(int16_t LineMode, const std::string& LineWidth, Colour LineColor, float x1, float y1,
                     float x2, float y2, int16_t StartPointMode = 1);
    int32_t DrawRect(int16_t OutLineMode, int16_t OutLineWidth, Colour OutLineColor, Colour nFillColor,
                     float x1, float y1, float x2, float y2, int16_t StartPointMode = 1);
    int32_t DrawCircle(int16_t nRadius, int16_t nOutLineMode, int32_t nOutLineWidth, Colour nOutLineColor,
                       float nCenterX, float nCenterY, int16_t StartPointMode = 1, Colour nFillColor = 0);

    // Text: a centred title, category labels under the plot, free text.
    int32_t DrawChartTiTle(const std::string& Value, const std::string& strFont = "Arial", int16_t Size = 14,
                           VBBool Bond = kTrue, Colour Color = 0, int16_t Angle = 0, float offsetX = 0,
                           float offsetY = 0);
    int32_t DrawAreaText(const Variant& arrValue, int16_t stepNum = 0, const std::string& strFont = "Arial",
                         int16_t Size = 14, VBBool Bond = kTrue, Colour Color = 0, int16_t Angle = 0,
                         float offsetX = 0, float offsetY = 0);
    int32_t DrawText(const std::string& Value, const std::string& strFont = "Arial", int16_t Size = 14,
                     VBBool Bond = kFalse, Colour Color = 0, int16_t Angle = 0, float x = 0, float y = 0,
                     int16_t StartPointMode = 1);

    // A line through "x,y" points, each segment bent by one sine wave.
    int32_t DrawCurve(const Variant& arrPoint, const std::string& CurveWidth, Colour CurveColor,
                      float tension, int32_t precisionNum, int16_t StartPointMode = 2);

    // A BMP, JPEG or GIF file placed with its top-left at canvas pixel (x, y), blended by Opacity
    // percent, TransColor pixels left out. 0 (and ErrorInfo replaced) when it cannot be loaded.
    int32_t DrawImage(const std::string& StrPath, float x, float y, Colour TransColor = 16777215,
                      int16_t Opacity = 100);

    // Output.
    int32_t makeChart(const std::string& FileName);
    Variant SaveBinary(const std::string& imgType);
    int32_t ExportToDC(gdi::HDC DC);

    // The number pattern of axis, pie and running-total labels: "0" for no decimals, else "0."
    // and that many zeros.
    static std::string BuildNumberFormat(int16_t decimals);

    // Warnings: an addition beyond the automation interface. The warnings about the picture as
    // drawn and output since the last InitChart, one line each ending in "\n"; empty when there
    // are none. Each line says what looks wrong and which setting or call to change: Width or
    // Height left 0 (the 21 x 21 template canvas), AddBarData calls that drew nothing for want
    // of a DrawBarMode, bars 1 pixel wide for BarSpaceRate 0, a legend or title past the canvas,
    // value-axis or category labels past the canvas or over each other, pie labels over each
    // other, and GIF outputs whose 216-colour cube changed colours of 1 % of the picture or more
    // visibly (by more than 40 in RGB distance).
    // Cost: a chart notes a few facts while drawing (counters, where texts went); measuring and
    // comparing them happens here, when asked. The GIF check needs the picture, which a GIF
    // output deletes, so it runs inside the GIF output, and only once warnings were asked for:
    // the first call of Warnings() on a chart arms it for every later output of that chart
    // (a host that wants it calls Warnings() before drawing). No output byte depends on it.
    std::string Warnings();

    // For C++ hosts and tests; not part of the automation interface.
    const ChartSettings& settings() const;
    const PlotFrame& plotFrame() const;
    // The pie list (null before the first AddPieData and after Destroy) and its count.
    const std::vector<PieItem>* pieItems() const;
    int16_t pieItemCount() const;
    // The canvas device context, or null when the chart has none.
    gdi::HDC canvasDC() const;
    // Why an output made nothing (kelvane/output_notes.h). The file the last makeChart could not
    // write, if any; and how the chart came to be without a canvas, empty while it has one.
    std::optional<FileFailure> lastFileFailure() const;
    std::optional<CanvasEnd> canvasEnd() const;

private:
    void finishDrawing();
    // The canvas context, or null when there is none (drawing then has no visible effect).
    gdi::HDC canvas() const;
    // Every free-drawing method starts by moving to the plot origin (no visible effect).
    void moveToPlotOrigin() const;
    void drawBarChart(float VMax, int16_t Vstep, float VStartValue, int16_t DecimalNum, const std::string& bStr,
                      VBBool bTxtVisible);

    std::unique_ptr<ChartState> m;
};

}  // namespace kelvane
