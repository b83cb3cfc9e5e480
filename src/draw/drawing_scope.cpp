// Drawing scopes.
#include "draw/drawing_scope.h"

namespace kelvane {

using namespace gdi;

DrawingScope::DrawingScope(HDC dc)
    : m_dc(dc),
      m_pen(GetCurrentObject(dc, OBJ_PEN)),
      m_brush(GetCurrentObject(dc, OBJ_BRUSH)),
      m_font(GetCurrentObject(dc, OBJ_FONT)) {}

DrawingScope::~DrawingScope() {
    if (m_pen) SelectObject(m_dc, m_pen);
    if (m_brush) SelectObject(m_dc, m_brush);
    if (m_font) SelectObject(m_dc, m_font);
    for (HGDIOBJ object : m_created) DeleteObject(object);
}

void DrawingScope::select(HGDIOBJ created) {
    if (!created) return;
    m_created.push_back(created);
    SelectObject(m_dc, created);
}

void DrawingScope::restorePen() {
    if (m_pen) SelectObject(m_dc, m_pen);
}

}  // namespace kelvane
