// The one arc backend behind Arc, ArcTo and Pie, drawing them or recording them into the path.
// An arc runs along the ellipse's outline polygon between the vertices its two radials select.
#pragma once

#include <vector>

#include "kelvane/gdi.h"
#include "raster/ellipse_outline.h"

namespace kelvane::gdi {

enum class ArcShape {
    Arc,    // the curve alone
    ArcTo,  // a line from the current position to the curve, then the curve; moves the position
    Pie,    // the curve closed through the centre, filled with the brush
};

BOOL drawArcShape(HDC dc, ArcShape shape, int left, int top, int right, int bottom, int xStart,
                  int yStart, int xEnd, int yEnd);

// The vertices of the outline that an arc from the radial through `start` to the radial through
// `end` draws through, in drawing order (counter-clockwise on screen when `counterClockwise`).
// Both radials selecting the same vertex make the whole outline (or, in one corner case of
// tiny boxes, nothing).
void arcVertices(const EllipseBox& box, const EllipseOutline& outline, POINT start, POINT end,
                 bool counterClockwise, std::vector<POINT>& out);

// The vertex a radial selects on the outline (the first at or after its direction), and whether
// the search for it went round past the outline's starting vertex.
struct RadialVertex {
    size_t index = 0;
    bool wrapped = false;
};
RadialVertex arcRadialVertex(const EllipseBox& box, const EllipseOutline& outline, POINT p,
                             bool counterClockwise);

// The vertices an arc between two selected vertices draws through: `count` of them from `first`,
// stepping backwards through the outline when counter-clockwise. arcVertices lists them.
struct ArcSpan {
    size_t first = 0, count = 0;
};
ArcSpan arcSpanBetween(size_t outlineSize, RadialVertex start, RadialVertex end, bool counterClockwise);

// The centre pixel a pie's wedge closes through.
POINT pieCentre(const EllipseBox& box);

// The arc between the radials through `start` and `end` as a path records it: the start point,
// then three points (two controls and the end) for each Bézier piece of at most a quarter turn.
// The box must have width and height.
void arcBeziers(const EllipseBox& box, POINT start, POINT end, bool counterClockwise,
                std::vector<POINT>& out);
// The same from angle a0 to angle a1 (radians on the box's ellipse, y downwards), a1 reached
// from a0 in the given direction.
void arcBeziersBetween(const EllipseBox& box, double a0, double a1, bool counterClockwise,
                       std::vector<POINT>& out);

}  // namespace kelvane::gdi
