// Very many lines drawn one after another from the current position, each as LineTo draws it,
// for callers that sample curves finely. With CreatePen's plain pens (solid one-pixel lines, or
// wide lines with round ends and joins) every LineTo paints its own piece in one colour, and the
// picture is the union of the pieces, whatever their order. So:
//   - a line of no length adds nothing once any other line of the run has a length: its round
//     end (the only thing it paints) is the end of the line that arrived there or of the line
//     that leaves;
//   - a line whose two ends lie beyond the same edge of the surface, further out than the pen
//     reaches, paints nothing (one-pixel lines stay within their end points' box; wide lines
//     are cut off by the stroker at that reach);
//   - the remaining lines may be stroked as polylines in batches: a polyline of such a pen is
//     its segment bodies with a round end at every point, the union of the lines' pieces.
// Other pens (styled, geometric one-pixel pens that mark their last point), a context that
// records a path and a traced one (whose script must list the calls as they were made) get
// every LineTo as it comes.
#pragma once

#include <cstdint>
#include <vector>

#include "kelvane/gdi.h"

namespace kelvane::gdi {

class LineRun {
public:
    // Starts at the context's current position with its selected pen.
    explicit LineRun(HDC dc);
    ~LineRun();
    LineRun(const LineRun&) = delete;
    LineRun& operator=(const LineRun&) = delete;

    // Whether lines are merged as described above. When false, every line must be handed over
    // and skipTo must not be used.
    bool merges() const { return m_merges; }
    // Points left of left(), right of right(), above top() or below bottom() are out of the pen's
    // reach: a line between two points beyond the same one of these paints nothing.
    int64_t left() const { return m_left; }
    int64_t top() const { return m_top; }
    int64_t right() const { return m_right; }
    int64_t bottom() const { return m_bottom; }

    // LineTo(p).
    void lineTo(POINT p);
    // Lines from the current position to p, every point of which lies beyond one edge of the
    // pen's reach: they paint nothing, only the position moves (merging pens only).
    void skipTo(POINT p);
    // Strokes what is pending; the context's position is then the last point. Also run by the
    // destructor.
    void finish();

private:
    bool beyond(POINT a, POINT b) const;
    void flush();

    HDC m_dc;
    bool m_merges = false;
    int64_t m_left = 0, m_top = 0, m_right = 0, m_bottom = 0;
    POINT m_at{0, 0};
    std::vector<POINT> m_pending;
    bool m_anyLine = false;     // some LineTo was asked for
    bool m_lengthSeen = false;  // ... and one of them had a length
};

}  // namespace kelvane::gdi
