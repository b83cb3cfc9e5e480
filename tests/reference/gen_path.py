#!/usr/bin/env python3
"""Writes tests/reference/path.txt: path cases for the reference renderer and our replay.

The chart's solid pie sequences (bottom faces, radial faces, walls closed by an ArcTo outside the
path, top faces) on ellipses flattened by tilt angles, then random paths: lines and ArcTo in
figures, CloseFigure, figures left open for filling, ALTERNATE and WINDING, FillPath, StrokePath
and StrokeAndFillPath, and a line from the current position each path leaves. Deterministic:
fixed seed, standard library only.
"""
import math
import random

from refgen import Script, canvas_size

COLOURS = ['0x3366CC', '0x33CC66', '0xCC3366', '0x66CCCC', '0xCCCC33', '0x9933CC']


def darker(c):
    v = int(c, 16)
    return '0x%06X' % (((v >> 1) & 0x7F7F7F))


def main():
    rnd = random.Random(20240614)
    script = Script('path', '# Path reference cases, written by gen_path.py; do not edit by hand.')

    # Solid (3-D) pies as the chart draws them, seen through a 96 x 96 window.
    for chart in range(48):
        r = rnd.randint(40, 120)
        tilt = 0.785398 if chart % 2 == 0 else rnd.uniform(0, 1.2)
        hgt = round(2 * r * math.cos(tilt))
        depth = rnd.randint(10, 20)
        # Place the pie so that the window sees its centre, its rim or its front wall.
        cx = rnd.randint(48 - r // 2, 48 + r // 2)
        cy = rnd.randint(48 - hgt // 2 - depth, 48 + hgt // 4)
        top = (cx - r, cy - hgt // 2, cx + r, cy - hgt // 2 + hgt)
        bottom = (top[0], top[1] + depth, top[2], top[3] + depth)
        ct, cb = (cx, cy), (cx, cy + depth)
        count = rnd.randint(1, 6)
        weights = [rnd.uniform(0.05, 1) for _ in range(count)]
        total = sum(weights)
        angle = rnd.uniform(0, 360)
        slices = []
        for k, wgt in enumerate(weights):
            sweep = 360 * wgt / total
            a0, a1 = math.radians(angle), math.radians(angle + sweep)
            st = (round(cx + r * math.cos(a0)), round(cy - hgt / 2 * math.sin(a0)))
            et = (round(cx + r * math.cos(a1)), round(cy - hgt / 2 * math.sin(a1)))
            slices.append((COLOURS[k % len(COLOURS)], st, et, a0, a1))
            angle += sweep
        body = ['pen 0 1 0x000000']
        fmt = lambda b: '%d %d %d %d' % b
        for colour, st, et, a0, a1 in slices:  # bottom faces
            sb, eb = (st[0], st[1] + depth), (et[0], et[1] + depth)
            body += ['brush %s' % darker(colour), 'moveto %d %d' % cb, 'beginpath',
                     'arcto %s %d %d %d %d' % (fmt(bottom), eb[0], eb[1], sb[0], sb[1]),
                     'endpath', 'strokeandfillpath']
        for colour, st, et, a0, a1 in slices:  # radial faces at both edges
            for p in (st, et):
                body += ['brush %s' % darker(colour), 'moveto %d %d' % cb, 'beginpath',
                         'lineto %d %d' % (p[0], p[1] + depth), 'lineto %d %d' % p,
                         'lineto %d %d' % ct, 'endpath', 'fillpath',
                         'moveto %d %d' % ct, 'lineto %d %d' % p, 'lineto %d %d' % (p[0], p[1] + depth)]
        for colour, st, et, a0, a1 in slices:  # walls
            sb, eb = (st[0], st[1] + depth), (et[0], et[1] + depth)
            body += ['brush %s' % darker(colour), 'moveto %d %d' % eb, 'beginpath',
                     'arcto %s %d %d %d %d' % (fmt(bottom), eb[0], eb[1], sb[0], sb[1]),
                     'arcdir 2', 'arcto %s %d %d %d %d' % (fmt(top), st[0], st[1], et[0], et[1]),
                     'arcdir 1', 'endpath', 'fillpath',
                     'arcto %s %d %d %d %d' % (fmt(bottom), eb[0], eb[1], sb[0], sb[1])]
        for colour, st, et, a0, a1 in slices:  # top faces
            body += ['brush %s' % colour, 'moveto %d %d' % ct, 'beginpath',
                     'arcto %s %d %d %d %d' % (fmt(top), et[0], et[1], st[0], st[1]),
                     'endpath', 'strokeandfillpath']
        script.case('solidpie%d' % count, 96, 96, body)

    pens = ['pen 0 1 0x000000'] * 6 + ['pen 0 %d 0x000080' % w for w in (3, 4, 5)] + \
           ['pen %d 1 0x000000' % style for style in (1, 2, 3, 4)]
    brushes = ['brush 0x3366CC'] * 3 + ['hatchbrush 4 0xCC0000']
    uses = ['fillpath', 'strokepath', 'strokeandfillpath']
    for i in range(280):
        cw, ch = canvas_size(rnd)
        body = ['polyfill %d' % rnd.choice([1, 2]), rnd.choice(pens), rnd.choice(brushes)]
        direction = 1
        body.append('moveto %d %d' % (rnd.randint(-10, cw + 10), rnd.randint(-10, ch + 10)))
        body.append('beginpath')
        for f in range(rnd.choice([1, 1, 2, 3])):
            if f or rnd.random() < 0.5:
                body.append('moveto %d %d' % (rnd.randint(-10, cw + 10), rnd.randint(-10, ch + 10)))
            for k in range(rnd.randint(1, 5)):
                if rnd.random() < 0.35:
                    w, h = rnd.randint(1, 120), rnd.randint(1, 120)
                    l, t = rnd.randint(-w // 2, cw - w // 2), rnd.randint(-h // 2, ch - h // 2)
                    box = [l, t, l + w, t + h]
                    if rnd.random() < 0.2:
                        box = [box[2], box[3], box[0], box[1]]
                    pts = [rnd.randint(-40, cw + 40), rnd.randint(-40, ch + 40),
                           rnd.randint(-40, cw + 40), rnd.randint(-40, ch + 40)]
                    if rnd.random() < 0.1:
                        pts[2:] = pts[:2]
                    if rnd.random() < 0.5:
                        direction = 3 - direction
                        body.append('arcdir %d' % direction)
                    body.append('arcto %d %d %d %d %d %d %d %d' % tuple(box + pts))
                else:
                    body.append('lineto %d %d' % (rnd.randint(-10, cw + 10), rnd.randint(-10, ch + 10)))
            if rnd.random() < 0.4:
                body.append('closefigure')
        body += ['endpath', rnd.choice(uses),
                 'pen 0 1 0x0000CC', 'lineto %d %d' % (rnd.randint(0, cw), rnd.randint(0, ch))]
        script.case('r%d' % i, cw, ch, body)

    script.write()


if __name__ == '__main__':
    main()
