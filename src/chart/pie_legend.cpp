// The legend of a pie chart: a box at the right, vertically centred on the canvas, with a title
// and one icon and name per visible slice.
#include <algorithm>
#include <optional>

#include "chart/pie_chart.h"
#include "draw/chart_font.h"
#include "draw/drawing_area.h"
#include "draw/plot_coords.h"
#include "raster/deferred_paint.h"
#include "raster/gdi_handles.h"
#include "raster/text_ink.h"

namespace kelvane {

using namespace gdi;

namespace {

// The icon of every slice is this wide, whatever LegendIconWidth says.
constexpr int32_t kIconWidth = 20;

int32_t ItemTop(int32_t y0, const ChartSettings& s, int32_t j) {
    return AddLng(AddLng(y0, s.LegendTitleHeight), MulLng(j, s.LegendItemHeight));
}

// Whether a rectangle outlined with the canvas's pen, or level text in the item font, can reach
// any row of the canvas.
class RowsReached {
public:
    RowsReached(HDC dc, const LOGFONTA& font) {
        int32_t width = 0;
        // A traced canvas shows every call.
        m_known = !CallsTraced(dc) && DrawingArea(dc, width, m_height);
        if (!m_known) return;
        LOGPEN pen{};
        if (GetObjectA(GetCurrentObject(dc, OBJ_PEN), sizeof pen, &pen) == int(sizeof pen))
            m_margin = int64_t(pen.lopnWidth.x) + 2;  // a wide outline straddles the rectangle's sides
        else m_known = false;
        const ChartFont itemFont(dc, font);
        TEXTMETRICA metrics{};
        m_level = TextMeasure(dc).level() && GetTextMetricsA(dc, &metrics);
        m_cell = metrics.tmHeight;
    }
    bool rectangle(int64_t top, int64_t bottom) const {
        return !m_known || (std::max(top, bottom) + m_margin >= 0 && std::min(top, bottom) - m_margin < m_height);
    }
    // Level text is cut at its cell, [y, y + height); turned text can reach anywhere.
    bool text(int64_t y) const { return !m_known || !m_level || (y + m_cell > 0 && y < m_height); }

private:
    bool m_known = false, m_level = false;
    int32_t m_height = 0;
    int64_t m_margin = 0, m_cell = 0;
};

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
    // The icons keep the pen the canvas had before the legend. Thousands of items mostly lie
    // above or below the canvas: an item whose icon (with its outline) and name cell both miss
    // every row of the canvas paints nothing and is not drawn; its arithmetic still is.
    LOGFONTA itemFont = chart.labelFont;
    itemFont.lfHeight = s.LegendFontSize;
    itemFont.lfWeight = 400;
    const RowsReached reached(dc, itemFont);
    int32_t j = 0;
    for (const PieItem& item : items) {
        if (item.ItemHidden == kTrue) continue;
        const int32_t top = ItemTop(y0, s, j);
        const int32_t iconTop = AddLng(top, 2), iconBottom = SubLng(ItemTop(y0, s, j + 1), 4);
        const int32_t textLeft = AddLng(x0, 25);
        ++j;
        const bool shows = reached.rectangle(iconTop, iconBottom) || reached.text(iconTop);
        std::optional<Owned<HBRUSH>> brush;
        std::optional<Selection> selected;
        if (shows) {
            brush.emplace(CreateSolidBrush(COLORREF(item.FillColor1)));
            selected.emplace(dc, brush->get());
            Rectangle(dc, x0, iconTop, AddLng(x0, kIconWidth), iconBottom);
        }
        // The label font keeps the item font's height and weight, as drawing the name leaves it.
        chart.labelFont.lfHeight = s.LegendFontSize;
        chart.labelFont.lfWeight = 400;
        if (shows) {
            const ChartFont name(dc, chart.labelFont);
            TextOutU8(dc, textLeft, iconTop, item.Name.data(), int(item.Name.size()));
        }
        // Noted whether drawn or not: the warnings look at where every name goes.
        chart.facts.noteText(dc, TextRole::PieLegend, chart.facts.newGroup(), chart.labelFont, textLeft, iconTop,
                             item.Name);
    }
}

}  // namespace kelvane
