// Canvas creation from the template's format.
#include "chart/canvas.h"

namespace kelvane {

using namespace gdi;

bool Canvas::create(int32_t width, int32_t height, bool paintedOver) {
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
    // The template's pixels, stretched to the requested size, are white.
    if (!paintedOver) {
        RECT all;
        SetRect(&all, 0, 0, width, height);
        FillRect(dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    return true;
}

}  // namespace kelvane
