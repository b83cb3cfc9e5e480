#!/usr/bin/env python3
"""Writes tests/reference/polygon.txt: filled polygons for the reference renderer and our replay.

Polygon under both fill modes (ALTERNATE and WINDING): convex, concave and self-intersecting
shapes, stars, thin slivers, tiny triangles, collinear and repeated points, two-point "polygons"
(the line there and back), reversed orientation, shapes partly or wholly off the canvas and with
far-away corners, outlined by the stock pen, a coloured one-pixel pen, the null pen and a few wide
pens; one- and no-point calls (refused) as well. Plus the chart's 3D walls and faces: a
parallelogram outlined with the black one-pixel pen, then filled again as a region.
Deterministic: fixed seed, standard library only. Run from anywhere.
"""
import math
import random

import refgen
from refgen import Script, points


def main():
    rnd = random.Random(20240811)
    script = Script('polygon', '# Filled polygon cases, written by gen_polygon.py; do not edit by hand.')
    case = script.case

    def colour():
        return refgen.colour(rnd, green=0x00C000)

    def pen():
        return rnd.choice(['stockpen', 'nullpen', 'pen 0 1 %s' % colour(), 'pen 0 0 %s' % colour()])

    def size():
        return refgen.canvas_size(rnd)

    def fill(body, p, mode=None):
        mode = mode or rnd.choice([1, 2])
        return body + ['polyfill %d' % mode, 'brush %s' % colour(), 'polygon ' + points(p)]

    # The chart: side walls (left edge vertical, receding by dx, dy) and top faces, outlined with
    # the black pen in the current brush, then the same four points filled as a region.
    for i in range(30):
        w, h = size()
        p = refgen.chart_wall_or_face(rnd, w, h, face=i % 2 == 1)
        name = 'chart_face' if i % 2 else 'chart_wall'
        body = ['pen 0 1 0x000000', 'brush %s' % colour(), 'polygon ' + points(p)]
        if i % 3 != 2:
            body.append('rgnfill %s %s' % (points(p), colour()))
        case(name, w, h, body)

    # The chart's 3D bars: the front as a rectangle, the top face outlined, both faces filled as
    # regions in the darker colour, then the receding edges drawn as lines; and the plot's back
    # wall and floor.
    for i in range(24):
        w, h = size()
        dx, dy = rnd.randint(5, 20), rnd.randint(5, 20)
        x = rnd.randint(-4, w - 10)
        right = x + rnd.randint(3, 30)
        bottom = rnd.randint(dy + 2, h + 2)
        top = rnd.randint(dy - 3, bottom)
        top_face = [(x, top), (right, top), (right + dx, top - dy), (x + dx, top - dy)]
        side_face = [(right, bottom), (right, top), (right + dx, top - dy), (right + dx, bottom - dy)]
        side = colour()
        body = ['pen 0 1 0x000000', 'brush %s' % colour(), 'rect %d %d %d %d' % (x, top, right + 1, bottom + 1),
                'polygon ' + points(top_face), 'brush %s' % side,
                'rgnfill %s %s' % (points(top_face), side), 'rgnfill %s %s' % (points(side_face), side),
                'moveto %d %d' % side_face[1], 'lineto %d %d' % top_face[2], 'lineto %d %d' % top_face[3],
                'moveto %d %d' % top_face[2], 'lineto %d %d' % side_face[3]]
        case('chart_3d_bar', w, h, body)
    for i in range(8):
        w, h = size()
        dx, dy = rnd.randint(5, 20), rnd.randint(5, 20)
        L, B = rnd.randint(0, 10), h - rnd.randint(1, 6)
        T, R = rnd.randint(dy, B - 5), w - rnd.randint(dx, dx + 10)
        back = [(L, B), (L + dx, B - dy), (L + dx, T - dy), (L, T)]
        floor = [(L, B), (L + dx, B - dy), (R + dx, B - dy), (R, B)]
        wall = colour()
        body = ['pen 0 1 0x000000', 'polygon ' + points(back), 'brush %s' % wall, 'rgnfill %s %s' % (points(back), wall),
                'polygon ' + points(floor), 'rgnfill %s %s' % (points(floor), wall),
                'moveto %d %d' % back[0], 'lineto %d %d' % back[1], 'lineto %d %d' % back[2], 'lineto %d %d' % back[3],
                'moveto %d %d' % floor[1], 'lineto %d %d' % floor[2], 'lineto %d %d' % floor[3]]
        case('chart_walls', w, h, body)

    # Random polygons of 3 to 12 points over and around the canvas.
    for i in range(80):
        w, h = size()
        k = rnd.randint(3, 12)
        p = [(rnd.randint(-15, w + 15), rnd.randint(-15, h + 15)) for _ in range(k)]
        case('random_%s' % ('alternate' if i % 2 == 0 else 'winding'), w, h,
             fill([pen()], p, 1 + i % 2))

    # Convex shapes (points on an ellipse), in both orientations.
    for i in range(30):
        w, h = size()
        p = refgen.convex_points(rnd, w, h, 10, reverse=i % 2 == 1)
        case('convex_%s' % ('reversed' if i % 2 else 'forward'), w, h, fill([pen()], p))

    # Stars {k/step}: ALTERNATE leaves the core empty, WINDING fills it.
    for i in range(24):
        w, h = size()
        k = rnd.choice([5, 7, 8, 9])
        step = rnd.choice([s for s in (2, 3) if math.gcd(k, s) == 1])
        cx, cy, r = w // 2 + rnd.randint(-5, 5), h // 2 + rnd.randint(-5, 5), rnd.randint(6, max(w, h))
        p = refgen.star_points(cx, cy, r, k, step)
        case('star_%s' % ('alternate' if i % 2 == 0 else 'winding'), w, h, fill([pen()], p, 1 + i % 2))

    # Overlapping figures traced twice round (winding number 2) and spirals.
    for i in range(10):
        w, h = size()
        p = [(rnd.randint(0, w), rnd.randint(0, h)) for _ in range(rnd.randint(3, 5))]
        case('twice_round_%s' % ('alternate' if i % 2 == 0 else 'winding'), w, h,
             fill([pen()], p + p, 1 + i % 2))

    # Thin slivers: nearly horizontal and nearly vertical.
    for i in range(30):
        w, h = size()
        x0, y0 = rnd.randint(-5, w), rnd.randint(-5, h)
        if i % 2 == 0:
            dx, dy = rnd.randint(-60, 60), rnd.randint(-3, 3)
            p = [(x0, y0), (x0 + dx, y0 + dy), (x0 + dx + rnd.randint(-2, 2), y0 + dy + rnd.randint(0, 2)),
                 (x0, y0 + rnd.randint(0, 2))]
            case('sliver_flat', w, h, fill([pen()], p))
        else:
            dx, dy = rnd.randint(-3, 3), rnd.randint(-60, 60)
            p = [(x0, y0), (x0 + dx, y0 + dy), (x0 + dx + rnd.randint(0, 2), y0 + dy),
                 (x0 + rnd.randint(0, 2), y0)]
            case('sliver_steep', w, h, fill([pen()], p))

    # Tiny triangles and quads of a few pixels.
    for i in range(30):
        w, h = 24, 24
        cx, cy = rnd.randint(2, 21), rnd.randint(2, 21)
        p = [(cx + rnd.randint(-3, 3), cy + rnd.randint(-3, 3)) for _ in range(rnd.choice([3, 3, 4]))]
        case('tiny', w, h, fill([pen()], p))

    # Degenerate: collinear points, repeated points, zero area, two points.
    for i in range(24):
        w, h = size()
        x0, y0 = rnd.randint(0, w), rnd.randint(0, h)
        kind = i % 4
        if kind == 0:
            dx, dy = rnd.randint(-6, 6), rnd.randint(-6, 6)
            p = [(x0 + j * dx, y0 + j * dy) for j in range(rnd.randint(3, 5))]
            name = 'collinear'
        elif kind == 1:
            q = (rnd.randint(0, w), rnd.randint(0, h))
            p = [(x0, y0), (x0, y0), q, q, (rnd.randint(0, w), rnd.randint(0, h)), (x0, y0)]
            name = 'repeated_points'
        elif kind == 2:
            p = [(x0, y0), (x0 + rnd.randint(-30, 30), y0 + rnd.randint(-30, 30))]
            name = 'two_points'
        else:
            p = [(x0, y0)] * 3
            name = 'one_spot'
        case(name, w, h, fill([pen()], p))

    # Refused calls (fewer than two points) draw nothing and leave the state alone.
    for k in (0, 1):
        w, h = size()
        p = [(rnd.randint(0, w), rnd.randint(0, h)) for _ in range(k)]
        case('refused_%d_points' % k, w, h,
             ['onfail warn', 'brush 0x0000FF', 'polygon ' + points(p), 'onfail exit',
              'polygon ' + points([(2, 2), (w - 3, 4), (5, h - 3)])])

    # Far corners: the polygon crosses the canvas from far away (kept within the reference
    # renderer's range).
    for i in range(24):
        w, h = size()
        p = refgen.far_corners(rnd, w, h, [10, 14, 18, 22, 26])
        case('far_corners', w, h, fill([rnd.choice(['nullpen', 'stockpen'])], p))

    # Wholly off the canvas.
    for i in range(6):
        w, h = size()
        side = i % 4
        base = [(rnd.randint(0, 20), rnd.randint(0, 20)) for _ in range(4)]
        off = [(w + 2, 0), (-25, 0), (0, h + 2), (0, -25)][side]
        p = [(x + off[0], y + off[1]) for x, y in base]
        case('off_canvas', w, h, fill([pen()], p))

    # A few wide pens around the fill.
    for i in range(12):
        w, h = size()
        p = [(rnd.randint(0, w), rnd.randint(0, h)) for _ in range(rnd.randint(3, 6))]
        width = rnd.choice([2, 3, 4, 5])
        case('wide_pen_%d' % width, w, h, fill(['pen 0 %d %s' % (width, colour())], p))

    # Several polygons on one canvas, over each other.
    for i in range(10):
        w, h = size()
        body = []
        for k in range(rnd.randint(2, 4)):
            p = [(rnd.randint(-5, w + 5), rnd.randint(-5, h + 5)) for _ in range(rnd.randint(3, 7))]
            body = fill(body + [pen()], p)
        case('layered', w, h, body, bg='0xF0F0F0')

    # Inside a path the polygon is recorded as a closed figure, the current position unmoved.
    for i in range(10):
        w, h = size()
        p = [(rnd.randint(0, w), rnd.randint(0, h)) for _ in range(rnd.randint(3, 6))]
        setup = ['pen %d 1 %s' % (rnd.choice([0, 1]), colour()), 'brush %s' % colour(),
                 'polyfill %d' % rnd.choice([1, 2])]
        case('in_path', w, h, refgen.figure_in_path(rnd, w, h, setup, 'polygon ' + points(p), line_after=i % 2 == 1))
    # After a closed figure, the line following the polygon still starts at the current position.
    for i in range(4):
        w, h = size()
        p = [(rnd.randint(0, w), rnd.randint(0, h)) for _ in range(3)]
        case('in_path_after_closed_figure', w, h, refgen.figure_after_closed_figure(rnd, w, h, 'polygon ' + points(p)))

    script.write()


if __name__ == '__main__':
    main()
