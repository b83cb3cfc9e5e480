// Rectangle, FillRect and FrameRect. Rectangle fills the box less its right column and bottom
// row, then strokes the outline through (left, top) and (right - 1, bottom - 1), pulled in for
// inside-frame pens; FillRect and FrameRect paint with a brush of their own.
#include <algorithm>
#include <cstdint>
#include <utility>

#include "raster/brush_paint.h"
#include "raster/objects.h"
#include "raster/paint.h"
#include "raster/path.h"
#include "raster/polygon.h"
#include "raster/stroke.h"
#include "raster/trace.h"

namespace kelvane::gdi {

namespace {

LONG clampInt(long v) { return LONG(std::clamp<long>(v, INT32_MIN, INT32_MAX)); }

void fillWithBrush(Surface& s, const DeviceContext& dc, const BrushObject* brush, long l, long t,
                   long r, long b) {
    BrushPainter(dc, brush).box(s, l, t, r, b);
}

}  // namespace

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    if (!dc) return 0;
    if (Trace* t = traceOf(dc)) t->line("rect %d %d %d %d", left, top, right, bottom);
    long l = left, t = top, r = right, b = bottom;
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    if (l == r || t == b) return 1;
    // The outline runs anticlockwise from the top-right corner, as the platform traces it: where
    // a styled pen's pattern starts and the order a path records the corners in.
    const POINT outline[4] = {{clampInt(r - 1), clampInt(t)}, {clampInt(l), clampInt(t)},
                              {clampInt(l), clampInt(b - 1)}, {clampInt(r - 1), clampInt(b - 1)}};
    if (recordingPath(dc)) {
        recordClosedFigure(*dc, outline, 4);
        return 1;
    }
    Surface* s = surfaceOf(dc);
    if (!s) return 1;
    const PenObject* pen = dc->pen;
    if (!pen || pen->style == PS_NULL) {
        fillWithBrush(*s, *dc, dc->brush, l, t, r - 1, b - 1);
        return 1;
    }
    if (pen->style == PS_INSIDEFRAME && pen->width > 1) {
        // The outline is pulled in so that the whole pen width stays inside the box. A box
        // narrower than the pen ends up with its sides crossed over, and the platform strokes the
        // crossed corners as they are, so they are not put back in order.
        l += pen->width / 2;
        t += pen->width / 2;
        r -= (pen->width - 1) / 2;
        b -= (pen->width - 1) / 2;
    }
    // Under a cosmetic pen the fill starts one pixel in on the left and top (its gaps, when
    // styled, show the canvas there); under a geometric pen it covers the pen's path, as without
    // a pen.
    const long inset = pen->geometric ? 0 : 1;
    fillWithBrush(*s, *dc, dc->brush, l + inset, t + inset, r - 1, b - 1);
    const POINT frame[4] = {{clampInt(r - 1), clampInt(t)}, {clampInt(l), clampInt(t)},
                            {clampInt(l), clampInt(b - 1)}, {clampInt(r - 1), clampInt(b - 1)}};
    strokePolyline(dc, frame, 4, true);
    return 1;
}

BOOL FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    if (!dc || !rect || !brush) return 0;
    const BrushObject* b = asBrush(brush);
    if (!b) return 0;
    // A side given in reverse still runs from its first coordinate (included) towards its second
    // (excluded), so the box moves one pixel: left 30, right 5 fills columns 6 to 30.
    auto range = [](long from, long to) {
        return from <= to ? std::pair{from, to} : std::pair{to + 1, from + 1};
    };
    const auto [l, r] = range(rect->left, rect->right);
    const auto [t, bt] = range(rect->top, rect->bottom);
    const RECT box{clampInt(l), clampInt(t), clampInt(r), clampInt(bt)};
    traceBrushBoxes(*dc, b, &box, 1);
    forgetRealizedBrush(*dc);
    if (Surface* s = surfaceOf(dc)) fillWithBrush(*s, *dc, b, l, t, r, bt);
    forgetRealizedBrush(*dc);
    return 1;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
    if (!dc || !rect) return 0;
    const BrushObject* b = asBrush(brush);
    if (!b) return 0;
    // Unlike FillRect, a frame with crossed or touching sides is refused, as on the platform.
    if (rect->left >= rect->right || rect->top >= rect->bottom) return 0;
    const LONG l = rect->left, t = rect->top, r = rect->right, bt = rect->bottom;
    const RECT sides[4] = {{l, t, r, t + 1}, {l, bt - 1, r, bt}, {l, t, l + 1, bt}, {r - 1, t, r, bt}};
    if (Trace* tr = traceOf(dc)) {
        if (b->style == BS_SOLID) tr->line("framerect %d %d %d %d 0x%06X", l, t, r, bt, unsigned(b->colour & 0x00FFFFFF));
        else traceBrushBoxes(*dc, b, sides, 4);
    }
    forgetRealizedBrush(*dc);
    if (Surface* s = surfaceOf(dc))
        for (const RECT& side : sides) fillWithBrush(*s, *dc, b, side.left, side.top, side.right, side.bottom);
    forgetRealizedBrush(*dc);
    return 1;
}

BOOL SetRect(RECT* rect, int left, int top, int right, int bottom) {
    if (!rect) return 0;
    *rect = RECT{left, top, right, bottom};
    return 1;
}

}  // namespace kelvane::gdi
