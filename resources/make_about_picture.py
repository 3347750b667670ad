#!/usr/bin/env python3
"""Draws the About picture and stores it as the image's picture data.

The picture (a river town under a summer sky, drawn with ImageMagick) is a baseline JPEG
of 319 x 163 pixels, 4:2:0, JFIF 1.01 at 96 dpi; the quality is the one whose file comes
closest to 9,730 bytes. The output is the stored form: a one-byte-length class name
"TJPEGImage", the 32-bit little-endian byte count, the JPEG bytes.
Usage: make_about_picture.py OUTPUT [--jpeg FILE]
"""

import argparse
import os
import struct
import subprocess
import tempfile

TARGET = 9730
DRAWING = [
    "-size", "319x163", "gradient:#5b9bd5-#dcecf8",
    "-fill", "#fff2a8", "-draw", "circle 250,40 250,62",
    "-fill", "#ffd23f", "-draw", "circle 250,40 250,56",
    "-fill", "#ffffff", "-draw", "ellipse 80,38 34,12 0,360",
    "-fill", "#f4f8fc", "-draw", "ellipse 108,32 26,14 0,360",
    "-fill", "#ffffff", "-draw", "ellipse 180,56 30,9 0,360",
    "-fill", "#6aa84f", "-draw", "polygon 0,118 60,100 130,110 200,96 260,104 319,98 319,163 0,163",
    "-fill", "#3d85c6", "-draw", "polygon 0,140 319,128 319,150 0,163",
    "-fill", "#f3f3f3", "-draw", "rectangle 118,74 170,106",
    "-fill", "#cc4125", "-draw", "polygon 112,76 144,58 176,76",
    "-fill", "#f3f3f3", "-draw", "rectangle 136,44 152,74",
    "-fill", "#e69138", "-draw", "ellipse 144,40 9,11 0,360",
    "-fill", "#ffd966", "-draw", "line 144,22 144,30",
    "-fill", "#434343", "-draw", "rectangle 139,90 149,106",
    "-fill", "#f3f3f3", "-draw", "rectangle 60,86 92,108",
    "-fill", "#990000", "-draw", "polygon 56,88 76,72 96,88",
    "-fill", "#f3f3f3", "-draw", "rectangle 196,84 232,104",
    "-fill", "#38761d", "-draw", "polygon 192,86 214,70 236,86",
]


def encode(quality, path):
    subprocess.run(["convert", *DRAWING, "-strip", "-interlace", "none",
                    "-sampling-factor", "2x2,1x1,1x1", "-density", "96", "-units",
                    "PixelsPerInch", "-quality", str(quality), "JPEG:" + path],
                   check=True)
    with open(path, "rb") as f:
        return f.read()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("output")
    parser.add_argument("--jpeg")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "about.jpg")
        best = min((abs(len(encode(q, path)) - TARGET), q) for q in range(40, 101))[1]
        data = encode(best, path)
    if args.jpeg:
        with open(args.jpeg, "wb") as f:
            f.write(data)
    name = b"TJPEGImage"
    with open(args.output, "wb") as f:
        f.write(bytes([len(name)]) + name + struct.pack("<I", len(data)) + data)


if __name__ == "__main__":
    main()
