// Canvas creation from the template's format.
#include "chart/canvas.h"

#include <algorithm>

namespace kelvane {

using namespace gdi;

bool Canvas::create(int32_t width, int32_t height, const RECT& painted) {
    release();
    if (width == 0) width = kTemplateSide;
    if (height == 0) height = kTemplateSide;
    // A negative height would ask for a top-down section: refused like a negative width.
    if (width < 0 || height < 0) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    if (!m_section.create(&info)) return false;
    // The template's pixels, stretched to the requested size, are white: in bands above, below,
    // left and right of the painted box (the whole canvas when the box is empty).
    RECT inner;
    SetRect(&inner, std::max<LONG>(painted.left, 0), std::max<LONG>(painted.top, 0),
            std::min<LONG>(painted.right, width), std::min<LONG>(painted.bottom, height));
    if (inner.left >= inner.right || inner.top >= inner.bottom) SetRect(&inner, 0, 0, 0, 0);
    const RECT bands[4] = {{0, 0, width, inner.top},
                           {0, inner.bottom, width, height},
                           {0, inner.top, inner.left, inner.bottom},
                           {inner.right, inner.top, width, inner.bottom}};
    const HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    for (const RECT& band : bands)
        if (band.left < band.right && band.top < band.bottom) FillRect(dc(), &band, white);
    return true;
}

}  // namespace kelvane
