// The pie renderer: shares, geometry and the points of every slice, the flat slices, then the
// solid pie, the labels and the legend.
#include <array>
#include <cmath>

#include "chart/pie_chart.h"
#include "draw/plot_coords.h"
#include "raster/deferred_paint.h"
#include "raster/gdi_handles.h"

namespace kelvane {

using namespace gdi;

namespace {

// Pies of fewer slices paint little more than their own area once and are painted as they are
// drawn; from this many on (thin slices, each a whole disc, start at about one per pixel of the
// rim) their painting is put off and composed, which costs four bytes a pixel of the canvas.
constexpr size_t kDeferredSlices = 256;

// The single nearest 0.8: the largest size rate a pie with a pulled-out slice keeps.
constexpr float kPulledOutSizeRate = 0.8f;

// Shares of every item; the values are summed as singles, hidden items included.
void ComputeShares(std::vector<PieItem>& items) {
    float total = 0;
    for (const PieItem& item : items) total = CSng(double(total) + item.Value);
    for (PieItem& item : items) item.Share = CSng(Divide(item.Value, total));
}

// Centre and radius from the canvas less the legend reserve, the border offsets and the margins.
void ComputeGeometry(ChartSettings& s, const std::vector<PieItem>& items, PieLayout& pie) {
    const int32_t w = SubLng(SubLng(SubLng(SubLng(s.Width, s.LegendWidth), MulLng(2, s.BorderOffset)), s.MarginLeft),
                             s.MarginRight);
    const int32_t h = SubLng(SubLng(SubLng(s.Height, MulLng(2, s.BorderOffset)), s.MarginTop), s.MarginBottom);
    pie.cx = CSng(double(w) / 2 + s.BorderOffset + s.MarginLeft);
    pie.cy = CSng(double(h) / 2 + s.BorderOffset + s.MarginTop);
    pie.r = CSng(double(w < h ? w : h) / 2);
    for (const PieItem& item : items)
        if (item.ItemOut == kTrue) {
            // Room for the pulled-out slices; the lowered rate stays for later outputs.
            if (s.PieSizeRate > kPulledOutSizeRate) s.PieSizeRate = kPulledOutSizeRate;
            break;
        }
    pie.r = CSng(double(pie.r) * s.PieSizeRate);
}

}  // namespace

float PieEndAngle(float start, float share) { return CSng(double(start) + double(share) * 360); }
float PieMidAngle(float end, float share) { return CSng(double(end) - double(share) * 360 / 2); }

PieLayout LayOutPie(ChartState& chart) {
    ChartSettings& s = chart.settings;
    if (!chart.pieList) Raise(kErrSubscript);
    std::vector<PieItem>& items = *chart.pieList;
    const int16_t n = CInt(int64_t(items.size()));
    ComputeShares(items);
    if (s.LegendVisible == kFalse) s.LegendWidth = 0;

    PieLayout pie;
    ComputeGeometry(s, items, pie);
    pie.labelPattern = cChart::BuildNumberFormat(CInt(s.PercentDigits));
    const double cx = pie.cx, cy = pie.cy, r = pie.r;
    const double cosA = std::cos(double(s.Angle_3D));

    POINT start{Pixel(cx + r), Pixel(cy)};
    float angle = 0;
    pie.slices.resize(size_t(n));
    for (int16_t i = 0; i < n; ++i) {
        const PieItem& item = items[size_t(i)];
        PieSlice& p = pie.slices[size_t(i)];
        angle = p.endAngle = PieEndAngle(angle, item.Share);
        p.midAngle = PieMidAngle(p.endAngle, item.Share);
        const bool out = item.ItemOut == kTrue;
        if (out) {
            const double mid = p.midAngle * kPieDegreesToRadians;
            p.ox = CSng(s.PieItemOutOffset3D * std::cos(mid));
            p.oy = CSng(s.PieItemOutOffset3D * std::sin(mid));
        }
        const double end = p.endAngle * kPieDegreesToRadians;
        const double ex = CSng(r * std::cos(end)), ey = CSng(r * std::sin(end));
        const double ox = p.ox, oy = p.oy;
        p.S = out ? POINT{Pixel(start.x + ox), Pixel(start.y + oy)} : start;
        p.E = POINT{Pixel(ex + cx + ox), Pixel(ey + cy + oy)};
        p.b0x = p.S.x - ox;
        p.b0y = p.S.y - oy;
        p.b1x = p.E.x - ox;
        p.b1y = p.E.y - oy;
        if (s.Chart_3D == kTrue) {
            p.sy = PieTilted(p.S.y, cy, cosA);
            p.ey = PieTilted(p.E.y, cy, cosA);
            p.oyTilted = CSng(oy * cosA);
        }
        // The next slice starts where this one ends, put back into the pie.
        start = out ? POINT{Pixel(p.E.x - ox), Pixel(p.E.y - oy)} : p.E;
    }
    return pie;
}

namespace {

// The Pie call of a flat slice: its box and its two radial points.
std::array<int32_t, 8> PieCall(const PieLayout& pie, const PieSlice& p) {
    const double cx = pie.cx, cy = pie.cy, r = pie.r, ox = p.ox, oy = p.oy;
    return {Pixel(cx - r + ox), Pixel(cy - r + oy), Pixel(cx + r + ox), Pixel(cy + r + oy), p.E.x, p.E.y, p.S.x, p.S.y};
}

// The flat slices, or the solid pie. A slice whose Pie call is exactly that of the next slice
// drawn (slices too thin to move their points, thousands of them) paints nothing the next one
// does not paint again straight after, whatever the colours: it is left out. Working out the next
// call may fail; the slice before it is then drawn, and the failure comes with the next slice.
void DrawSlices(HDC dc, const ChartState& chart, const PieLayout& pie) {
    const ChartSettings& s = chart.settings;
    const std::vector<PieItem>& items = *chart.pieList;
    if (s.Chart_3D == kFalse) {
        const bool traced = CallsTraced(dc);  // a traced canvas shows every call
        std::vector<size_t> shown;
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i].ItemHidden != kTrue) shown.push_back(i);
        for (size_t k = 0; k < shown.size(); ++k) {
            const size_t i = shown[k];
            const std::array<int32_t, 8> call = PieCall(pie, pie.slices[i]);
            if (k + 1 < shown.size() && !traced) {
                try {
                    if (PieCall(pie, pie.slices[shown[k + 1]]) == call) continue;
                } catch (const AutomationError&) {
                }
            }
            Owned<HBRUSH> brush(CreateSolidBrush(COLORREF(items[i].FillColor1)));
            Selection selected(dc, brush.get());
            // Counter-clockwise from E back to S: the slice's own clockwise sweep.
            Pie(dc, call[0], call[1], call[2], call[3], call[4], call[5], call[6], call[7]);
        }
    } else if (s.Chart_3D == kTrue) {
        DrawSolidPie(dc, chart, pie);
    }
}

}  // namespace

void RenderPie(ChartState& chart) {
    chart.facts.startPie();
    const PieLayout pie = LayOutPie(chart);
    const HDC dc = chart.canvas.dc();
    if (chart.pieList->size() >= kDeferredSlices) {
        // Thousands of slices overlap, each thin one filled as a whole disc: their painting is
        // put off and composed last-first, each pixel painted once (deferred_paint.h).
        const DeferredPainting deferred(dc);
        DrawSlices(dc, chart, pie);
    } else {
        DrawSlices(dc, chart, pie);
    }
    DrawPieLabels(dc, chart, pie);
    DrawPieLegend(dc, chart);
}

}  // namespace kelvane
