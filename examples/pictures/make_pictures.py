#!/usr/bin/env python3
"""Writes the pictures the example scripts use: a striped tile for picture-filled bars, a
logo on a white ground for DrawImage (white is its transparent colour) and a photograph-like
sky of smooth colours, more than a GIF's 256. Standard library only."""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write_bmp(name, w, h, pixel):
    stride = (w * 3 + 3) & ~3
    rows = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        rows += row + bytes(stride - len(row))
    header = b"BM" + struct.pack("<IHHI", 54 + len(rows), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(rows), 0, 0, 0, 0)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(header + info + rows)


def tile(x, y):
    return (250, 190, 60) if (x + y) % 8 < 3 else (255, 240, 200)


def logo(x, y):
    cx, cy = x - 40, y - 30
    if cx * cx + cy * cy <= 26 * 26:
        return (0, 110, 200) if cx < 0 else (230, 60, 40)
    if abs(cy) < 4:
        return (40, 40, 40)
    return (255, 255, 255)


def sky(x, y):
    # Blue overhead to orange at the horizon, a sun on the right, dark hills below.
    t = y / 79
    r, g, b = 40 + 215 * t, 90 + 110 * t, 200 - 150 * t
    dx, dy = x - 90, y - 52
    sun = max(0.0, 1 - (dx * dx + dy * dy) / 400)
    r, g, b = r + (255 - r) * sun, g + (240 - g) * sun, b + (150 - b) * sun
    if y > 62 + 6 * math.sin(x / 9):
        r, g, b = 30 + x / 4, 70 + y / 3, 40
    return (int(r), int(g), int(b))


write_bmp("tile.bmp", 8, 8, tile)
write_bmp("logo.bmp", 80, 60, logo)
write_bmp("sky.bmp", 120, 80, sky)
