// Label boxes of bar values, running totals and pie slices.
#include "draw/label_box.h"

#include <algorithm>

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

void PaintLabelBox(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t bx, int32_t by,
                   Colour beneath, Colour tint, int32_t opacity) {
    cDIB32 box;
    if (!box.Create(AddLng(SubLng(right, left), MulLng(2, bx)), AddLng(SubLng(bottom, top), MulLng(2, by)), beneath))
        return;
    const int32_t boxLeft = SubLng(left, bx), boxTop = SubLng(top, by);
    mGradient::BlendGradient(box, boxLeft, boxTop, AddLng(right, bx), AddLng(bottom, by), tint, tint, opacity, 1);
    box.Paint(dc, boxLeft, boxTop, 1.0f);
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
