// A 400x300 24-bit canvas for the fill benchmarks (polygons, regions, brushes, rectangles).
#pragma once

#include "kelvane/gdi.h"

namespace kelvane::bench {

class FillCanvas {
public:
    FillCanvas(int w = 400, int h = 300) {
        using namespace gdi;
        m_dc = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
    }
    ~FillCanvas() {
        using namespace gdi;
        SelectObject(m_dc, GetStockObject(BLACK_PEN));
        SelectObject(m_dc, GetStockObject(WHITE_BRUSH));
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    FillCanvas(const FillCanvas&) = delete;
    FillCanvas& operator=(const FillCanvas&) = delete;
    gdi::HDC dc() const { return m_dc; }

private:
    gdi::HDC m_dc;
    gdi::HBITMAP m_bitmap;
    gdi::HGDIOBJ m_old;
};

}  // namespace kelvane::bench
