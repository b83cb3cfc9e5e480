// Percentage labels of pie slices: the share in the PercentDigits pattern, centred (by an estimate
// of 10 pixels per byte) two thirds of the way from the centre to the middle of the slice's arc,
// on a box of the slice colour tinted by MValueBackColor, framed in black.
//
// A pie of thousands of slices puts thousands of labels on one ring, each mostly under later
// ones. The labels are first worked out, in slice order, then looked at from the last to the
// first: a label all of whose pixels a later label is sure to paint over is left out, since none
// of them could be seen. The others are drawn in slice order, each exactly as it always was.
#include <cmath>
#include <exception>
#include <limits>
#include <optional>

#include "chart/pie_chart.h"
#include "chart/pie_label_cover.h"
#include "draw/drawing_area.h"
#include "draw/label_box.h"
#include "draw/plot_coords.h"
#include "raster/cdib.h"
#include "raster/deferred_paint.h"
#include "raster/gdi_handles.h"
#include "raster/text_ink.h"
#include "raster/text_tail.h"

namespace kelvane {

using namespace gdi;

namespace {

// The decimals a single's text needs to show its exact value (FormatPattern prints 53 - e of a
// value m * 2^e, m in [0.5, 1)); beyond them the text only goes on in zeros, none of which rounds.
int32_t exactDecimals(double v) {
    int exponent = 0;
    std::frexp(v, &exponent);
    return std::max(1, 53 - exponent);
}

struct Label {
    size_t item;
    std::string head;       // the text, or its start before the shared tail
    bool withTail = false;
    int32_t left, top, right, bottom;  // the text's cell
};

int32_t clampLong(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

class PieLabels {
public:
    PieLabels(HDC dc, ChartState& chart, const PieLayout& pie)
        : m_dc(dc), m_s(chart.settings), m_facts(chart.facts), m_items(*chart.pieList), m_pie(pie), m_measure(dc) {
        // Long texts (thousands of decimals) are made of the decimals the shares need and a tail
        // of the other zeros and "%", the same for every label: measured once, and drawn only
        // where its glyphs can show. A share beyond a single's range fails before its text is made.
        m_headDecimals = 1;
        for (const PieItem& item : m_items) {
            const double v = double(item.Share) * 100;
            if (std::fabs(v) <= double(std::numeric_limits<float>::max()))
                m_headDecimals = std::max(m_headDecimals, exactDecimals(float(v)));
        }
        if (m_s.PercentDigits > m_headDecimals + 64) {
            m_headPattern = "0." + std::string(size_t(m_headDecimals), '0');
            m_tailText = std::string(size_t(m_s.PercentDigits - m_headDecimals), '0') + "%";
        }
    }

    void draw() {
        // Worked out up to the first label that fails: the ones before it are drawn, then it is
        // drawn as far as it gets.
        std::exception_ptr failure;
        size_t failed = m_items.size();
        float startAngle = 0;
        for (size_t i = 0; i < m_items.size(); ++i) {
            try {
                const float endAngle = PieEndAngle(startAngle, m_items[i].Share);
                if (std::optional<Label> label = layOut(i, endAngle, true)) m_labels.push_back(std::move(*label));
                startAngle = endAngle;
            } catch (...) {
                failure = std::current_exception();
                failed = i;
                break;
            }
        }
        const std::vector<bool> unseen = unseenLabels();
        for (size_t k = 0; k < m_labels.size(); ++k) {
            if (unseen[k]) note(m_labels[k]);  // the warnings look at every label's box
            else paint(m_labels[k]);
        }
        if (!m_labels.empty() && unseen.back()) {
            // The current position stays where the last label's frame would have left it.
            const Label& last = m_labels.back();
            MoveToEx(m_dc, last.left - m_s.MValueBorderOffsetX, last.top - m_s.MValueBorderOffsetY, nullptr);
        }
        if (!failure) return;
        if (std::optional<Label> label = layOut(failed, PieEndAngle(startAngle, m_items[failed].Share), false))
            paint(*label);
        std::rethrow_exception(failure);
    }

private:
    // Where item i's label goes and what it reads; nothing for items without one. Raises where
    // drawing it would: with `whole`, also where drawing its box and frame would.
    std::optional<Label> layOut(size_t i, float endAngle, bool whole) {
        const PieItem& item = m_items[i];
        const double cx = m_pie.cx, cy = m_pie.cy, r = m_pie.r;
        const double mid = PieMidAngle(endAngle, item.Share) * kPieDegreesToRadians;
        const PieSlice& p = m_pie.slices[i];
        const int32_t px = Pixel(double(CSng(r * std::cos(mid))) + cx + p.ox);
        const int32_t py = Pixel(double(CSng(r * std::sin(mid))) + cy + p.oy);
        if (item.ItemHidden == kTrue || m_s.MValueVisible != kTrue) return std::nullopt;

        const float ax = CSng((cx + 2.0 * px) / 3);
        float ay = CSng((cy + 2.0 * py) / 3);
        if (m_s.Chart_3D == kTrue) ay = CSng(cy + (ay - cy) * std::cos(double(m_s.Angle_3D)));
        const float share = CSng(double(item.Share) * 100);
        Label label{i, {}, false, 0, 0, 0, 0};
        int32_t bytes = 0;
        SIZE extent{0, 0};
        if (!m_tailText.empty() && exactDecimals(share) <= m_headDecimals) {
            measureTail();
            label.head = FormatPattern(share, m_headPattern);
            label.withTail = true;
            bytes = CodePageByteCount(label.head.data(), int(label.head.size())) + m_tailBytes;
            extent = m_measure.extent(label.head);
            extent.cx = clampLong(int64_t(extent.cx) + m_tailInk.extent);
        } else {
            label.head = FormatPattern(share, m_pie.labelPattern) + "%";
            bytes = CodePageByteCount(label.head.data(), int(label.head.size()));
            extent = m_measure.extent(label.head);
        }
        label.left = Pixel(ax - 5.0 * bytes);
        label.top = Pixel(ay - 10.0);
        label.right = AddLng(label.left, extent.cx);
        label.bottom = AddLng(label.top, extent.cy);
        const int32_t bx = m_s.MValueBorderOffsetX, by = m_s.MValueBorderOffsetY;
        // The offsets are doubled in 16 bits: beyond that range the label fails with an overflow.
        static_cast<void>(CInt(2 * bx));
        static_cast<void>(CInt(2 * by));
        if (whole) {
            // The box's and the frame's arithmetic (PaintLabelBox, FrameLabelBox).
            const int32_t width = AddLng(SubLng(label.right, label.left), MulLng(2, bx));
            const int32_t height = AddLng(SubLng(label.bottom, label.top), MulLng(2, by));
            static_cast<void>(cDIB32::Fits(width, height));
            static_cast<void>(SubLng(label.left, bx) + SubLng(label.top, by));
            static_cast<void>(AddLng(label.right, bx) + AddLng(label.bottom, by));
        }
        return label;
    }

    void measureTail() {
        if (m_tail) return;
        m_tail.emplace(m_tailText);
        m_tailBytes = CodePageByteCount(m_tailText.data(), int(m_tailText.size()));
        m_tailInk = m_measure.ink(m_tailText);
    }

    // Per label, whether later labels paint over every pixel it could paint. Counted as painted
    // for sure: a label's box where it fits (the tint cannot fail within opacities 0 to 100) and
    // its one-pixel frame; counted as what it could paint: the box with its frame, the text's
    // cell and the ink of its glyphs.
    std::vector<bool> unseenLabels() {
        std::vector<bool> unseen(m_labels.size(), false);
        int32_t width = 0, height = 0;
        // A traced canvas shows every call, as it always did.
        if (m_labels.empty() || CallsTraced(m_dc) || !DrawingArea(m_dc, width, height)) return unseen;
        if (m_s.MValueBackOpacity < 0 || m_s.MValueBackOpacity > 100 || !m_measure.level()) return unseen;
        RowCover cover(width, height);
        const int64_t bx = m_s.MValueBorderOffsetX, by = m_s.MValueBorderOffsetY;
        for (size_t k = m_labels.size(); k-- > 0;) {
            const Label& l = m_labels[k];
            // The box and frame span [x0, x1] x [y0, y1], whichever way round the offsets put them.
            const int64_t x0 = std::min<int64_t>(l.left - bx, l.right + bx), x1 = std::max<int64_t>(l.left - bx, l.right + bx);
            const int64_t y0 = std::min<int64_t>(l.top - by, l.bottom + by), y1 = std::max<int64_t>(l.top - by, l.bottom + by);
            int64_t left = std::min<int64_t>(x0, l.left), right = std::max<int64_t>(x1, l.right);
            if (left > 0 || right < width - 1) {  // the glyphs may reach beyond a box within the canvas
                TextInk ink = m_measure.ink(l.head);
                if (l.withTail) ink.add(m_tailInk);
                if (ink.from < ink.to) left = std::min(left, l.left + ink.from), right = std::max(right, l.left + ink.to - 1);
            }
            const int64_t top = std::min<int64_t>(y0, l.top), bottom = std::max<int64_t>(y1, l.bottom);
            if (cover.covers(left, top, right, bottom)) {
                unseen[k] = true;
                continue;
            }
            const int64_t boxW = int64_t(l.right) - l.left + 2 * bx, boxH = int64_t(l.bottom) - l.top + 2 * by;
            if (cDIB32::Fits(int32_t(boxW), int32_t(boxH)))
                for (int64_t y = l.top - by; y < l.top - by + boxH; ++y) cover.add(y, l.left - bx, l.left - bx + boxW - 1);
            if (x0 < x1 && y0 < y1) {
                cover.add(y0, x0, x1);
                cover.add(y1, x0, x1);
                for (int64_t y = std::max<int64_t>(y0, 0); y <= std::min<int64_t>(y1, height - 1); ++y) {
                    cover.add(y, x0, x0);
                    cover.add(y, x1, x1);
                }
            }
        }
        return unseen;
    }

    void note(const Label& label) {
        m_facts.notePieLabel(m_dc, m_items[label.item].Name,
                             WidenedBox(label.left, label.top, label.right, label.bottom, m_s.MValueBorderOffsetX,
                                        m_s.MValueBorderOffsetY));
    }

    void paint(const Label& label) {
        const PieItem& item = m_items[label.item];
        const int32_t bx = m_s.MValueBorderOffsetX, by = m_s.MValueBorderOffsetY;
        Owned<HPEN> pen(CreatePen(PS_SOLID, 1, 0));
        Selection selected(m_dc, pen.get());
        PaintLabelBox(m_dc, label.left, label.top, label.right, label.bottom, bx, by, item.FillColor1,
                      m_s.MValueBackColor, m_s.MValueBackOpacity);
        FrameLabelBox(m_dc, label.left, label.top, label.right, label.bottom, bx, by);
        note(label);
        if (label.withTail) m_tail->draw(m_dc, label.left, label.top, label.head);
        else TextOutU8(m_dc, label.left, label.top, label.head.data(), int(label.head.size()));
    }

    HDC m_dc;
    const ChartSettings& m_s;
    ChartFacts& m_facts;
    const std::vector<PieItem>& m_items;
    const PieLayout& m_pie;
    int32_t m_headDecimals = 0;
    std::string m_headPattern, m_tailText;
    TextMeasure m_measure;  // the canvas's font, which the labels are drawn in
    std::optional<TextTail> m_tail;
    int32_t m_tailBytes = 0;
    TextInk m_tailInk;
    std::vector<Label> m_labels;
};

}  // namespace

void DrawPieLabels(HDC dc, ChartState& chart, const PieLayout& pie) { PieLabels(dc, chart, pie).draw(); }

}  // namespace kelvane
