#!/usr/bin/env python3
"""Writes the small pictures the picture-loading tests decode: BMP variants and GIFs written
here byte by byte, JPEGs made by cjpeg (libjpeg-turbo-progs) from a BMP written here.

The pixel content is defined below and restated in tests/picture_decode_test.cpp:
  rgb(x, y)    = (30x + 10, 50y + 5, 255 - 20(x + y)) on 7 x 5 pixels
  index(x, y)  = (3x + 5y) mod 16, into palette(i) = (37i mod 256, (91i + 20) mod 256, (255 - 13i) mod 256)
  shapeF(x, y) = 1 on an "F" (column 1, row 0 from column 1 to 5, row 2 from column 1 to 3), else 0
Run from anywhere; it writes next to itself.
"""
import os
import struct
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 7, 5


def rgb(x, y):
    return (30 * x + 10, 50 * y + 5, 255 - 20 * (x + y))


def index(x, y):
    return (3 * x + 5 * y) % 16


def palette(i):
    return ((37 * i) % 256, (91 * i + 20) % 256, (255 - 13 * i) % 256)


def shape_f(x, y):
    return 1 if x == 1 or (y == 0 and 1 <= x <= 5) or (y == 2 and 1 <= x <= 3) else 0


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


# ---- BMP -------------------------------------------------------------------------------------

def file_header(total, offset):
    return b"BM" + struct.pack("<IHHI", total, 0, 0, offset)


def info_header(w, h, bpp, compression=0, image_size=0, colours_used=0, size=40):
    return struct.pack("<IiiHHIIiiII", size, w, h, 1, bpp, compression, image_size, 2835, 2835,
                       colours_used, 0)


def pad(row):
    return row + b"\0" * ((4 - len(row) % 4) % 4)


def bmp(info, table, rows):
    offset = 14 + len(info) + len(table)
    pixels = b"".join(rows)
    return file_header(offset + len(pixels), offset) + info + table + pixels


def rows_bottom_up(make_row, h):
    return [make_row(y) for y in reversed(range(h))]


def quad_table(colours):
    return b"".join(bytes((b, g, r, 0)) for (r, g, b) in colours)


def row24(y):
    return pad(b"".join(bytes((rgb(x, y)[2], rgb(x, y)[1], rgb(x, y)[0])) for x in range(W)))


def row32(y):
    # The fourth byte is junk a reader must ignore.
    return b"".join(bytes((rgb(x, y)[2], rgb(x, y)[1], rgb(x, y)[0], 0x80 + x)) for x in range(W))


def pack_bits(values, bpp):
    out, acc, n = bytearray(), 0, 0
    for v in values:
        acc = (acc << bpp) | v
        n += bpp
        if n == 8:
            out.append(acc)
            acc, n = 0, 0
    if n:
        out.append(acc << (8 - n))
    return bytes(out)


