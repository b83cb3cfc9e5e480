// DrawRightAxis: a second labelled value scale at the right end of the category axis. Bars stay
// on the left scale; this only draws the scale, in the room DrawBarChart reserved for it.
#include "chart/axis_labels.h"
#include "chart/chart_state.h"
#include "draw/plot_coords.h"
#include "kelvane/cChart.h"
#include "raster/gdi_handles.h"

namespace kelvane {

using namespace gdi;

int32_t cChart::DrawRightAxis(float VMax, int16_t Vstep, float VStartValue, int16_t DecimalNum,
                              const std::string& bStr, VBBool bVisible) {
    const ChartSettings& s = m->settings;
    const PlotFrame& f = m->frame;
    if (s.RightAxisVisible == 0) return 0;
    const HDC dc = canvas();
    const float valuePerStep = CSng(Divide(CSng(double(VMax) - VStartValue), Vstep));
    Owned<HPEN> black(CreatePen(PS_SOLID, 1, 0));
    Selection selectBlack(dc, black.get());
    // Unlike the left axis, the step height stays in double precision here.
    const int32_t plotHeight = AxisPlotHeight(s);
    const double stepHeight = Divide(plotHeight, Vstep);
    const int32_t x = Pixel(f.axisRight);
    MoveToEx(dc, x, Pixel(f.plotBottom), nullptr);
    LineTo(dc, x, Pixel(double(f.plotBottom) - Vstep * stepHeight - s.AxisYoutValue));
    const std::string pattern = BuildNumberFormat(DecimalNum);
    if (bVisible == 0) return 0;
    m->labelFont.lfCharSet = 1;
    m->labelFont.lfWeight = 0;
    m->labelFont.lfHeight = 14;
    Owned<HFONT> font(CreateFontIndirectA(&m->labelFont));
    Selection selectFont(dc, font.get());
    AxisLabels labels(pattern, bStr);
    const uint32_t group = m->facts.newGroup();
    for (int32_t i = 0; i <= Vstep; ++i) {
        const double y = double(f.plotBottom) - i * stepHeight;
        MoveToEx(dc, x, Pixel(y), nullptr);
        LineTo(dc, Pixel(double(f.axisRight) + s.RightRulerHeight), Pixel(y));
        const float v = CSng(double(VStartValue) + double(i) * valuePerStep);
        // Left-aligned six pixels right of the axis, whatever the tick length.
        const AxisLabels::Label label = labels(v);
        label.tail.draw(dc, Pixel(double(f.axisRight) + 5 + 1), Pixel(y - 7), label.head);
        m->facts.noteText(dc, TextRole::RightAxis, group, m->labelFont, Pixel(double(f.axisRight) + 5 + 1), Pixel(y - 7),
                          label.head, label.tailText);
    }
    return 0;
}

}  // namespace kelvane
