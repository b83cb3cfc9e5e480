#!/usr/bin/env python3
"""Writes tests/reference/arc.txt: Arc and ArcTo cases for the reference renderer and our replay.

Radial points in every octant, on, inside and outside the ellipse, start equal to end (the whole
ellipse), both arc directions, boxes of 0 to 200 pixels odd and even, reversed and off the
canvas; ArcTo's line from the current position and, drawn in a second colour, a line from the
current position it leaves. Deterministic: fixed seed, standard library only.
"""
import math
import random

from refgen import Script, canvas_size, ellipse_box, pen_for_box


def main():
    rnd = random.Random(20240612)
    script = Script('arc', '# Arc and ArcTo reference cases, written by gen_arc.py; do not edit by hand.')

    def radial(cx, cy, rx, ry, octant, scale):
        angle = math.radians(octant * 45 + rnd.uniform(0, 45))
        return (round(cx + scale * max(rx, 1) * math.cos(angle)),
                round(cy - scale * max(ry, 1) * math.sin(angle)))

    pens = ['pen 0 1 0x000000'] * 6 + ['pen 0 0 0x400000', 'pen 2 1 0x000000', 'pen 1 1 0x000080'] + \
           ['pen 0 %d 0x000080' % w for w in range(3, 7)] + ['pen 6 %d 0x008000' % w for w in (3, 4)]
    for i in range(320):
        cw, ch = canvas_size(rnd)
        l, t, w, h, box = ellipse_box(rnd, cw, ch)
        cx, cy, rx, ry = l + w / 2, t + h / 2, w / 2, h / 2
        scale1 = rnd.choice([0.3, 0.8, 1.0, 1.3, 4.0, 40.0])
        scale2 = rnd.choice([0.3, 0.8, 1.0, 1.3, 4.0, 40.0])
        p1 = radial(cx, cy, rx, ry, rnd.randrange(8), scale1)
        p2 = p1 if rnd.random() < 0.1 else radial(cx, cy, rx, ry, rnd.randrange(8), scale2)
        if rnd.random() < 0.05:
            p1 = (int(cx), int(cy))
        direction = rnd.choice([1, 2])
        pen = pen_for_box(rnd.choice(pens), w, h)
        body = ['arcdir %d' % direction, pen]
        if rnd.random() < 0.5:
            body.append('arc %d %d %d %d %d %d %d %d' % tuple(box + list(p1) + list(p2)))
            script.case('arc_d%d' % direction, cw, ch, body)
        else:
            body.append('moveto %d %d' % (rnd.randint(-20, cw + 20), rnd.randint(-20, ch + 20)))
            body.append('arcto %d %d %d %d %d %d %d %d' % tuple(box + list(p1) + list(p2)))
            body += ['pen 0 1 0x0000CC', 'lineto %d %d' % (rnd.randint(0, cw), rnd.randint(0, ch))]
            script.case('arcto_d%d' % direction, cw, ch, body)

    script.write()


if __name__ == '__main__':
    main()
