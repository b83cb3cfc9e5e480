#!/usr/bin/env python3
"""Writes tests/reference/widepen.txt: CreatePen's pens wider than one pixel.

Solid and inside-frame pens (and the dashed styles, which draw solid when wide) of widths 2 to 6
and a few wider: lines in every direction, lines of no length (a dot), polylines with their
round joins, lines partly or far off the canvas, rectangle and polygon outlines; and the chart's
wave curves (short polyline segments, widths 1 to 4) and canvas border (Rectangle(0, 0, W, H)
with widths 1 to 8). Deterministic: fixed seed, standard library only.
"""
import math
import random

from refgen import (Script, canvas_size, colour, far_point, line, outline_case, points, polyline_case,
                    ray, turning_points)


def main():
    rnd = random.Random(20240703)
    script = Script('widepen', '# Wide CreatePen cases, written by gen_widepen.py; do not edit by hand.')

    def width():
        return rnd.choice([2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 8, 10, 13, 20])

    def pen(w=None):
        style = rnd.choice([0, 0, 0, 6, 6, 1, 2, 3, 4])
        return 'pen %d %d %s' % (style, w or width(), colour(rnd))

    # The chart's border: Rectangle(0, 0, W, H) with a solid pen of width 1 to 8.
    for bw in range(1, 9):
        for k in range(2):
            w, h = canvas_size(rnd)
            script.case('border_w%d' % bw, w, h, ['pen 0 %d %s' % (bw, colour(rnd)),
                                                  rnd.choice(['nullbrush', 'stockbrush']), 'rect 0 0 %d %d' % (w, h)])

    # The chart's wave curves: polylines of short segments along a sine-like wave.
    for i in range(24):
        w, h = rnd.randint(48, 96), rnd.randint(32, 80)
        amp, period, phase = rnd.uniform(3, h / 3), rnd.uniform(10, 60), rnd.uniform(0, 6.3)
        step = rnd.choice([1, 2, 3, 4, 5])
        pts = [(x, round(h / 2 + amp * math.sin(x / period * 2 * math.pi + phase)))
               for x in range(rnd.randint(-4, 4), w + 4, step)]
        script.case('wave_w%d' % (i % 4 + 1), w, h, ['pen 0 %d %s' % (i % 4 + 1, colour(rnd)),
                                                     'polyline ' + points(pts)])

    # Lines in every direction from a centre, and lines of no length.
    for i in range(60):
        w, h = canvas_size(rnd)
        ends = ray(rnd, w, h, [0, 0, 1, 2, 3, 5, 8, 15, 30, 45])
        script.case('line', w, h, [pen()] + line(*ends))

    # Lines partly or far off the canvas.
    for i in range(30):
        w, h = canvas_size(rnd)
        body = [pen()]
        for k in range(rnd.randint(1, 3)):
            if rnd.random() < 0.4:
                x0, y0 = far_point(rnd, [10, 14, 18, 24])
                x1, y1 = rnd.randint(0, w), rnd.randint(0, h)
            else:
                x0, y0, x1, y1 = [rnd.randint(-40, 130) for _ in range(4)]
            body += line(x0, y0, x1, y1)
        script.case('offcanvas', w, h, body)

    # Polylines with round joins, some with repeated points, and PolylineTo.
    for i in range(70):
        w, h = canvas_size(rnd)
        pts = turning_points(rnd, w, h, 5, 0.15)
        name, body = polyline_case(rnd, w, h, pen, pts, 0.75)
        script.case(name, w, h, body)

    # Rectangle and polygon outlines.
    for i in range(70):
        w, h = canvas_size(rnd)
        name, body = outline_case(rnd, w, h, pen)
        script.case(name, w, h, body)

    script.write()


if __name__ == '__main__':
    main()
