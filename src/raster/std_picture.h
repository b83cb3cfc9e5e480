// A picture object: owns one bitmap, as the platform's picture objects do for the loaders and
// the DIB surfaces.
#pragma once

#include <utility>

#include "kelvane/gdi.h"
#include "raster/gdi_handles.h"

namespace kelvane {

class StdPicture {
public:
    static constexpr int kPictypeNone = 0;
    static constexpr int kPictypeBitmap = 1;

    StdPicture() = default;
    explicit StdPicture(gdi::HBITMAP bitmap) : m_bitmap(bitmap) {}

    // The bitmap handle; null for an empty picture.
    gdi::HBITMAP Handle() const { return m_bitmap.get(); }
    int Type() const { return m_bitmap ? kPictypeBitmap : kPictypeNone; }
    bool empty() const { return !m_bitmap; }

private:
    gdi::Owned<gdi::HBITMAP> m_bitmap;
};

}  // namespace kelvane
