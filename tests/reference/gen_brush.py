#!/usr/bin/env python3
"""Writes tests/reference/brush.txt and the pattern tiles it loads (brush_*.bmp beside it).

Hatch brushes of all six styles, with transparent and opaque background modes and several
background colours; DIB pattern brushes from small 24-bit and 8-bit tiles (square and odd sizes,
bottom-up and top-down, plus 1- and 4-bit ones); all under several brush origins, positive,
negative and larger than the tile. Each brush fills rectangles (null pen and stock pen), polygons,
FillRect with the selected brush and, for comparison, a FrameRect and a region in solid colours.
Plus the chart's tiled picture fill: FillRect of a pattern brush whose origin is the rectangle's
top-left corner. Deterministic: fixed seed, standard library only. Run from anywhere.
"""
import os
import random

import refgen
from refgen import HERE, Script, points, write_bmp

PALETTE = [(255, 255, 255), (200, 0, 0), (0, 150, 0), (0, 0, 220), (250, 200, 0), (120, 0, 160),
           (0, 180, 180), (60, 60, 60)]

# Every tile is asymmetric, so a pattern one pixel off (or mirrored) shows.
TILES = {
    'brush_t24.bmp': (8, 8, 24, lambda x, y: ((x * 30) % 256, (y * 30) % 256, ((x + y) * 17) % 256), None, False),
    'brush_t24_odd.bmp': (5, 3, 24, lambda x, y: ((x * 50) % 256, (y * 90) % 256, 128 if (x + y) % 2 else 0),
                          None, False),
    'brush_t24_topdown.bmp': (6, 7, 24, lambda x, y: ((x * 40) % 256, (y * 30) % 256, 200 if x == y else 0),
                              None, True),
    'brush_t24_16.bmp': (16, 16, 24, lambda x, y: ((x * 16) % 256, (y * 16) % 256, (x * y) % 256), None, False),
    'brush_t8.bmp': (8, 8, 8, lambda x, y: (x + y * 3) % 8, PALETTE, False),
    'brush_t8_odd.bmp': (7, 5, 8, lambda x, y: (x * 2 + y) % 8, PALETTE, False),
    'brush_t4.bmp': (6, 4, 4, lambda x, y: (x + y) % 8, PALETTE, False),
    'brush_t1.bmp': (8, 8, 1, lambda x, y: int((x ^ y) & 1 or x == 0), [(255, 0, 0), (0, 0, 255)], False),
}


