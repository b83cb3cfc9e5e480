#!/usr/bin/env python3
"""Writes OUTDIR/NAME.calls: the canvas calls of the pie renderer, one per line.

An independent model of the call sequence that RenderPie makes when an output method runs once
on a fresh canvas (stock black 1-pixel pen, stock white brush, stock font, counter-clockwise arc
direction, black text): flat slices or the solid pie, the percentage labels, then the legend.
It is used to check the chart's calls; its outputs are committed and CI only reads them.

Usage: gen_pie_calls.py CASES.json OUTDIR      (Python 3 standard library only)

Arithmetic mirrors the chart: singles are rounded to 32-bit floats at every store, mixed
expressions are doubles, pixels round to nearest with ties to even at the call.
"""
import decimal
import json
import math
import os
import struct
import sys

DEFAULTS = {
    'Width': 0, 'Height': 0, 'BorderOffset': 15,
    'MarginTop': 20, 'MarginLeft': 20, 'MarginBottom': 20, 'MarginRight': 20,
    'LegendVisible': True, 'LegendWidth': 0, 'PieSizeRate': 1.0, 'PieItemOutOffset3D': 20,
    'PercentDigits': 0, 'Chart_3D': False, 'Angle_3D': 0.78539813, 'Depth_3D': 10,
    'MValueVisible': False, 'MValueBorderOffsetX': 1, 'MValueBorderOffsetY': 1,
    'LegendTitle': 'Legend', 'LegendTitleBond': True, 'LegendTitleHeight': 20,
    'LegendItemHeight': 20, 'LegendFontSize': 14, 'LegendTxtColor': 0, 'LegendBorderColor': 0,
    'LegendBorderWidth': 1, 'LegendBackgroundColor': 0xFFFFFF, 'LegendOffsetX': 0,
    'LegendOffsetY': 0,
}
BOOLEANS = ('LegendVisible', 'LegendTitleBond', 'Chart_3D', 'MValueVisible')
SINGLES = ('PieSizeRate', 'Angle_3D')
DEFAULT_EXTENT = dict({d: 8 for d in '0123456789'}, **{'.': 4, '%': 12, '-': 5, 'height': 16})
TRUE = -1
PI = 3.1415926
RATE_CAP = struct.unpack('<f', bytes.fromhex('cdcc4c3f'))[0]  # the single nearest 0.8


def f32(x):
    """Stores x into a single."""
    return struct.unpack('<f', struct.pack('<f', x))[0]


def px(x):
    """A floating value turned into a pixel: nearest integer, ties to even."""
    return int(round(x))


def i32(x):
    if not -2**31 <= x < 2**31:
        raise OverflowError('overflow (error 6)')
    return x


def flag(v):
    """JSON booleans become the component's -1 / 0; other numbers stay as given."""
    return TRUE if v is True else 0 if v is False else int(v)


def colour(v):
    return int(v, 0) if isinstance(v, str) else int(v)


def hexc(c):
    return '0x%06X' % (c & 0xFFFFFF)


def darken(c):
    """Sides and bottoms of the solid pie: every channel 50 darker, not below 0."""
    return sum(max(((c >> s) & 0xFF) - 50, 0) << s for s in (0, 8, 16))


def radians(deg):
    return deg * PI / 180


def percent_text(share, digits):
    """Share x 100 as a single, rounded to `digits` decimals (halves away from zero), then %.
    A negative share keeps its sign also when it rounds to zero ("-0%")."""
    value = decimal.Decimal(f32(share * 100))
    digits = max(digits, 0)
    q = value.quantize(decimal.Decimal(1).scaleb(-digits), rounding=decimal.ROUND_HALF_UP)
    return ('-' if value < 0 else '') + format(abs(q), 'f') + '%'


class Canvas:
    """Records the calls, in the words of the .calls files."""

    def __init__(self, extent):
        self.lines, self.extent = [], extent

    def emit(self, *words):
        self.lines.append(' '.join(str(w) for w in words))

    def brush(self, c): self.emit('brush', hexc(c))
    def moveto(self, x, y): self.emit('moveto', px(x), px(y))
    def lineto(self, x, y): self.emit('lineto', px(x), px(y))

    def arcto(self, box, p1, p2):
        self.emit('arcto', *[px(v) for v in box + p1 + p2])

    def text_extent(self, text):
        try:
            return sum(self.extent[ch] for ch in text), self.extent['height']
        except KeyError as e:
            raise SystemExit('char_extent has no width for %r' % e.args[0])


