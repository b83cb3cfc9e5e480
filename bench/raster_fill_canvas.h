// A 400x300 24-bit canvas for the fill benchmarks (polygons, regions, brushes, rectangles):
// bottom-up, as the chart's canvas is made, and left as the section starts.
#pragma once

#include <random>
#include <vector>

#include "dib_section.h"
#include "kelvane/gdi.h"

namespace kelvane::bench {

class FillCanvas : public test::SectionContext {
public:
    FillCanvas(int w = 400, int h = 300) : SectionContext(w, h, false) {}
};

// `count` points of a fixed seed's random sequence, x in [left, left + width) and y in
// [top, top + height).
inline std::vector<gdi::POINT> randomPointsIn(unsigned seed, int count, int left, int top, int width,
                                              int height) {
    std::mt19937 rng(seed);
    std::vector<gdi::POINT> p;
    for (int i = 0; i < count; ++i)
        p.push_back(gdi::POINT{int(rng() % unsigned(width)) + left, int(rng() % unsigned(height)) + top});
    return p;
}

// Draws lines from the points taken in pairs: p[0] to p[1], p[2] to p[3], ...
inline void drawLinePairs(gdi::HDC dc, const std::vector<gdi::POINT>& p) {
    for (size_t i = 0; i + 1 < p.size(); i += 2) {
        gdi::MoveToEx(dc, p[i].x, p[i].y, nullptr);
        gdi::LineTo(dc, p[i + 1].x, p[i + 1].y);
    }
}

}  // namespace kelvane::bench
