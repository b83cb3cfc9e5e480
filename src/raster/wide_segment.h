// The geometry of one straight piece of a wide pen: the integer corners of its body, the faces
// its joins are built from, its square-cap extensions, and the joins between two pieces.
#pragma once

#include "raster/pen_shapes.h"

namespace kelvane::gdi {

struct WideSegment {
    P64 a, b;
    int64_t dx = 0, dy = 0;
    int64_t width = 0;
    double length = 0;
    bool axis = false;  // horizontal or vertical: a box
    // Slanted segments: corner offsets of the side towards (-dy, dx) and of the other side, and
    // the signed square-cap extensions of both ends.
    P64 u{0, 0}, v{0, 0};
    P64 extStart{0, 0}, extEnd{0, 0};

    WideSegment() = default;
    WideSegment(P64 from, P64 to, int64_t penWidth);

    // The point of the segment at distance t from its start: the offsets are truncated towards
    // the start; from the length on, the end point itself.
    P64 pointAt(double t) const;
    // The two face points at the end (or start) that joins connect, on the u and v sides.
    void faces(bool atEnd, P64& onU, P64& onV) const;
    // Paints the part of the body from s to e (points of this segment), with square-cap
    // extensions where asked.
    void paintPiece(StrokeCanvas& canvas, P64 s, P64 e, bool squareStart, bool squareEnd) const;
};

enum class JoinKind { Round, Bevel, Miter };

// Paints the join at the point where `in` ends and `out` starts.
void paintJoin(StrokeCanvas& canvas, const WideSegment& in, const WideSegment& out, JoinKind kind,
               const Disc* disc);

}  // namespace kelvane::gdi
