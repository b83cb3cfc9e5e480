// The solid pie: a tilted disc with depth, painted back to front out of filled paths of elliptic
// arcs and straight lines. Bottom faces first, then the radial faces sorted from the back, the
// outer walls (slices in place, then pulled-out ones), and the top faces over everything.
//
// Faces of one kind follow each other. A face whose calls are exactly those of the next face of
// its kind (slices too thin to move their points, thousands of them) paints nothing that face
// does not paint again straight after, whatever the colours: it is left out (unless the canvas's
// calls are traced).
#include <cmath>
#include <functional>
#include <optional>

#include "chart/pie_chart.h"
#include "draw/label_box.h"
#include "draw/plot_coords.h"
#include "raster/deferred_paint.h"
#include "raster/gdi_handles.h"

namespace kelvane {

using namespace gdi;

namespace {

struct Point {
    double x, y;
};

// A solid brush selected for one face; the displaced brush comes back before it is deleted.
class FaceBrush {
public:
    FaceBrush(HDC dc, Colour colour) : m_brush(CreateSolidBrush(COLORREF(colour))), m_selection(dc, m_brush.get()) {}

private:
    Owned<HBRUSH> m_brush;
    Selection m_selection;
};

class SolidPie {
public:
    SolidPie(HDC dc, const ChartState& chart, const PieLayout& pie)
        : m_dc(dc),
          m_items(*chart.pieList),
          m_pie(pie),
          m_cx(pie.cx),
          m_cy(pie.cy),
          m_r(pie.r),
          m_cosA(std::cos(double(chart.settings.Angle_3D))),
          m_depth(chart.settings.Depth_3D),
          m_h(CLng(2 * m_r * m_cosA)) {}

    void draw() {
        if (GetArcDirection(m_dc) == AD_CLOCKWISE) SetArcDirection(m_dc, AD_COUNTERCLOCKWISE);
        const int n = int(m_pie.slices.size());
        std::vector<int> order;
        for (int i = 0; i < n; ++i)
            if (!hidden(i)) order.push_back(i);
        drawFaces(order, [&](int i) { bottomFace(i); });
        radialFaces();
        order.clear();
        for (int i = n - 1; i >= 0; --i)
            if (!hidden(i) && !pulledOut(i)) order.push_back(i);
        drawFaces(order, [&](int i) { wall(i, m_cy); });
        order.clear();
        for (int i = n - 1; i >= 0; --i)
            if (!hidden(i) && pulledOut(i)) order.push_back(i);
        drawFaces(order, [&](int i) { wall(i, m_cy + m_pie.slices[size_t(i)].oyTilted); });
        order.clear();
        for (int i = 0; i < n; ++i)
            if (!hidden(i)) order.push_back(i);
        drawFaces(order, [&](int i) { topFace(i); });
    }

private:
    bool hidden(int i) const { return m_items[size_t(i)].ItemHidden == kTrue; }
    bool pulledOut(int i) const { return m_items[size_t(i)].ItemOut == kTrue; }
    Colour colour(int i) const { return m_items[size_t(i)].FillColor1; }
    const PieSlice& slice(int i) const { return m_pie.slices[size_t(i)]; }

    // Corners and centre of a slice's top ellipse (unrounded); the bottom one lies D lower.
    double left(int i) const { return m_cx + slice(i).ox - m_r; }
    double right(int i) const { return m_cx + slice(i).ox + m_r; }
    double top(int i) const { return m_cy - double(m_h) / 2 + slice(i).oyTilted; }
    double bottom(int i) const { return m_cy - double(m_h) / 2 + slice(i).oyTilted + m_h; }
    Point topCentre(int i) const { return {m_cx + slice(i).ox, m_cy + slice(i).oyTilted}; }
    Point leftmost(int i) const { return {m_cx + slice(i).ox - m_r, m_cy + slice(i).oyTilted}; }
    Point start(int i) const { return {double(slice(i).S.x), slice(i).sy}; }
    Point end(int i) const { return {double(slice(i).E.x), slice(i).ey}; }
    Point down(Point p) const { return {p.x, p.y + m_depth}; }

