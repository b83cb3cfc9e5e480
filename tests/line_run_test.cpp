// A run of lines paints what LineTo to each of its points paints, for every kind of pen, with
// repeated points, stretches far off the surface and moves over them, and ends where LineTo
// would leave the position.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bmp_file.h"
#include "raster/line_run.h"
#include "raster/objects.h"
#include "raster_fill_canvas.h"

namespace kelvane {
namespace {

using namespace gdi;
using test::FillCanvas;
using test::Selected;

constexpr int kWidth = 60, kHeight = 40;

struct Pen {
    const char* name;
    HPEN (*make)();
};

HPEN extPen(DWORD style, DWORD width) {
    const LOGBRUSH brush{BS_SOLID, RGB(0, 0, 200), 0};
    return ExtCreatePen(style, width, &brush, 0, nullptr);
}

const Pen kPens[] = {
    {"one pixel", [] { return CreatePen(PS_SOLID, 1, RGB(200, 0, 0)); }},
    {"width 0", [] { return CreatePen(PS_SOLID, 0, RGB(200, 0, 0)); }},
    {"inside frame", [] { return CreatePen(PS_INSIDEFRAME, 1, RGB(200, 0, 0)); }},
    {"width 2", [] { return CreatePen(PS_SOLID, 2, RGB(200, 0, 0)); }},
    {"width 7", [] { return CreatePen(PS_SOLID, 7, RGB(200, 0, 0)); }},
    {"width -4", [] { return CreatePen(PS_SOLID, -4, RGB(200, 0, 0)); }},
    {"width 70, tracked", [] { return CreatePen(PS_SOLID, 70, RGB(200, 0, 0)); }},
    {"wide dots", [] { return CreatePen(PS_DOT, 3, RGB(200, 0, 0)); }},
    {"dashes", [] { return CreatePen(PS_DASH, 1, RGB(200, 0, 0)); }},
    {"null", [] { return CreatePen(PS_NULL, 1, RGB(200, 0, 0)); }},
    {"geometric one pixel", [] { return extPen(PS_GEOMETRIC | PS_SOLID, 1); }},
    {"geometric dashes", [] { return extPen(PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT, 5); }},
};

// Points as a sampled curve gives them: mostly the same pixel or a neighbour, now and then a
// jump, and excursions far beyond an edge.
std::vector<POINT> wander(std::mt19937& rng, int count) {
    std::vector<POINT> points;
    POINT p{int(rng() % kWidth), int(rng() % kHeight)};
    for (int i = 0; i < count; ++i) {
        const unsigned kind = rng() % 100;
        if (kind < 70) {
            p.x += int(rng() % 3) - 1;
            p.y += int(rng() % 3) - 1;
        } else if (kind < 85) {
            p = POINT{int(rng() % (3 * kWidth)) - kWidth, int(rng() % (3 * kHeight)) - kHeight};
        } else if (kind < 95) {
            const int far = rng() % 2 ? 600 : 100000;
            p = POINT{int(rng() % 5) * far - 2 * far, int(rng() % 5) * far - 2 * far};
        }
        points.push_back(p);
    }
    return points;
}

// Whether the points all lie beyond one edge of the run's reach.
bool beyondOneEdge(const LineRun& run, const std::vector<POINT>& points) {
    auto all = [&](auto&& beyond) {
        for (const POINT& p : points)
            if (!beyond(p)) return false;
        return true;
    };
    return all([&](POINT p) { return p.x < run.left(); }) || all([&](POINT p) { return p.x > run.right(); }) ||
           all([&](POINT p) { return p.y < run.top(); }) || all([&](POINT p) { return p.y > run.bottom(); });
}

struct Drawn {
    std::vector<uint8_t> pixels;
    POINT position;
};

Drawn draw(const Pen& pen, POINT start, const std::vector<POINT>& points, bool asRun, bool traced = false) {
    FillCanvas c(kWidth, kHeight);
    const std::string dir = traced ? test::tempDir() : "";
    if (traced) StartTrace(c.dc(), (dir + "/t.txt").c_str());
    {
        Selected selected(c.dc(), pen.make());
        MoveToEx(c.dc(), start.x, start.y, nullptr);
        if (asRun) {
            LineRun run(c.dc());
            std::vector<POINT> stretch = {start};
            for (size_t i = 0; i < points.size(); ++i) {
                // Moves over the longest stretch a caller could prove to lie beyond one edge,
                // lines elsewhere.
                size_t end = i;
                while (run.merges() && end < points.size()) {
                    stretch.push_back(points[end]);
                    if (!beyondOneEdge(run, stretch)) break;
                    ++end;
                }
                if (end > i + 1) {
                    run.skipTo(points[end - 1]);
                    i = end - 1;
                } else {
                    run.lineTo(points[i]);
                }
                stretch = {points[i]};
            }
        } else {
            for (const POINT& p : points) LineTo(c.dc(), p.x, p.y);
        }
    }
    if (traced) {
        StopTrace(c.dc());
        std::filesystem::remove_all(dir);
    }
    Drawn d;
    const Surface* s = surfaceOf(c.dc());
    d.pixels.assign(s->bits(), s->bits() + s->byteSize());
    MoveToEx(c.dc(), 0, 0, &d.position);
    return d;
}

void expectSame(const Pen& pen, POINT start, const std::vector<POINT>& points, const std::string& what,
                bool traced = false) {
    const Drawn run = draw(pen, start, points, true, traced), each = draw(pen, start, points, false);
    EXPECT_TRUE(run.pixels == each.pixels) << pen.name << ", " << what;
    EXPECT_EQ(run.position.x, each.position.x) << pen.name << ", " << what;
    EXPECT_EQ(run.position.y, each.position.y) << pen.name << ", " << what;
}

TEST(LineRun, PaintsWhatLineToEachPointPaints) {
    std::mt19937 rng(7);
    for (const Pen& pen : kPens) {
        for (int k = 0; k < 12; ++k) {
            const std::vector<POINT> points = wander(rng, 400);
            expectSame(pen, points.front(), points, "wander " + std::to_string(k));
        }
        const std::vector<POINT> points = wander(rng, 100);
        expectSame(pen, points.front(), points, "wander on a traced context", true);
    }
}

TEST(LineRun, LinesOfNoLengthAloneStillShowTheirRoundEnd) {
    const struct {
        const char* name;
        POINT at;
    } cases[] = {{"on the surface", {30, 20}}, {"off it", {-3, 20}}, {"far off", {-5000, 20}}};
    for (const Pen& pen : kPens)
        for (const auto& k : cases) {
            expectSame(pen, k.at, std::vector<POINT>(5, k.at), k.name);
            expectSame(pen, k.at, {}, std::string(k.name) + ", no lines");
        }
}

}  // namespace
}  // namespace kelvane
