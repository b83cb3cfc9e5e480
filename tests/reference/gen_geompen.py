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
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))

CHART_PATTERNS = [(1, 0, 0, 0), (2, 4, 2, 4), (8, 8, 8, 8), (8, 4, 2, 4), (8, 4, 4, 4), (16, 8, 4, 8)]


def main():
    rnd = random.Random(20240704)
    out = ['# Geometric pen cases, written by gen_geompen.py; do not edit by hand.']
    n = 0

    def case(name, w, h, body):
        nonlocal n
        out.append('canvas %d %d 0xFFFFFF' % (w, h))
        out.extend(body)
        out.append('save geompen/%03d_%s.bmp' % (n, name))
        n += 1

    def colour():
        return '0x%06X' % rnd.choice([0, 0x0000FF, 0xFF0000, 0x008000, rnd.randint(0, 0xFFFFFF)])

    def pen():
        cap = rnd.choice([0x000, 0x100, 0x200])
        join = rnd.choice([0x0000, 0x1000, 0x2000])
        width = rnd.choice([0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 7, 8, 8, 11, 16])
        k = rnd.random()
        if k < 0.3:
            return 'extpen 0x%X %d %s' % (0x10000 | cap | join | rnd.choice([0, 6]), width, colour())
        if k < 0.45:
            return 'extpen 0x%X %d %s' % (0x10000 | cap | join | rnd.randint(1, 4), width, colour())
        # Empty entries only for wide pens: on one-pixel lines the reference renderer handles them
        # inconsistently (clipped lines start in a different state), so they are no reference.
        lengths = [0, 1, 2, 3, 4, 5, 6, 8, 10, 12] if width > 1 else [1, 2, 3, 4, 5, 6, 8, 10, 12]
        d = [rnd.choice(lengths) for _ in range(rnd.randint(1, 6))]
        if not any(d):
            d[0] = 3
        return 'extpen 0x%X %d %s %d %s' % (0x10007 | cap | join, width, colour(), len(d), ' '.join(map(str, d)))

    # The chart's line-mode pens.
    for a, b, c, d in CHART_PATTERNS:
        for width in range(1, 6):
            w, h = rnd.randint(48, 96), rnd.randint(48, 96)
            p = 'extpen 0x00011207 %d %s 4 %d %d %d %d' % (width, colour(), a, b, c, d)
            x0, y0 = rnd.randint(2, w // 3), rnd.randint(2, h // 3)
            x1, y1 = rnd.randint(2 * w // 3, w - 2), rnd.randint(2 * h // 3, h - 2)
            case('chart_lines', w, h, [p, 'moveto %d %d' % (x0, y0), 'lineto %d %d' % (x1, y0),
                                       'moveto %d %d' % (x0, y0 + 4), 'lineto %d %d' % (x0, y1),
                                       'moveto %d %d' % (x0 + 4, y0 + 4), 'lineto %d %d' % (x1, y0 + 4 + x1 - x0 - 4),
                                       'moveto %d %d' % (rnd.randint(0, w), rnd.randint(0, h)),
                                       'lineto %d %d' % (rnd.randint(0, w), rnd.randint(0, h))])
            case('chart_rect', w, h, [p, rnd.choice(['nullbrush', 'brush 0x%06X' % rnd.randint(0, 0xFFFFFF)]),
                                      'rect %d %d %d %d' % (x0, y0, x1, y1)])
            case('chart_ellipse', w, h, [p, 'nullbrush', 'ellipse %d %d %d %d' % (x0, y0, x1, y1)])

    # Single lines in every direction.
    for i in range(60):
        w, h = rnd.randint(24, 96), rnd.randint(24, 96)
        cx, cy = rnd.randint(4, w - 4), rnd.randint(4, h - 4)
        a = rnd.uniform(0, 2 * math.pi)
        r = rnd.choice([0, 1, 2, 4, 8, 15, 30, 50, 70])
        x1, y1 = cx + round(r * math.cos(a)), cy + round(r * math.sin(a))
        if rnd.random() < 0.25:
            x1, y1 = (x1, cy) if rnd.random() < 0.5 else (cx, y1)
        case('line', w, h, [pen(), 'moveto %d %d' % (cx, cy), 'lineto %d %d' % (x1, y1)])

    # Polylines (some with axis-aligned turns and repeated points), PolylineTo, off-canvas parts.
    for i in range(80):
        w, h = rnd.randint(24, 96), rnd.randint(24, 96)
        k = rnd.randint(2, 6)
        pts = [(rnd.randint(-10, w + 10), rnd.randint(-10, h + 10)) for _ in range(k)]
        if rnd.random() < 0.3:
            for j in range(1, k):
                pts[j] = (pts[j - 1][0], pts[j][1]) if rnd.random() < 0.5 else (pts[j][0], pts[j - 1][1])
        if rnd.random() < 0.1:
            j = rnd.randint(0, k - 1)
            pts.insert(j, pts[j])
        if rnd.random() < 0.1:
            # Far, but not so far that the reference renderer spends minutes on the dashes.
            m = 2 ** rnd.choice([10, 11, 12]) - 1
            pts[0] = (rnd.randint(-m, m), rnd.randint(-m, m))
        flat = ' '.join('%d %d' % p for p in pts)
        if rnd.random() < 0.8:
            case('polyline', w, h, [pen(), 'polyline %d %s' % (len(pts), flat)])
        else:
            case('polylineto', w, h, [pen(), 'moveto %d %d' % (rnd.randint(0, w), rnd.randint(0, h)),
                                      'polylineto %d %s' % (len(pts), flat)])

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
        case('sharp', w, h, ['extpen 0x%X %d %s' % (0x12000 | rnd.choice([0x000, 0x100, 0x200]), width, colour()),
                             'polyline 3 %d %d %d %d %d %d' % (p0 + p + p2)])

    # Rectangle and polygon outlines.
    for i in range(70):
        w, h = rnd.randint(24, 96), rnd.randint(24, 96)
        brush = rnd.choice(['nullbrush', 'brush 0x%06X' % rnd.randint(0, 0xFFFFFF)])
        if rnd.random() < 0.5:
            l, t = rnd.randint(-5, w - 2), rnd.randint(-5, h - 2)
            r, b = l + rnd.randint(-10, 70), t + rnd.randint(-10, 70)
            case('rect', w, h, [pen(), brush, 'rect %d %d %d %d' % (l, t, r, b)])
        else:
            k = rnd.randint(3, 6)
            pts = [(rnd.randint(-5, w + 5), rnd.randint(-5, h + 5)) for _ in range(k)]
            case('polygon', w, h, [pen(), brush, 'polygon %d %s' % (k, ' '.join('%d %d' % p for p in pts))])

    with open(os.path.join(HERE, 'geompen.txt'), 'w') as f:
        f.write('\n'.join(out) + '\n')


if __name__ == '__main__':
    main()
