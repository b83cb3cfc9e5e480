#!/usr/bin/env python3
"""Writes tests/reference/region.txt: polygon regions (CreatePolygonRgn, ALTERNATE) painted with
FillRgn, for the reference renderer and our replay.

Random polygons from 3 to 40 points and from a pixel to a few hundred pixels across, convex,
concave and self-intersecting, partly or wholly off the canvas, with far-away corners; slivers,
tiny shapes, stars, axis-aligned rectangles and staircases (where the band structure shows),
collinear, repeated and two-point shapes (empty regions), several regions over each other, and
the chart's 3D walls and faces. Deterministic: fixed seed, standard library only. Run from
anywhere.
"""
import random

import refgen
from refgen import Script, points


def main():
    rnd = random.Random(20240812)
    script = Script('region', '# Polygon region cases, written by gen_region.py; do not edit by hand.')
    case = script.case

    def colour():
        return refgen.colour(rnd, green=0x00C000)

    def rgn(p):
        return 'rgnfill %s %s' % (points(p), colour())

    def size():
        return refgen.canvas_size(rnd)

    # The chart: a wall or face outlined by Polygon, then its four points filled as a region.
    for i in range(24):
        w, h = size()
        p = refgen.chart_wall_or_face(rnd, w, h, face=i % 2 == 1)
        body = ['pen 0 1 0x000000', 'brush %s' % colour(), 'polygon ' + points(p), rgn(p)]
        case('chart_%s' % ('wall' if i % 2 == 0 else 'face'), w, h, body)

    # Random polygons, small to a few hundred pixels across.
    for i in range(120):
        w, h = size()
        k = rnd.choice([3, 3, 4, 5, 6, 8, 12, 20, 40])
        span = rnd.choice([4, 16, 64, 128, 400])
        cx, cy = rnd.randint(-10, w + 10), rnd.randint(-10, h + 10)
        p = [(cx + rnd.randint(-span, span), cy + rnd.randint(-span, span)) for _ in range(k)]
        case('random_%d_points' % k, w, h, [rgn(p)])

    # Convex shapes in both orientations.
    for i in range(24):
        w, h = size()
        p = refgen.convex_points(rnd, w, h, 16, reverse=i % 2 == 1)
        case('convex', w, h, [rgn(p)])

    # Stars: only the odd-crossing parts are in the region.
    for i in range(12):
        w, h = size()
        k = rnd.choice([5, 7, 9])
        step = rnd.choice([2, 3]) if k != 9 else 2
        cx, cy, r = w // 2, h // 2, rnd.randint(6, max(w, h))
        p = refgen.star_points(cx, cy, r, k, step)
        case('star', w, h, [rgn(p)])

    # Axis-aligned rectangles and staircases: edges exactly on pixel boundaries.
    for i in range(20):
        w, h = size()
        if i % 2 == 0:
            l, t = rnd.randint(-5, w), rnd.randint(-5, h)
            r, b = l + rnd.randint(-10, 40), t + rnd.randint(-10, 40)
            p = [(l, t), (r, t), (r, b), (l, b)]
            name = 'rectangle'
        else:
            x, y = rnd.randint(0, w // 2), rnd.randint(0, h // 2)
            p = [(x, y)]
            for s in range(rnd.randint(2, 6)):
                x += rnd.randint(1, 8)
                p.append((x, y))
                y += rnd.randint(1, 8)
                p.append((x, y))
            p.append((p[0][0], y))
            name = 'staircase'
        case(name, w, h, [rgn(p)])

    # Slivers and tiny shapes.
    for i in range(36):
        w, h = size()
        x0, y0 = rnd.randint(-5, w), rnd.randint(-5, h)
        kind = i % 3
        if kind == 0:
            dx, dy = rnd.randint(-80, 80), rnd.randint(-3, 3)
            p = [(x0, y0), (x0 + dx, y0 + dy), (x0 + dx, y0 + dy + rnd.randint(0, 2)), (x0, y0 + rnd.randint(0, 2))]
            name = 'sliver_flat'
        elif kind == 1:
            dx, dy = rnd.randint(-3, 3), rnd.randint(-80, 80)
            p = [(x0, y0), (x0 + dx, y0 + dy), (x0 + dx + rnd.randint(0, 2), y0 + dy), (x0 + rnd.randint(0, 2), y0)]
            name = 'sliver_steep'
        else:
            p = [(x0 + rnd.randint(-3, 3), y0 + rnd.randint(-3, 3)) for _ in range(3)]
            name = 'tiny'
        case(name, w, h, [rgn(p)])

    # Empty regions: fewer than three points, collinear or repeated points.
    for i in range(12):
        w, h = size()
        x0, y0 = rnd.randint(0, w), rnd.randint(0, h)
        kind = i % 4
        if kind == 0:
            p = []
        elif kind == 1:
            p = [(x0, y0)]
        elif kind == 2:
            p = [(x0, y0), (rnd.randint(0, w), rnd.randint(0, h))]
        else:
            dx, dy = rnd.randint(-6, 6), rnd.randint(-6, 6)
            p = [(x0 + j * dx, y0 + j * dy) for j in range(4)]
        case('empty_%d_points' % len(p), w, h, [rgn(p), rgn([(1, 1), (w - 2, 3), (4, h - 2)])])

    # Far corners (within the range the reference renderer's regions accept).
    for i in range(16):
        w, h = size()
        p = refgen.far_corners(rnd, w, h, [10, 14, 18, 20])
        case('far_corners', w, h, [rgn(p)])

    # Wholly off the canvas.
    for i in range(6):
        w, h = size()
        off = [(w + 1, 0), (-30, 0), (0, h + 1), (0, -30)][i % 4]
        p = [(rnd.randint(0, 25) + off[0], rnd.randint(0, 25) + off[1]) for _ in range(4)]
        case('off_canvas', w, h, [rgn(p)])

    # Several regions over each other.
    for i in range(12):
        w, h = size()
        body = []
        for k in range(rnd.randint(2, 5)):
            body.append(rgn([(rnd.randint(-5, w + 5), rnd.randint(-5, h + 5)) for _ in range(rnd.randint(3, 8))]))
        case('layered', w, h, body, bg='0xF0F0F0')

    script.write()


if __name__ == '__main__':
    main()
