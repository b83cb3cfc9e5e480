// Percentage labels of pie slices: the share in the PercentDigits pattern, centred (by an estimate
// of 10 pixels per byte) two thirds of the way from the centre to the middle of the slice's arc,
// on a box of the slice colour tinted by MValueBackColor, framed in black.
#include <cmath>

#include "chart/pie_chart.h"
#include "draw/label_box.h"
#include "draw/plot_coords.h"
#include "raster/gdi_handles.h"

namespace kelvane {

using namespace gdi;

void DrawPieLabels(HDC dc, ChartState& chart, const PieLayout& pie) {
    const ChartSettings& s = chart.settings;
    const std::vector<PieItem>& items = *chart.pieList;
    const double cx = pie.cx, cy = pie.cy, r = pie.r;
    float angle = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        const PieItem& item = items[i];
        angle = PieEndAngle(angle, item.Share);
        const double mid = PieMidAngle(angle, item.Share) * kPieDegreesToRadians;
        const PieSlice& p = pie.slices[i];
        const int32_t px = Pixel(double(CSng(r * std::cos(mid))) + cx + p.ox);
        const int32_t py = Pixel(double(CSng(r * std::sin(mid))) + cy + p.oy);
        if (item.ItemHidden == kTrue || s.MValueVisible != kTrue) continue;

        const float ax = CSng((cx + 2.0 * px) / 3);
        float ay = CSng((cy + 2.0 * py) / 3);
        if (s.Chart_3D == kTrue) ay = CSng(cy + (ay - cy) * std::cos(double(s.Angle_3D)));
        const std::string text = FormatPattern(CSng(double(item.Share) * 100), pie.labelPattern) + "%";
        const int32_t bytes = CodePageByteCount(text.data(), int(text.size()));

        Owned<HPEN> pen(CreatePen(PS_SOLID, 1, 0));
        Selection selected(dc, pen.get());
        SIZE extent{0, 0};
        GetTextExtentPointU8(dc, text.data(), int(text.size()), &extent);
        const int32_t left = Pixel(ax - 5.0 * bytes), top = Pixel(ay - 10.0);
        const int32_t right = AddLng(left, extent.cx), bottom = AddLng(top, extent.cy);
        const int32_t bx = s.MValueBorderOffsetX, by = s.MValueBorderOffsetY;
        // The offsets are doubled in 16 bits: beyond that range the label fails with an overflow.
        static_cast<void>(CInt(2 * bx));
        static_cast<void>(CInt(2 * by));
        PaintLabelBox(dc, left, top, right, bottom, bx, by, item.FillColor1, s.MValueBackColor, s.MValueBackOpacity);
        FrameLabelBox(dc, left, top, right, bottom, bx, by);
        chart.facts.notePieLabel(dc, item.Name, WidenedBox(left, top, right, bottom, bx, by));
        TextOutU8(dc, left, top, text.data(), int(text.size()));
    }
}

}  // namespace kelvane
