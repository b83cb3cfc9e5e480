// Painting put off (DeferredPainting): random drawings made at once and made inside a session must
// leave every pixel the same, with pens and brushes that are put off and ones that are not.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

#include "bmp_file.h"
#include "raster/deferred_paint.h"
#include "raster_fill_canvas.h"

namespace kelvane {
namespace {

using namespace gdi;

using Random = std::mt19937;

int pick(Random& random, int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); }

COLORREF colour(Random& random) {
    static const COLORREF kColours[] = {RGB(200, 30, 30), RGB(30, 160, 60), RGB(20, 40, 220), RGB(0, 0, 0),
                                        RGB(255, 255, 255), RGB(120, 120, 120)};
    return kColours[pick(random, 0, 5)];
}

// A point on the circle of radius r about (cx, cy), rounded as the pie's slice points are.
POINT onCircle(Random& random, int cx, int cy, int r) {
    const double a = std::uniform_real_distribution<double>(0, 6.2831853)(random);
    return POINT{LONG(std::lround(cx + r * std::cos(a))), LONG(std::lround(cy + r * std::sin(a)))};
}

// A pen and a brush for the next shape: mostly the kinds that are put off, sometimes others.
void choosePenAndBrush(HDC dc, Random& random, bool others) {
    const int p = pick(random, 0, others ? 9 : 6);
    HPEN pen = p < 4 ? CreatePen(PS_SOLID, pick(random, 0, 1), colour(random))
               : p < 6 ? static_cast<HPEN>(GetStockObject(p == 4 ? BLACK_PEN : NULL_PEN))
               : p < 7 ? CreatePen(PS_INSIDEFRAME, 1, colour(random))
               : p < 8 ? CreatePen(PS_DASH, 1, colour(random))
                       : CreatePen(PS_SOLID, pick(random, 2, 5), colour(random));
    DeleteObject(SelectObject(dc, pen));
    const int b = pick(random, 0, others ? 7 : 5);
    HBRUSH brush = b < 4 ? CreateSolidBrush(colour(random))
                   : b < 6 ? static_cast<HBRUSH>(GetStockObject(b == 4 ? WHITE_BRUSH : NULL_BRUSH))
                           : CreateHatchBrush(HS_DIAGCROSS, colour(random));
    DeleteObject(SelectObject(dc, brush));
    if (others && pick(random, 0, 9) == 0) SetPolyFillMode(dc, pick(random, 0, 1) ? WINDING : ALTERNATE);
    if (pick(random, 0, 5) == 0) SetArcDirection(dc, pick(random, 0, 1) ? AD_CLOCKWISE : AD_COUNTERCLOCKWISE);
}

// Thousands of slices of one pie: mostly whole discs, since most slices are too thin to move
// their rounded points, and some wedges.
void thinSlices(HDC dc, Random& random, bool others) {
    const int cx = pick(random, 30, 130), cy = pick(random, 30, 90), r = pick(random, 10, 70);
    POINT start = onCircle(random, cx, cy, r);
    for (int i = 0; i < 400; ++i) {
        if (pick(random, 0, 19) == 0) choosePenAndBrush(dc, random, others);
        else DeleteObject(SelectObject(dc, CreateSolidBrush(colour(random))));
        const POINT end = pick(random, 0, 5) == 0 ? onCircle(random, cx, cy, r) : start;
        Pie(dc, cx - r, cy - r, cx + r, cy + r, end.x, end.y, start.x, start.y);
        start = end;
    }
}

// Pies and open arcs on boxes of every kind: partly off the canvas, inverted, tiny, huge.
void manyBoxes(HDC dc, Random& random, bool others) {
    for (int i = 0; i < 150; ++i) {
        choosePenAndBrush(dc, random, others);
        const int kind = pick(random, 0, 9);
        const int scale = kind == 0 ? 200000 : kind == 1 ? 3 : 120;
        const int l = pick(random, -scale / 2, scale), t = pick(random, -scale / 2, scale);
        const int r = l + pick(random, -scale, scale), b = t + pick(random, -scale, scale);
        const int x0 = pick(random, -scale, scale), y0 = pick(random, -scale, scale);
        const int x1 = pick(random, 0, 3) == 0 ? x0 : pick(random, -scale, scale);
        const int y1 = pick(random, 0, 3) == 0 ? y0 : pick(random, -scale, scale);
        if (pick(random, 0, 1)) {
            Pie(dc, l, t, r, b, x0, y0, x1, y1);
        } else {
            MoveToEx(dc, pick(random, -20, 180), pick(random, -20, 140), nullptr);
            ArcTo(dc, l, t, r, b, x0, y0, x1, y1);
        }
    }
}

// Faces of a solid pie: paths of arcs and lines, filled, or filled and stroked.
void pathFaces(HDC dc, Random& random, bool others) {
    const int cx = pick(random, 40, 120), cy = pick(random, 30, 90), r = pick(random, 8, 70), h = pick(random, 4, 2 * r);
    for (int i = 0; i < 250; ++i) {
        choosePenAndBrush(dc, random, others);
        const int depth = pick(random, 0, 15);
        const POINT a = onCircle(random, cx, cy, r), b = pick(random, 0, 2) == 0 ? a : onCircle(random, cx, cy, r);
        MoveToEx(dc, pick(random, 0, 1) ? cx : a.x, cy + depth, nullptr);
        BeginPath(dc);
        ArcTo(dc, cx - r, cy - h / 2 + depth, cx + r, cy - h / 2 + h + depth, a.x, a.y + depth, b.x, b.y + depth);
        if (pick(random, 0, 1)) LineTo(dc, b.x, b.y);
        if (pick(random, 0, 1)) {
            SetArcDirection(dc, AD_CLOCKWISE);
            ArcTo(dc, cx - r, cy - h / 2, cx + r, cy - h / 2 + h, b.x, b.y, a.x, a.y);
            SetArcDirection(dc, AD_COUNTERCLOCKWISE);
        }
        if (pick(random, 0, 4) == 0) CloseFigure(dc);
        if (pick(random, 0, 4) == 0) {
            MoveToEx(dc, pick(random, -10, 170), pick(random, -10, 130), nullptr);
            LineTo(dc, pick(random, -10, 170), pick(random, -10, 130));
        }
        EndPath(dc);
        const int use = pick(random, 0, 2);
        if (use == 0) FillPath(dc);
        else if (use == 1) StrokeAndFillPath(dc);
        else StrokePath(dc);
        if (pick(random, 0, 1)) ArcTo(dc, cx - r, cy - h / 2 + depth, cx + r, cy - h / 2 + h + depth, b.x, b.y, a.x, a.y);
    }
}

// Lines, long and short, on and off the canvas, some far beyond 32-bit products.
void lines(HDC dc, Random& random, bool others) {
    for (int i = 0; i < 300; ++i) {
        if (pick(random, 0, 9) == 0) choosePenAndBrush(dc, random, others);
        const int scale = pick(random, 0, 9) == 0 ? 2000000000 : 200;
        MoveToEx(dc, pick(random, -scale, scale), pick(random, -scale, scale), nullptr);
        LineTo(dc, pick(random, -scale, scale), pick(random, -scale, scale));
        LineTo(dc, pick(random, -20, 180), pick(random, -20, 140));
    }
}

struct Scene {
    const char* name;
    std::function<void(HDC, Random&, bool)> draw;
};

// Deletes the pen and brush a scene left selected (the context does not own them).
void releaseObjects(HDC dc) {
    DeleteObject(SelectObject(dc, GetStockObject(BLACK_PEN)));
    DeleteObject(SelectObject(dc, GetStockObject(WHITE_BRUSH)));
}

std::string pixels(const test::FillCanvas& canvas) {
    std::string out;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            const COLORREF c = canvas.at(x, y);
            out.append({char(GetRValue(c)), char(GetGValue(c)), char(GetBValue(c))});
        }
    return out;
}

