// AddBarData: one item of a bar chart, drawn at once into the frame of DrawBarChart: a flat or 3D
// bar, a stacked segment, or a point of a line, followed by its value label and legend entry.
#include <cmath>

#include "chart/bar_item.h"
#include "draw/dib_tile.h"
#include "draw/label_box.h"
#include "draw/line_pen.h"
#include "draw/plot_coords.h"
#include "kelvane/cChart.h"
#include "raster/gdi_handles.h"

namespace kelvane {

using namespace gdi;

namespace {

// The 3D top and right faces of a bar whose front is (x, top) to (right, bottom).
// The side brush is selected only for the faces: the label and legend entry that follow use the
// bar's own brush again.
void drawBarFaces(HDC dc, const ChartSettings& s, double x, double top, double right,
                  double bottom) {
    const double dx = s.Depth_3D * std::cos(double(s.Angle_3D)), dy = s.Depth_3D * std::sin(double(s.Angle_3D));
    auto pt = [](double px, double py) { return POINT{Pixel(px), Pixel(py)}; };
    const POINT topFace[4] = {pt(x, top), pt(right, top), pt(right + dx, top - dy), pt(x + dx, top - dy)};
    const POINT sideFace[4] = {pt(right, bottom), pt(right, top), pt(right + dx, top - dy), pt(right + dx, bottom - dy)};
    Polygon(dc, topFace, 4);
    Owned<HBRUSH> side(CreateSolidBrush(COLORREF(Darkened(s.FillColor))));
    const Selection sideSelected(dc, side.get());
    for (const POINT* face : {topFace, sideFace}) {
        Owned<HRGN> region(CreatePolygonRgn(face, 4, ALTERNATE));
        if (region) FillRgn(dc, region.get(), side.get());
    }
    MoveToEx(dc, sideFace[1].x, sideFace[1].y, nullptr);
    LineTo(dc, topFace[2].x, topFace[2].y);
    LineTo(dc, topFace[3].x, topFace[3].y);
    MoveToEx(dc, topFace[2].x, topFace[2].y, nullptr);
    LineTo(dc, sideFace[3].x, sideFace[3].y);
    LineTo(dc, sideFace[0].x, sideFace[0].y);
}

}  // namespace

Variant cChart::AddBarData(const std::string& Name, float Value, int16_t bIndex, int16_t sIndex,
                           const std::string& sAddParam) {
    ChartSettings& s = m->settings;
    const PlotFrame& f = m->frame;
    const HDC dc = canvas();
    const iDrawBarMode mode = s.DrawBarMode;
    if (mode < kvSingleColor || mode > kvDot) {
        // No bar, marker, label or entry.
        if (m->facts.idleBarCalls++ == 0) m->facts.idleBarMode = mode;
        return Variant();
    }
    if (dc && mode != kvline && mode != kvDot && m->facts.frameSpaceRate == 0) ++m->facts.thinBars;

    BarItem item{mode, bIndex, sIndex, 0, (Value - f.axisStartValue) * f.valueScale, 0, Name,
                 SingleToText(Value) + s.MValuebStr};
    const float h = item.h;
    const double bottom = f.plotBottom;
    DrawingScope scope(dc);
    auto record = [&](double left, double top, double right, double low) {
        m->mapRecords.push_back(MapRecord{bIndex, sIndex, sAddParam, CSng(left), CSng(top), CSng(right), CSng(low), Value});
    };

    switch (mode) {
    case kvSingleColor:
    case kvFillImage: {
        item.x = CSng(f.plotLeft + double(f.slotGap) + double(bIndex - 1) * f.slotWidth +
                      double(sIndex - 1) * f.barWidth);
        m->currentItemX = item.x;
        const double x = item.x, top = bottom - h, right = x + f.barWidth + 1;
        if (mode == kvSingleColor) {
            scope.select(CreatePen(PS_SOLID, 1, 0));
            scope.select(CreateSolidBrush(COLORREF(s.FillColor)));
            Rectangle(dc, Pixel(x), Pixel(top), Pixel(right), Pixel(bottom + 1));
            if (s.Chart_3D == kTrue) drawBarFaces(dc, s, x, top, right, bottom + 1);
        } else {
            // The picture is loaded before anything is drawn; the bar keeps the canvas's own pen
            // and brush, its interior covered by the picture repeated from its inner corner.
            const HBRUSH pattern = FillPattern(*m);
            Rectangle(dc, Pixel(x), Pixel(top), Pixel(right), Pixel(bottom + 1));
            cDIBTile::TileWith(dc, pattern, Pixel(x + 1), Pixel(top + 1), Pixel(x + f.barWidth), Pixel(bottom));
        }
        record(x, top, right, bottom + 1);
        break;
    }
    case kvline:
    case kvDot: {
        const double slotStart = f.plotLeft + double(bIndex - 1) * f.slotWidth;
        item.x = CSng(s.HValueAlignMode == 1 ? slotStart : slotStart + double(f.slotWidth) / 2);
        m->currentItemX = item.x;
        const double x = item.x, y = bottom - h;
        scope.select(CreateLinePen(s.LineDotFlagOutlineWidth, s.LineDotFlagOutlineColor, s.LineDotFlagOutlineMode));
        if (s.LineDotFlag == kTrue) {
            if (s.LineDotFlagSize == 0) s.LineDotFlagSize = CInt((double(s.LineWidth) + 2) / 2);
            scope.select(CreateSolidBrush(COLORREF(s.FillColor)));
            const int16_t size = s.LineDotFlagSize;
            const int32_t l = Pixel(x - size), t = Pixel(y - size), r = Pixel(x + size), b = Pixel(y + size);
            if (s.LineDotType == dtCir) Ellipse(dc, l, t, r, b);
            else if (s.LineDotType == dtRect) Rectangle(dc, l, t, r, b);
        }
        scope.select(CreateLinePen(s.LineWidth, s.LineColor, s.LineMode));
        if (bIndex == 1) MoveToEx(dc, Pixel(x), Pixel(y), nullptr);
        else if (mode == kvline) LineTo(dc, Pixel(x), Pixel(y));
        const int16_t size = s.LineDotFlagSize;
        record(x - size, y - size, x + size, y + size);
        break;
    }
    case kvOnePole: {
        item.x = CSng(f.plotLeft + double(f.slotGap) + double(bIndex - 1) * f.slotWidth);
        m->currentItemX = item.x;
        const double x = item.x, right = x + f.barWidth + 1;
        scope.select(CreatePen(PS_SOLID, 1, 0));
        scope.select(CreateSolidBrush(COLORREF(s.FillColor)));
        auto& table = m->stackTable;
        auto cell = [&](int row, int column) -> float& {
            if (row < 0 || size_t(row) >= table.size() || column < 0 || size_t(column) >= table[size_t(row)].size())
                Raise(kErrSubscript);
            return table[size_t(row)][size_t(column)];
        };
        if (sIndex == 1) {
            Rectangle(dc, Pixel(x), Pixel(bottom - h), Pixel(right), Pixel(bottom + 1));
            record(x, bottom - h, right, bottom + 1);
            cell(bIndex - 1, 0) = h;
        } else {
            const float p = cell(bIndex - 1, sIndex - 2);
            item.below = p;
            Rectangle(dc, Pixel(x), Pixel(bottom - p - h), Pixel(right), Pixel(bottom - p + 1));
            record(x, bottom - p - h, right, bottom - p + 1);
            cell(bIndex - 1, sIndex - 1) = h + p;
        }
        break;
    }
    default:
        break;
    }

    if (s.MValueVisible == kTrue) DrawValueLabel(*m, scope, item);
    if (bIndex == 1 && s.LegendVisible == kTrue) DrawLegendEntry(*m, scope, item);
    return Variant();
}

}  // namespace kelvane
