#!/usr/bin/env python3
"""PNG decoding benchmark: pngdecode against libpng, stb_image and an inflate-only floor.

bench/png/bench.py [--runs N] [--only NAME,...] [--work DIR] [--baseline PNGDECODE]

Generates the test images (ImageMagick), builds pngdecode from the native preset in
DIR/native and the peer program, then times every image: the programs take turns within
each run, so load from other work on the machine falls on all of them alike. Prints medians,
the spread of the runs, ratios to the peers and peak memory. --baseline times another
pngdecode (an earlier build, say) in the same turns. Not run by CI.
"""

import argparse
import math
import os
import shutil
import statistics
import struct
import subprocess
import sys
import time
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))

# name: (ImageMagick arguments producing the image, repeat count). Sizes are a few megapixels;
# the informer-sized image is decoded many times, as its cost is per-file overhead.
PHOTO = ["-size", "2048x1536", "-seed", "7", "plasma:fractal", "-blur", "0x1"]
IMAGES = {
    "photo_rgb8": (PHOTO + ["PNG24:{out}"], 8),
    "photo_rgba8": (PHOTO + ["(", "-size", "2048x1536", "radial-gradient:white-black", ")",
                             "-alpha", "off", "-compose", "CopyOpacity", "-composite",
                             "PNG32:{out}"], 8),
    "photo_rgb16": (PHOTO + ["-depth", "16", "PNG48:{out}"], 6),
    "photo_gray8": (PHOTO + ["-colorspace", "Gray", "-define", "png:color-type=0",
                             "-depth", "8", "{out}"], 12),
    "photo_palette": (PHOTO + ["-dither", "FloydSteinberg", "-colors", "256", "PNG8:{out}"], 12),
    "photo_adam7": (PHOTO + ["-interlace", "PNG", "PNG24:{out}"], 8),
    "photo_gamma": (PHOTO + ["PNG24:{out}"], 8),  # gets a gAMA chunk of 0.5 below
    "screenshot": (["-size", "1920x1080", "xc:#f0f0f0", "-fill", "#2b579a",
                    "-draw", "rectangle 0,0 1919,40", "-fill", "white",
                    "-draw", "rectangle 40,80 900,1000", "-fill", "#d0d0d0",
                    "-draw", "rectangle 960,80 1880,520", "-fill", "black", "-pointsize", "14",
                    "-draw", "text 60,120 'Tobolsk  -12 C  wind 4 m/s  pressure 752 mm'",
                    "-draw", "text 60,160 'Tomorrow  -15 C  snow'", "PNG24:{out}"], 12),
    "informer_150": (["-size", "150x150", "-seed", "3", "plasma:fractal", "-alpha", "set",
                      "-channel", "A", "-evaluate", "set", "80%", "+channel", "PNG32:{out}"],
                     2000),
}
PHOTOS = {"photo_rgb8", "photo_rgba8", "photo_gamma"}
PROGRAMS = ["pogoda", "libpng", "stb", "floor"]


def Run(command, **kwargs):
    return subprocess.run(command, check=True, **kwargs)


def Chunks(data):
    at = 8
    while at < len(data):
        length, = struct.unpack(">I", data[at:at + 4])
        yield data[at + 4:at + 8], data[at + 8:at + 8 + length]
        at += 12 + length


def Chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def Rewrite(path, gamma):
    """Keeps IHDR, PLTE, tRNS, IDAT and IEND; adds gAMA when gamma is given."""
    data = open(path, "rb").read()
    out = data[:8]
    for kind, body in Chunks(data):
        if kind == b"IHDR" and gamma is not None:
            out += Chunk(kind, body) + Chunk(b"gAMA", struct.pack(">I", round(gamma * 100000)))
        elif kind in (b"IHDR", b"PLTE", b"tRNS", b"IDAT", b"IEND"):
            out += Chunk(kind, body)
    open(path, "wb").write(out)


def Setup(work):
    missing = [p for p, f in (("libpng-dev", "/usr/include/png.h"),
                              ("libstb-dev", "/usr/include/stb/stb_image.h")) if not os.path.exists(f)]
    if missing:
        Run(["apt-get", "install", "-y", "-q"] + missing, stdout=subprocess.DEVNULL)
    build = os.path.join(work, "native")
    if not os.path.exists(os.path.join(build, "CMakeCache.txt")):
        Run(["cmake", "--preset", "native", "-B", build], cwd=ROOT, stdout=subprocess.DEVNULL)
    Run(["nice", "cmake", "--build", build, "-j2", "--target", "pngdecode"], stdout=subprocess.DEVNULL)
    peer = os.path.join(work, "peer")
    Run(["cc", "-O2", "-o", peer, os.path.join(HERE, "peer.c"), "-lpng", "-lz", "-lm"])
    images = os.path.join(work, "images")
    os.makedirs(images, exist_ok=True)
    for name, (args, _) in IMAGES.items():
        path = os.path.join(images, name + ".png")
        if not os.path.exists(path):
            Run(["nice", "convert"] + [a.replace("{out}", path) for a in args])
            Rewrite(path, 0.5 if name == "photo_gamma" else None)
    return os.path.join(build, "tools", "pngdecode", "pngdecode"), peer, images


