#!/usr/bin/env python3
"""Writes the blit reference scripts (blit.txt, blit_halftone.txt) and their source pictures.

The sources are small asymmetric pictures (an "F" in several colours on a background whose
shade changes from pixel to pixel, so that a copy one pixel off shows) at 1, 4, 8, 24 and 32 bits
per pixel, bottom-up and top-down. The cases copy them with StretchBlt (stretch_from) and
StretchDIBits (stretchdib_from): equal size, enlarged, shrunk, odd ratios, mirrored, partly or
wholly outside the source or the canvas, in every stretch mode, plus the copies the chart makes.
Deterministic: fixed seed, python3 standard library only. Run from anywhere.
"""
import os
import random

import refgen
from refgen import HERE, write_bmp


def f_class(x, y, w, h):
    """0 background, 1 stem, 2 top bar, 3 middle bar, 4 foot mark, 5 corner mark."""
    if x == 0 and y == 0:
        return 5
    stem = max(1, w // 5)
    left = max(1, w // 6)
    if left <= x < left + stem and 1 <= y < h - 1:
        return 1
    if 1 <= y < 1 + max(1, h // 6) and left <= x < w - 1:
        return 2
    mid = h // 2
    if mid <= y < mid + max(1, h // 8) and left <= x < left + (w * 2) // 3:
        return 3
    if y == h - 1 and x >= w - 2:
        return 4
    return 0


INK = [None, (20, 30, 160), (200, 20, 30), (10, 140, 40), (250, 200, 0), (0, 0, 0)]


def background(x, y):
    return (150 + (x * 37) % 100, 210 - (y * 23) % 90, 120 + ((x + 2 * y) * 13) % 110)


def true_colour(w, h):
    def pix(x, y):
        c = f_class(x, y, w, h)
        return INK[c] if c else background(x, y)
    return pix


SOURCES = {}


def make_sources():
    # name: (width, height, bpp, top_down)
    specs = {
        "blit_f1.bmp": (12, 10, 1, False),
        "blit_f4.bmp": (11, 13, 4, False),
        "blit_f8.bmp": (14, 9, 8, False),
        "blit_f24.bmp": (13, 11, 24, False),
        "blit_f32.bmp": (10, 12, 32, False),
        "blit_f8td.bmp": (9, 14, 8, True),
        "blit_f24td.bmp": (15, 10, 24, True),
        "blit_f32td.bmp": (16, 16, 32, True),
        "blit_w24.bmp": (40, 6, 24, False),
        "blit_t8.bmp": (5, 31, 8, False),
        "blit_p1x1.bmp": (1, 1, 24, False),
    }
    for name, (w, h, bpp, td) in specs.items():
        path = os.path.join(HERE, name)
        if bpp >= 24:
            write_bmp(path, w, h, bpp, true_colour(w, h), top_down=td)
        elif bpp == 8:
            # Entries 0-5: the ink; 16-255: background shades, one per pixel position.
            palette = [(0, 0, 0)] * 256
            for c in range(1, 6):
                palette[c] = INK[c]
            palette[0] = (255, 255, 255)
            for i in range(16, 256):
                palette[i] = ((i * 53) % 256, (i * 97 + 40) % 256, (255 - i * 3) % 256)

            def pix8(x, y, w=w, h=h):
                c = f_class(x, y, w, h)
                return c if c else 16 + (x * 7 + y * 17) % 240
            write_bmp(path, w, h, 8, pix8, palette, td)
        elif bpp == 4:
            palette = [(255, 255, 255)] + INK[1:] + [(60 + 19 * i, 50 + 17 * i, 220 - 19 * i) for i in range(10)]

            def pix4(x, y, w=w, h=h):
                c = f_class(x, y, w, h)
                return c if c else 6 + (x + 3 * y) % 10
            write_bmp(path, w, h, 4, pix4, palette, td)
        else:
            palette = [(230, 240, 250), (120, 20, 90)]
            write_bmp(path, w, h, 1, lambda x, y, w=w, h=h: 1 if f_class(x, y, w, h) else 0, palette, td)
        SOURCES[name] = (w, h)


CANVAS_COLOURS = [0x000000, 0xFFFFFF, 0x808080, 0x3060C0, 0xC0FFEE, 0x102030]


class Script(refgen.Script):
    """Blit cases, numbered from 1: a canvas colour and a stretch mode, then the copies."""

    def __init__(self, family, header):
        super().__init__(family, header,
                         "onfail warn  # some corner cases report failure; their pictures are compared all the same",
                         first=1)

    def case(self, name, w, h, colour, mode, blits):
        super().case(name, w, h, [f"stretchmode {mode}"] + blits, bg=f"0x{colour:06X}")


def blit(cmd, src, x, y, w, h, sx=None, sy=None, sw=None, sh=None):
    s = f"{cmd} {src} {x} {y} {w} {h}"
    if sx is not None:
        s += f" {sx} {sy} {sw} {sh}"
    return s


def chart_cases(s, modes):
    """The copies the chart makes, for every mode given."""
    for mode in modes:
        # Label boxes (32-bit top-down) painted at scale 1, and canvas copies: exact copies.
        s.case("label_box_equal", 48, 40, 0xFFFFFF, mode,
               [blit("stretch_from", "blit_f32td.bmp", 5, 7, 16, 16, 0, 0, 16, 16),
                blit("stretch_from", "blit_f32.bmp", 30, 20, 10, 12, 0, 0, 10, 12)])
        s.case("label_box_clipped", 32, 24, 0x808080, mode,
               [blit("stretch_from", "blit_f32td.bmp", -5, 15, 16, 16, 0, 0, 16, 16),
                blit("stretch_from", "blit_f24.bmp", 25, -4, 13, 11, 0, 0, 13, 11)])
        s.case("dib_equal", 40, 30, 0x000000, mode,
               [blit("stretchdib_from", "blit_f24.bmp", 3, 4, 13, 11, 0, 0, 13, 11),
                blit("stretchdib_from", "blit_f32td.bmp", 20, 2, 16, 16, 0, 0, 16, 16),
                blit("stretchdib_from", "blit_f8.bmp", 2, 18, 14, 9, 0, 0, 14, 9)])
        # Palette (8-bit) pictures copied to true colour, as the picture helper does.
        s.case("palette_copy", 64, 48, 0xFFFFFF, mode,
               [blit("stretch_from", "blit_f8.bmp", 2, 2, 28, 18),
                blit("stretch_from", "blit_f8td.bmp", 34, 3, 9, 14),
                blit("stretch_from", "blit_f4.bmp", 2, 24, 22, 20),
                blit("stretch_from", "blit_f1.bmp", 36, 24, 12, 10)])
        # Half-size sampling (the picture encoder's chroma pass) and the chart's whole-picture
        # copies.
        s.case("half_scale", 40, 40, 0x3060C0, mode,
               [blit("stretch_from", "blit_f32td.bmp", 1, 1, 8, 8, 0, 0, 16, 16),
                blit("stretch_from", "blit_f24.bmp", 12, 1, 6, 5, 0, 0, 13, 11),
                blit("stretch_from", "blit_w24.bmp", 1, 20, 20, 3, 0, 0, 40, 6)])


def random_rect(rng, limit):
    """A random origin and signed extent around a range of `limit` pixels."""
    size = rng.choice([0, 1, 1, 2, 3, rng.randint(1, 12), rng.randint(1, 40), rng.randint(1, 40),
                       rng.randint(20, 300)])
    origin = rng.randint(-size - 4, limit + 4)
    if rng.random() < 0.3:
        # Mirrored: the rectangle runs from origin + extent + 1 to origin.
        return origin + size - 1, -size
    return origin, size


def random_case(rng, s, modes, name):
    w = rng.choice([24, 31, 32, 48, 57, 64, 96])
    h = rng.choice([24, 29, 32, 40, 63, 64, 96])
    blits = []
    for _ in range(rng.choice([1, 1, 1, 2])):
        src = rng.choice(sorted(SOURCES))
        cmd = rng.choice(["stretch_from", "stretchdib_from"])
        sw_, sh_ = SOURCES[src]
        kind = rng.random()
        if kind < 0.15:
            # The whole picture at some size.
            x, dw = random_rect(rng, w)
            y, dh = random_rect(rng, h)
            blits.append(blit(cmd, src, x, y, dw, dh))
            continue
        if kind < 0.4:
            # Source inside the picture.
            sx = rng.randint(0, sw_ - 1)
            sy = rng.randint(0, sh_ - 1)
            ew = rng.randint(1, sw_ - sx)
            eh = rng.randint(1, sh_ - sy)
            if rng.random() < 0.25:
                sx, ew = sx + ew - 1, -ew
            if rng.random() < 0.25:
                sy, eh = sy + eh - 1, -eh
        else:
            sx, ew = random_rect(rng, sw_)
            sy, eh = random_rect(rng, sh_)
            ew = max(min(ew, 3 * sw_), -3 * sw_)
            eh = max(min(eh, 3 * sh_), -3 * sh_)
        ratio = rng.choice(["equal", "int", "frac", "free", "free"])
        if ratio == "equal":
            dw, dh = ew, eh
        elif ratio == "int":
            k = rng.choice([2, 3, 4])
            dw, dh = (ew * k, eh * k) if rng.random() < 0.6 else (ew // k, eh // k)
        elif ratio == "frac":
            num, den = rng.choice([(2, 3), (3, 2), (5, 4), (4, 5), (7, 3), (3, 7)])
            dw, dh = ew * num // den, eh * num // den
        else:
            dw = rng.choice([1, 2, rng.randint(1, 50), rng.randint(1, 120)])
            dh = rng.choice([1, 2, rng.randint(1, 50), rng.randint(1, 120)])
        if rng.random() < 0.25:
            dw = -dw
        if rng.random() < 0.25:
            dh = -dh
        x = rng.randint(-abs(dw) - 3, w + 3) if rng.random() < 0.3 else rng.randint(0, max(0, w - abs(dw)))
        y = rng.randint(-abs(dh) - 3, h + 3) if rng.random() < 0.3 else rng.randint(0, max(0, h - abs(dh)))
        if dw < 0:
            x += -dw - 1
        if dh < 0:
            y += -dh - 1
        blits.append(blit(cmd, src, x, y, dw, dh, sx, sy, ew, eh))
    s.case(name, w, h, rng.choice(CANVAS_COLOURS), rng.choice(modes), blits)


def sweep_cases(s, modes):
    """Every mirror combination and ratio around the edges of one picture."""
    for cmd in ["stretch_from", "stretchdib_from"]:
        for src in ["blit_f24.bmp", "blit_f8.bmp", "blit_f32td.bmp", "blit_f4.bmp", "blit_f1.bmp"]:
            sw_, sh_ = SOURCES[src]
            for mx, my in [(1, 1), (-1, 1), (1, -1), (-1, -1)]:
                blits = []
                for i, (dw, dh) in enumerate([(sw_ * 2, sh_ * 2), (sw_ // 2, sh_ // 2),
                                              (sw_ + 3, sh_ - 2), (1, 1)]):
                    sx, sy, ew, eh = 0, 0, sw_, sh_
                    if mx < 0:
                        sx, ew = sw_ - 1, -sw_
                    if my < 0:
                        sy, eh = sh_ - 1, -sh_
                    x = 2 + i * 34
                    blits.append(blit(cmd, src, x, 2, dw, dh, sx, sy, ew, eh))
                s.case(f"sweep_{cmd[:9]}_{src[5:-4]}_{mx:+d}{my:+d}", 140, 36, 0x000000,
                       modes[(mx + my + 2) // 2 % len(modes)], blits)


def edge_cases(s, modes):
    """Sources hanging over the picture's edges, mirrored and not, one pixel at a time."""
    src = "blit_f24.bmp"
    sw_, sh_ = SOURCES[src]
    for cmd in ["stretch_from", "stretchdib_from"]:
        for over in [-3, -1, 1, 4]:
            for mx, my in [(1, 1), (-1, 1), (1, -1), (-1, -1)]:
                ew, eh = sw_ * mx, sh_ * my
                sx = over if mx > 0 else over + sw_ - 1
                sy = over if my > 0 else over + sh_ - 1
                blits = [blit(cmd, src, 1, 1, 2 * sw_ - 3, 2 * sh_ - 5, sx, sy, ew, eh),
                         blit(cmd, src, 30, 1, sw_ // 2 + 1, sh_ // 2, sx, sy, ew, eh),
                         blit(cmd, src, 45, 14, -(sw_ + 2), sh_, sx, sy, ew, eh)]
                s.case(f"edge_{cmd[:9]}_{over:+d}_{mx:+d}{my:+d}", 64, 26, 0x808080,
                       modes[(over + 3) % len(modes)], blits)


def huge_cases(s, modes):
    """Far and large rectangles. The reference renderer maps rectangles with 32-bit products and
    walks every source row, so only extents whose products stay below 2^31 are compared here;
    the rest is left to the unit tests."""
    big = 2147483647
    s.case("huge_dest", 32, 32, 0xFFFFFF, modes[0],
           [blit("stretch_from", "blit_f24.bmp", -big, 3, big, 9, 0, 0, 13, 11),
            blit("stretch_from", "blit_f8.bmp", -1000000, 20, 2000000, 9, 0, 0, 14, 9)])
    s.case("huge_source", 32, 32, 0x000000, modes[-1],
           [blit("stretch_from", "blit_f24.bmp", 2, 2, 20, 12, 0, 0, 1000000, 11),
            blit("stretch_from", "blit_f32.bmp", 3, 15, 5, 5, -big, 0, big, 11),
            blit("stretchdib_from", "blit_f24.bmp", 2, 22, 20, 8, -100000, 0, 200000, 11)])
    s.case("huge_far", 32, 32, 0x808080, modes[1 % len(modes)],
           [blit("stretch_from", "blit_f24.bmp", big - 47, 3, 9, 9, 0, 0, 13, 11),
            blit("stretchdib_from", "blit_f24.bmp", 3, -big, 9, big, 0, 0, 13, 11)])
    s.case("zero_extents", 24, 24, 0x3060C0, modes[0],
           [blit("stretch_from", "blit_f24.bmp", 2, 2, 0, 9, 0, 0, 13, 11),
            blit("stretch_from", "blit_f24.bmp", 2, 2, 9, 9, 0, 0, 0, 11),
            blit("stretchdib_from", "blit_f24.bmp", 2, 2, 9, 0, 0, 0, 13, 11),
            blit("stretchdib_from", "blit_f24.bmp", 2, 2, 9, 9, 0, 0, 13, 0)])


def main():
    make_sources()
    rng = random.Random(20240611)

    s = Script("blit", "# Blits: StretchBlt and StretchDIBits in BLACKONWHITE (1), WHITEONBLACK (2) "
                       "and COLORONCOLOR (3). Written by gen_blit.py.")
    modes = [1, 2, 3]
    chart_cases(s, modes)
    sweep_cases(s, modes)
    edge_cases(s, modes)
    huge_cases(s, modes)
    while s.count < 420:
        random_case(rng, s, modes, "random")
    s.write()

    h = Script("blit_halftone", "# Blits in HALFTONE (4): reported, not judged. Written by gen_blit.py.")
    chart_cases(h, [4])
    for _ in range(40):
        random_case(rng, h, [4], "random")
    h.write()


if __name__ == "__main__":
    main()
