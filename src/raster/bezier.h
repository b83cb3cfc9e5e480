// Cubic Bézier curves as the platform flattens them into line segments.
#pragma once

#include <vector>

#include "kelvane/gdi.h"

namespace kelvane::gdi {

// Appends the points of the polyline the platform draws for the curve from p0 through the control
// points c1 and c2 to p3; p0 itself is not appended, p3 always comes last.
void flattenBezier(POINT p0, POINT c1, POINT c2, POINT p3, std::vector<POINT>& out);

}  // namespace kelvane::gdi
