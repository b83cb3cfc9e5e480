// DrawBarChart: the plot frame (where the axes lie, how wide a bar position is, how many pixels
// a value unit takes), the value axis with ticks and labels, the category ticks, the 3D walls,
// the legend box with its heading and the grid. Errors end the drawing and are appended to the
// error text; the call itself always succeeds.
#include <cmath>
#include <optional>

#include "chart/axis_labels.h"
#include "chart/chart_state.h"
#include "draw/plot_coords.h"
#include "kelvane/cChart.h"
#include "raster/gdi_handles.h"

namespace kelvane {

using namespace gdi;

namespace {

// The walls recede by the depth along the 3D angle.
struct Recess {
    double dx, dy;
};

void drawWalls(HDC dc, const ChartSettings& s, const PlotFrame& f, float axisHeight, Recess r) {
    const double L = f.plotLeft, B = f.plotBottom, T = double(f.plotBottom) - axisHeight;
    const double R = L + f.plotWidth + s.AxisXoutValue;
    auto pt = [](double x, double y) { return POINT{Pixel(x), Pixel(y)}; };
    const POINT back[4] = {pt(L, B), pt(L + r.dx, B - r.dy), pt(L + r.dx, T - r.dy), pt(L, T)};
    const POINT floor[4] = {pt(L, B), pt(L + r.dx, B - r.dy), pt(R + r.dx, B - r.dy), pt(R, B)};
    Owned<HBRUSH> wallBrush;
    std::optional<Selection> selectBrush;
    for (const POINT* wall : {back, floor}) {
        // The outline with the black pen and the current brush, then the region in the wall colour.
        Polygon(dc, wall, 4);
        if (!wallBrush) {
            wallBrush.reset(CreateSolidBrush(COLORREF(s.AxisBackColor_3D)));
            selectBrush.emplace(dc, wallBrush.get());
        }
        Owned<HRGN> region(CreatePolygonRgn(wall, 4, ALTERNATE));
        if (region) FillRgn(dc, region.get(), wallBrush.get());
    }
    MoveToEx(dc, back[0].x, back[0].y, nullptr);
    LineTo(dc, back[1].x, back[1].y);
    LineTo(dc, back[2].x, back[2].y);
    LineTo(dc, back[3].x, back[3].y);
    MoveToEx(dc, floor[1].x, floor[1].y, nullptr);
    LineTo(dc, floor[2].x, floor[2].y);
    LineTo(dc, floor[3].x, floor[3].y);
}

}  // namespace

int32_t cChart::DrawBarChart(float VMax, int16_t Vstep, float VStartValue, int16_t DecimalNum,
                             const std::string& bStr, VBBool bTxtVisible) {
    try {
        drawBarChart(VMax, Vstep, VStartValue, DecimalNum, bStr, bTxtVisible);
    } catch (const AutomationError& e) {
        m->errorText += std::to_string(e.number()) + ":" + e.description();
    }
    return 0;
}

void cChart::drawBarChart(float VMax, int16_t Vstep, float VStartValue, int16_t DecimalNum,
                          const std::string& bStr, VBBool bTxtVisible) {
    ChartSettings& s = m->settings;
    PlotFrame& f = m->frame;
    const HDC dc = canvas();

    // 1-2. Scale and reservations.
    // The span is a single: beyond the single range it overflows (3E+38 down to -3E+38).
    const float span = CSng(double(VMax) - VStartValue);
    const float valuePerStep = CSng(Divide(span, Vstep));
    f.axisStartValue = VStartValue;
    if (s.LegendVisible == 0) s.LegendWidth = 0;
    if (s.RightAxisVisible == kTrue) f.rightReserve = float(s.BorderOffset);

    // 3. The frame.
    f.plotLeft = AddLng(s.MarginLeft, s.BorderOffset);
    f.plotBottom = float(SubLng(SubLng(s.Height, s.BorderOffset), s.MarginBottom));
    const int32_t fixedWidth =
        SubLng(SubLng(SubLng(SubLng(s.Width, f.plotLeft), s.BorderOffset), s.MarginRight), s.AxisXoutValue);
    f.plotWidth = CSng(double(fixedWidth) - f.rightReserve - s.LegendWidth);
    f.slotWidth = CSng(Divide(f.plotWidth, s.SerialBars));
    const bool onePole = s.DrawBarMode == kvOnePole;
    if (onePole) {
        // Rows are bar positions, columns items. Only the item count of an existing table may
        // change (its values are kept); another number of positions is a subscript error.
        auto& table = m->stackTable;
        const int32_t rows = s.SerialBars, columns = s.SerialItems;
        if (rows < 1 || columns < 1) Raise(kErrSubscript);
        if (!table.empty() && table.size() != size_t(rows)) Raise(kErrSubscript);
        if (int64_t{rows} * columns > kMaxStackCells) Raise(kErrOutOfMemory);
        table.resize(size_t(rows));
        for (auto& row : table) row.resize(size_t(columns), 0.0f);
        f.barWidth = CSng(double(s.BarSpaceRate) * f.slotWidth);
        f.slotGap = CSng(double(CSng(double(f.slotWidth) - f.barWidth)) / 2);
    } else {
        f.barWidth = CSng(Divide(double(s.BarSpaceRate * f.slotWidth), s.SerialItems));
        f.slotGap = CSng((double(f.slotWidth) - double(f.barWidth) * s.SerialItems) / 2);
    }
    m->facts.frameSpaceRate = s.BarSpaceRate;
    const int32_t plotHeight = AxisPlotHeight(s);
    const float stepHeight = CSng(Divide(plotHeight, Vstep));
    const float axisHeight = CSng(double(Vstep) * stepHeight + s.AxisYoutValue);
    f.axisHeight = axisHeight;

    // 4-6. Walls and the value axis in a black one-pixel pen.
    const Recess recess{s.Depth_3D * std::cos(double(s.Angle_3D)), s.Depth_3D * std::sin(double(s.Angle_3D))};
    const int32_t bottom = Pixel(f.plotBottom);
    {
        Owned<HPEN> black(CreatePen(PS_SOLID, 1, 0));
        Selection selectBlack(dc, black.get());
        if (s.Chart_3D == kTrue) drawWalls(dc, s, f, axisHeight, recess);
        MoveToEx(dc, f.plotLeft, bottom, nullptr);
        LineTo(dc, f.plotLeft, Pixel(double(f.plotBottom) - double(Vstep) * stepHeight - s.AxisYoutValue));

        // 7. Where the category axis ends and how many pixels a value unit takes.
        f.axisRight = CSng(f.plotLeft + double(f.slotWidth) * s.SerialBars + s.AxisXoutValue);
        f.valueScale = CSng(Divide(double(Vstep) * stepHeight, span));

        // 8-9. Ticks and labels of the value axis.
        const std::string pattern = BuildNumberFormat(DecimalNum);
        if (bTxtVisible != 0) {
            m->labelFont.lfHeight = 14;
            m->labelFont.lfCharSet = 1;
            Owned<HFONT> font(CreateFontIndirectA(&m->labelFont));
            Selection selectFont(dc, font.get());
            AxisLabels labels(pattern, bStr);
            const uint32_t group = m->facts.newGroup();
            for (int32_t i = 0; i <= Vstep; ++i) {
                const double y = double(f.plotBottom) - double(i) * stepHeight;
                MoveToEx(dc, f.plotLeft, Pixel(y), nullptr);
                LineTo(dc, SubLng(f.plotLeft, s.LeftRulerHeight), Pixel(y));
                const float v = CSng(double(VStartValue) + double(i) * valuePerStep);
                const AxisLabels::Label label = labels(v);
                const int32_t n = CLng(double(label.bytes()));
                const int32_t x = SubLng(SubLng(f.plotLeft, MulLng(7, n)), 5);
                label.tail.draw(dc, x, Pixel(y - 7), label.head);
                m->facts.noteText(dc, TextRole::LeftAxis, group, m->labelFont, x, Pixel(y - 7), label.head,
                                  label.tailText);
            }
        }

        // 10. Category ticks.
        const int16_t bars = CInt(s.SerialBars);
        for (int32_t b = 0; b <= bars; ++b) {
            const int32_t x = Pixel(CSng(f.plotLeft + double(b) * f.slotWidth));
            MoveToEx(dc, x, bottom, nullptr);
            LineTo(dc, x, Pixel(double(f.plotBottom) + s.BottomSRulerHeight));
        }
    }

    // 11-12. The legend box and its heading.
    Owned<HPEN> legendPen(CreatePen(PS_SOLID, s.LegendBorderWidth, COLORREF(s.LegendBorderColor)));
    Owned<HBRUSH> legendBrush(CreateSolidBrush(COLORREF(s.LegendBackgroundColor)));
    std::optional<Selection> selectPen(std::in_place, dc, legendPen.get());
    Selection selectBrush(dc, legendBrush.get());
    if (s.LegendVisible == kTrue) {
        const int32_t items = MulLng(s.SerialItems, s.LegendItemHeight);
        const int32_t top =
            AddLng(Pixel(double(SubLng(SubLng(s.Height, items), s.LegendTitleHeight)) / 2), s.LegendOffsetY);
        const int32_t left = AddLng(SubLng(SubLng(s.Width, s.BorderOffset), s.LegendWidth), s.LegendOffsetX);
        Rectangle(dc, left, top - 5, AddLng(left, s.LegendWidth),
                  AddLng(AddLng(AddLng(top, 5), items), s.LegendTitleHeight));
        m->labelFont.lfEscapement = 0;
        m->labelFont.lfHeight = s.LegendFontSize;
        m->labelFont.lfWeight = s.LegendTitleBond != 0 ? 700 : 400;
        Owned<HFONT> font(CreateFontIndirectA(&m->labelFont));
        Selection selectFont(dc, font.get());
        TextOutU8(dc, AddLng(left, 5), top, s.LegendTitle.data(), int(s.LegendTitle.size()));
        const RECT box{left, top - 5, AddLng(left, s.LegendWidth), top + 5 + items + s.LegendTitleHeight};
        if (dc) m->facts.barLegend = NotedLegend{box, left, s.LegendWidth};
        m->facts.noteText(dc, TextRole::BarLegend, m->facts.newGroup(), m->labelFont, left + 5, top, s.LegendTitle);
    }

    // 13. The dotted grid, over the axes and walls.
    if (s.BackGrid == kTrue) {
        selectPen.reset();
        Owned<HPEN> grid(CreatePen(PS_DOT, 0, COLORREF(s.BackGridColor)));
        Selection selectGrid(dc, grid.get());
        const double length = double(f.slotWidth) * s.SerialBars + s.AxisXoutValue;
        for (int32_t i = 0; i <= Vstep; ++i) {
            const double y = double(f.plotBottom) - double(i) * stepHeight;
            MoveToEx(dc, f.plotLeft, Pixel(y), nullptr);
            if (s.Chart_3D == kTrue) {
                LineTo(dc, Pixel(f.plotLeft + recess.dx), Pixel(y - recess.dy));
                LineTo(dc, Pixel(f.plotLeft + recess.dx + length), Pixel(y - recess.dy));
            } else {
                LineTo(dc, Pixel(f.plotLeft + length), Pixel(y));
            }
        }
    }
}

}  // namespace kelvane
