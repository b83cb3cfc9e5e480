// A DIB section selected into its own memory context: the surface behind the chart's canvas and
// the cDIB and cDIB32 classes. Owns both and releases them (the section deselected first).
#pragma once

#include <cstdint>

#include "kelvane/gdi.h"

namespace kelvane::gdi {

class DibSection {
public:
    DibSection() = default;
    ~DibSection() { release(); }
    DibSection(const DibSection&) = delete;
    DibSection& operator=(const DibSection&) = delete;

    // A new section of the header's format (and colour table) in a new memory context, after
    // releasing the old one; false, and nothing kept, when the section cannot be made.
    bool create(const BITMAPINFO* info);
    void release();
    // Gives the context and the section (still selected into it) to a caller that deletes them.
    void handOver(HDC& dc, HBITMAP& bitmap);

    bool exists() const { return m_dc != nullptr && m_bitmap != nullptr; }
    HDC dc() const { return m_dc; }
    HBITMAP bitmap() const { return m_bitmap; }
    uint8_t* bits() const { return m_bits; }

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    uint8_t* m_bits = nullptr;
};

}  // namespace kelvane::gdi
