#!/usr/bin/env python3
"""Writes tests/reference/pie.txt: Pie cases for the reference renderer and our replay.

The chart's flat pies (slices summing to a full turn, radial points rounded from angles on the
circle, some slices pulled out, counter-clockwise, black one-pixel pen), then random wedges:
both directions, start equal to end, tiny and huge wedges, null pen, wide pens, boxes of 0 to
200 pixels, reversed and off the canvas. Deterministic: fixed seed, standard library only.
"""
import math
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))
COLOURS = ['0x3366CC', '0x33CC66', '0xCC3366', '0x66CCCC', '0xCCCC33', '0x9933CC', '0x336699']


def main():
    rnd = random.Random(20240613)
    out = []
    n = 0

    def case(name, w, h, body):
        nonlocal n
        out.append('canvas %d %d 0xFFFFFF' % (w, h))
        out.extend(body)
        out.append('save pie/%03d_%s.bmp' % (n, name))
        n += 1

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
        case('chart%d' % count, size, size, body)

    pens = ['pen 0 1 0x000000'] * 5 + ['nullpen'] * 3 + ['pen 0 0 0x400000', 'pen 2 1 0x000000'] + \
           ['pen 1 1 0x000080', 'pen 3 1 0x008000', 'pen 4 1 0x800000'] + \
           ['pen 0 %d 0x000080' % w for w in range(3, 7)] + ['pen 6 %d 0x008000' % w for w in (3, 5)]
    brushes = ['brush 0x3366CC'] * 3 + ['nullbrush', 'hatchbrush 5 0xCC0000']
    for i in range(300):
        cw, ch = rnd.randint(24, 96), rnd.randint(24, 96)
        kind = rnd.random()
        if kind < 0.6:
            w, h = rnd.randint(0, 70), rnd.randint(0, 70)
            l, t = rnd.randint(-10, cw - 5), rnd.randint(-10, ch - 5)
        elif kind < 0.85:
            w, h = rnd.randint(0, 200), rnd.randint(0, 200)
            l, t = rnd.randint(-w - 5, cw + 5), rnd.randint(-h - 5, ch + 5)
        else:
            w, h = rnd.randint(0, 6), rnd.randint(0, 6)
            l, t = rnd.randint(0, cw - 8), rnd.randint(0, ch - 8)
        box = [l, t, l + w, t + h]
        if rnd.random() < 0.2:
            box = [box[2], box[1], box[0], box[3]]
        if rnd.random() < 0.2:
            box = [box[0], box[3], box[2], box[1]]
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
        pen = rnd.choice(pens)
        if pen.startswith('pen 6') and min(w, h) < int(pen.split()[2]) + 3:
            # The reference renderer fails or crashes when an inside-frame pen leaves no box.
            pen = 'pen 0 1 0x000000'
        body = ['arcdir %d' % direction, pen, rnd.choice(brushes)]
        body.append('pie %d %d %d %d %d %d %d %d' % tuple(box + list(p1) + list(p2)))
        case('r%dx%d_d%d' % (w, h, direction), cw, ch, body)

    with open(os.path.join(HERE, 'pie.txt'), 'w') as f:
        f.write('# Pie reference cases, written by gen_pie.py; do not edit by hand.\n')
        f.write('\n'.join(out) + '\n')


if __name__ == '__main__':
    main()
