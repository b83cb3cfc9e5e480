// Canvas creation from the template's format and release.
#include "chart/canvas.h"


namespace kelvane {

using namespace gdi;

namespace {

// The canvas template is a 21 x 21, 24-bit white bitmap; a requested side of 0 keeps its size.
constexpr int32_t kTemplateSide = 21;

}  // namespace

bool Canvas::create(int32_t width, int32_t height) {
    release();
    if (width == 0) width = kTemplateSide;
    if (height == 0) height = kTemplateSide;
    dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    if (width > 0 && height > 0)
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) {
        // The context alone is useless for drawing; keep neither.
        release();
        return false;
    }
    previousBitmap = SelectObject(dc, bitmap);
    // The template's pixels, stretched to the requested size, are white.
    RECT all;
    SetRect(&all, 0, 0, width, height);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return true;
}

void Canvas::release() {
    if (dc && previousBitmap) SelectObject(dc, previousBitmap);
    if (bitmap) DeleteObject(bitmap);
    if (dc) DeleteDC(dc);
    dc = nullptr;
    bitmap = nullptr;
    previousBitmap = nullptr;
}

}  // namespace kelvane
