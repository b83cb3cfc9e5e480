// The solid pie: a tilted disc with depth, painted back to front out of filled paths of elliptic
// arcs and straight lines. Bottom faces first, then the radial faces sorted from the back, the
// outer walls (slices in place, then pulled-out ones), and the top faces over everything.
#include <cmath>

#include "chart/pie_chart.h"
#include "draw/label_box.h"
#include "draw/plot_coords.h"
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
        for (int i = 0; i < n; ++i)
            if (!hidden(i)) bottomFace(i);
        radialFaces();
        for (int i = n - 1; i >= 0; --i)
            if (!hidden(i) && !pulledOut(i)) wall(i, m_cy);
        for (int i = n - 1; i >= 0; --i)
            if (!hidden(i) && pulledOut(i)) wall(i, m_cy + m_pie.slices[size_t(i)].oyTilted);
        for (int i = 0; i < n; ++i)
            if (!hidden(i)) topFace(i);
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

    void moveTo(Point p) const { MoveToEx(m_dc, Pixel(p.x), Pixel(p.y), nullptr); }
    void lineTo(Point p) const { LineTo(m_dc, Pixel(p.x), Pixel(p.y)); }
    void arcOnTop(int i, Point from, Point to) const {
        ArcTo(m_dc, Pixel(left(i)), Pixel(top(i)), Pixel(right(i)), Pixel(bottom(i)), Pixel(from.x), Pixel(from.y),
              Pixel(to.x), Pixel(to.y));
    }
    void arcOnBottom(int i, Point from, Point to) const {
        ArcTo(m_dc, Pixel(left(i)), Pixel(top(i) + m_depth), Pixel(right(i)), Pixel(bottom(i) + m_depth),
              Pixel(from.x), Pixel(from.y), Pixel(to.x), Pixel(to.y));
    }

    void bottomFace(int i) const {
        const FaceBrush brush(m_dc, Darkened(colour(i)));
        moveTo(down(topCentre(i)));
        BeginPath(m_dc);
        arcOnBottom(i, down(end(i)), down(start(i)));
        EndPath(m_dc);
        StrokeAndFillPath(m_dc);
    }

    // The flat faces along the radii, from the back of the pie (smallest y) to the front.
    void radialFaces() const {
        // Both radii of every slice, keyed by the y of their outer point in the pie's plane.
        const int n = int(m_pie.slices.size());
        std::vector<double> keys(size_t(2 * n));
        for (int k = 0; k < n; ++k) {
            keys[size_t(k)] = slice(k).b0y;
            keys[size_t(n + k)] = slice(k).b1y;
        }
        for (const int32_t e : ExchangeSortOrder(keys)) {
            const int item = e % n;
            if (hidden(item)) continue;
            const double x = e < n ? slice(item).b0x : slice(item).b1x, y = keys[size_t(e)];
            const FaceBrush brush(m_dc, Darkened(colour(item)));
            const PieSlice& p = slice(item);
            const Point outer{x + p.ox, PieTilted(y, m_cy, m_cosA) + p.oyTilted};
            const Point ct = topCentre(item), cb = down(ct);
            moveTo(cb);
            BeginPath(m_dc);
            lineTo(down(outer));
            lineTo(outer);
            lineTo(ct);
            EndPath(m_dc);
            FillPath(m_dc);
            moveTo(outer);
            lineTo(down(outer));
            lineTo(cb);
            lineTo(ct);
        }
    }

    // A band of the outer wall between two points of the rim, bottom arc first: from `from` to
    // `to` below, up (a line for a pulled-out slice, else the closing of the path) and back above.
    void band(int i, Point from, Point to, bool lineUp, bool stroke) const {
        moveTo(down(from));
        BeginPath(m_dc);
        arcOnBottom(i, down(from), down(to));
        if (lineUp) lineTo(to);
        SetArcDirection(m_dc, AD_CLOCKWISE);
        arcOnTop(i, to, from);
        SetArcDirection(m_dc, AD_COUNTERCLOCKWISE);
        EndPath(m_dc);
        if (stroke) StrokeAndFillPath(m_dc);
        else FillPath(m_dc);
    }

    // The curved outer wall of slice i; c is the centre line of its ellipse.
    void wall(int i, double c) const {
        const FaceBrush brush(m_dc, Darkened(colour(i)));
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
        MoveToEx(m_dc, x, Pixel(st.y + m_depth - 1), nullptr);
        LineTo(m_dc, x, Pixel(st.y - 1));
    }

    void topFace(int i) const {
        const FaceBrush brush(m_dc, colour(i));
        moveTo(topCentre(i));
        BeginPath(m_dc);
        arcOnTop(i, end(i), start(i));
        EndPath(m_dc);
        StrokeAndFillPath(m_dc);
    }

    HDC m_dc;
    const std::vector<PieItem>& m_items;
    const PieLayout& m_pie;
    double m_cx, m_cy, m_r, m_cosA;
    int32_t m_depth, m_h;
};

}  // namespace

void DrawSolidPie(HDC dc, const ChartState& chart, const PieLayout& pie) { SolidPie(dc, chart, pie).draw(); }

}  // namespace kelvane
