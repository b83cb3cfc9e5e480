// DIB sections in their own memory contexts.
#include "raster/dib_section.h"

#include <utility>

namespace kelvane::gdi {

bool DibSection::create(const BITMAPINFO* info) {
    release();
    m_dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(m_dc, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!m_bitmap) {
        // The context alone is of no use; keep neither.
        release();
        return false;
    }
    m_previous = SelectObject(m_dc, m_bitmap);
    m_bits = static_cast<uint8_t*>(bits);
    return true;
}

void DibSection::release() {
    if (m_dc && m_previous) SelectObject(m_dc, m_previous);
    if (m_bitmap) DeleteObject(m_bitmap);
    if (m_dc) DeleteDC(m_dc);
    m_dc = nullptr;
    m_bitmap = nullptr;
    m_previous = nullptr;
    m_bits = nullptr;
}

void DibSection::handOver(HDC& dc, HBITMAP& bitmap) {
    dc = std::exchange(m_dc, nullptr);
    bitmap = std::exchange(m_bitmap, nullptr);
    m_previous = nullptr;
    m_bits = nullptr;
}

}  // namespace kelvane::gdi
