// Wide strokes skip what cannot reach the surface and what they painted already: a surface
// shows the same pixels as the same window of a larger one, for pens far wider than either.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "kelvane/gdi.h"
#include "raster_fill_canvas.h"

namespace kelvane {
namespace {

using namespace gdi;
using test::FillCanvas;
using test::Selected;

constexpr int kW = 40, kH = 30;
// The larger surface reaches this far beyond the small one on every side.
constexpr int kMargin = 50;

// Draws with the offset added to every coordinate.
using Shape = std::function<void(HDC, int dx, int dy)>;

std::string window(HPEN (*makePen)(), const Shape& shape, int margin) {
    FillCanvas c(kW + 2 * margin, kH + 2 * margin);
    Selected pen(c.dc(), makePen());
    Selected brush(c.dc(), CreateSolidBrush(RGB(0, 0, 255)));
    shape(c.dc(), margin, margin);
    std::string rows;
    for (int y = margin; y < margin + kH; ++y) {
        for (int x = margin; x < margin + kW; ++x) {
            const COLORREF p = c.at(x, y);
            rows += p == RGB(255, 255, 255) ? '.' : p == RGB(0, 0, 255) ? 'o' : '#';
        }
        rows += '\n';
    }
    return rows;
}

HPEN geometric(DWORD style, DWORD width) {
    const LOGBRUSH brush{BS_SOLID, RGB(200, 0, 0), 0};
    return ExtCreatePen(PS_GEOMETRIC | style, width, &brush, 0, nullptr);
}

TEST(WideStrokeClip, ASurfaceShowsWhatTheSameWindowOfALargerOneShows) {
    struct Pen {
        const char* name;
        HPEN (*make)();
    };
    const std::vector<Pen> pens = {
        {"round 5", [] { return CreatePen(PS_SOLID, 5, RGB(200, 0, 0)); }},
        {"round 61", [] { return CreatePen(PS_SOLID, 61, RGB(200, 0, 0)); }},
        {"round 3001", [] { return CreatePen(PS_SOLID, 3001, RGB(200, 0, 0)); }},
        {"round 40000", [] { return CreatePen(PS_SOLID, 40000, RGB(200, 0, 0)); }},
        {"flat miter 47", [] { return geometric(PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER, 47); }},
        {"square bevel 90", [] { return geometric(PS_SOLID | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL, 90); }},
        {"dashed square 25", [] { return geometric(PS_DASH | PS_ENDCAP_SQUARE | PS_JOIN_MITER, 25); }},
        {"flat miter 300", [] { return geometric(PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER, 300); }},
        {"dotted round 150", [] { return geometric(PS_DOT | PS_ENDCAP_ROUND | PS_JOIN_ROUND, 150); }},
        {"dashed bevel 7000", [] { return geometric(PS_DASHDOT | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL, 7000); }},
    };
    struct Case {
        const char* name;
        Shape shape;
    };
    const std::vector<Case> shapes = {
        {"zigzag through the window",
         [](HDC dc, int dx, int dy) {
             const POINT p[] = {{-30 + dx, 5 + dy}, {12 + dx, 26 + dy}, {25 + dx, -9 + dy}, {70 + dx, 20 + dy}};
             Polyline(dc, p, 4);
         }},
        {"sharp turn beside the window",
         [](HDC dc, int dx, int dy) {
             const POINT p[] = {{-45 + dx, -20 + dy}, {-8 + dx, 12 + dy}, {-44 + dx, 14 + dy}};
             Polyline(dc, p, 3);
         }},
        {"ellipse around the window",
         [](HDC dc, int dx, int dy) { Ellipse(dc, -41 + dx, -37 + dy, 83 + dx, 66 + dy); }},
        {"ellipse beside the window", [](HDC dc, int dx, int dy) { Ellipse(dc, 47 + dx, -20 + dy, 95 + dx, 9 + dy); }},
        {"ellipse inside the window", [](HDC dc, int dx, int dy) { Ellipse(dc, 9 + dx, 4 + dy, 31 + dx, 22 + dy); }},
        {"wide ellipse crossing the window",
         [](HDC dc, int dx, int dy) { Ellipse(dc, -3000 + dx, 10 + dy, 3020 + dx, 3000 + dy); }},
    };
    for (const Pen& pen : pens)
        for (const Case& s : shapes)
            EXPECT_EQ(window(pen.make, s.shape, 0), window(pen.make, s.shape, kMargin)) << pen.name << ", " << s.name;
}

}  // namespace
}  // namespace kelvane
