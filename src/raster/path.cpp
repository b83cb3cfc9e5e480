// Path recording and its use: lines and arcs between BeginPath and EndPath become figures.
#include "raster/objects.h"

namespace kelvane::gdi {

BOOL BeginPath(HDC dc) {
    if (!dc) return 0;
    dc->path.clear();
    dc->path.state = PathState::Open;
    return 1;
}

BOOL EndPath(HDC dc) {
    if (!dc || dc->path.state != PathState::Open) return 0;
    dc->path.state = PathState::Closed;
    return 1;
}

BOOL AbortPath(HDC dc) {
    if (!dc) return 0;
    dc->path.clear();
    return 1;
}

BOOL CloseFigure(HDC dc) {
    if (!dc || dc->path.state != PathState::Open || dc->path.types.empty()) return 0;
    dc->path.types.back() |= PT_CLOSEFIGURE;
    dc->path.newFigure = true;
    return 1;
}

BOOL FillPath(HDC dc) { return dc && dc->path.state == PathState::Closed ? (dc->path.clear(), 1) : 0; }
BOOL StrokePath(HDC dc) { return FillPath(dc); }
BOOL StrokeAndFillPath(HDC dc) { return FillPath(dc); }

}  // namespace kelvane::gdi

namespace kelvane::gdi {

bool recordingPath(const DeviceContext* dc) { return dc && dc->path.state == PathState::Open; }

void pathLineTo(DeviceContext* dc, POINT p) {
    PathData& path = dc->path;
    if (path.newFigure) {
        path.points.push_back(dc->position);
        path.types.push_back(PT_MOVETO);
        path.newFigure = false;
    }
    path.points.push_back(p);
    path.types.push_back(PT_LINETO);
}

void pathMoveTo(DeviceContext* dc) { dc->path.newFigure = true; }

}  // namespace kelvane::gdi
