#!/usr/bin/env python3
"""Packs the BMPs a reference script saved into one run-length coded file (.ref).

Usage: pack.py SCRIPT OUTDIR REF
SCRIPT is the script that was rendered, OUTDIR the folder it was rendered in, REF the file to
write. Records follow the order of the script's save commands:
  "KVREF1\n", then per picture: u16 name length, name (UTF-8), u32 width, u32 height,
  runs of (u16 count, R, G, B) covering width x height pixels, top row first.
"""
import struct
import sys

from refgen import read_bmp24


def saves(script):
    names = []
    for line in open(script, encoding="utf-8"):
        t = line.split("#", 1)[0].split()
        if len(t) == 2 and t[0] == "save":
            names.append(t[1].strip('"'))
    return names


def main():
    script, outdir, ref = sys.argv[1:4]
    out = bytearray(b"KVREF1\n")
    for name in saves(script):
        w, h, rows = read_bmp24(f"{outdir}/{name}")
        encoded = name.encode("utf-8")
        out += struct.pack("<H", len(encoded)) + encoded + struct.pack("<II", w, h)
        prev, count = None, 0
        for r in rows:
            for i in range(0, w * 3, 3):
                px = (r[i + 2], r[i + 1], r[i])
                if px == prev and count < 0xFFFF:
                    count += 1
                    continue
                if prev is not None:
                    out += struct.pack("<HBBB", count, *prev)
                prev, count = px, 1
        out += struct.pack("<HBBB", count, *prev)
    open(ref, "wb").write(out)


if __name__ == "__main__":
    main()
