#!/usr/bin/env python3
"""Writes tests/reference/pie.txt: Pie cases for the reference renderer and our replay.

The chart's flat pies (slices summing to a full turn, radial points rounded from angles on the
circle, some slices pulled out, counter-clockwise, black one-pixel pen), then random wedges:
both directions, start equal to end, tiny and huge wedges, null pen, wide pens, boxes of 0 to
200 pixels, reversed and off the canvas. Deterministic: fixed seed, standard library only.
"""
import math
import random

from refgen import Script, canvas_size, ellipse_box, pen_for_box

COLOURS = ['0x3366CC', '0x33CC66', '0xCC3366', '0x66CCCC', '0xCCCC33', '0x9933CC', '0x336699']


def main():
    rnd = random.Random(20240613)
    script = Script('pie', '# Pie reference cases, written by gen_pie.py; do not edit by hand.')

    # Flat pie charts as the chart draws them.
    for chart in range(40):
        size = rnd.randint(48, 96)
        r = rnd.uniform(12, size / 2 - 6)
        cx, cy = size / 2 + rnd.uniform(-2, 2), size / 2 + rnd.uniform(-2, 2)
        count = rnd.randint(1, 7)
        weights = [rnd.uniform(0.02, 1) for _ in range(count)]
        if chart % 8 == 0:
            weights[0] = 0.004  # a very thin slice
        total = sum(weights)
        angle = rnd.uniform(0, 360) if chart % 3 else 0
        body = ['pen 0 1 0x000000']
        for k, wgt in enumerate(weights):
            sweep = 360 * wgt / total
            a0, a1 = math.radians(angle), math.radians(angle + sweep)
            x1, y1 = round(cx + r * math.cos(a0)), round(cy - r * math.sin(a0))
            x2, y2 = round(cx + r * math.cos(a1)), round(cy - r * math.sin(a1))
            ox = oy = 0
            if rnd.random() < 0.25:
                d = rnd.uniform(2, 8)
                mid = (a0 + a1) / 2
                ox, oy = d * math.cos(mid), -d * math.sin(mid)
            body.append('brush %s' % COLOURS[k % len(COLOURS)])
            body.append('pie %d %d %d %d %d %d %d %d' % (
                round(cx - r + ox), round(cy - r + oy), round(cx + r + ox), round(cy + r + oy),
                x1, y1, x2, y2))
            angle += sweep
        script.case('chart%d' % count, size, size, body)

    pens = ['pen 0 1 0x000000'] * 5 + ['nullpen'] * 3 + ['pen 0 0 0x400000', 'pen 2 1 0x000000'] + \
           ['pen 1 1 0x000080', 'pen 3 1 0x008000', 'pen 4 1 0x800000'] + \
           ['pen 0 %d 0x000080' % w for w in range(3, 7)] + ['pen 6 %d 0x008000' % w for w in (3, 5)]
    brushes = ['brush 0x3366CC'] * 3 + ['nullbrush', 'hatchbrush 5 0xCC0000']
    for i in range(300):
        cw, ch = canvas_size(rnd)
        l, t, w, h, box = ellipse_box(rnd, cw, ch)
        cx, cy = l + w / 2, t + h / 2
        a0 = math.radians(rnd.uniform(0, 360))
        sweep = rnd.choice([0, 0.5, 3, 20, 90, 180, 270, 350, 359.5, rnd.uniform(0, 360)])
        a1 = a0 + math.radians(sweep)
        s1, s2 = rnd.choice([0.4, 1, 3, 50]), rnd.choice([0.4, 1, 3, 50])
        p1 = (round(cx + s1 * max(w, 1) / 2 * math.cos(a0)), round(cy - s1 * max(h, 1) / 2 * math.sin(a0)))
        p2 = (round(cx + s2 * max(w, 1) / 2 * math.cos(a1)), round(cy - s2 * max(h, 1) / 2 * math.sin(a1)))
        if sweep == 0:
            p2 = p1
        direction = rnd.choice([1, 1, 2])
        pen = pen_for_box(rnd.choice(pens), w, h)
        body = ['arcdir %d' % direction, pen, rnd.choice(brushes)]
        body.append('pie %d %d %d %d %d %d %d %d' % tuple(box + list(p1) + list(p2)))
        script.case('r%dx%d_d%d' % (w, h, direction), cw, ch, body)

    script.write()


if __name__ == '__main__':
    main()
