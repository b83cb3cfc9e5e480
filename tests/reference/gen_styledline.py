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
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))


def main():
    rnd = random.Random(20240702)
    out = ['# Styled one-pixel line cases, written by gen_styledline.py; do not edit by hand.']
    n = 0

    def case(name, w, h, body):
        nonlocal n
        out.append('canvas %d %d 0xFFFFFF' % (w, h))
        out.extend(body)
        out.append('save styledline/%03d_%s.bmp' % (n, name))
        n += 1

    def colour():
        return '0x%06X' % rnd.choice([0, 0x0000FF, 0xFF0000, 0x008000, rnd.randint(0, 0xFFFFFF)])

    def background():
        if rnd.random() < 0.5:
            return ['bkmode 1']
        return ['bkmode 2', 'bkcolor 0x%06X' % rnd.choice([0x00FF00, 0xC0C0C0, rnd.randint(0, 0xFFFFFF)])]

    def pen():
        k = rnd.random()
        if k < 0.7:
            return 'pen %d %d %s' % (rnd.randint(1, 4), rnd.choice([0, 1]), colour())
        if k < 0.85:
            return 'extpen %d 1 %s' % (rnd.choice([1, 2, 3, 4, 8]), colour())
        # No empty entries: the reference renderer mishandles them in cosmetic user styles (and
        # some make it fail an internal check).
        d = [rnd.randint(1, 5) for _ in range(rnd.randint(1, 5))]
        return 'extpen 7 1 %s %d %s' % (colour(), len(d), ' '.join(map(str, d)))

    # The chart's grid: dotted lines across the plot, horizontal (and a few vertical).
    for i in range(16):
        w, h = rnd.randint(48, 96), rnd.randint(32, 80)
        l, r = rnd.randint(2, 12), w - rnd.randint(2, 12)
        body = ['pen 2 0 0x%06X' % rnd.choice([0xC0C0C0, 0x808080, 0x000000])] + background()
        step = rnd.randint(4, 12)
        for y in range(rnd.randint(2, 8), h - 2, step):
            body += ['moveto %d %d' % (l, y), 'lineto %d %d' % (r, y)]
        if rnd.random() < 0.3:
            for x in range(l, r, step * 2):
                body += ['moveto %d %d' % (x, 2), 'lineto %d %d' % (x, h - 2)]
        case('grid', w, h, body)

    # Single lines in every direction, some clipped, a few very long.
    for i in range(90):
        w, h = rnd.randint(24, 96), rnd.randint(24, 96)
        body = [pen()] + background()
        for k in range(rnd.randint(1, 3)):
            if rnd.random() < 0.15:
                m = 2 ** rnd.choice([12, 16, 20, 26]) - 1
                x0, y0 = rnd.randint(-m, m), rnd.randint(-m, m)
                x1, y1 = rnd.randint(0, w), rnd.randint(0, h)
                if rnd.random() < 0.5:
                    x0, y0, x1, y1 = x1, y1, x0, y0
            else:
                x0, y0, x1, y1 = [rnd.randint(-30, 120) for _ in range(4)]
            body += ['moveto %d %d' % (x0, y0), 'lineto %d %d' % (x1, y1)]
        case('line', w, h, body)

    # Runs of LineTo: the pattern starts again at each one.
    for i in range(30):
        w, h = rnd.randint(24, 96), rnd.randint(24, 96)
        body = [pen()] + background() + ['moveto %d %d' % (rnd.randint(0, w), rnd.randint(0, h))]
        for k in range(rnd.randint(2, 6)):
            body.append('lineto %d %d' % (rnd.randint(-5, w + 5), rnd.randint(-5, h + 5)))
        case('lineto_run', w, h, body)

    # Outlines: the pattern runs on from segment to segment.
    for i in range(110):
        w, h = rnd.randint(24, 96), rnd.randint(24, 96)
        k = rnd.randint(2, 7)
        pts = [(rnd.randint(-10, w + 10), rnd.randint(-10, h + 10)) for _ in range(k)]
        flat = ' '.join('%d %d' % p for p in pts)
        kind = rnd.choice(['polyline', 'polylineto', 'polygon', 'rect', 'rect'])
        body = [pen()] + background() + [rnd.choice(['nullbrush', 'brush 0x%06X' % rnd.randint(0, 0xFFFFFF)])]
        if kind == 'polyline':
            body.append('polyline %d %s' % (len(pts), flat))
        elif kind == 'polylineto':
            body += ['moveto %d %d' % (rnd.randint(0, w), rnd.randint(0, h)),
                     'polylineto %d %s' % (len(pts), flat)]
        elif kind == 'polygon':
            body.append('polygon %d %s' % (len(pts), flat))
        else:
            l, t = rnd.randint(-5, w - 2), rnd.randint(-5, h - 2)
            body.append('rect %d %d %d %d' % (l, t, l + rnd.randint(-20, 70), t + rnd.randint(-20, 70)))
        case(kind, w, h, body)

    with open(os.path.join(HERE, 'styledline.txt'), 'w') as f:
        f.write('\n'.join(out) + '\n')


if __name__ == '__main__':
    main()
