// Paths: recording lines and arcs into figures, FillPath closing open figures, StrokePath and
// StrokeAndFillPath, the fill modes, where figures start after CloseFigure and ArcTo, the path
// being used up, Bézier flattening, and bad input.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <vector>

#include "raster/bezier.h"
#include "raster/objects.h"
#include "raster_fill_canvas.h"

namespace kelvane {
namespace {

using namespace gdi;
using test::currentPosition;
using test::FillCanvas;
using test::Selected;
using test::Stopwatch;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// Pixel maps below were drawn by the reference renderer.

TEST(Path, FillPathFillsAnOpenFigureAsIfItWereClosed) {
    FillCanvas c(12, 10);
    Selected brush(c.dc(), CreateSolidBrush(kBlue));
    ASSERT_TRUE(BeginPath(c.dc()));
    MoveToEx(c.dc(), 1, 1, nullptr);
    LineTo(c.dc(), 10, 1);
    LineTo(c.dc(), 1, 8);
    EXPECT_EQ(c.count(kWhite), 12 * 10);  // recording draws nothing
    ASSERT_TRUE(EndPath(c.dc()));
    ASSERT_TRUE(FillPath(c.dc()));
    EXPECT_EQ(c.map(),
              "............\n"
              ".#########..\n"
              ".########...\n"
              ".#######....\n"
              ".######.....\n"
              ".####.......\n"
              ".###........\n"
              ".##.........\n"
              "............\n"
              "............\n");
}

TEST(Path, StrokePathLeavesOpenFiguresOpenAndStrokeAndFillPathClosesThem) {
    auto draw = [](bool fill) {
        auto c = std::make_unique<FillCanvas>(20, 20);
        SelectObject(c->dc(), GetStockObject(NULL_BRUSH));
        BeginPath(c->dc());
        MoveToEx(c->dc(), 2, 2, nullptr);
        LineTo(c->dc(), 17, 2);
        LineTo(c->dc(), 17, 17);
        EndPath(c->dc());
        fill ? StrokeAndFillPath(c->dc()) : StrokePath(c->dc());
        return c;
    };
    const auto open = draw(false), closed = draw(true);
    EXPECT_EQ(open->at(9, 9), kWhite);
    EXPECT_EQ(closed->at(9, 9), RGB(0, 0, 0));  // on the closing diagonal
    EXPECT_EQ(open->count(RGB(0, 0, 0)), 30);
}

TEST(Path, WindingFillsTheOverlapOfTwoLikeTurningSquaresThatAlternateLeavesEmpty) {
    for (int mode : {ALTERNATE, WINDING}) {
        FillCanvas c(20, 20);
        Selected brush(c.dc(), CreateSolidBrush(kBlue));
        EXPECT_NE(SetPolyFillMode(c.dc(), mode), 0);
        BeginPath(c.dc());
        const POINT squares[2][4] = {{{2, 2}, {12, 2}, {12, 12}, {2, 12}}, {{7, 7}, {17, 7}, {17, 17}, {7, 17}}};
        for (const auto& sq : squares) {
            MoveToEx(c.dc(), sq[0].x, sq[0].y, nullptr);
            for (int i = 1; i < 4; ++i) LineTo(c.dc(), sq[i].x, sq[i].y);
            CloseFigure(c.dc());
        }
        EndPath(c.dc());
        ASSERT_TRUE(FillPath(c.dc()));
        EXPECT_EQ(c.at(9, 9), mode == WINDING ? kBlue : kWhite);
        EXPECT_EQ(c.at(4, 4), kBlue);
        EXPECT_EQ(c.at(15, 15), kBlue);
    }
}

TEST(Path, AfterCloseFigureTheNextLineStartsAtTheFiguresLastPoint) {
    FillCanvas c(16, 12);
    SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
    BeginPath(c.dc());
    MoveToEx(c.dc(), 1, 1, nullptr);
    LineTo(c.dc(), 10, 1);
    LineTo(c.dc(), 10, 6);
    ASSERT_TRUE(CloseFigure(c.dc()));
    LineTo(c.dc(), 14, 10);
    EndPath(c.dc());
    ASSERT_TRUE(StrokePath(c.dc()));
    EXPECT_EQ(c.map(),
              "................\n"
              ".##########.....\n"
              "..##......#.....\n"
              "....##....#.....\n"
              "......##..#.....\n"
              "........###.....\n"
              "..........#.....\n"
              "...........#....\n"
              "............#...\n"
              ".............#..\n"
              "................\n"
              "................\n");
}

TEST(Path, ArcToCurvesAreFlattenedLikeTheReferenceRenderersBeziers) {
    FillCanvas c(20, 20);
    MoveToEx(c.dc(), 1, 18, nullptr);
    BeginPath(c.dc());
    ASSERT_TRUE(ArcTo(c.dc(), 2, 2, 19, 19, 30, 10, 10, -30));
    // The path goes on from the curve's last point; the position is on the ideal ellipse.
    EXPECT_EQ(currentPosition(c.dc()).x, 10);
    EXPECT_EQ(currentPosition(c.dc()).y, 2);
    LineTo(c.dc(), 1, 1);
    EndPath(c.dc());
    ASSERT_TRUE(StrokePath(c.dc()));
    EXPECT_EQ(c.map(),
              "....................\n"
              "..####..............\n"
              "......######........\n"
              "............###.....\n"
              "...............##...\n"
              "................#...\n"
              ".................#..\n"
              ".................#..\n"
              ".................#..\n"
              "..................#.\n"
              ".................##.\n"
              "...............##...\n"
              ".............##.....\n"
              "...........##.......\n"
              ".........##.........\n"
              ".......##...........\n"
              ".....##.............\n"
              "...##...............\n"
              ".##.................\n"
              "....................\n");
    EXPECT_EQ(currentPosition(c.dc()).x, 1);
}

TEST(Path, UsingAPathUsesItUpAndOnlyAnEndedPathCanBeUsed) {
    FillCanvas c(10, 10);
    EXPECT_FALSE(EndPath(c.dc()));
    EXPECT_FALSE(FillPath(c.dc()));
    ASSERT_TRUE(BeginPath(c.dc()));
    EXPECT_FALSE(CloseFigure(c.dc()));  // nothing to close yet
    MoveToEx(c.dc(), 1, 1, nullptr);
    LineTo(c.dc(), 8, 8);
    EXPECT_FALSE(StrokePath(c.dc()));  // not ended
    ASSERT_TRUE(EndPath(c.dc()));
    EXPECT_TRUE(LineTo(c.dc(), 2, 8));
    EXPECT_LT(c.count(kWhite), 100);  // no longer recording: drawn at once
    ASSERT_TRUE(StrokePath(c.dc()));
    EXPECT_FALSE(StrokePath(c.dc()));
    ASSERT_TRUE(BeginPath(c.dc()));
    LineTo(c.dc(), 5, 0);
    ASSERT_TRUE(AbortPath(c.dc()));
    EXPECT_FALSE(EndPath(c.dc()));
}

TEST(Path, BezierFlatteningEndsOnTheEndPointAndKeepsStraightCurvesStraight) {
    std::vector<POINT> out;
    flattenBezier(POINT{0, 0}, POINT{10, 0}, POINT{20, 0}, POINT{30, 0}, out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].x, 30);
    out.clear();
    flattenBezier(POINT{0, 0}, POINT{0, 100}, POINT{100, 100}, POINT{100, 0}, out);
    ASSERT_GT(out.size(), 8u);
    EXPECT_LE(out.size(), 256u);  // at most eight halvings
    EXPECT_EQ(out.back().x, 100);
    EXPECT_EQ(out.back().y, 0);
    for (const POINT& p : out) {
        EXPECT_GE(p.x, 0);
        EXPECT_LE(p.x, 100);
        EXPECT_GE(p.y, 0);
        EXPECT_LE(p.y, 75);
    }
}

TEST(Path, ANullContextFails) {
    EXPECT_FALSE(BeginPath(nullptr));
    EXPECT_FALSE(EndPath(nullptr));
    EXPECT_FALSE(AbortPath(nullptr));
    EXPECT_FALSE(CloseFigure(nullptr));
    EXPECT_FALSE(FillPath(nullptr));
    EXPECT_FALSE(StrokePath(nullptr));
    EXPECT_FALSE(StrokeAndFillPath(nullptr));
}

TEST(Path, HugeCoordinatesAndCurvesFinishQuickly) {
    FillCanvas c(64, 48);
    Selected brush(c.dc(), CreateSolidBrush(kBlue));
    Stopwatch watch;
    for (int use = 0; use < 3; ++use) {
        MoveToEx(c.dc(), INT_MAX, INT_MIN, nullptr);
        ASSERT_TRUE(BeginPath(c.dc()));
        ArcTo(c.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MIN, 0, INT_MAX, 0);
        LineTo(c.dc(), 10, 10);
        LineTo(c.dc(), INT_MIN, INT_MAX);
        Arc(c.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX, 1, 1, 2, 2);
        Pie(c.dc(), -60000, -60000, 60000, 60000, 1, 1, 2, 2);
        Ellipse(c.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX);
        ASSERT_TRUE(EndPath(c.dc()));
        ASSERT_TRUE(use == 0 ? FillPath(c.dc()) : use == 1 ? StrokePath(c.dc()) : StrokeAndFillPath(c.dc()));
    }
    EXPECT_LT(watch.ms(), 2000.0);
}

}  // namespace
}  // namespace kelvane
