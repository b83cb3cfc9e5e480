// DrawCurve: a polyline through "x,y" points whose every segment is bent by one sine wave of a
// height proportional to the segment's rise: first against the direction of travel, then past
// it, ending on the next point.
#include <cmath>
#include <vector>

#include "chart/chart_state.h"
#include "draw/plot_coords.h"
#include "kelvane/cChart.h"
#include "raster/gdi_handles.h"

namespace kelvane {

using namespace gdi;

namespace {

// Slightly less than 2 pi, so the last wave point lies a hair off the straight line.
constexpr double kWaveTurn = 6.2831852;

struct CurvePoint {
    float x, y;
};

// "x,y": the first two comma-separated parts; text after a second comma is ignored.
CurvePoint parsePoint(const Variant& element) {
    const std::string text = element.toText();
    const size_t comma = text.find(',');
    if (comma == std::string::npos) Raise(kErrSubscript);
    size_t end = text.find(',', comma + 1);
    if (end == std::string::npos) end = text.size();
    return CurvePoint{CSng(TextToNumber(std::string_view(text).substr(0, comma))),
                      CSng(TextToNumber(std::string_view(text).substr(comma + 1, end - comma - 1)))};
}

}  // namespace

int32_t cChart::DrawCurve(const Variant& arrPoint, const std::string& CurveWidth, Colour CurveColor,
                          float tension, int32_t precisionNum, int16_t StartPointMode) {
    const HDC dc = canvas();
    const int32_t width = CLng(TextToNumber(CurveWidth));
    const Variant::Array& items = arrPoint.array();
    if (items.empty()) Raise(kErrSubscript);
    const int16_t p = CInt(precisionNum);

    // Every point is read before anything is drawn, so a bad point leaves the canvas unchanged.
    std::vector<CurvePoint> raw;
    raw.reserve(items.size());
    for (const Variant& item : items) raw.push_back(parsePoint(item));

    // In plot coordinates a point is an offset from the plot origin (x along the plot width, y a
    // height above the plot bottom). Other modes are canvas pixels throughout: the same
    // construction about the canvas origin, with heights measured upwards.
    const bool plot = StartPointMode == kPlotCoordinates;
    const PlotFrame& f = m->frame;
    const double originX = plot ? f.plotLeft : 0.0;
    const float originY = plot ? f.plotBottom : 0.0f;
    const float scale = plot ? f.valueScale : 1.0f;
    const float runScale = plot ? f.plotWidth : 100.0f;
    std::vector<float> mx(raw.size()), my(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        mx[i] = plot ? (raw[i].x * f.plotWidth) / 100.0f : raw[i].x;
        my[i] = plot ? (raw[i].y - f.axisStartValue) * f.valueScale : -raw[i].y;
    }
    const float riseSign = plot ? 1.0f : -1.0f;

    Owned<HPEN> pen(CreatePen(PS_SOLID, width, COLORREF(CurveColor)));
    Selection selectPen(dc, pen.get());
    MoveToEx(dc, f.plotLeft, Pixel(f.plotBottom), nullptr);
    MoveToEx(dc, Pixel(originX + mx[0]), Pixel(double(originY) - my[0]), nullptr);
    for (size_t i = 1; i < raw.size(); ++i) {
        const double sx = originX + mx[i - 1];
        const float sy = originY - my[i - 1];
        const float d = riseSign * (raw[i].y - raw[i - 1].y) * scale;
        const float amplitude = d != 0 ? d * tension : 0.0f;
        const float w = ((raw[i].x - raw[i - 1].x) * runScale) / 100.0f;
        for (int32_t j = 1; j <= p; ++j) {
            const float along = (float(j) * w) / float(p);
            const float x = float(sx + double(along));
            const float straight = sy - (float(j) * d) / float(p);
            const float wave = float(double(amplitude) * std::sin(double(j) / double(p) * kWaveTurn));
            LineTo(dc, Pixel(x), Pixel(double(straight) + double(wave)));
        }
        LineTo(dc, Pixel(originX + mx[i]), Pixel(double(originY) - my[i]));
    }
    return 1;
}

}  // namespace kelvane
