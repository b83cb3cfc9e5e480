#!/usr/bin/env python3
"""Writes tests/reference/line.txt: solid one-pixel lines for the reference renderer and our replay.

Cosmetic pens of width 0 and 1: single lines in every octant and of every slope, lines of no
length, lines starting, ending or lying wholly off the canvas, very long lines crossing it,
polylines and PolylineTo runs, one-pixel rectangle and polygon outlines, and the chart's axis
lines and one-pixel canvas border. Line lengths stay below 2^29: beyond that the reference
renderer's own arithmetic overflows. Deterministic: fixed seed, standard library only.
"""
import math
import random

from refgen import Script, canvas_size, colour, far_point, line, points


def main():
    rnd = random.Random(20240701)
    script = Script('line', '# Solid one-pixel line cases, written by gen_line.py; do not edit by hand.')

    def pen():
        return rnd.choice(['pen 0 0 %s' % colour(rnd), 'pen 0 1 %s' % colour(rnd), 'stockpen',
                           'pen 6 1 %s' % colour(rnd), 'extpen 0 1 %s' % colour(rnd)])

    # The chart: axis lines with the black one-pixel pen across a plot, and the canvas border.
    for i in range(12):
        w, h = rnd.randint(40, 96), rnd.randint(30, 80)
        l, t, r, b = rnd.randint(2, 10), rnd.randint(2, 10), w - rnd.randint(2, 10), h - rnd.randint(2, 10)
        body = ['pen 0 1 0x000000'] + line(l, b, r, b) + line(l, b, l, t)
        for k in range(rnd.randint(0, 4)):  # ticks
            x = rnd.randint(l, r)
            body += line(x, b, x, b + 3)
        script.case('axes', w, h, body)
    for i in range(6):
        w, h = canvas_size(rnd)
        script.case('border', w, h, ['pen 0 1 %s' % colour(rnd), rnd.choice(['nullbrush', 'stockbrush']),
                                     'rect 0 0 %d %d' % (w, h)])

    # Every octant and slope from a centre, both directions.
    for i in range(48):
        w, h = canvas_size(rnd)
        cx, cy = w // 2, h // 2
        a = rnd.uniform(0, 2 * math.pi)
        r = rnd.randint(1, 40)
        x1, y1 = cx + round(r * math.cos(a)), cy + round(r * math.sin(a))
        body = [pen()] + line(cx, cy, x1, y1)
        if rnd.random() < 0.5:
            body += line(x1 + 3, y1, cx + 3, cy)
        script.case('octant', w, h, body)

    # Random lines, some off the canvas.
    for i in range(90):
        w, h = canvas_size(rnd)
        body = [pen()]
        for k in range(rnd.randint(1, 4)):
            x0, y0, x1, y1 = [rnd.randint(-20, 110) for _ in range(4)]
            if rnd.random() < 0.1:
                x1, y1 = x0, y0
            body += line(x0, y0, x1, y1)
        script.case('random', w, h, body)

    # Long lines: one end far away, or both ends far away on either side of the canvas.
    for i in range(40):
        w, h = canvas_size(rnd)
        body = [pen()]
        for k in range(rnd.randint(1, 3)):
            x0, y0 = far_point(rnd, [10, 14, 18, 22, 26, 28])
            cx, cy = rnd.randint(0, w), rnd.randint(0, h)
            if rnd.random() < 0.5:
                x1, y1 = cx, cy
            else:
                x1, y1 = 2 * cx - x0, 2 * cy - y0
            if rnd.random() < 0.5:
                x0, y0, x1, y1 = x1, y1, x0, y0
            body += line(x0, y0, x1, y1)
        script.case('long', w, h, body)

    # Horizontal and vertical lines, including off-canvas rows and columns.
    for i in range(20):
        w, h = canvas_size(rnd)
        body = [pen()]
        for k in range(rnd.randint(1, 4)):
            c = rnd.randint(-3, max(w, h) + 3)
            a, b = rnd.randint(-50, 150), rnd.randint(-50, 150)
            body += line(a, c, b, c) if rnd.random() < 0.5 else line(c, a, c, b)
        script.case('axis_aligned', w, h, body)

    # Polylines, PolylineTo and closed outlines.
    for i in range(50):
        w, h = canvas_size(rnd)
        k = rnd.randint(2, 7)
        pts = [(rnd.randint(-10, w + 10), rnd.randint(-10, h + 10)) for _ in range(k)]
        if rnd.random() < 0.15:
            pts.insert(rnd.randint(0, k - 1), pts[rnd.randint(0, k - 1)])
        kind = rnd.choice(['polyline', 'polylineto', 'polygon', 'rect'])
        body = [pen(), 'nullbrush']
        if kind == 'polyline':
            body.append('polyline ' + points(pts))
        elif kind == 'polylineto':
            body += ['moveto %d %d' % (rnd.randint(0, w), rnd.randint(0, h)),
                     'polylineto ' + points(pts), 'lineto %d %d' % pts[0]]
        elif kind == 'polygon':
            body.append('polygon ' + points(pts))
        else:
            body.append('rect %d %d %d %d' % (pts[0] + pts[1]))
        script.case(kind, w, h, body)

    # Lines of no length draw nothing; neither do the null pen's.
    for i in range(6):
        w, h = rnd.randint(24, 48), rnd.randint(24, 48)
        x, y = rnd.randint(0, w - 1), rnd.randint(0, h - 1)
        script.case('empty', w, h, [pen()] + line(x, y, x, y) +
                    ['polyline 3 %d %d %d %d %d %d' % (x, y, x, y, x, y), 'pen 5 1 0', 'lineto %d %d' % (w - 1, h - 1)])

    script.write()


if __name__ == '__main__':
    main()
