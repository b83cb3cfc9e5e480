// Label boxes are made and tinted only where they meet the canvas: the canvas shows what the
// whole box would have shown, and the failures of the whole box stay.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "draw/gradient.h"
#include "draw/label_box.h"
#include "error_raised.h"
#include "raster/cdib.h"
#include "raster_fill_canvas.h"

namespace kelvane {
namespace {

using namespace gdi;
using test::errorRaisedBy;
using test::FillCanvas;

struct Box {
    int32_t left, top, right, bottom, bx, by;
};

std::string pixels(const FillCanvas& c) {
    std::string s;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) s += std::to_string(c.at(x, y)) + (x + 1 < c.width() ? " " : "\n");
    return s;
}

// The canvas after the box is made whole, tinted and painted.
std::string wholeBox(const Box& b, Colour beneath, Colour tint, int32_t opacity) {
    FillCanvas c(60, 40, RGB(20, 140, 220));
    cDIB32 box;
    if (box.Create(b.right - b.left + 2 * b.bx, b.bottom - b.top + 2 * b.by, beneath)) {
        mGradient::BlendGradient(box, b.left - b.bx, b.top - b.by, b.right + b.bx, b.bottom + b.by, tint, tint,
                                 opacity, 1);
        box.Paint(c.dc(), b.left - b.bx, b.top - b.by, 1.0f);
    }
    return pixels(c);
}

std::string labelBox(const Box& b, Colour beneath, Colour tint, int32_t opacity) {
    FillCanvas c(60, 40, RGB(20, 140, 220));
    PaintLabelBox(c.dc(), b.left, b.top, b.right, b.bottom, b.bx, b.by, beneath, tint, opacity);
    return pixels(c);
}

TEST(LabelBox, TheCanvasShowsWhatTheWholeBoxWouldShow) {
    const std::vector<Box> boxes = {
        {10, 10, 30, 24, 2, 1},       // inside
        {-15, 5, 12, 20, 3, 3},       // off the left
        {45, -9, 80, 6, 1, 2},        // off the top right
        {20, 30, 35, 58, 4, 0},       // off the bottom
        {-500, -300, 900, 700, 5, 5}, // round the whole canvas
        {70, 50, 90, 60, 1, 1},       // beside it
    };
    struct Tint {
        Colour beneath, tint;
        int32_t opacity;
    };
    const std::vector<Tint> tints = {{0xFFFFFF, 0x3366CC, 60}, {0x00FF00, 0x0000FF, 33}, {0x808080, 0x818181, 50}};
    for (const Box& b : boxes)
        for (const Tint& t : tints)
            EXPECT_EQ(labelBox(b, t.beneath, t.tint, t.opacity), wholeBox(b, t.beneath, t.tint, t.opacity))
                << b.left << "," << b.top << " " << t.opacity;
}

TEST(LabelBox, BoxesOffTheCanvasFailAsTheWholeBoxWould) {
    FillCanvas c(60, 40);
    const std::string before = pixels(c);
    // An opacity beyond 100 overflows the tint, seen or not.
    for (const Box& b : {Box{10, 10, 30, 24, 1, 1}, Box{500, 500, 520, 514, 1, 1}})
        EXPECT_EQ(errorRaisedBy([&] { PaintLabelBox(c.dc(), b.left, b.top, b.right, b.bottom, 1, 1, 0, 0xFFFFFF, 150); }),
                  kErrOverflow);
    // A box whose bytes do not fit 32 bits overflows; one too large to make draws nothing.
    EXPECT_EQ(errorRaisedBy([&] { PaintLabelBox(c.dc(), 0, 0, 30000, 30000, 0, 0, 0, 0xFFFFFF, 50); }), kErrOverflow);
    PaintLabelBox(c.dc(), 0, 0, 40000, 100, 0, 0, 0, 0xFFFFFF, 50);
    PaintLabelBox(c.dc(), 0, 0, 20000, 15000, 0, 0, 0, 0xFFFFFF, 50);
    // Offsets that leave no height: no box.
    PaintLabelBox(c.dc(), 10, 10, 30, 24, 1, -9, 0, 0xFFFFFF, 50);
    EXPECT_EQ(pixels(c), before);
}

}  // namespace
}  // namespace kelvane
