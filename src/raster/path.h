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
    // A line or arc added next starts a new figure at the current position.
    bool newFigure = true;

    void clear() {
        state = PathState::None;
        points.clear();
        types.clear();
        newFigure = true;
    }
};

}  // namespace kelvane::gdi
