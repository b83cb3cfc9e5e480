// DrawCurve: a polyline through "x,y" points whose every segment is bent by one sine wave of a
// height proportional to the segment's rise: first against the direction of travel, then past
// it, ending on the next point.
#include <vector>

#include "chart/chart_state.h"
#include "draw/wave_walk.h"
#include "kelvane/cChart.h"
#include "raster/gdi_handles.h"

namespace kelvane {

using namespace gdi;

namespace {

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
    const int16_t precision = CInt(precisionNum);
    // Every point is read and placed before anything is drawn, so a bad point leaves the canvas
    // unchanged.
    std::vector<CurvePoint> raw;
    raw.reserve(items.size());
    for (const Variant& item : items) raw.push_back(parsePoint(item));
    const WaveGeometry geometry(raw, m->frame, tension, precision, StartPointMode);
    const WaveWalk walk(geometry);
    // Every point of the path is known to fit in pixels before anything is drawn.
    walk.check();

    Owned<HPEN> pen(CreatePen(PS_SOLID, width, COLORREF(CurveColor)));
    Selection selectPen(dc, pen.get());
    moveToPlotOrigin();
    const POINT start = geometry.corner(0);
    MoveToEx(dc, start.x, start.y, nullptr);
    LineRun run(dc);
    walk.draw(run);
    run.finish();
    return 1;
}

}  // namespace kelvane
