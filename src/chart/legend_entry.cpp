// Legend entries of bar series: an icon in the series' style and the series name, one entry per
// item of the first bar position, below the legend heading.
#include "chart/bar_item.h"
#include "draw/chart_font.h"
#include "draw/dib_tile.h"
#include "draw/plot_coords.h"

namespace kelvane {

using namespace gdi;

void DrawLegendEntry(ChartState& chart, DrawingScope& scope, const BarItem& item) {
    const ChartSettings& s = chart.settings;
    const HDC dc = scope.dc();
    const int32_t items = MulLng(s.SerialItems, s.LegendItemHeight);
    const double firstTop =
        double(SubLng(SubLng(s.Height, items), s.LegendTitleHeight)) / 2 + s.LegendTitleHeight + s.LegendOffsetY;
    const int32_t top = AddLng(Pixel(firstTop), MulLng(item.sIndex - 1, s.LegendItemHeight));
    const int32_t left = AddLng(AddLng(SubLng(SubLng(s.Width, s.BorderOffset), s.LegendWidth), s.LegendOffsetX), 5);
    const int32_t right = AddLng(left, s.LegendIconWidth);
    const int32_t bottom = SubLng(AddLng(top, s.LegendItemHeight), 4);

    switch (item.mode) {
    case kvSingleColor:
    case kvOnePole:
        Rectangle(dc, left, top, right, bottom);
        break;
    case kvFillImage: {
        const HBRUSH pattern = FillPattern(chart);
        Rectangle(dc, left, top, right, bottom);
        cDIBTile::TileWith(dc, pattern, left + 1, top + 1, right - 1, bottom - 1);
        break;
    }
    case kvline: {
        const int32_t middle = Pixel(top + double(s.LegendItemHeight) / 2);
        MoveToEx(dc, left, middle, nullptr);
        LineTo(dc, right, middle);
        MoveToEx(dc, Pixel(item.x), Pixel(double(chart.frame.plotBottom) - item.h), nullptr);
        break;
    }
    case kvDot:
        if (s.LineDotType == dtCir) Ellipse(dc, left, top, right, bottom);
        else if (s.LineDotType == dtRect) Rectangle(dc, left, top, right, bottom);
        break;
    }

    chart.labelFont.lfHeight = s.LegendFontSize;
    chart.labelFont.lfEscapement = 0;
    chart.labelFont.lfWeight = 400;
    const ChartFont font(dc, chart.labelFont);
    TextOutU8(dc, AddLng(right, 5), AddLng(top, 2), item.name.data(), int(item.name.size()));
    chart.facts.noteText(dc, TextRole::BarLegend, chart.facts.newGroup(), chart.labelFont, AddLng(right, 5), AddLng(top, 2),
                         item.name);
}

}  // namespace kelvane
