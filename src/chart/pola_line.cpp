// DrawPolaLine: the cumulative line of a Pareto chart. It starts at the value-axis origin; point i
// stands on the right boundary of bar position i at the height of the running total, marked by a
// dot and labelled with the running total as a percentage of the grand total.
#include <algorithm>
#include <vector>

#include "chart/chart_state.h"
#include "draw/drawing_scope.h"
#include "draw/label_box.h"
#include "draw/plot_coords.h"
#include "kelvane/cChart.h"
#include "raster/text_tail.h"

namespace kelvane {

using namespace gdi;

int32_t cChart::DrawPolaLine(const Variant& arrValue, int16_t DecimalNum, int16_t LineMode,
                             const std::string& LineWidth, Colour LineColor, const Variant& ValueOffsetX,
                             const Variant& ValueOffsetY, VBBool ValueVisible, VBBool ValueBackVisible,
                             const Variant& ValueBorderOffsetX, const Variant& ValueBorderOffsetY) {
    ChartSettings& s = m->settings;
    const PlotFrame& f = m->frame;
    const HDC dc = canvas();
    const Variant::Array& items = arrValue.array();
    // Every element is read (and must be a number) before anything is drawn.
    std::vector<double> values;
    values.reserve(items.size());
    float total = 0;
    for (const Variant& item : items) {
        values.push_back(item.toDouble());
        total = CSng(double(total) + values.back());
    }
    const double offsetX = ValueOffsetX.toDouble(), offsetY = ValueOffsetY.toDouble();
    const double borderX = ValueBorderOffsetX.toDouble(), borderY = ValueBorderOffsetY.toDouble();

    const double bottom = f.plotBottom;
    MoveToEx(dc, f.plotLeft, Pixel(bottom), nullptr);
    // A single's exact value has at most 149 decimals (it is a whole multiple of 2^-149), so
    // beyond that many every decimal of a label is 0 and no rounding reaches back: each label is
    // its value to at most 149 decimals, then the same zeros and "%". That tail is decoded and
    // measured once, whatever the number of decimals, and only its part on the canvas is drawn.
    constexpr int16_t kSingleDecimals = 149;
    const std::string pattern = BuildNumberFormat(std::min(DecimalNum, kSingleDecimals));
    TextTail tail(std::string(size_t(std::max(DecimalNum - kSingleDecimals, 0)), '0') + "%");
    float running = 0, height = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        running = CSng(double(running) + values[i]);
        const float percent = CSng(Divide(double(running * 100.0f), double(total)));
        const std::string label = FormatPattern(percent, pattern);
        const float h = CSng((values[i] - f.axisStartValue) * double(f.valueScale));
        height = i == 0 ? h : height + h;
        const float x = CSng(f.plotLeft + double(i + 1) * f.slotWidth);
        const double y = bottom - height;

        DrawingScope scope(dc);
        const double width = TextToNumber(LineWidth);
        scope.select(CreatePen(LineMode, CLng(width), COLORREF(LineColor)));
        if (s.LineDotFlag == kTrue) {
            if (s.LineDotFlagSize == 0) s.LineDotFlagSize = CInt((width + 2) / 2);
            scope.select(CreateSolidBrush(COLORREF(LineColor)));
            const int16_t size = s.LineDotFlagSize;
            Ellipse(dc, Pixel(double(x) - size), Pixel(y - size), Pixel(double(x) + size), Pixel(y + size));
        }
        LineTo(dc, Pixel(x), Pixel(y));
        if (ValueVisible == 0) continue;

        m->labelFont.lfHeight = s.MValueSize;
        m->labelFont.lfEscapement = 0;
        m->labelFont.lfWeight = 400;
        scope.select(CreateFontIndirectA(&m->labelFont));
        const SIZE size = tail.extent(dc, label);
        const int32_t lx = Pixel(offsetX + (double(x) - double(size.cx) / 2));
        const int32_t ly = Pixel(offsetY + (y - s.MValueOffset - size.cy));
        const int32_t rx = AddLng(lx, size.cx), by = AddLng(ly, size.cy);
        if (ValueBackVisible != 0) {
            const int32_t bx = Pixel(borderX), byo = Pixel(borderY);
            PaintLabelBox(dc, lx, ly, rx, by, bx, byo, s.FillColor, s.MValueBackColor, s.MValueBackOpacity);
            scope.select(CreatePen(PS_SOLID, 1, 0));
            FrameLabelBox(dc, lx, ly, rx, by, bx, byo);
        }
        tail.draw(dc, lx, ly, label);
        MoveToEx(dc, Pixel(x), Pixel(y), nullptr);
    }
    return 0;
}

}  // namespace kelvane
