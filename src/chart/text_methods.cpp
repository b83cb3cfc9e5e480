// DrawChartTiTle, DrawAreaText and DrawText. Widths are estimated from the byte count of the
// text in the system code page (half the font height a byte for titles, seven pixels a byte for
// labels); the glyphs are drawn from the text's own characters.
#include "chart/chart_state.h"
#include "draw/chart_font.h"
#include "draw/plot_coords.h"
#include "kelvane/cChart.h"

namespace kelvane {

using namespace gdi;

namespace {

int32_t byteLength(const std::string& text) { return CodePageByteCount(text.data(), int(text.size())); }

void drawString(HDC dc, int32_t x, int32_t y, const std::string& text) {
    TextOutU8(dc, x, y, text.data(), int(text.size()));
}

}  // namespace

int32_t cChart::DrawChartTiTle(const std::string& Value, const std::string& strFont, int16_t Size, VBBool Bond,
                               Colour Color, int16_t Angle, float offsetX, float offsetY) {
    const HDC dc = canvas();
    const double n = byteLength(Value);
    // Centred on the assumption that a byte is half the font height wide.
    const double x0 = (double(m->settings.Width) - n * Size / 2) / 2;
    SetTextColor(dc, COLORREF(Color));
    const LOGFONTA logFont = ChartLogFont(strFont, Size, Bond, Angle);
    ChartFont font(dc, logFont);
    const int32_t x = Pixel(x0 + offsetX), y = Pixel(double(m->settings.BorderOffset) + offsetY);
    drawString(dc, x, y, Value);
    m->facts.noteText(dc, TextRole::Title, m->facts.newGroup(), logFont, x, y, Value);
    return 1;
}

int32_t cChart::DrawAreaText(const Variant& arrValue, int16_t stepNum, const std::string& strFont, int16_t Size,
                             VBBool Bond, Colour Color, int16_t Angle, float offsetX, float offsetY) {
    const HDC dc = canvas();
    SetTextColor(dc, COLORREF(Color));
    SetBkMode(dc, TRANSPARENT);
    const LOGFONTA logFont = ChartLogFont(strFont, Size, Bond, Angle);
    ChartFont font(dc, logFont);
    const uint32_t group = m->facts.newGroup();
    const Variant::Array& items = arrValue.array();  // error 13 when it holds no array
    const int16_t step = AddInt(stepNum, 1);
    // A step of 0 would label the first element for ever.
    if (step == 0) Raise(kErrInvalidCall);
    const int16_t last = CInt(int64_t(items.size()) - 1);
    const PlotFrame& f = m->frame;
    const bool onBoundaries = m->settings.HValueAlignMode == 1 && m->settings.DrawBarMode == kvline;
    // The loop runs as a 16-bit For loop: upwards to the upper bound for a positive step; with a
    // negative step only while the index is at or above the bound.
    for (int16_t i = 0; step > 0 ? i <= last : i >= last;) {
        if (i < 0 || size_t(i) >= items.size()) Raise(kErrSubscript);
        const std::string text = items[size_t(i)].toText();
        const int32_t n = byteLength(text);
        float c = (f.slotWidth - float(n) * 7.0f) / 2.0f;
        if (c < 0) c = 0;
        const float slotOffset = float(i) * f.slotWidth;
        const double y = double(f.plotBottom) + 5 + offsetY;
        const double x = onBoundaries ? double(f.plotLeft) + slotOffset + offsetX
                                      : double(f.plotLeft) + c + slotOffset + offsetX;
        drawString(dc, Pixel(x), Pixel(y), text);
        m->facts.noteText(dc, TextRole::Categories, group, logFont, Pixel(x), Pixel(y), text);
        i = AddInt(i, step);
    }
    return 1;
}

int32_t cChart::DrawText(const std::string& Value, const std::string& strFont, int16_t Size, VBBool Bond,
                         Colour Color, int16_t Angle, float x, float y, int16_t StartPointMode) {
    moveToPlotOrigin();
    const HDC dc = canvas();
    SetTextColor(dc, COLORREF(Color));
    ChartFont font(dc, ChartLogFont(strFont, Size, Bond, Angle));
    drawString(dc, Pixel(CanvasX(m->frame, x, StartPointMode)), Pixel(CanvasY(m->frame, y, StartPointMode)),
               Value);
    return 1;
}

}  // namespace kelvane
