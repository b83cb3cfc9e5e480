#!/usr/bin/env python3
"""Writes tests/reference/rectangle.txt: Rectangle, FillRect and FrameRect for the reference
renderer and our replay.

Rectangle with every pen: the stock pen, the null pen, solid pens of widths 0 to 6 and
PS_INSIDEFRAME pens of widths 1 to 6 (including boxes smaller than the pen), with solid, null and
hatched brushes; corners given in any order, boxes of zero, one, two and three pixels, boxes
partly or wholly off the canvas and boxes reaching far beyond it. FillRect with solid and selected
brushes, reversed sides included; FrameRect, with the refused empty and reversed frames. Plus the
chart's calls: bars Rectangle(x, top, x + barWidth + 1, bottom + 1) with the stock pen and solid
brushes, and legend boxes with pens of widths 1 to 3. Deterministic: fixed seed, standard library
only. Run from anywhere.
"""
import random

import refgen
from refgen import Script


def main():
    rnd = random.Random(20240814)
    script = Script('rectangle', '# Rectangle, FillRect and FrameRect cases, written by gen_rectangle.py; do not edit by hand.')
    case = script.case

    def colour():
        return refgen.colour(rnd)

    def brush():
        return rnd.choice(['brush %s' % colour(), 'brush %s' % colour(), 'nullbrush', 'stockbrush',
                           'hatchbrush %d %s' % (rnd.randint(0, 5), colour())])

    def size():
        return refgen.canvas_size(rnd)

    def box(w, h, far=True):
        kind = rnd.random()
        if not far and 0.15 <= kind < 0.25:
            kind = 0.5
        if kind < 0.15:  # tiny
            l, t = rnd.randint(-2, w), rnd.randint(-2, h)
            return l, t, l + rnd.randint(-3, 3), t + rnd.randint(-3, 3)
        if kind < 0.25:  # far beyond the canvas on some sides
            m = 2 ** rnd.choice([8, 12, 16, 20, 24])
            return (rnd.choice([rnd.randint(-m, 0), rnd.randint(0, w)]), rnd.choice([rnd.randint(-m, 0), rnd.randint(0, h)]),
                    rnd.choice([rnd.randint(w, m), rnd.randint(0, w)]), rnd.choice([rnd.randint(h, m), rnd.randint(0, h)]))
        l, t = rnd.randint(-15, w + 5), rnd.randint(-15, h + 5)
        r, b = l + rnd.randint(-40, 60), t + rnd.randint(-40, 60)
        return l, t, r, b

    pens = (['stockpen', 'nullpen'] + ['pen 0 %d COLOUR' % wd for wd in range(7)] +
            ['pen 6 %d COLOUR' % wd for wd in range(1, 7)])

    # The chart's bars: several side by side on a baseline, each one pixel wider and taller than
    # its nominal box so that neighbours share their outline.
    for i in range(30):
        w, h = rnd.randint(40, 96), rnd.randint(30, 96)
        bottom = h - rnd.randint(1, 8)
        x = rnd.randint(-3, 6)
        bar = rnd.randint(1, 14)
        body = ['stockpen']
        while x < w:
            top = rnd.randint(-5, bottom)
            body += ['brush %s' % colour(), 'rect %d %d %d %d' % (x, top, x + bar + 1, bottom + 1)]
            x += bar + rnd.choice([0, 0, 1, 3, 6])
        case('chart_bars', w, h, body)

    # The chart's legend boxes: small squares with pens of widths 1 to 3.
    for i in range(18):
        w, h = rnd.randint(24, 60), rnd.randint(24, 60)
        width = 1 + i % 3
        body = []
        y = 2
        while y + 12 < h:
            s = rnd.randint(4, 12)
            x = rnd.randint(1, 8)
            body += ['pen 0 %d %s' % (width, rnd.choice(['0x000000', colour()])), 'brush %s' % colour(),
                     'rect %d %d %d %d' % (x, y, x + s, y + s)]
            y += s + rnd.randint(2, 6)
        case('chart_legend_pen_%d' % width, w, h, body)

    # Every pen over a set of boxes of every kind.
    for pen in pens:
        for i in range(9):
            w, h = size()
            body = []
            for k in range(rnd.randint(1, 3)):
                body += [pen.replace('COLOUR', colour()), brush(), 'rect %d %d %d %d' % box(w, h)]
            name = pen.split()[0] if ' ' not in pen else ('solid_%s' % pen.split()[2] if pen.startswith('pen 0')
                                                           else 'insideframe_%s' % pen.split()[2])
            case(name, w, h, body, bg=rnd.choice(['0xFFFFFF', '0xE0E0E0']))

    # Corner order, and boxes of 0 to 3 pixels, with every pen width.
    for pen in pens:
        w, h = 40, 40
        body = [pen.replace('COLOUR', colour()), 'brush %s' % colour()]
        sizes = [(0, 5), (5, 0), (1, 1), (2, 2), (3, 3), (1, 6), (6, 1), (2, 7)]
        x = 3
        for sw, sh in sizes[:4]:
            body.append('rect %d 4 %d %d' % (x, x + sw, 4 + sh))
            x += 9
        x = 3
        for sw, sh in sizes[4:]:
            body.append('rect %d 20 %d %d' % (x + sw, x, 20 + sh))  # reversed
            x += 9
        body.append('rect 30 38 5 30')
        case('small_and_reversed_' + pen.split()[0] + ('' if ' ' not in pen else '_' + pen.split()[2]), w, h, body)

    # FillRect with a solid colour and with the selected brush, sides in any order.
    for i in range(30):
        w, h = size()
        body = []
        for k in range(rnd.randint(1, 4)):
            l, t, r, b = box(w, h)
            if rnd.random() < 0.5:
                body.append('fillrect %d %d %d %d %s' % (l, t, r, b, colour()))
            else:
                body += [brush(), 'bkmode %d' % rnd.choice([1, 2]), 'fillrectcur %d %d %d %d' % (l, t, r, b)]
        case('fillrect', w, h, body)

    # FrameRect: one-pixel frames in a solid brush; empty and reversed frames are refused.
    for i in range(24):
        w, h = size()
        body = []
        for k in range(rnd.randint(1, 4)):
            l, t = rnd.randint(-5, w), rnd.randint(-5, h)
            r, b = l + rnd.randint(1, 40), t + rnd.randint(1, 40)
            body.append('framerect %d %d %d %d %s' % (l, t, r, b, colour()))
        case('framerect', w, h, body)
    for i, (l, t, r, b) in enumerate([(30, 5, 5, 30), (5, 30, 30, 5), (10, 10, 10, 20), (10, 10, 20, 10)]):
        case('framerect_refused', 40, 40, ['onfail warn', 'framerect %d %d %d %d 0x0000FF' % (l, t, r, b),
                                           'onfail exit', 'framerect 2 2 9 9 0x00FF00'])

    # Styled pens show where the outline starts and which way it runs.
    for i in range(16):
        w, h = size()
        body = ['bkmode %d' % rnd.choice([1, 2]), 'bkcolor %s' % colour()]
        for k in range(rnd.randint(1, 3)):
            body += ['pen %d %d %s' % (rnd.randint(1, 4), rnd.choice([0, 1]), colour()), brush(),
                     'rect %d %d %d %d' % box(w, h)]
        case('styled_pen', w, h, body)

    # Geometric pens (styled, any cap and join, widths 0 to 6): the fill then reaches under the
    # pen's path on the left and top too, which the gaps of styled pens show.
    for i in range(24):
        w, h = size()
        body = ['bkmode %d' % rnd.choice([1, 2]), 'bkcolor %s' % colour()]
        for k in range(rnd.randint(1, 2)):
            style = 0x10000 | rnd.choice([0, 1, 2, 3, 4, 6]) | rnd.choice([0, 0x100, 0x200]) | rnd.choice([0, 0x1000, 0x2000])
            # (Styled pens along far-away sides take the reference renderer minutes.)
            body += ['extpen 0x%08X %d %s' % (style, rnd.randint(0, 6), colour()), brush(),
                     'rect %d %d %d %d' % box(w, h, far=False)]
        case('geometric_pen', w, h, body)

    # Inside a path the rectangle is recorded as a closed figure, the current position unmoved.
    for i in range(10):
        w, h = size()
        l, t, r, b = box(w, h)
        setup = ['pen %d %d %s' % (rnd.choice([0, 1, 6]), rnd.choice([1, 1, 3]), colour()), 'brush %s' % colour()]
        case('in_path', w, h,
             refgen.figure_in_path(rnd, w, h, setup, 'rect %d %d %d %d' % (l, t, r, b), line_after=i % 2 == 1))
    for i in range(4):
        w, h = size()
        case('in_path_after_closed_figure', w, h,
             refgen.figure_after_closed_figure(rnd, w, h, 'rect %d %d %d %d' % box(w, h)))

    script.write()


if __name__ == '__main__':
    main()