def load_case(case):
    s = dict(DEFAULTS, **case.get('settings', {}))
    for k in BOOLEANS:
        s[k] = flag(s[k])
    for k in SINGLES:
        s[k] = f32(s[k])
    for k in ('LegendTxtColor', 'LegendBorderColor', 'LegendBackgroundColor'):
        s[k] = colour(s[k])
    s['BorderOffset'] = min(max(int(s['BorderOffset']), 5), 30)
    items = [{'Name': it.get('Name', ''), 'Value': f32(it.get('Value', 0)),
              'ItemHidden': flag(it.get('ItemHidden', False)),
              'ItemOut': flag(it.get('ItemOut', False)),
              'FillColor1': colour(it.get('FillColor1', 0))} for it in case['items']]
    return s, items


def prepare(s, items):
    """Shares, centre and radius, and every slice's angles, offsets and points."""
    total = 0.0
    for it in items:
        total = f32(total + it['Value'])
    if total == 0:
        raise SystemExit('zero total of values')
    for it in items:
        it['Share'] = f32(it['Value'] / total)
    if s['LegendVisible'] == 0:
        s['LegendWidth'] = 0
    bo = s['BorderOffset']
    w = i32(s['Width'] - s['LegendWidth'] - 2 * bo - s['MarginLeft'] - s['MarginRight'])
    h = i32(s['Height'] - 2 * bo - s['MarginTop'] - s['MarginBottom'])
    g = {'cx': f32(w / 2 + bo + s['MarginLeft']), 'cy': f32(h / 2 + bo + s['MarginTop'])}
    r = f32((w if w < h else h) / 2)
    if any(it['ItemOut'] == TRUE for it in items) and s['PieSizeRate'] > RATE_CAP:
        s['PieSizeRate'] = RATE_CAP
    g['r'] = r = f32(r * s['PieSizeRate'])
    cx, cy = g['cx'], g['cy']
    cos_a = math.cos(s['Angle_3D'])
    g['cos_a'], g['D'] = cos_a, s['Depth_3D']
    g['h'] = px(2 * r * cos_a)
    g['project'] = lambda y: y - (y - cy) * (1 - cos_a)
    off = s['PieItemOutOffset3D']
    start = (px(cx + r), px(cy))
    end_angle = 0.0
    slices = []
    for it in items:
        end_angle = f32(end_angle + it['Share'] * 360)
        mid = end_angle - it['Share'] * 360 / 2
        out = it['ItemOut'] == TRUE
        ox, oy = ((f32(off * math.cos(radians(mid))), f32(off * math.sin(radians(mid))))
                  if out else (0.0, 0.0))
        ex, ey = f32(r * math.cos(radians(end_angle))), f32(r * math.sin(radians(end_angle)))
        if out:
            S = (px(start[0] + ox), px(start[1] + oy))
            E = (px(ex + cx + ox), px(ey + cy + oy))
            B0, B1 = (S[0] - ox, S[1] - oy), (E[0] - ox, E[1] - oy)
        else:
            S, E = start, (px(ex + cx), px(ey + cy))
            B0, B1 = S, E
        slices.append({'item': it, 'end': end_angle, 'mid': mid, 'out': out,
                       'hidden': it['ItemHidden'] == TRUE, 'ox': ox, 'oy': oy,
                       'oyp': f32(oy * cos_a) if out else 0.0, 'S': S, 'E': E,
                       'B0': B0, 'B1': B1,
                       'St': (S[0], g['project'](S[1])), 'Et': (E[0], g['project'](E[1]))})
        start = E if not out else (px(E[0] - ox), px(E[1] - oy))
    return g, slices


def draw_flat(cv, g, slices):
    """Each visible slice is one Pie call from its end point back to its start point."""
    cx, cy, r = g['cx'], g['cy'], g['r']
    for sl in slices:
        if sl['hidden']:
            continue
        ox, oy = sl['ox'], sl['oy']
        cv.brush(sl['item']['FillColor1'])
        cv.emit('pie', px(cx - r + ox), px(cy - r + oy), px(cx + r + ox), px(cy + r + oy),
                *(sl['E'] + sl['S']))


