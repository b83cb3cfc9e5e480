// The objects one drawing call selects into the canvas: every pen, brush and font made through
// the scope is deleted when the call ends, after the ones the call displaced are selected back,
// also when the call fails midway.
#pragma once

#include <vector>

#include "kelvane/gdi.h"

namespace kelvane {

class DrawingScope {
public:
    explicit DrawingScope(gdi::HDC dc);
    ~DrawingScope();
    DrawingScope(const DrawingScope&) = delete;
    DrawingScope& operator=(const DrawingScope&) = delete;

    gdi::HDC dc() const { return m_dc; }
    // Selects an object the call created (null is ignored) and owns it from now on.
    void select(gdi::HGDIOBJ created);
    // Puts the pen that was selected before the call back (the call's own pens stay owned).
    void restorePen();

private:
    gdi::HDC m_dc;
    gdi::HGDIOBJ m_pen, m_brush, m_font;
    std::vector<gdi::HGDIOBJ> m_created;
};

}  // namespace kelvane
