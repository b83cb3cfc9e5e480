// The legend of a pie chart: a box at the right, vertically centred on the canvas, with a title
// and one icon and name per visible slice.
#include "chart/pie_chart.h"
#include "draw/chart_font.h"
#include "draw/plot_coords.h"
#include "raster/gdi_handles.h"

namespace kelvane {

using namespace gdi;

namespace {

// The icon of every slice is this wide, whatever LegendIconWidth says.
constexpr int32_t kIconWidth = 20;

int32_t ItemTop(int32_t y0, const ChartSettings& s, int32_t j) {
    return AddLng(AddLng(y0, s.LegendTitleHeight), MulLng(j, s.LegendItemHeight));
}

}  // namespace

void DrawPieLegend(HDC dc, ChartState& chart) {
    const ChartSettings& s = chart.settings;
    if (s.LegendVisible != kTrue) return;
    const std::vector<PieItem>& items = *chart.pieList;
    const int32_t n = int32_t(items.size());
    int32_t visible = 0;
    for (const PieItem& item : items) visible += item.ItemHidden != kTrue;

    // Hidden items count for the centring, not for the height of the box.
    const int32_t y0 = Pixel(double(SubLng(SubLng(s.Height, MulLng(n, s.LegendItemHeight)), s.LegendTitleHeight)) / 2 +
                             s.MarginTop + s.LegendOffsetY);
    const int32_t x0 = AddLng(
        AddLng(SubLng(SubLng(SubLng(s.Width, s.BorderOffset), s.LegendWidth), s.MarginRight), 10), s.LegendOffsetX);
    const int32_t boxRight = AddLng(SubLng(x0, 10), s.LegendWidth);
    const int32_t boxBottom = AddLng(AddLng(AddLng(y0, 5), s.LegendTitleHeight), MulLng(visible, s.LegendItemHeight));
    {
        Owned<HPEN> pen(CreatePen(PS_SOLID, s.LegendBorderWidth, COLORREF(s.LegendBorderColor)));
        Owned<HBRUSH> brush(CreateSolidBrush(COLORREF(s.LegendBackgroundColor)));
        Selection selectedPen(dc, pen.get());
        Selection selectedBrush(dc, brush.get());
        SetTextColor(dc, COLORREF(s.LegendTxtColor));  // stays set after the pie
        Rectangle(dc, SubLng(x0, 5), SubLng(y0, 5), boxRight, boxBottom);
        chart.labelFont.lfHeight = s.LegendFontSize;
        chart.labelFont.lfWeight = s.LegendTitleBond != kFalse ? 700 : 400;
        const ChartFont title(dc, chart.labelFont);
        TextOutU8(dc, x0, y0, s.LegendTitle.data(), int(s.LegendTitle.size()));
        if (dc) chart.facts.pieLegend = NotedLegend{{x0 - 5, y0 - 5, boxRight, boxBottom}, x0 - 10, s.LegendWidth};
        chart.facts.noteText(dc, TextRole::PieLegend, chart.facts.newGroup(), chart.labelFont, x0, y0, s.LegendTitle);
    }
    // The icons keep the pen the canvas had before the legend.
    int32_t j = 0;
    for (const PieItem& item : items) {
        if (item.ItemHidden == kTrue) continue;
        Owned<HBRUSH> brush(CreateSolidBrush(COLORREF(item.FillColor1)));
        Selection selected(dc, brush.get());
        const int32_t top = ItemTop(y0, s, j);
        Rectangle(dc, x0, AddLng(top, 2), AddLng(x0, kIconWidth), SubLng(ItemTop(y0, s, j + 1), 4));
        chart.labelFont.lfHeight = s.LegendFontSize;
        chart.labelFont.lfWeight = 400;
        const ChartFont name(dc, chart.labelFont);
        TextOutU8(dc, AddLng(x0, 25), AddLng(top, 2), item.Name.data(), int(item.Name.size()));
        chart.facts.noteText(dc, TextRole::PieLegend, chart.facts.newGroup(), chart.labelFont, AddLng(x0, 25),
                             AddLng(top, 2), item.Name);
        ++j;
    }
}

}  // namespace kelvane
