"""Shared pieces of the reference script generators (gen_*.py beside this file).

A script of cases (a canvas, the drawing calls, then the saved picture), the random choices
several generators make the same way, point lists as the scripts write them, and BMP files for
the pictures the scripts load. Standard library only. The generators import it from this
folder, so they still run from anywhere.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


class Script:
    """The cases of one script, written to FAMILY.txt in this folder.

    Each case starts a canvas of w x h in the background colour, runs its body and saves
    FAMILY/NNN_NAME.bmp, NNN counting the cases from `first`. `header` lines go first.
    """

    def __init__(self, family, *header, bg='0xFFFFFF', first=0):
        self.family = family
        self.lines = list(header)
        self.bg = bg
        self.first = first
        self.count = 0

    def case(self, name, w, h, body, bg=None):
        self.lines.append('canvas %d %d %s' % (w, h, self.bg if bg is None else bg))
        self.lines.extend(body)
        self.lines.append('save %s/%03d_%s.bmp' % (self.family, self.first + self.count, name))
        self.count += 1

    def write(self):
        with open(os.path.join(HERE, self.family + '.txt'), 'w') as f:
            f.write('\n'.join(self.lines) + '\n')


# Random choices. Each draws from `rnd` in a fixed order, so that a seed gives the same script.

def colour(rnd, green=0x008000):
    """A colour as the scripts write it: black, red, blue, a green, or any colour at all."""
    return '0x%06X' % rnd.choice([0, 0x0000FF, 0xFF0000, green, rnd.randint(0, 0xFFFFFF)])


def canvas_size(rnd):
    return rnd.randint(24, 96), rnd.randint(24, 96)


def ellipse_box(rnd, cw, ch, small=0.6, most=70, swap=0.2):
    """A bounding box for the curve cases on a cw x ch canvas: l, t, w, h and the box's corners.

    A share `small` of the boxes are up to `most` pixels and mostly on the canvas, the rest up to
    200 pixels and partly off it (to a share of 0.85) or tiny and degenerate; the corners are
    swapped left for right, and then top for bottom, each at a rate of `swap`.
    """
    kind = rnd.random()
    if kind < small:
        w, h = rnd.randint(0, most), rnd.randint(0, most)
        l, t = rnd.randint(-10, cw - 5), rnd.randint(-10, ch - 5)
    elif kind < 0.85:
        w, h = rnd.randint(0, 200), rnd.randint(0, 200)
        l, t = rnd.randint(-w - 5, cw + 5), rnd.randint(-h - 5, ch + 5)
    else:
        w, h = rnd.randint(0, 6), rnd.randint(0, 6)
        l, t = rnd.randint(0, cw - 8), rnd.randint(0, ch - 8)
    box = [l, t, l + w, t + h]
    if rnd.random() < swap:
        box = [box[2], box[1], box[0], box[3]]
    if rnd.random() < swap:
        box = [box[0], box[3], box[2], box[1]]
    return l, t, w, h, box


def chart_wall_or_face(rnd, w, h, face):
    """The four corners of a 3-D chart's side wall (left edge vertical) or top face."""
    dx, dy = rnd.randint(5, 20), rnd.randint(5, 20)
    l = rnd.randint(-4, w - 8)
    b = rnd.randint(dy, h + 4)
    t = rnd.randint(dy - 4, b)
    if not face:
        return [(l, b), (l + dx, b - dy), (l + dx, t - dy), (l, t)]
    r = l + rnd.randint(0, 40)
    return [(l, t), (l + dx, t - dy), (r + dx, t - dy), (r, t)]


def convex_points(rnd, w, h, most, reverse):
    """3 to `most` points on an ellipse somewhere over a w x h canvas, in either orientation."""
    cx, cy = rnd.randint(0, w), rnd.randint(0, h)
    rx, ry = rnd.randint(1, w), rnd.randint(1, h)
    k = rnd.randint(3, most)
    a0 = rnd.uniform(0, 2 * math.pi)
    p = [(cx + round(rx * math.cos(a0 + 2 * math.pi * j / k)),
          cy + round(ry * math.sin(a0 + 2 * math.pi * j / k))) for j in range(k)]
    if reverse:
        p.reverse()
    return p