def solid_frame(g, sl):
    """Top and bottom boxes, centres and leftmost points of one slice of the solid pie."""
    cx, cy, r, h, D = g['cx'], g['cy'], g['r'], g['h'], g['D']
    ox, oyp = sl['ox'], sl['oyp']
    top = (cx + ox - r, cy - h / 2 + oyp, cx + ox + r, cy - h / 2 + oyp + h)
    f = {'top': top, 'bottom': (top[0], top[1] + D, top[2], top[3] + D),
         'Ct': (cx + ox, cy + oyp), 'Cb': (cx + ox, cy + oyp + D),
         'Lt': (cx + ox - r, cy + oyp), 'Lb': (cx + ox - r, cy + oyp + D)}
    for k in ('St', 'Et'):
        f[k] = sl[k]
        f[k[0] + 'b'] = (sl[k][0], sl[k][1] + D)
    return f


def draw_wall(cv, g, i, sl, c):
    """The curved outer wall of slice i; c is the centre line it is split against."""
    f, D = solid_frame(g, sl), g['D']
    St, Et = f['St'], f['Et']
    cv.brush(darken(sl['item']['FillColor1']))
    straddles = (St[1] > c and Et[1] < c) or (i == 0 and St[1] == c and Et[1] < c)
    if not straddles:
        cv.moveto(*f['Eb'])
        cv.emit('beginpath')
        cv.arcto(f['bottom'], f['Eb'], f['Sb'])
        cv.emit('arcdir', 2)
        cv.arcto(f['top'], St, Et)
        cv.emit('arcdir', 1)
        cv.emit('endpath')
        cv.emit('fillpath')
        if St[1] - g['cy'] >= 0 and St[0] - (g['cx'] + sl['ox'] - g['r']) > 0:
            cv.arcto(f['bottom'], f['Eb'], f['Sb'])
    else:
        cv.moveto(*f['Eb'])
        cv.emit('beginpath')
        cv.arcto(f['bottom'], f['Eb'], f['Lb'])
        cv.emit('arcdir', 2)
        cv.arcto(f['top'], f['Lt'], Et)
        cv.emit('arcdir', 1)
        cv.emit('endpath')
        cv.emit('fillpath')
        cv.moveto(*f['Lb'])
        cv.emit('beginpath')
        cv.arcto(f['bottom'], f['Lb'], f['Sb'])
        if sl['out']:
            cv.lineto(*St)
        cv.emit('arcdir', 2)
        cv.arcto(f['top'], St, f['Lt'])
        cv.emit('arcdir', 1)
        cv.emit('endpath')
        cv.emit('strokeandfillpath' if sl['out'] else 'fillpath')
        cv.arcto(f['bottom'], f['Lb'], f['Sb'])
    x = St[0] - 1 if i == 0 and not sl['out'] else St[0]
    cv.moveto(x, St[1] + D - 1)
    cv.lineto(x, St[1] - 1)


def draw_solid(cv, g, slices):
    """The solid pie draws its bottom faces first, then radial faces back to front, the outer
    walls, and the top faces last. The fresh canvas already arcs counter-clockwise."""
    n, D = len(slices), g['D']
    for sl in slices:
        if not sl['hidden']:
            f = solid_frame(g, sl)
            cv.brush(darken(sl['item']['FillColor1']))
            cv.moveto(*f['Cb'])
            cv.emit('beginpath')
            cv.arcto(f['bottom'], f['Eb'], f['Sb'])
            cv.emit('endpath')
            cv.emit('strokeandfillpath')
    faces = [(sl['B0'], sl) for sl in slices] + [(sl['B1'], sl) for sl in slices]
    for w in range(2 * n):
        for x in range(w + 1, 2 * n):
            if faces[w][0][1] > faces[x][0][1]:
                faces[w], faces[x] = faces[x], faces[w]
    for outer, sl in faces:
        if sl['hidden']:
            continue
        f = solid_frame(g, sl)
        P = (outer[0] + sl['ox'], g['project'](outer[1]) + sl['oyp'])
        cv.brush(darken(sl['item']['FillColor1']))
        cv.moveto(*f['Cb'])
        cv.emit('beginpath')
        cv.lineto(P[0], P[1] + D)
        cv.lineto(*P)
        cv.lineto(*f['Ct'])
        cv.emit('endpath')
        cv.emit('fillpath')
        cv.moveto(*P)
        cv.lineto(P[0], P[1] + D)
        cv.lineto(*f['Cb'])
        cv.lineto(*f['Ct'])
    for exploded in (False, True):
        for i in range(n - 1, -1, -1):
            sl = slices[i]
            if not sl['hidden'] and sl['out'] == exploded:
                draw_wall(cv, g, i, sl, g['cy'] + sl['oyp'] if exploded else g['cy'])
    for sl in slices:
        if not sl['hidden']:
            f = solid_frame(g, sl)
            cv.brush(sl['item']['FillColor1'])
            cv.moveto(*f['Ct'])
            cv.emit('beginpath')
            cv.arcto(f['top'], f['Et'], f['St'])
            cv.emit('endpath')
            cv.emit('strokeandfillpath')


