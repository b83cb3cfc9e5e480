#!/usr/bin/env python3
"""Writes tests/reference/geompen.txt: geometric pens made with ExtCreatePen.

Flat, square and round caps with bevel, miter and round joins, widths 0 to 8 (and a few wider),
solid, inside-frame, the standard dash styles (which scale with the width) and user styles (odd
and even counts, empty entries on wide pens): lines, polylines and PolylineTo, rectangle and polygon
outlines, sharp turns (miters near their limit). And the chart's line-mode pens, style word
0x00011207 (flat caps, bevel joins, user style) with its six patterns and widths 1 to 5, on
lines in every direction, rectangle and ellipse outlines. Deterministic: fixed seed, standard
library only.
"""
import math
import random

from refgen import (Script, brush_or_null, canvas_size, colour, far_point, line, outline_case, polyline_case,
                    ray, turning_points)

CHART_PATTERNS = [(1, 0, 0, 0), (2, 4, 2, 4), (8, 8, 8, 8), (8, 4, 2, 4), (8, 4, 4, 4), (16, 8, 4, 8)]


def main():
    rnd = random.Random(20240704)
    script = Script('geompen', '# Geometric pen cases, written by gen_geompen.py; do not edit by hand.')

    def pen():
        cap = rnd.choice([0x000, 0x100, 0x200])
        join = rnd.choice([0x0000, 0x1000, 0x2000])
        width = rnd.choice([0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 7, 8, 8, 11, 16])
        k = rnd.random()
        if k < 0.3:
            return 'extpen 0x%X %d %s' % (0x10000 | cap | join | rnd.choice([0, 6]), width, colour(rnd))
        if k < 0.45:
            return 'extpen 0x%X %d %s' % (0x10000 | cap | join | rnd.randint(1, 4), width, colour(rnd))
        # Empty entries only for wide pens: on one-pixel lines the reference renderer handles them
        # inconsistently (clipped lines start in a different state), so they are no reference.
        lengths = [0, 1, 2, 3, 4, 5, 6, 8, 10, 12] if width > 1 else [1, 2, 3, 4, 5, 6, 8, 10, 12]
        d = [rnd.choice(lengths) for _ in range(rnd.randint(1, 6))]
        if not any(d):
            d[0] = 3
        return 'extpen 0x%X %d %s %d %s' % (0x10007 | cap | join, width, colour(rnd), len(d), ' '.join(map(str, d)))

    # The chart's line-mode pens.
    for a, b, c, d in CHART_PATTERNS:
        for width in range(1, 6):
            w, h = rnd.randint(48, 96), rnd.randint(48, 96)
            p = 'extpen 0x00011207 %d %s 4 %d %d %d %d' % (width, colour(rnd), a, b, c, d)
            x0, y0 = rnd.randint(2, w // 3), rnd.randint(2, h // 3)
            x1, y1 = rnd.randint(2 * w // 3, w - 2), rnd.randint(2 * h // 3, h - 2)
            script.case('chart_lines', w, h, [p] + line(x0, y0, x1, y0) + line(x0, y0 + 4, x0, y1) +
                        line(x0 + 4, y0 + 4, x1, y0 + 4 + x1 - x0 - 4) +
                        line(rnd.randint(0, w), rnd.randint(0, h), rnd.randint(0, w), rnd.randint(0, h)))
            script.case('chart_rect', w, h, [p, brush_or_null(rnd), 'rect %d %d %d %d' % (x0, y0, x1, y1)])
            script.case('chart_ellipse', w, h, [p, 'nullbrush', 'ellipse %d %d %d %d' % (x0, y0, x1, y1)])

    # Single lines in every direction.
    for i in range(60):
        w, h = canvas_size(rnd)
        ends = ray(rnd, w, h, [0, 1, 2, 4, 8, 15, 30, 50, 70])
        script.case('line', w, h, [pen()] + line(*ends))

    # Polylines (some with axis-aligned turns and repeated points), PolylineTo, off-canvas parts.
    for i in range(80):
        w, h = canvas_size(rnd)
        pts = turning_points(rnd, w, h, 10, 0.1)
        if rnd.random() < 0.1:
            # Far, but not so far that the reference renderer spends minutes on the dashes.
            pts[0] = far_point(rnd, [10, 11, 12])
        name, body = polyline_case(rnd, w, h, pen, pts, 0.8)
        script.case(name, w, h, body)

    # Sharp turns: miters near their limit.
    for i in range(20):
        w, h = rnd.randint(48, 96), rnd.randint(48, 96)
        p = (rnd.randint(w // 3, 2 * w // 3), rnd.randint(h // 3, 2 * h // 3))
        a = rnd.uniform(0, 2 * math.pi)
        turn = rnd.uniform(math.radians(5), math.radians(20)) * rnd.choice([-1, 1])
        r1, r2 = rnd.randint(10, 40), rnd.randint(10, 40)
        p0 = (p[0] + round(r1 * math.cos(a)), p[1] + round(r1 * math.sin(a)))
        p2 = (p[0] + round(r2 * math.cos(a + turn)), p[1] + round(r2 * math.sin(a + turn)))
        width = rnd.randint(2, 6)
        script.case('sharp', w, h, ['extpen 0x%X %d %s' % (0x12000 | rnd.choice([0x000, 0x100, 0x200]), width,
                                                         colour(rnd)),
                                    'polyline 3 %d %d %d %d %d %d' % (p0 + p + p2)])

    # Rectangle and polygon outlines.
    for i in range(70):
        w, h = canvas_size(rnd)
        name, body = outline_case(rnd, w, h, pen)
        script.case(name, w, h, body)

    script.write()


if __name__ == '__main__':
    main()
