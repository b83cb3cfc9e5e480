// Value labels of bar items: measured with the label font, placed above the bar or point (or in
// the middle of a stacked segment), optionally on a tinted box whose base colour is the colour
// assumed to lie beneath it.
#include <string>

#include "chart/bar_item.h"
#include "draw/chart_font.h"
#include "draw/label_box.h"
#include "draw/plot_coords.h"

namespace kelvane {

using namespace gdi;

POINT ValueLabelOrigin(const BarItem& item, const PlotFrame& f, const ChartSettings& s, SIZE extent) {
    const double cx = extent.cx, cy = extent.cy;
    const bool point = item.mode == kvline || item.mode == kvDot;
    const int32_t x = point ? Pixel(double(item.x) - cx / 2) : Pixel((double(f.barWidth) - cx) / 2 + item.x);
    const double bottom = f.plotBottom, h = item.h;
    int32_t y;
    if (item.mode != kvOnePole) y = Pixel(bottom - h - s.MValueOffset - cy);
    else if (item.sIndex == 1) y = Pixel((h - cy) / 2 + (bottom - h));
    else y = Pixel(bottom - item.below - h + (h - cy) / 2);
    return POINT{x, y};
}

void DrawValueLabel(ChartState& chart, DrawingScope& scope, const BarItem& item) {
    const ChartSettings& s = chart.settings;
    const PlotFrame& f = chart.frame;
    const HDC dc = scope.dc();
    chart.labelFont.lfHeight = s.MValueSize;
    chart.labelFont.lfEscapement = 0;
    chart.labelFont.lfWeight = 400;
    const ChartFont font(dc, chart.labelFont);

    SIZE size{0, 0};
    GetTextExtentPointU8(dc, item.label.data(), int(item.label.size()), &size);
    const POINT origin = ValueLabelOrigin(item, f, s, size);
    const int32_t x = origin.x, y = origin.y;
    const double bottom = f.plotBottom, h = item.h;
    const int32_t x2 = AddLng(x, size.cx), y2 = AddLng(y, size.cy);
    const int32_t bx = s.MValueBorderOffsetX, by = s.MValueBorderOffsetY;

    if (s.MValueBackVisible == kTrue) {
        const Colour beneath = item.mode == kvOnePole ? s.FillColor : s.BackgroundColor;
        PaintLabelBox(dc, x, y, x2, y2, bx, by, beneath, s.MValueBackColor, s.MValueBackOpacity);
        // A line's label frame is drawn in a black pen of the line's style.
        if (item.mode == kvline) scope.select(CreatePen(s.LineMode, 1, 0));
        FrameLabelBox(dc, x, y, x2, y2, bx, by);
        if (item.mode == kvline) scope.select(CreatePen(s.LineMode, s.LineWidth, COLORREF(s.LineColor)));
    }
    TextOutU8(dc, x, y, item.label.data(), int(item.label.size()));
    if (item.mode == kvline) MoveToEx(dc, Pixel(item.x), Pixel(bottom - h), nullptr);
}

}  // namespace kelvane