def Command(program, pngdecode, peer, path, repeat):
    if program in ("pogoda", "baseline"):
        return [pngdecode[program], "--repeat", str(repeat), path]
    return [peer, program, path, str(repeat)]


def Seconds(command):
    start = time.perf_counter()
    Run(command, stdout=subprocess.DEVNULL)
    return time.perf_counter() - start


def PeakKiB(command):
    result = subprocess.run(["/usr/bin/time", "-f", "%M"] + command, check=True,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    return int(result.stderr.strip().splitlines()[-1])


def BitmapBytes(path):
    data = open(path, "rb").read()
    width, height, depth, kind, _, _, _ = struct.unpack(">IIBBBBB", data[16:29])
    bits = {0: min(depth, 8) if depth != 2 else 4, 2: 24, 3: depth if depth != 2 else 4,
            4: 8, 6: 32}[kind]
    return (width * bits + 31) // 32 * 4 * height


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--only", default="")
    parser.add_argument("--work", default="/tmp/pngbench")
    parser.add_argument("--baseline", default="")
    options = parser.parse_args()
    ours, peer, images = Setup(options.work)
    pngdecode = {"pogoda": ours, "baseline": options.baseline}
    programs = PROGRAMS + (["baseline"] if options.baseline else [])
    names = [n for n in IMAGES if not options.only or n in options.only.split(",")]

    print(f"{'image':14} {'MPix':>5} {'pogoda ms':>10} {'libpng ms':>10} {'stb ms':>8} "
          f"{'floor ms':>9} {'/libpng':>8} {'/stb':>6} {'/floor':>7} {'spread':>7}"
          + (f" {'baseline ms':>11} {'/libpng':>8}" if options.baseline else ""))
    ratios = []
    for name in names:
        path = os.path.join(images, name + ".png")
        repeat = IMAGES[name][1]
        times = {p: [] for p in programs}
        for run in range(options.runs):
            order = programs[run % len(programs):] + programs[:run % len(programs)]
            for program in order:
                times[program].append(Seconds(Command(program, pngdecode, peer, path, repeat)))
        ms = {p: statistics.median(t) / repeat * 1000 for p, t in times.items()}
        # Spread: the widest (max-min)/median of any program over the runs.
        spread = max((max(t) - min(t)) / statistics.median(t) for t in times.values())
        data = open(path, "rb").read()
        width, height = struct.unpack(">II", data[16:24])
        ratio = ms["pogoda"] / ms["libpng"]
        ratios.append(ratio)
        print(f"{name:14} {width * height / 1e6:5.2f} {ms['pogoda']:10.2f} {ms['libpng']:10.2f} "
              f"{ms['stb']:8.2f} {ms['floor']:9.2f} {ratio:8.3f} {ms['pogoda'] / ms['stb']:6.3f} "
              f"{ms['pogoda'] / ms['floor']:7.3f} {spread * 100:6.1f}%"
              + (f" {ms['baseline']:11.2f} {ms['baseline'] / ms['libpng']:8.3f}"
                 if options.baseline else ""), flush=True)
    print(f"geometric mean /libpng: {math.exp(statistics.mean(map(math.log, ratios))):.3f}")

    print(f"\n{'image':14} {'bitmap KiB':>10} {'pogoda KiB':>10} {'over bitmap':>11} {'libpng KiB':>10}")
    tiny = os.path.join(images, "informer_150.png")
    base = PeakKiB(Command("pogoda", pngdecode, peer, tiny, 1))
    for name in names:
        path = os.path.join(images, name + ".png")
        ours = PeakKiB(Command("pogoda", pngdecode, peer, path, 1))
        theirs = PeakKiB(Command("libpng", pngdecode, peer, path, 1))
        bitmap = BitmapBytes(path) // 1024
        print(f"{name:14} {bitmap:10} {ours:10} {ours - base - bitmap:11} {theirs:10}")
    print(f"(over bitmap: peak RSS minus that of decoding the 150x150 image ({base} KiB), "
          f"minus the bitmap)")


if __name__ == "__main__":
    sys.exit(main())
