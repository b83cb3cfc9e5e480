#!/usr/bin/env python3
"""Writes the pictures the example scripts use: a striped tile for picture-filled bars and a
logo on a white ground for DrawImage (white is its transparent colour). Standard library only."""
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


write_bmp("tile.bmp", 8, 8, tile)
write_bmp("logo.bmp", 80, 60, logo)