def main():
    # The palette tiles' colour tables hold only the colours given, their number in the header.
    for name, (w, h, bpp, pix, palette, top_down) in TILES.items():
        write_bmp(os.path.join(HERE, name), w, h, bpp, pix, palette, top_down, count_colours=True)

    rnd = random.Random(20240813)
    script = Script('brush', '# Hatch and pattern brush cases, written by gen_brush.py; do not edit by hand.',
                    bg='0xE0E0E0')
    case = script.case

    def colour():
        return refgen.colour(rnd)

    def origin():
        return rnd.choice([(0, 0), (1, 0), (0, 1), (3, 2), (7, 7), (8, 8), (-5, 7), (13, -1), (-100, 37),
                           (rnd.randint(-40, 40), rnd.randint(-40, 40))])

    def shapes(w, h):
        """Fills with the selected brush: several calls so each case shows the alignment in several places."""
        body = []
        for k in range(rnd.randint(1, 3)):
            what = rnd.choice(['rect_nullpen', 'rect_stockpen', 'polygon', 'fillrectcur', 'rect_wide'])
            l, t = rnd.randint(-10, w - 2), rnd.randint(-10, h - 2)
            r, b = l + rnd.randint(-5, 50), t + rnd.randint(-5, 50)
            if what == 'rect_nullpen':
                body += ['nullpen', 'rect %d %d %d %d' % (l, t, r, b)]
            elif what == 'rect_stockpen':
                body += ['stockpen', 'rect %d %d %d %d' % (l, t, r, b)]
            elif what == 'rect_wide':
                body += ['pen 0 %d %s' % (rnd.randint(2, 4), colour()), 'rect %d %d %d %d' % (l, t, r, b)]
            elif what == 'polygon':
                p = [(rnd.randint(-5, w + 5), rnd.randint(-5, h + 5)) for _ in range(rnd.randint(3, 6))]
                body += [rnd.choice(['nullpen', 'stockpen']), 'polyfill %d' % rnd.choice([1, 2]),
                         'polygon ' + points(p)]
            else:
                body += ['fillrectcur %d %d %d %d' % (l, t, r, b)]
        return body

    # Hatch brushes: every style, both background modes, several origins and colours.
    for hs in range(6):
        for i in range(16):
            w, h = rnd.randint(24, 72), rnd.randint(24, 72)
            ox, oy = origin()
            mode = 1 + i % 2
            body = ['bkmode %d' % mode, 'bkcolor %s' % colour(), 'brushorg %d %d' % (ox, oy),
                    'hatchbrush %d %s' % (hs, colour())]
            case('hatch_%d_%s' % (hs, 'opaque' if mode == 2 else 'transparent'), w, h, body + shapes(w, h))

    # The background mode and colour are taken at the first paint after the brush is selected
    # and kept until it is selected again, which FillRect, FillRgn and FrameRect do (they select
    # their own brush and then the previous one).
    for hs in range(6):
        w, h = 40, 40
        case('hatch_%d_bkcolor_after_first_paint' % hs, w, h,
             ['bkmode 2', 'hatchbrush %d 0x800000' % hs, 'bkcolor 0x00FFFF', 'nullpen', 'rect 2 2 20 38',
              'bkcolor 0xFF00FF', 'rect 20 2 38 38'])
    for i, between in enumerate(['', 'stockpen', 'textcolor 0x00FF00', 'brushorg 1 1', 'fillrectcur 0 0 1 1',
                                 'fillrect 0 0 1 1 0x000000', 'framerect 0 0 2 2 0x000000',
                                 'rgnfill 3 0 0 2 0 0 2 0x000000', 'bkmode 1', 'bkmode 2']):
        first_mode = 1 if i == 9 else 2
        body = ['bkmode %d' % first_mode, 'bkcolor 0x00FFFF', 'hatchbrush %d 0x800000' % (i % 6), 'nullpen',
                rnd.choice(['rect 2 2 20 18', 'fillrectcur 2 2 20 18', 'polygon 3 2 2 20 2 2 18']),
                'bkcolor 0xFF00FF', 'bkmode 2']
        if between:
            body.append(between)
        body.append(rnd.choice(['rect 20 2 38 18', 'polygon 3 20 2 38 2 38 18']))
        case('hatch_realised_once_%d' % i, 40, 20, body)

    # Pattern brushes from every tile.
    for tile in TILES:
        for i in range(10):
            w, h = rnd.randint(24, 48), rnd.randint(24, 48)  # patterns pack poorly: kept small
            ox, oy = origin()
            body = ['bkmode %d' % rnd.choice([1, 2]), 'bkcolor %s' % colour(), 'textcolor %s' % colour(),
                    'brushorg %d %d' % (ox, oy), 'patternbrush %s' % tile]
            case('pattern_%s' % tile[6:-4], w, h, body + shapes(w, h))

    # The brush origin set after the brush is selected still counts.
    for tile in ('brush_t24.bmp', 'brush_t8_odd.bmp'):
        case('pattern_origin_after_select', 40, 40,
             ['patternbrush %s' % tile, 'brushorg 3 5', 'fillrectcur 0 0 20 40', 'brushorg -2 9',
              'fillrectcur 20 0 40 40'])

    # The chart: pictures tiled over a rectangle, the pattern anchored at its top-left corner.
    for i in range(24):
        w, h = rnd.randint(32, 64), rnd.randint(24, 56)
        body = []
        for k in range(rnd.randint(1, 3)):
            l, t = rnd.randint(-5, w - 5), rnd.randint(-5, h - 5)
            r, b = l + rnd.randint(1, 36), t + rnd.randint(1, 36)
            tile = rnd.choice(['brush_t24.bmp', 'brush_t24_odd.bmp', 'brush_t24_16.bmp', 'brush_t8.bmp',
                               'brush_t8_odd.bmp'])
            body += ['brushorg %d %d' % (l, t), 'patternbrush %s' % tile, 'fillrectcur %d %d %d %d' % (l, t, r, b)]
        case('chart_tiled_fill', w, h, body)

    # Frames and regions in solid colours over brushed areas.
    for i in range(24):
        w, h = rnd.randint(24, 40), rnd.randint(24, 40)
        if i % 2:
            body = ['bkmode 2', 'hatchbrush %d %s' % (rnd.randint(0, 5), colour())]
        else:
            body = ['brushorg %d %d' % origin(), 'patternbrush %s' % rnd.choice(list(TILES))]
        body += ['fillrectcur 0 0 %d %d' % (w, h)]
        for k in range(rnd.randint(1, 3)):
            l, t = rnd.randint(-5, w - 2), rnd.randint(-5, h - 2)
            r, b = l + rnd.randint(1, 40), t + rnd.randint(1, 40)
            body.append('framerect %d %d %d %d %s' % (l, t, r, b, colour()))
        p = [(rnd.randint(0, w), rnd.randint(0, h)) for _ in range(rnd.randint(3, 5))]
        body.append('rgnfill %s %s' % (points(p), colour()))
        case('frame_and_region', w, h, body)

    # Null and stock brushes.
    for i in range(6):
        w, h = 32, 32
        case('null_and_stock_brush', w, h,
             [rnd.choice(['nullbrush', 'stockbrush']), 'stockpen', 'rect 3 3 20 25',
              'polygon 3 10 10 30 12 15 30', 'fillrectcur 22 2 30 9'])

    script.write()


if __name__ == '__main__':
    main()
