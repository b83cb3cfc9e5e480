#!/usr/bin/env python3
"""Writes tests/reference/widepen.txt: CreatePen's pens wider than one pixel.

Solid and inside-frame pens (and the dashed styles, which draw solid when wide) of widths 2 to 6
and a few wider: lines in every direction, lines of no length (a dot), polylines with their
round joins, lines partly or far off the canvas, rectangle and polygon outlines; and the chart's
wave curves (short polyline segments, widths 1 to 4) and canvas border (Rectangle(0, 0, W, H)
with widths 1 to 8). Deterministic: fixed seed, standard library only.
"""
import math
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))


def main():
    rnd = random.Random(20240703)
    out = ['# Wide CreatePen cases, written by gen_widepen.py; do not edit by hand.']
    n = 0

    def case(name, w, h, body):
        nonlocal n
        out.append('canvas %d %d 0xFFFFFF' % (w, h))
        out.extend(body)
        out.append('save widepen/%03d_%s.bmp' % (n, name))
        n += 1

    def colour():
        return '0x%06X' % rnd.choice([0, 0x0000FF, 0xFF0000, 0x008000, rnd.randint(0, 0xFFFFFF)])

    def width():
        return rnd.choice([2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 8, 10, 13, 20])

    def pen(w=None):
        style = rnd.choice([0, 0, 0, 6, 6, 1, 2, 3, 4])
        return 'pen %d %d %s' % (style, w or width(), colour())

    # The chart's border: Rectangle(0, 0, W, H) with a solid pen of width 1 to 8.
    for bw in range(1, 9):
        for k in range(2):
            w, h = rnd.randint(24, 96), rnd.randint(24, 96)
            case('border_w%d' % bw, w, h, ['pen 0 %d %s' % (bw, colour()),
                                           rnd.choice(['nullbrush', 'stockbrush']), 'rect 0 0 %d %d' % (w, h)])

    # The chart's wave curves: polylines of short segments along a sine-like wave.
    for i in range(24):
        w, h = rnd.randint(48, 96), rnd.randint(32, 80)
        amp, period, phase = rnd.uniform(3, h / 3), rnd.uniform(10, 60), rnd.uniform(0, 6.3)
        step = rnd.choice([1, 2, 3, 4, 5])
        pts = [(x, round(h / 2 + amp * math.sin(x / period * 2 * math.pi + phase)))
               for x in range(rnd.randint(-4, 4), w + 4, step)]
        case('wave_w%d' % (i % 4 + 1), w, h, ['pen 0 %d %s' % (i % 4 + 1, colour()),
                                              'polyline %d %s' % (len(pts), ' '.join('%d %d' % p for p in pts))])

    # Lines in every direction from a centre, and lines of no length.
    for i in range(60):
        w, h = rnd.randint(24, 96), rnd.randint(24, 96)
        cx, cy = rnd.randint(4, w - 4), rnd.randint(4, h - 4)
        a = rnd.uniform(0, 2 * math.pi)
        r = rnd.choice([0, 0, 1, 2, 3, 5, 8, 15, 30, 45])
        x1, y1 = cx + round(r * math.cos(a)), cy + round(r * math.sin(a))
        if rnd.random() < 0.25:
            x1, y1 = (x1, cy) if rnd.random() < 0.5 else (cx, y1)
        case('line', w, h, [pen(), 'moveto %d %d' % (cx, cy), 'lineto %d %d' % (x1, y1)])

    # Lines partly or far off the canvas.
    for i in range(30):
        w, h = rnd.randint(24, 96), rnd.randint(24, 96)
        body = [pen()]
        for k in range(rnd.randint(1, 3)):
            if rnd.random() < 0.4:
                m = 2 ** rnd.choice([10, 14, 18, 24]) - 1
                x0, y0 = rnd.randint(-m, m), rnd.randint(-m, m)
                x1, y1 = rnd.randint(0, w), rnd.randint(0, h)
            else:
                x0, y0, x1, y1 = [rnd.randint(-40, 130) for _ in range(4)]
            body += ['moveto %d %d' % (x0, y0), 'lineto %d %d' % (x1, y1)]
        case('offcanvas', w, h, body)

    # Polylines with round joins, some with repeated points, and PolylineTo.
    for i in range(70):
        w, h = rnd.randint(24, 96), rnd.randint(24, 96)
        k = rnd.randint(2, 6)
        pts = [(rnd.randint(-5, w + 5), rnd.randint(-5, h + 5)) for _ in range(k)]
        if rnd.random() < 0.3:
            for j in range(1, k):
                pts[j] = (pts[j - 1][0], pts[j][1]) if rnd.random() < 0.5 else (pts[j][0], pts[j - 1][1])
        if rnd.random() < 0.15:
            j = rnd.randint(0, k - 1)
            pts.insert(j, pts[j])
        flat = ' '.join('%d %d' % p for p in pts)
        if rnd.random() < 0.75:
            case('polyline', w, h, [pen(), 'polyline %d %s' % (len(pts), flat)])
        else:
            case('polylineto', w, h, [pen(), 'moveto %d %d' % (rnd.randint(0, w), rnd.randint(0, h)),
                                      'polylineto %d %s' % (len(pts), flat)])

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

    with open(os.path.join(HERE, 'widepen.txt'), 'w') as f:
        f.write('\n'.join(out) + '\n')


if __name__ == '__main__':
    main()
