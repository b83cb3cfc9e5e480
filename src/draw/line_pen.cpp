// Line-mode pens.
#include "draw/line_pen.h"

namespace kelvane {

using namespace gdi;

HPEN CreateLinePen(int32_t width, Colour colour, int16_t mode) {
    if (mode < 0 || mode > 5) Raise(kErrSubscript);
    const LOGBRUSH brush{BS_SOLID, COLORREF(colour), 0};
    // The width goes to the platform unchanged, negative or zero included.
    return ExtCreatePen(kLinePenStyle, DWORD(width), &brush, 4, kLineModePatterns[mode]);
}

LinePen::LinePen(HDC dc, int32_t width, Colour colour, int16_t mode)
    : m_dc(dc), m_pen(CreateLinePen(width, colour, mode)) {
    if (m_pen) m_previous = SelectObject(dc, m_pen);
}

LinePen::~LinePen() {
    if (m_previous) SelectObject(m_dc, m_previous);
    if (m_pen) DeleteObject(m_pen);
}

}  // namespace kelvane
