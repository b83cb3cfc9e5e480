#!/usr/bin/env python3
"""Writes tests/reference/styledline.txt: dashed and dotted one-pixel lines.

CreatePen's dash, dot, dash-dot and dash-dot-dot styles at widths 0 and 1, with transparent gaps
and with gaps in the background colour (opaque background mode); ExtCreatePen's cosmetic styles,
alternate style and user styles (without empty entries). The pattern runs on across the segments of a polyline,
PolylineTo, polygon and rectangle outline, and starts afresh with every call (runs of LineTo).
Lines are clipped by the canvas edges, so the pattern also counts the pixels it cannot draw.
And the chart's dotted grid lines across a plot. Deterministic: fixed seed, standard library
only.
"""
import random

from refgen import Script, brush_or_null, canvas_size, colour, far_point, line, points


def main():
    rnd = random.Random(20240702)
    script = Script('styledline',
                    '# Styled one-pixel line cases, written by gen_styledline.py; do not edit by hand.')

    def background():
        if rnd.random() < 0.5:
            return ['bkmode 1']
        return ['bkmode 2', 'bkcolor 0x%06X' % rnd.choice([0x00FF00, 0xC0C0C0, rnd.randint(0, 0xFFFFFF)])]

    def pen():
        k = rnd.random()
        if k < 0.7:
            return 'pen %d %d %s' % (rnd.randint(1, 4), rnd.choice([0, 1]), colour(rnd))
        if k < 0.85:
            return 'extpen %d 1 %s' % (rnd.choice([1, 2, 3, 4, 8]), colour(rnd))
        # No empty entries: the reference renderer mishandles them in cosmetic user styles (and
        # some make it fail an internal check).
        d = [rnd.randint(1, 5) for _ in range(rnd.randint(1, 5))]
        return 'extpen 7 1 %s %d %s' % (colour(rnd), len(d), ' '.join(map(str, d)))

    # The chart's grid: dotted lines across the plot, horizontal (and a few vertical).
    for i in range(16):
        w, h = rnd.randint(48, 96), rnd.randint(32, 80)
        l, r = rnd.randint(2, 12), w - rnd.randint(2, 12)
        body = ['pen 2 0 0x%06X' % rnd.choice([0xC0C0C0, 0x808080, 0x000000])] + background()
        step = rnd.randint(4, 12)
        for y in range(rnd.randint(2, 8), h - 2, step):
            body += line(l, y, r, y)
        if rnd.random() < 0.3:
            for x in range(l, r, step * 2):
                body += line(x, 2, x, h - 2)
        script.case('grid', w, h, body)

    # Single lines in every direction, some clipped, a few very long.
    for i in range(90):
        w, h = canvas_size(rnd)
        body = [pen()] + background()
        for k in range(rnd.randint(1, 3)):
            if rnd.random() < 0.15:
                x0, y0 = far_point(rnd, [12, 16, 20, 26])
                x1, y1 = rnd.randint(0, w), rnd.randint(0, h)
                if rnd.random() < 0.5:
                    x0, y0, x1, y1 = x1, y1, x0, y0
            else:
                x0, y0, x1, y1 = [rnd.randint(-30, 120) for _ in range(4)]
            body += line(x0, y0, x1, y1)
        script.case('line', w, h, body)

    # Runs of LineTo: the pattern starts again at each one.
    for i in range(30):
        w, h = canvas_size(rnd)
        body = [pen()] + background() + ['moveto %d %d' % (rnd.randint(0, w), rnd.randint(0, h))]
        for k in range(rnd.randint(2, 6)):
            body.append('lineto %d %d' % (rnd.randint(-5, w + 5), rnd.randint(-5, h + 5)))
        script.case('lineto_run', w, h, body)

    # Outlines: the pattern runs on from segment to segment.
    for i in range(110):
        w, h = canvas_size(rnd)
        k = rnd.randint(2, 7)
        pts = [(rnd.randint(-10, w + 10), rnd.randint(-10, h + 10)) for _ in range(k)]
        kind = rnd.choice(['polyline', 'polylineto', 'polygon', 'rect', 'rect'])
        body = [pen()] + background() + [brush_or_null(rnd)]
        if kind == 'polyline':
            body.append('polyline ' + points(pts))
        elif kind == 'polylineto':
            body += ['moveto %d %d' % (rnd.randint(0, w), rnd.randint(0, h)),
                     'polylineto ' + points(pts)]
        elif kind == 'polygon':
            body.append('polygon ' + points(pts))
        else:
            l, t = rnd.randint(-5, w - 2), rnd.randint(-5, h - 2)
            body.append('rect %d %d %d %d' % (l, t, l + rnd.randint(-20, 70), t + rnd.randint(-20, 70)))
        script.case(kind, w, h, body)

    script.write()


if __name__ == '__main__':
    main()