    // Faces drawn one after the other, each left out when the next one's calls are the same.
    // Working out a face's calls may fail; the face before it is then drawn, and the failing face
    // is drawn as it is, failing with whatever it did until then (an open path, a position).
    void drawFaces(const std::vector<int>& faces, const std::function<void(int)>& face) {
        if (CallsTraced(m_dc)) {  // a traced canvas shows every call
            for (const int i : faces) face(i);
            return;
        }
        std::vector<int32_t> calls, nextCalls;
        bool known = false;
        for (size_t k = 0; k < faces.size(); ++k) {
            if (!known && !tryCallsOf(face, faces[k], calls)) {
                // Drawn as it is, this face fails where it fails, with what it did until then.
                face(faces[k]);
                continue;
            }
            known = k + 1 < faces.size() && tryCallsOf(face, faces[k + 1], nextCalls);
            if (!known || calls != nextCalls) face(faces[k]);
            std::swap(calls, nextCalls);
        }
    }

    // The calls a face makes, as numbers, instead of making them.
    void callsOf(const std::function<void(int)>& face, int i, std::vector<int32_t>& calls) {
        calls.clear();
        m_calls = &calls;
        try {
            face(i);
        } catch (...) {
            m_calls = nullptr;
            throw;
        }
        m_calls = nullptr;
    }
    bool tryCallsOf(const std::function<void(int)>& face, int i, std::vector<int32_t>& calls) {
        try {
            callsOf(face, i, calls);
            return true;
        } catch (const AutomationError&) {
            return false;
        }
    }
    bool call(std::initializer_list<int32_t> values) const {
        if (!m_calls) return true;
        m_calls->insert(m_calls->end(), values);
        return false;
    }

    void moveTo(Point p) const { moveTo(Pixel(p.x), Pixel(p.y)); }
    void moveTo(int32_t x, int32_t y) const {
        if (call({1, x, y})) MoveToEx(m_dc, x, y, nullptr);
    }
    void lineTo(Point p) const { lineTo(Pixel(p.x), Pixel(p.y)); }
    void lineTo(int32_t x, int32_t y) const {
        if (call({2, x, y})) LineTo(m_dc, x, y);
    }
    void arcTo(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x0, int32_t y0, int32_t x1, int32_t y1) const {
        if (call({3, l, t, r, b, x0, y0, x1, y1})) ArcTo(m_dc, l, t, r, b, x0, y0, x1, y1);
    }
    void arcOnTop(int i, Point from, Point to) const {
        arcTo(Pixel(left(i)), Pixel(top(i)), Pixel(right(i)), Pixel(bottom(i)), Pixel(from.x), Pixel(from.y),
              Pixel(to.x), Pixel(to.y));
    }
    void arcOnBottom(int i, Point from, Point to) const {
        arcTo(Pixel(left(i)), Pixel(top(i) + m_depth), Pixel(right(i)), Pixel(bottom(i) + m_depth), Pixel(from.x),
              Pixel(from.y), Pixel(to.x), Pixel(to.y));
    }
    void beginPath() const {
        if (call({4})) BeginPath(m_dc);
    }
    void endPath() const {
        if (call({5})) EndPath(m_dc);
    }
    void fillPath() const {
        if (call({6})) FillPath(m_dc);
    }
    void strokeAndFillPath() const {
        if (call({7})) StrokeAndFillPath(m_dc);
    }
    void arcDirection(int direction) const {
        if (call({8, direction})) SetArcDirection(m_dc, direction);
    }
    // The brush of a face; none while its calls are only being worked out.
    std::optional<FaceBrush> brush(Colour colour) const {
        if (m_calls) return std::nullopt;
        return std::optional<FaceBrush>(std::in_place, m_dc, colour);
    }

    void bottomFace(int i) const {
        const std::optional<FaceBrush> brush = this->brush(Darkened(colour(i)));
        moveTo(down(topCentre(i)));
        beginPath();
        arcOnBottom(i, down(end(i)), down(start(i)));
        endPath();
        strokeAndFillPath();
    }