def write_bmps():
    write("rgb24.bmp", bmp(info_header(W, H, 24), b"", rows_bottom_up(row24, H)))
    write("rgb24_topdown.bmp", bmp(info_header(W, -H, 24), b"", [row24(y) for y in range(H)]))
    write("rgb32.bmp", bmp(info_header(W, H, 32), b"", rows_bottom_up(row32, H)))

    # V5 header with unusual masks: red in bits 8-15, green 16-23, blue 24-31.
    def row32_masked(y):
        return b"".join(struct.pack("<I", rgb(x, y)[0] << 8 | rgb(x, y)[1] << 16 | rgb(x, y)[2] << 24)
                        for x in range(W))
    v5 = info_header(W, H, 32, compression=3, size=124)
    v5 += struct.pack("<IIII", 0x0000FF00, 0x00FF0000, 0xFF000000, 0) + b"\0" * (124 - 40 - 16)
    write("rgb32_v5_bitfields.bmp", bmp(v5, b"", rows_bottom_up(row32_masked, H)))

    # 16 bits per pixel: 4 x 2 pixels of chosen values (top row first).
    values555 = [[0x7C00, 0x03E0, 0x001F, 0x4210], [0x0000, 0x7FFF, 0x0421, 0x5294]]
    write("rgb16_555.bmp", bmp(info_header(4, 2, 16), b"",
                               [pad(b"".join(struct.pack("<H", v) for v in r)) for r in reversed(values555)]))
    values565 = [[0xF800, 0x07E0, 0x0020, 0x8410]]
    masks = struct.pack("<III", 0xF800, 0x07E0, 0x001F)
    write("rgb16_565.bmp", bmp(info_header(4, 1, 16, compression=3) + masks, b"",
                               [pad(b"".join(struct.pack("<H", v) for v in r)) for r in values565]))

    pal16 = quad_table([palette(i) for i in range(16)])
    write("pal1.bmp", bmp(info_header(W, H, 1), quad_table([(250, 240, 230), (20, 40, 160)]),
                          rows_bottom_up(lambda y: pad(pack_bits([shape_f(x, y) for x in range(W)], 1)), H)))
    write("pal4.bmp", bmp(info_header(W, H, 4), pal16,
                          rows_bottom_up(lambda y: pad(pack_bits([index(x, y) for x in range(W)], 4)), H)))
    # Eight bits with a 16-entry table (colours used = 16).
    write("pal8.bmp", bmp(info_header(W, H, 8, colours_used=16), pal16,
                          rows_bottom_up(lambda y: pad(bytes(index(x, y) for x in range(W))), H)))
    core = struct.pack("<IHHHH", 12, W, H, 1, 8)
    core_table = b"".join(bytes((b, g, r)) for (r, g, b) in (palette(i % 16) for i in range(256)))
    write("pal8_core.bmp", bmp(core, core_table,
                               rows_bottom_up(lambda y: pad(bytes(index(x, y) for x in range(W))), H)))

    # RLE8 of the index picture: each row as a run of its first two pixels where they are equal,
    # else an absolute run; rows end with end-of-line, the bitmap with end-of-bitmap.
    def rle8_row(y):
        values = [index(x, y) for x in range(W)]
        out = bytes((0, len(values))) + bytes(values)
        if len(values) % 2:
            out += b"\0"
        return out + b"\0\0"
    stream = b"".join(rle8_row(y) for y in reversed(range(H)))[:-2] + b"\0\1"
    write("rle8.bmp", bmp(info_header(W, H, 8, compression=1, image_size=len(stream), colours_used=16), pal16, [stream]))

    # RLE4 of the same picture: an absolute run of the first six pixels (three bytes and a pad
    # byte) and an encoded run of the last one.
    def rle4_row(y):
        v = [index(x, y) for x in range(W)]
        absolute = bytes((0, 6, v[0] << 4 | v[1], v[2] << 4 | v[3], v[4] << 4 | v[5], 0))
        return absolute + bytes((1, v[6] << 4)) + b"\0\0"
    stream = b"".join(rle4_row(y) for y in reversed(range(H)))[:-2] + b"\0\1"
    write("rle4.bmp", bmp(info_header(W, H, 4, compression=2, image_size=len(stream)), pal16, [stream]))

    # RLE8 with a delta: 4 x 3 pixels; pixels the stream skips stay black, not colour 0.
    table = quad_table([(10, 20, 30), (200, 0, 0), (0, 200, 0)])
    stream = bytes((2, 1,         # bottom row: two pixels of colour 1
                    0, 2, 1, 1,   # delta: one right, one up -> (3, middle row)
                    1, 2,         # one pixel of colour 2
                    0, 0,         # end of line -> top row
                    0, 3, 2, 1, 2, 0,  # absolute run 2, 1, 2 and its pad byte
                    0, 1))        # end of bitmap
    write("rle8_delta.bmp", bmp(info_header(4, 3, 8, compression=1, image_size=len(stream), colours_used=3), table, [stream]))


# ---- GIF -------------------------------------------------------------------------------------

