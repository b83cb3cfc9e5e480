// A small 24-bit canvas for the fill and curve tests (polygons, regions, brushes, rectangles, arcs,
// paths): a memory context with a DIB section selected, pixel reads, and a text map of which
// pixels changed.
#pragma once

#include <chrono>
#include <cstring>
#include <string>

#include "dib_section.h"
#include "kelvane/gdi.h"

namespace kelvane::test {

class FillCanvas : public SectionContext {
public:
    FillCanvas(int w, int h, gdi::COLORREF background = gdi::RGB(255, 255, 255))
        : SectionContext(w, h, true), m_w(w), m_h(h) {
        fill(background);
        m_background = background;
    }

    int width() const { return m_w; }
    int height() const { return m_h; }
    gdi::COLORREF at(int x, int y) const { return gdi::GetPixel(dc(), x, y); }
    void fill(gdi::COLORREF c) {
        for (int y = 0; y < m_h; ++y)
            for (int x = 0; x < m_w; ++x) gdi::SetPixel(dc(), x, y, c);
    }
    // One character a pixel, rows separated by '\n': '.' for the background, '#' otherwise.
    std::string map() const {
        std::string s;
        for (int y = 0; y < m_h; ++y) {
            for (int x = 0; x < m_w; ++x) s += at(x, y) == m_background ? '.' : '#';
            s += '\n';
        }
        return s;
    }
    int count(gdi::COLORREF c) const {
        int n = 0;
        for (int y = 0; y < m_h; ++y)
            for (int x = 0; x < m_w; ++x) n += at(x, y) == c;
        return n;
    }

private:
    int m_w, m_h;
    gdi::COLORREF m_background = 0;
};

// Selects a new object and deletes it (after putting the stock one back) at the end of scope.
class Selected {
public:
    Selected(gdi::HDC dc, gdi::HGDIOBJ object) : m_dc(dc), m_object(object) { gdi::SelectObject(dc, object); }
    ~Selected() {
        using namespace gdi;
        const DWORD kind = GetObjectType(m_object);
        SelectObject(m_dc, GetStockObject(kind == OBJ_BRUSH ? WHITE_BRUSH : BLACK_PEN));
        DeleteObject(m_object);
    }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    gdi::HDC m_dc;
    gdi::HGDIOBJ m_object;
};

// The context's current position, where the next LineTo or ArcTo starts.
inline gdi::POINT currentPosition(gdi::HDC dc) {
    gdi::POINT p{};
    gdi::GetCurrentPositionEx(dc, &p);
    return p;
}

// Milliseconds since construction.
class Stopwatch {
public:
    double ms() const {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_start).count();
    }

private:
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

}  // namespace kelvane::test
