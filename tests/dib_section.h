// The 24-bit DIB sections the tests' canvases draw into and read pixels back through.
#pragma once

#include "kelvane/gdi.h"

namespace kelvane::test {

// A width x height 24-bit section: top row first when topDown, else bottom-up (as the chart's
// canvas is made). bits, when given, receives the address of its pixels.
inline gdi::HBITMAP createSection24(gdi::HDC dc, int width, int height, bool topDown, void** bits = nullptr) {
    using namespace gdi;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = topDown ? -height : height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits ? bits : &pixels, nullptr, 0);
}

}  // namespace kelvane::test
