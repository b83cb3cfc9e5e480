#!/usr/bin/env python3
"""Writes tests/reference/ellipse.txt: Ellipse cases for the reference renderer and our replay.

Fills without a pen, outlines with one-pixel and wide pens (solid and inside-frame), no brush,
sizes 0 to 200 odd and even, reversed corners, boxes partly or wholly off the canvas, and the
chart's marker circles. Deterministic: fixed seed, standard library only.
"""
import random

from refgen import Script, canvas_size, ellipse_box


def quarter_reaches_bottom(w, h):
    """Whether the outline of a w x h ellipse has a pixel on every row. Tall narrow ellipses stop
    short of their top and bottom rows; the reference renderer then fills those rows from memory
    it never wrote (different on every run), so such cases are drawn without a brush."""
    a, b = w - 1, h - 1
    dx, dy = 4 * b * b * (1 - a), 4 * a * a * (1 + b % 2)
    err = dx + dy + a * a * (b % 2)
    x, y, last = a, h // 2, h // 2
    while x >= w // 2:
        last = y
        e2 = 2 * err
        if e2 >= dx:
            x -= 1
            dx += 8 * b * b
            err += dx
        if e2 <= dy:
            y += 1
            dy += 8 * a * a
            err += dy
    return last >= h - 1


def main():
    rnd = random.Random(20240611)
    script = Script('ellipse', '# Ellipse reference cases, written by gen_ellipse.py; do not edit by hand.')

    # The chart's marker circles: Ellipse(x-s, y-s, x+s, y+s), solid brush, 1-px and wider pens.
    for s in range(2, 7):
        for width in range(1, 6):
            x, y = rnd.randint(8, 15), rnd.randint(8, 15)
            script.case('marker_s%d_w%d' % (s, width), 24, 24,
                 ['pen 0 %d 0x000000' % width, 'brush 0x3366CC',
                  'ellipse %d %d %d %d' % (x - s, y - s, x + s, y + s)])

    pens = ['nullpen', 'pen 0 1 0x000000', 'pen 0 0 0x202020', 'pen 1 1 0x000000', 'pen 2 1 0x800000',
            'pen 3 1 0x000080', 'pen 4 1 0x008000'] + \
           ['pen 0 %d 0x000080' % w for w in range(2, 7)] + \
           ['pen 6 %d 0x008000' % w for w in range(1, 7)]
    brushes = ['brush 0x3366CC', 'nullbrush', 'hatchbrush 3 0xCC0000']
    for i in range(300):
        cw, ch = canvas_size(rnd)
        # Small to mid sizes mostly on the canvas, up to 200 partly off it, tiny and degenerate.
        l, t, w, h, box = ellipse_box(rnd, cw, ch, small=0.55, most=60, swap=0.25)
        pen = rnd.choice(pens)
        brush = rnd.choice(brushes)
        if brush != 'nullbrush' and w > 2 and h > 2:
            width = int(pen.split()[2]) if pen.startswith('pen') else 1
            iw, ih = w, h
            if pen.startswith('pen 6') and width > 1:
                iw, ih = w - width // 2 - (width - 1) // 2, h - width // 2 - (width - 1) // 2
            if iw > 2 and ih > 2 and not quarter_reaches_bottom(iw, ih):
                brush = 'nullbrush'
        body = [pen, brush]
        if brush.startswith('hatch') and rnd.random() < 0.5:
            body += ['bkmode 2', 'bkcolor 0x00CCCC']
        body.append('ellipse %d %d %d %d' % tuple(box))
        script.case('r%dx%d' % (w, h), cw, ch, body)

    script.write()


if __name__ == '__main__':
    main()
