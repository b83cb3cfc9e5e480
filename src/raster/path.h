// The path a context records between BeginPath and EndPath: figures of points, each point
// tagged as the platform tags them.
#pragma once

#include <cstdint>
#include <vector>

#include "kelvane/gdi.h"

namespace kelvane::gdi {

enum : uint8_t { PT_CLOSEFIGURE = 1, PT_LINETO = 2, PT_BEZIERTO = 4, PT_MOVETO = 6 };

enum class PathState { None, Open, Closed };

struct PathData {
    PathState state = PathState::None;
    std::vector<POINT> points;
    std::vector<uint8_t> types;
    // A line or curve added next starts a new figure: at the last recorded point after
    // CloseFigure, at the current position otherwise.
    bool newFigure = true;
    bool startAtLastPoint = false;

    void clear() {
        state = PathState::None;
        points.clear();
        types.clear();
        newFigure = true;
        startAtLastPoint = false;
    }
};

}  // namespace kelvane::gdi

namespace kelvane::gdi {

struct DeviceContext;

// True while the context records a path: drawing calls then add to it instead of drawing.
bool recordingPath(const DeviceContext* dc);
// Adds a straight line from the current position to p, starting a new figure at the current
// position when needed (the current position itself is moved by the caller).
void pathLineTo(DeviceContext* dc, POINT p);
// A move ends the figure being recorded; the next line starts a new one.
void pathMoveTo(DeviceContext* dc);
// Starts a new figure at p without moving the current position (shapes that open their own
// figure, such as Arc and Pie).
void pathStartFigure(DeviceContext* dc, POINT p);
// Adds cubic Bézier pieces: count points, three per piece (two control points, then the end),
// continuing the figure like pathLineTo.
void pathBezierTo(DeviceContext* dc, const POINT* points, int count);

// A recorded path as polylines: Bézier pieces flattened as the platform flattens them.
struct PathFigures {
    std::vector<POINT> points;
    std::vector<int> counts;    // points per figure, consecutive runs of `points`
    std::vector<bool> closed;   // closed by CloseFigure
};
void flattenPath(const PathData& path, PathFigures& figures);

}  // namespace kelvane::gdi
