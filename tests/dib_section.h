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

// A memory context with a width x height 24-bit section selected (see createSection24). On
// destruction it puts the stock black pen and white brush back, then the context's first bitmap,
// and deletes the section and the context.
class SectionContext {
public:
    SectionContext(int width, int height, bool topDown) {
        using namespace gdi;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = createSection24(m_dc, width, height, topDown);
        m_old = SelectObject(m_dc, m_bitmap);
    }
    ~SectionContext() {
        using namespace gdi;
        SelectObject(m_dc, GetStockObject(BLACK_PEN));
        SelectObject(m_dc, GetStockObject(WHITE_BRUSH));
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    SectionContext(const SectionContext&) = delete;
    SectionContext& operator=(const SectionContext&) = delete;

    gdi::HDC dc() const { return m_dc; }

private:
    gdi::HDC m_dc;
    gdi::HBITMAP m_bitmap;
    gdi::HGDIOBJ m_old;
};

}  // namespace kelvane::test