def star_points(cx, cy, r, k, step):
    """The star {k/step} of radius r round (cx, cy)."""
    return [(cx + round(r * math.cos(2 * math.pi * j * step / k)),
             cy + round(r * math.sin(2 * math.pi * j * step / k))) for j in range(k)]


def far_corners(rnd, w, h, exponents):
    """3 to 6 points up to 2^e away (e one of `exponents`), one of them on the w x h canvas."""
    m = 2 ** rnd.choice(exponents)
    k = rnd.randint(3, 6)
    p = [(rnd.randint(-m, m), rnd.randint(-m, m)) for _ in range(k)]
    p[rnd.randrange(k)] = (rnd.randint(0, w), rnd.randint(0, h))
    return p


def figure_in_path(rnd, w, h, setup, figure, line_after):
    """A closed figure (one command) recorded in a path after a move, optionally followed by a
    line from the current position it leaves, then the path filled, stroked or both."""
    body = setup + ['moveto %d %d' % (rnd.randint(0, w), rnd.randint(0, h)), 'beginpath', figure]
    if line_after:
        body.append('lineto %d %d' % (rnd.randint(0, w), rnd.randint(0, h)))
    return body + ['endpath', rnd.choice(['strokepath', 'fillpath', 'strokeandfillpath'])]


