// DrawLine, DrawRect and DrawCircle: line-mode outlines, optional solid fills.
#include <optional>

#include "chart/chart_state.h"
#include "draw/line_pen.h"
#include "draw/plot_coords.h"
#include "kelvane/cChart.h"
#include "raster/gdi_handles.h"

namespace kelvane {

using namespace gdi;

namespace {

// The fill of rectangles and circles: a solid brush only for colours above 0; black (0) and
// negative values leave the canvas's own brush, the context's white default.
class FillBrush {
public:
    FillBrush(HDC dc, Colour colour) {
        if (colour <= 0) return;
        m_brush.reset(CreateSolidBrush(COLORREF(colour)));
        m_selection.emplace(dc, m_brush.get());
    }

private:
    Owned<HBRUSH> m_brush;
    std::optional<Selection> m_selection;
};

}  // namespace

HDC cChart::canvas() const { return m->canvas.dc(); }

void cChart::moveToPlotOrigin() const {
    MoveToEx(canvas(), m->frame.plotLeft, Pixel(m->frame.plotBottom), nullptr);
}

int32_t cChart::DrawLine(int16_t LineMode, const std::string& LineWidth, Colour LineColor, float x1,
                         float y1, float x2, float y2, int16_t StartPointMode) {
    moveToPlotOrigin();
    const int32_t width = CLng(TextToNumber(LineWidth));
    const HDC dc = canvas();
    LinePen pen(dc, width, LineColor, LineMode);
    const PlotFrame& f = m->frame;
    const int32_t ax = Pixel(CanvasX(f, x1, StartPointMode)), ay = Pixel(CanvasY(f, y1, StartPointMode));
    const int32_t bx = Pixel(CanvasX(f, x2, StartPointMode)), by = Pixel(CanvasY(f, y2, StartPointMode));
    MoveToEx(dc, ax, ay, nullptr);
    LineTo(dc, bx, by);
    return 1;
}

int32_t cChart::DrawRect(int16_t OutLineMode, int16_t OutLineWidth, Colour OutLineColor, Colour nFillColor,
                         float x1, float y1, float x2, float y2, int16_t StartPointMode) {
    moveToPlotOrigin();
    const HDC dc = canvas();
    if (OutLineMode < 0 || OutLineMode > 5) Raise(kErrSubscript);  // before the brush is made
    FillBrush brush(dc, nFillColor);
    LinePen pen(dc, OutLineWidth, OutLineColor, OutLineMode);
    const PlotFrame& f = m->frame;
    Rectangle(dc, Pixel(CanvasX(f, x1, StartPointMode)), Pixel(CanvasY(f, y1, StartPointMode)),
              Pixel(CanvasX(f, x2, StartPointMode)), Pixel(CanvasY(f, y2, StartPointMode)));
    return 1;
}

int32_t cChart::DrawCircle(int16_t nRadius, int16_t nOutLineMode, int32_t nOutLineWidth, Colour nOutLineColor,
                           float nCenterX, float nCenterY, int16_t StartPointMode, Colour nFillColor) {
    moveToPlotOrigin();
    const HDC dc = canvas();
    if (nOutLineMode < 0 || nOutLineMode > 5) Raise(kErrSubscript);
    FillBrush brush(dc, nFillColor);
    LinePen pen(dc, nOutLineWidth, nOutLineColor, nOutLineMode);
    // The radius is applied to the unrounded centre; lengths are never scaled.
    const double cx = CanvasX(m->frame, nCenterX, StartPointMode);
    const double cy = CanvasY(m->frame, nCenterY, StartPointMode);
    Ellipse(dc, Pixel(cx - nRadius), Pixel(cy - nRadius), Pixel(cx + nRadius), Pixel(cy + nRadius));
    return 1;
}

}  // namespace kelvane
