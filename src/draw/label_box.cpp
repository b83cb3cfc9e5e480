// Label boxes of bar values, running totals and pie slices.
#include "draw/label_box.h"

#include <algorithm>
#include <climits>

#include "draw/drawing_area.h"
#include "draw/gradient.h"
#include "raster/cdib.h"

namespace kelvane {

using namespace gdi;

Colour Darkened(Colour c) {
    Colour out = 0;
    for (int shift : {0, 8, 16}) {
        const int channel = std::max(0, int((uint32_t(c) >> shift) & 0xFF) - 50);
        out |= Colour(channel) << shift;
    }
    return out;
}

namespace {

int32_t toLong(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

void PaintLabelBox(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t bx, int32_t by,
                   Colour beneath, Colour tint, int32_t opacity) {
    const int32_t width = AddLng(SubLng(right, left), MulLng(2, bx));
    const int32_t height = AddLng(SubLng(bottom, top), MulLng(2, by));
    if (!cDIB32::Fits(width, height)) return;
    // Only the part on the canvas is made and tinted, each pixel as it would be in the whole box
    // (the tint's gradient is measured from the box's corner). A box wholly off the canvas is
    // still tinted in one pixel, so that a bad opacity fails as it does on the canvas.
    const int64_t x0 = int64_t{left} - bx, y0 = int64_t{top} - by;
    int32_t areaW = 0, areaH = 0;
    DrawingArea(dc, areaW, areaH);
    const int64_t l = std::max<int64_t>(x0, 0), t = std::max<int64_t>(y0, 0);
    int64_t r = std::min<int64_t>(x0 + width, areaW), b = std::min<int64_t>(y0 + height, areaH);
    const bool seen = l < r && t < b;
    if (!seen) r = l + 1, b = t + 1;
    const int64_t sx = l - x0, sy = t - y0;  // where the part starts in the whole box
    cDIB32 box;
    if (!box.Create(int32_t(r - l), int32_t(b - t), beneath)) return;
    mGradient::BlendGradient(box, toLong(x0 - sx), toLong(y0 - sy), toLong(int64_t{right} + bx - sx),
                             toLong(int64_t{bottom} + by - sy), tint, tint, opacity, 1);
    if (seen) box.Paint(dc, int32_t(l), int32_t(t), 1.0f);
}

void FrameLabelBox(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t bx, int32_t by) {
    const int32_t boxLeft = SubLng(left, bx), boxTop = SubLng(top, by);
    const int32_t boxRight = AddLng(right, bx), boxBottom = AddLng(bottom, by);
    MoveToEx(dc, boxLeft, boxTop, nullptr);
    LineTo(dc, boxLeft, boxBottom);
    LineTo(dc, boxRight, boxBottom);
    LineTo(dc, boxRight, boxTop);
    LineTo(dc, boxLeft, boxTop);
}

}  // namespace kelvane
