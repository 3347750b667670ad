#!/usr/bin/env python3
"""Draws the program icon: a sun behind a cloud, 48 x 48, 32 bits with alpha.

Writes one .ico image in the classic layout: the 40-byte bitmap header, 9,216 bytes of
colour (bottom-up BGRA rows) and a 384-byte AND mask (1 bit per pixel, rows padded to
32 bits). Usage: make_icon.py OUTPUT
"""

import math
import struct
import sys

SIZE = 48


def coverage(inside, x, y, samples=4):
    """Fraction of the pixel (x, y) inside a shape, by supersampling."""
    hits = 0
    for sy in range(samples):
        for sx in range(samples):
            if inside(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples):
                hits += 1
    return hits / (samples * samples)


def sun(px, py):
    cx, cy = 19.0, 18.0
    d = math.hypot(px - cx, py - cy)
    if d <= 10.0:
        return True
    angle = math.atan2(py - cy, px - cx)
    ray = abs(math.sin(angle * 4.0))  # eight rays
    return 12.0 <= d <= 17.0 and ray < 0.22


def cloud(px, py):
    blobs = [(22.0, 34.0, 8.0), (31.0, 29.0, 9.5), (40.0, 35.0, 6.5), (15.0, 37.5, 5.5)]
    if any(math.hypot(px - bx, py - by) <= r for bx, by, r in blobs):
        return py <= 42.5
    return 15.0 <= px <= 44.0 and 34.0 <= py <= 42.5


def blend(top, bottom):
    """Composites premultiplied-free RGBA top over bottom (floats 0..1)."""
    ta = top[3]
    ba = bottom[3]
    a = ta + ba * (1 - ta)
    if a == 0:
        return (0.0, 0.0, 0.0, 0.0)
    rgb = [(top[i] * ta + bottom[i] * ba * (1 - ta)) / a for i in range(3)]
    return (rgb[0], rgb[1], rgb[2], a)


def pixel(x, y):
    colour = (0.0, 0.0, 0.0, 0.0)
    s = coverage(sun, x, y)
    if s:
        warm = 1.0 - min(1.0, math.hypot(x - 19, y - 18) / 17.0) * 0.35
        colour = blend((1.0, 0.80 * warm + 0.1, 0.10, s), colour)
    c = coverage(cloud, x, y)
    if c:
        shade = 0.80 + 0.20 * (1.0 - (y - 20) / 23.0)
        colour = blend((0.86 * shade, 0.90 * shade, 0.97 * shade, c), colour)
    return colour


def main():
    colour = bytearray()
    mask = bytearray()
    mask_stride = ((SIZE + 31) // 32) * 4
    for row in range(SIZE - 1, -1, -1):  # bottom-up
        mask_row = bytearray(mask_stride)
        for x in range(SIZE):
            r, g, b, a = pixel(x, row)
            colour += bytes((round(b * 255), round(g * 255), round(r * 255), round(a * 255)))
            if a == 0:
                mask_row[x // 8] |= 0x80 >> (x % 8)
        mask += mask_row
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    image = header + bytes(colour) + bytes(mask)
    assert len(header) == 40 and len(colour) == 9216 and len(mask) == 384
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    with open(sys.argv[1], "wb") as out:
        out.write(directory + entry + image)


if __name__ == "__main__":
    main()