def draw_labels(cv, s, g, slices):
    """A boxed percentage two thirds of the way out to the middle of every visible slice."""
    cx, cy, r = g['cx'], g['cy'], g['r']
    bx, by = s['MValueBorderOffsetX'], s['MValueBorderOffsetY']
    for sl in slices:
        mx = px(f32(r * math.cos(radians(sl['mid']))) + cx + sl['ox'])
        my = px(f32(r * math.sin(radians(sl['mid']))) + cy + sl['oy'])
        if sl['hidden'] or s['MValueVisible'] != TRUE:
            continue
        ax, ay = f32((cx + 2 * mx) / 3), f32((cy + 2 * my) / 3)
        if s['Chart_3D'] == TRUE:
            ay = f32(cy + (ay - cy) * g['cos_a'])
        text = percent_text(sl['item']['Share'], s['PercentDigits'])
        length = len(text.encode('cp1252', errors='replace'))
        cv.emit('pen', 0, 1, hexc(0))
        tw, th = cv.text_extent(text)
        left, top = px(ax - 5 * length), px(ay - 10)
        right, bottom = left + tw, top + th
        cv.moveto(left - bx, top - by)
        cv.lineto(left - bx, bottom + by)
        cv.lineto(right + bx, bottom + by)
        cv.lineto(right + bx, top - by)
        cv.lineto(left - bx, top - by)
        cv.emit('textout', left, top, '"%s"' % text)


def draw_legend(cv, s, items):
    """The legend box on the right: heading, then an icon and the name of every visible item."""
    if s['LegendVisible'] != TRUE:
        return
    cv.emit('pen', 0, s['LegendBorderWidth'], hexc(s['LegendBorderColor']))
    cv.brush(s['LegendBackgroundColor'])
    cv.emit('textcolor', hexc(s['LegendTxtColor']))
    shown = [it for it in items if it['ItemHidden'] != TRUE]
    th, ih = s['LegendTitleHeight'], s['LegendItemHeight']
    y0 = px((s['Height'] - len(items) * ih - th) / 2 + s['MarginTop'] + s['LegendOffsetY'])
    x0 = i32(s['Width'] - s['BorderOffset'] - s['LegendWidth'] - s['MarginRight'] + 10
             + s['LegendOffsetX'])
    cv.emit('rect', x0 - 5, y0 - 5, x0 - 10 + s['LegendWidth'], y0 + 5 + th + len(shown) * ih)
    cv.emit('font', s['LegendFontSize'], 0, 700 if s['LegendTitleBond'] != 0 else 400)
    cv.emit('textout', x0, y0, '"%s"' % s['LegendTitle'])
    for j, it in enumerate(shown):
        cv.brush(it['FillColor1'])
        cv.emit('rect', x0, y0 + th + j * ih + 2, x0 + 20, y0 + th + (j + 1) * ih - 4)
        cv.emit('font', s['LegendFontSize'], 0, 400)
        cv.emit('textout', x0 + 25, y0 + th + j * ih + 2, '"%s"' % it['Name'])


def render(case):
    s, items = load_case(case)
    cv = Canvas(case.get('char_extent') or DEFAULT_EXTENT)
    g, slices = prepare(s, items)
    if s['Chart_3D'] == 0:
        draw_flat(cv, g, slices)
    elif s['Chart_3D'] == TRUE:
        draw_solid(cv, g, slices)
    draw_labels(cv, s, g, slices)
    draw_legend(cv, s, items)
    return cv.lines


def main(argv):
    if len(argv) != 3:
        raise SystemExit('usage: gen_pie_calls.py CASES.json OUTDIR')
    with open(argv[1], encoding='utf-8') as fh:
        cases = json.load(fh)
    os.makedirs(argv[2], exist_ok=True)
    for case in cases:
        lines = render(case)
        with open(os.path.join(argv[2], case['name'] + '.calls'), 'w', encoding='utf-8',
                  newline='\n') as fh:
            fh.write('\n'.join(lines) + '\n')
        print('%s.calls: %d lines' % (case['name'], len(lines)), file=sys.stderr)


if __name__ == '__main__':
    main(sys.argv)