TEST(DeferredPainting, LeavesEveryPixelAsPaintingAtOnce) {
    const std::vector<Scene> scenes = {
        {"thin slices of one pie", thinSlices},
        {"pies and arcs on boxes of every kind", manyBoxes},
        {"faces made of paths", pathFaces},
        {"lines", lines},
    };
    for (const Scene& scene : scenes) {
        for (bool others : {false, true}) {
            for (unsigned seed = 1; seed <= 6; ++seed) {
                test::FillCanvas direct(160, 120), deferred(160, 120);
                Random a(seed), b(seed);
                scene.draw(direct.dc(), a, others);
                {
                    const DeferredPainting session(deferred.dc());
                    scene.draw(deferred.dc(), b, others);
                }
                releaseObjects(direct.dc());
                releaseObjects(deferred.dc());
                ASSERT_EQ(pixels(direct), pixels(deferred))
                    << scene.name << (others ? ", with pens and brushes painted at once" : "") << ", seed " << seed;
                EXPECT_EQ(test::currentPosition(direct.dc()).x, test::currentPosition(deferred.dc()).x) << scene.name;
                EXPECT_EQ(test::currentPosition(direct.dc()).y, test::currentPosition(deferred.dc()).y) << scene.name;
            }
        }
    }
}

TEST(DeferredPainting, NothingIsPutOffOnATracedContext) {
    test::FillCanvas canvas(20, 20);
    const std::string script = test::tempDir() + "/deferred.txt";
    StartTrace(canvas.dc(), script.c_str());
    {
        const DeferredPainting session(canvas.dc());
        EXPECT_TRUE(CallsTraced(canvas.dc()));
        Pie(canvas.dc(), 2, 2, 18, 18, 18, 10, 18, 10);
        EXPECT_NE(canvas.map().find('#'), std::string::npos);  // painted at once
    }
    StopTrace(canvas.dc());
    EXPECT_FALSE(CallsTraced(canvas.dc()));
    std::filesystem::remove_all(std::filesystem::path(script).parent_path());
}

}  // namespace
}  // namespace kelvane