def lzw(indices, min_code_size):
    """LZW data that a decoder reads as plain literals: a clear code comes often enough that the
    code width never grows."""
    clear = 1 << min_code_size
    width = min_code_size + 1
    per_clear = clear - 2
    codes = []
    for i in range(0, len(indices), per_clear):
        codes.append(clear)
        codes.extend(indices[i:i + per_clear])
    codes.append(clear + 1)
    acc, n, out = 0, 0, bytearray()
    for c in codes:
        acc |= c << n
        n += width
        while n >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            n -= 8
    if n:
        out.append(acc & 0xFF)
    blocks = bytearray((min_code_size,))
    for i in range(0, len(out), 255):
        chunk = out[i:i + 255]
        blocks += bytes((len(chunk),)) + chunk
    return bytes(blocks + b"\0")


def colour_table(colours):
    return b"".join(bytes(c) for c in colours)


def screen(w, h, table_colours, background=0):
    bits = (len(table_colours).bit_length() - 2) if table_colours else 0
    flags = (0x80 | 0x70 | bits) if table_colours else 0
    return b"GIF89a" + struct.pack("<HHBBB", w, h, flags, background, 0) + colour_table(table_colours)


def image(left, top, w, h, indices, local=None, interlaced=False, min_code_size=4):
    flags = 0x40 if interlaced else 0
    if local:
        flags |= 0x80 | (len(local).bit_length() - 2)
    return (b"," + struct.pack("<HHHHB", left, top, w, h, flags) + (colour_table(local) if local else b"")
            + lzw(indices, min_code_size))


def write_gifs():
    pal16 = [palette(i) for i in range(16)]
    rows = [[index(x, y) for x in range(W)] for y in range(H)]
    write("basic.gif", screen(W, H, pal16) + image(0, 0, W, H, sum(rows, [])) + b";")
    order = [0, 4, 2, 1, 3]  # rows of 5 in the four interlace passes
    write("interlaced.gif", screen(W, H, pal16) +
          image(0, 0, W, H, sum((rows[y] for y in order), []), interlaced=True) + b";")

    # A 10 x 8 screen in background colour 3, a comment, a graphic control block making index 0
    # transparent (to be ignored), and a 4 x 3 frame at (5, 4) in its own four colours.
    local = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0)]
    comment = b"!\xfe" + bytes((5,)) + b"hello" + b"\0"
    control = b"!\xf9\x04\x01\x00\x00\x00\x00"
    frame = [(x + y) % 4 for y in range(3) for x in range(4)]
    write("offset.gif", screen(10, 8, pal16, background=3) + comment + control +
          image(5, 4, 4, 3, frame, local=local, min_code_size=2) + b";")

    # A frame reaching past its 4 x 4 screen.
    write("oversized_frame.gif", screen(4, 4, pal16, background=1) +
          image(1, 3, 6, 2, [(x + 2 * y) % 16 for y in range(2) for x in range(6)]) + b";")


# ---- JPEG ------------------------------------------------------------------------------------

def write_jpegs():
    # 16 x 16: four 8 x 8 blocks of flat colour, one per JPEG block, so they come back nearly exact.
    blocks = {(0, 0): (200, 30, 40), (1, 0): (30, 180, 60), (0, 1): (40, 50, 210), (1, 1): (128, 128, 128)}

    def row(y):
        return pad(b"".join(bytes(reversed(blocks[(x // 8, y // 8)])) for x in range(16)))
    with tempfile.TemporaryDirectory() as tmp:
        source = os.path.join(tmp, "blocks.bmp")
        with open(source, "wb") as f:
            f.write(bmp(info_header(16, 16, 24), b"", rows_bottom_up(row, 16)))
        for name, options in (("blocks.jpg", []), ("blocks_progressive.jpg", ["-progressive"]),
                              ("blocks_grey.jpg", ["-grayscale"])):
            subprocess.run(["cjpeg", "-quality", "95", "-sample", "1x1", *options, "-outfile",
                            os.path.join(HERE, name), source], check=True)


if __name__ == "__main__":
    write_bmps()
    write_gifs()
    write_jpegs()