    // The flat faces along the radii, from the back of the pie (smallest y) to the front.
    void radialFaces() {
        // Both radii of every slice, keyed by the y of their outer point in the pie's plane.
        const int n = int(m_pie.slices.size());
        std::vector<double> keys(size_t(2 * n));
        for (int k = 0; k < n; ++k) {
            keys[size_t(k)] = slice(k).b0y;
            keys[size_t(n + k)] = slice(k).b1y;
        }
        std::vector<int> order;
        for (const int32_t e : ExchangeSortOrder(keys))
            if (!hidden(e % n)) order.push_back(e);
        drawFaces(order, [&](int e) { radialFace(e % n, e < n ? slice(e % n).b0x : slice(e % n).b1x, keys[size_t(e)]); });
    }

    // The radial face of `item` whose outer point, in the pie's plane, is (x, y).
    void radialFace(int item, double x, double y) const {
        const std::optional<FaceBrush> brush = this->brush(Darkened(colour(item)));
        const PieSlice& p = slice(item);
        const Point outer{x + p.ox, PieTilted(y, m_cy, m_cosA) + p.oyTilted};
        const Point ct = topCentre(item), cb = down(ct);
        moveTo(cb);
        beginPath();
        lineTo(down(outer));
        lineTo(outer);
        lineTo(ct);
        endPath();
        fillPath();
        moveTo(outer);
        lineTo(down(outer));
        lineTo(cb);
        lineTo(ct);
    }

    // A band of the outer wall between two points of the rim, bottom arc first: from `from` to
    // `to` below, up (a line for a pulled-out slice, else the closing of the path) and back above.
    void band(int i, Point from, Point to, bool lineUp, bool stroke) const {
        moveTo(down(from));
        beginPath();
        arcOnBottom(i, down(from), down(to));
        if (lineUp) lineTo(to);
        arcDirection(AD_CLOCKWISE);
        arcOnTop(i, to, from);
        arcDirection(AD_COUNTERCLOCKWISE);
        endPath();
        if (stroke) strokeAndFillPath();
        else fillPath();
    }

    // The curved outer wall of slice i; c is the centre line of its ellipse.
    void wall(int i, double c) const {
        const std::optional<FaceBrush> brush = this->brush(Darkened(colour(i)));
        const Point st = start(i), et = end(i), lt = leftmost(i);
        const bool out = pulledOut(i);
        // A wall running over the leftmost point shows its back part and its front part on
        // either side of it; they are filled as two bands.
        const bool straddles = (st.y > c && et.y < c) || (i == 0 && st.y == c && et.y < c);
        if (!straddles) {
            band(i, et, st, false, false);
            // The lower rim of a wall on the front half, from the end's vertical edge back to the
            // start (the current position is the end of the top arc).
            if (st.y - m_cy >= 0 && st.x - left(i) > 0) arcOnBottom(i, down(et), down(st));
        } else {
            band(i, et, lt, false, false);
            band(i, lt, st, out, out);
            // From the leftmost point's vertical edge back along the front band's lower rim.
            arcOnBottom(i, down(lt), down(st));
        }
        // The vertical edge where the wall starts.
        const int32_t x = i == 0 && !out ? slice(i).S.x - 1 : slice(i).S.x;
        moveTo(x, Pixel(st.y + m_depth - 1));
        lineTo(x, Pixel(st.y - 1));
    }

    void topFace(int i) const {
        const std::optional<FaceBrush> brush = this->brush(colour(i));
        moveTo(topCentre(i));
        beginPath();
        arcOnTop(i, end(i), start(i));
        endPath();
        strokeAndFillPath();
    }

    HDC m_dc;
    std::vector<int32_t>* m_calls = nullptr;  // where calls go while only worked out
    const std::vector<PieItem>& m_items;
    const PieLayout& m_pie;
    double m_cx, m_cy, m_r, m_cosA;
    int32_t m_depth, m_h;
};

}  // namespace

void DrawSolidPie(HDC dc, const ChartState& chart, const PieLayout& pie) { SolidPie(dc, chart, pie).draw(); }

}  // namespace kelvane