def figure_after_closed_figure(rnd, w, h, figure):
    """A closed figure recorded in a path after CloseFigure, then a line from where it leaves
    the current position."""
    return ['moveto 1 1', 'beginpath', 'lineto %d 1' % (w // 3), 'lineto %d %d' % (w // 3, h // 2),
            'closefigure', figure, 'lineto %d %d' % (w - 2, rnd.randint(0, h)), 'endpath', 'strokepath']


def pen_for_box(pen, w, h):
    """The pen, or the black one-pixel pen where an inside-frame pen (style 6) would pull a w x h
    box in by its width to less than nothing: the reference renderer fails or crashes there."""
    if pen.startswith('pen 6') and min(w, h) < int(pen.split()[2]) + 3:
        return 'pen 0 1 0x000000'
    return pen


def far_point(rnd, exponents):
    """A point up to 2^e - 1 away from the origin on either axis (e one of `exponents`): the far
    end of a line that crosses the canvas."""
    m = 2 ** rnd.choice(exponents) - 1
    return rnd.randint(-m, m), rnd.randint(-m, m)


def brush_or_null(rnd):
    """No brush, or a solid brush of any colour, at even odds."""
    return rnd.choice(['nullbrush', 'brush 0x%06X' % rnd.randint(0, 0xFFFFFF)])


def ray(rnd, w, h, lengths):
    """A line from a point at least 4 pixels inside a w x h canvas, of a length out of `lengths`,
    in any direction; a quarter of them turned horizontal or vertical. Its ends x0, y0, x1, y1."""
    cx, cy = rnd.randint(4, w - 4), rnd.randint(4, h - 4)
    a = rnd.uniform(0, 2 * math.pi)
    r = rnd.choice(lengths)
    x1, y1 = cx + round(r * math.cos(a)), cy + round(r * math.sin(a))
    if rnd.random() < 0.25:
        x1, y1 = (x1, cy) if rnd.random() < 0.5 else (cx, y1)
    return cx, cy, x1, y1


def turning_points(rnd, w, h, margin, repeat):
    """2 to 6 points up to `margin` off a w x h canvas; at a rate of 0.3 each segment made
    horizontal or vertical (sharp turns), and at a rate of `repeat` one point given twice."""
    k = rnd.randint(2, 6)
    pts = [(rnd.randint(-margin, w + margin), rnd.randint(-margin, h + margin)) for _ in range(k)]
    if rnd.random() < 0.3:
        for j in range(1, k):
            pts[j] = (pts[j - 1][0], pts[j][1]) if rnd.random() < 0.5 else (pts[j][0], pts[j - 1][1])
    if rnd.random() < repeat:
        j = rnd.randint(0, k - 1)
        pts.insert(j, pts[j])
    return pts


def polyline_case(rnd, w, h, pen, pts, share):
    """A case's name and body: the points as a polyline (at a rate of `share`) or as PolylineTo
    after a move to anywhere on the w x h canvas, drawn with the pen pen() gives."""
    if rnd.random() < share:
        return 'polyline', [pen(), 'polyline ' + points(pts)]
    return 'polylineto', [pen(), 'moveto %d %d' % (rnd.randint(0, w), rnd.randint(0, h)),
                          'polylineto ' + points(pts)]


def outline_case(rnd, w, h, pen):
    """A case's name and body: a rectangle or a 3- to 6-point polygon, partly off the w x h canvas
    at times, outlined with the pen pen() gives and filled with no brush or a solid one."""
    brush = brush_or_null(rnd)
    if rnd.random() < 0.5:
        l, t = rnd.randint(-5, w - 2), rnd.randint(-5, h - 2)
        r, b = l + rnd.randint(-10, 70), t + rnd.randint(-10, 70)
        return 'rect', [pen(), brush, 'rect %d %d %d %d' % (l, t, r, b)]
    k = rnd.randint(3, 6)
    pts = [(rnd.randint(-5, w + 5), rnd.randint(-5, h + 5)) for _ in range(k)]
    return 'polygon', [pen(), brush, 'polygon ' + points(pts)]


# Script text.

def points(p):
    """A point list as the polygon and region commands take it: the count, then x y pairs."""
    return '%d %s' % (len(p), ' '.join('%d %d' % q for q in p))


def line(x0, y0, x1, y1):
    """A line as the scripts draw it: a move to its start, then a line to its end."""
    return ['moveto %d %d' % (x0, y0), 'lineto %d %d' % (x1, y1)]


# BMP files.

def write_bmp(path, w, h, bpp, pix, palette=None, top_down=False, count_colours=False):
    """Writes an uncompressed BMP of 1, 4, 8, 24 or 32 bits a pixel.

    pix(x, y) gives a palette index (bpp <= 8) or (r, g, b); y = 0 is the top row. The colour
    table is the palette (its first 2^bpp entries); count_colours writes their number into the
    header, for tables shorter than 2^bpp, where 0 (the default) says the table is full.
    """
    stride = ((w * bpp + 31) // 32) * 4
    rows = []
    for y in range(h):
        row = bytearray(stride)
        for x in range(w):
            v = pix(x, y)
            if bpp == 24:
                row[x * 3:x * 3 + 3] = bytes((v[2], v[1], v[0]))
            elif bpp == 32:
                row[x * 4:x * 4 + 4] = bytes((v[2], v[1], v[0], 0))
            elif bpp == 8:
                row[x] = v
            elif bpp == 4:
                row[x // 2] |= (v << 4) if x % 2 == 0 else v
            elif v:
                row[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
    if not top_down:
        rows.reverse()
    entries = (palette or [])[:1 << bpp] if bpp <= 8 else []
    table = b''.join(bytes((b, g, r, 0)) for (r, g, b) in entries)
    data = b''.join(rows)
    offset = 14 + 40 + len(table)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, w, -h if top_down else h, 1, bpp, 0, len(data), 2835, 2835,
                       len(entries) if count_colours else 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + table + data)


def read_bmp24(path):
    """The width, height and rows (top row first, 3 bytes a pixel, B G R) of a 24-bit BMP."""
    d = open(path, 'rb').read()
    off, = struct.unpack_from('<I', d, 10)
    w, h = struct.unpack_from('<ii', d, 18)
    bpp, = struct.unpack_from('<H', d, 28)
    if bpp != 24:
        raise SystemExit(f'{path}: not a 24-bit BMP')
    stride = (w * 3 + 3) & ~3
    rows = []
    for y in range(abs(h)):
        src = abs(h) - 1 - y if h > 0 else y
        rows.append(d[off + src * stride: off + src * stride + w * 3])
    return w, abs(h), rows
