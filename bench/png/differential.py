#!/usr/bin/env python3
"""Differential check of two pngdecode builds: every case must give the same line and the same
BMP bytes from both.

bench/png/differential.py OLD_PNGDECODE NEW_PNGDECODE [--work DIR] [--mutations N]

For changes to the PNG reader that must not change any result, valid or not. The cases: the
conformance corpus; larger generated images (every colour type, interlaced or not, several
compression levels and strategies, image data split into chunks of 1 byte up to one chunk);
every truncation of a few files; image data cut short, or followed by more bytes, with good
CRCs; and random mutations (bit flips, chunk lengths, overwritten runs, zlib headers with other
window sizes, broken checksums). Not run by CI: a few minutes for the default set.
"""

import argparse
import glob
import os
import random
import struct
import subprocess
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "..", "..", "tests", "png", "corpus")
SIG = b"\x89PNG\r\n\x1a\n"


# (type, data) of every chunk.
def Chunks(data):
    at, res = 8, []
    while at + 8 <= len(data):
        n, t = struct.unpack('>I4s', data[at:at+8])
        res.append((t, data[at+8:at+8+n]))
        at += 12 + n
    return res


def Chunk(t, d):
    return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)


def Build(cs):
    return SIG + b''.join(Chunk(t, d) for t, d in cs)


def ImageData(cs):
    return b''.join(d for t, d in cs if t == b'IDAT')


# The chunks with the image data replaced by z, split in pieces of `split` bytes (0: one).
def WithImageData(cs, z, split):
    out, done = [], False
    for t, d in cs:
        if t == b'IDAT':
            if not done:
                done = True
                if split <= 0:
                    out.append((b'IDAT', z))
                else:
                    for i in range(0, max(len(z), 1), split):
                        out.append((b'IDAT', z[i:i+split]))
            continue
        out.append((t, d))
    return out


# A generated image: random filter types, rows of noise, a gradient with noise, or flat.
def Synth(w, h, ctype, depth, interlace, seed, level=6, strategy=zlib.Z_DEFAULT_STRATEGY, kind='noise'):
    r = random.Random(seed)
    ch = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[ctype]
    def rowbytes(pw): return (pw * ch * depth + 7) // 8
    passes = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)] if interlace else [(0, 0, 1, 1)]
    raw = bytearray()
    for sx, sy, dx, dy in passes:
        pw = (w - sx + dx - 1) // dx if w > sx else 0
        ph = (h - sy + dy - 1) // dy if h > sy else 0
        if pw == 0 or ph == 0: continue
        for y in range(ph):
            raw.append(r.randrange(5))
            n = rowbytes(pw)
            if kind == 'noise':
                raw += bytes(r.randrange(256) for _ in range(n))
            elif kind == 'smooth':
                raw += bytes((x * 3 + y) & 0xff if r.random() < 0.9 else r.randrange(256) for x in range(n))
            else:
                raw += bytes([r.randrange(4)]) * n
    comp = zlib.compressobj(level, zlib.DEFLATED, 15, 8, strategy)
    z = comp.compress(bytes(raw)) + comp.flush()
    cs = [(b'IHDR', struct.pack('>IIBBBBB', w, h, depth, ctype, 0, 0, interlace))]
    if ctype == 3:
        cs.append((b'PLTE', bytes(r.randrange(256) for _ in range(3 * (1 << depth)))))
    cs.append((b'IDAT', z))
    cs.append((b'IEND', b''))
    return cs


def WriteCases(folder, mutations):
    rnd = random.Random(12345)

    def write(name, data):
        with open(os.path.join(folder, name + ".png"), "wb") as f:
            f.write(data)

    files = {}
    for p in sorted(glob.glob(os.path.join(CORPUS, '*.png'))):
        files['corpus_' + os.path.basename(p)[:-4]] = open(p, 'rb').read()
    synths = {}
    shapes = [(300, 200, 2, 8, 0, 'noise'), (300, 200, 2, 8, 1, 'smooth'), (257, 190, 3, 8, 0, 'smooth'),
             (333, 150, 3, 4, 1, 'noise'), (400, 300, 6, 8, 0, 'flat'), (200, 220, 6, 16, 1, 'smooth'),
             (500, 120, 0, 1, 0, 'flat'), (180, 240, 4, 8, 1, 'flat'), (700, 90, 0, 16, 0, 'smooth'),
             (1200, 60, 2, 16, 0, 'flat')]
    for i, (w, h, ct, d, il, kind) in enumerate(shapes):
        for level, strat in [(6, zlib.Z_DEFAULT_STRATEGY), (1, zlib.Z_DEFAULT_STRATEGY), (0, zlib.Z_DEFAULT_STRATEGY), (9, zlib.Z_RLE), (6, zlib.Z_FIXED)]:
            cs = Synth(w, h, ct, d, il, i * 7 + level, level, strat, kind=kind)
            synths['syn%d_l%d_s%d' % (i, level, strat)] = cs

    for name, data in files.items():
        write(name, data)
    for name, cs in synths.items():
        z = ImageData(cs)
        for split in [0, 1, 5, 1000, 8192, 30000]:
            write('%s_split%d' % (name, split), Build(WithImageData(cs, z, split)))

    # every truncation of several files
    trunc_src = [files['corpus_basn2c08'], files['corpus_basi3p08'], files['corpus_basi0g01'], files['corpus_basn3p02']]
    trunc_src += [Build(WithImageData(synths['syn0_l6_s0'], ImageData(synths['syn0_l6_s0']), 8192)),
                  Build(WithImageData(synths['syn1_l6_s0'], ImageData(synths['syn1_l6_s0']), 0)),
                  Build(WithImageData(synths['syn2_l6_s0'], ImageData(synths['syn2_l6_s0']), 3000)),
                  Build(WithImageData(synths['syn4_l9_s3'], ImageData(synths['syn4_l9_s3']), 0)),
                  Build(WithImageData(synths['syn7_l6_s0'], ImageData(synths['syn7_l6_s0']), 100))]
    for k, data in enumerate(trunc_src):
        step = 1 if len(data) < 20000 else 31
        for n in range(0, len(data), step):
            write('trunc%d_%06d' % (k, n), data[:n])
    # truncated zlib data with valid CRCs (data ends early without a read error), at every length
    for k, name in enumerate(['syn0_l6_s0', 'syn1_l1_s0', 'syn3_l6_s0', 'syn4_l9_s3', 'syn2_l0_s0', 'corpus']):
        if name == 'corpus':
            cs = Chunks(files['corpus_basi2c08'])
        else:
            cs = synths[name]
        z = ImageData(cs)
        step = max(1, len(z) // 1500)
        for n in range(0, len(z) + 1, step):
            for split in ([0, 777] if k % 2 == 0 else [0]):
                write('ztrunc%d_%06d_%d' % (k, n, split), Build(WithImageData(cs, z[:n], split)))
    # trailing data after the zlib stream, in the same chunk or in a later one
    for name in list(synths)[::3] + ['c1', 'c2']:
        cs = synths[name] if name in synths else Chunks(files['corpus_basn2c08' if name == 'c1' else 'corpus_basi3p02'])
        z = ImageData(cs)
        for tail in [b'\0', b'xyz', bytes(100), bytes(rnd.randrange(256) for _ in range(3000))]:
            for split in [0, len(z), len(z) - 2, 4096]:
                if split < 0: continue
                write('trail_%s_%d_%d' % (name, len(tail), split), Build(WithImageData(cs, z + tail, split)))
    # mutations
    pool = list(files.values()) + [Build(WithImageData(cs, ImageData(cs), rnd.choice([0, 0, 4096, 100, 1]))) for cs in synths.values()]
    for i in range(mutations):
        data = bytearray(rnd.choice(pool))
        kind = rnd.randrange(6)
        cs = Chunks(bytes(data))
        if kind == 0:  # raw bit flips (CRC breaks)
            for _ in range(rnd.randint(1, 3)):
                p = rnd.randrange(8, len(data)); data[p] ^= 1 << rnd.randrange(8)
            out = bytes(data)
        elif kind == 1:  # bit flips inside the zlib data, CRCs fixed
            z = bytearray(ImageData(cs))
            if not z: continue
            for _ in range(rnd.randint(1, 4)):
                p = rnd.randrange(len(z)); z[p] ^= 1 << rnd.randrange(8)
            out = Build(WithImageData(cs, bytes(z), rnd.choice([0, 1, 13, 500, 8192])))
        elif kind == 2:  # chunk length change
            at = 8; idx = rnd.randrange(len(cs)); 
            for t, d in cs[:idx]: at += 12 + len(d)
            n = struct.unpack('>I', data[at:at+4])[0]
            n = max(0, n + rnd.choice([-5, -1, 1, 3, 1000, -1000]))
            data[at:at+4] = struct.pack('>I', n & 0xffffffff); out = bytes(data)
        elif kind == 3:  # byte overwrites in zlib data (runs), CRC fixed
            z = bytearray(ImageData(cs))
            if len(z) < 4: continue
            p = rnd.randrange(len(z)); n = rnd.randint(1, 20)
            z[p:p+n] = bytes(rnd.randrange(256) for _ in range(n))
            out = Build(WithImageData(cs, bytes(z), rnd.choice([0, 7, 2000])))
        elif kind == 4:  # zlib data cut and/or extended, CRC fixed
            z = ImageData(cs)
            cut = rnd.randrange(len(z) + 1)
            z2 = z[:cut] + (bytes(rnd.randrange(256) for _ in range(rnd.randint(0, 50))) if rnd.random() < 0.5 else b'')
            out = Build(WithImageData(cs, z2, rnd.choice([0, 1, 64, 4096])))
        else:  # zlib header with a smaller window, checksum fixed; or a flipped adler
            z = bytearray(ImageData(cs))
            if len(z) < 6: continue
            if rnd.random() < 0.5:
                cmf = (rnd.randrange(8) << 4) | 8
                flg = z[1] & 0xe0; flg |= (31 - ((cmf * 256 + flg) % 31)) % 31
                z[0], z[1] = cmf, flg
            else:
                z[-1 - rnd.randrange(4)] ^= 1 << rnd.randrange(8)
            out = Build(WithImageData(cs, bytes(z), rnd.choice([0, 3, 1000])))
        write('mut%05d' % i, out)


def Decode(program, path, bmp):
    if os.path.exists(bmp):
        os.remove(bmp)
    line = subprocess.run([program, path, bmp], capture_output=True, text=True).stdout
    image = b""
    if os.path.exists(bmp):
        with open(bmp, "rb") as f:
            image = f.read()
    return line, image


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("old")
    parser.add_argument("new")
    parser.add_argument("--work", default="/tmp/pngdifferential")
    parser.add_argument("--mutations", type=int, default=3000)
    options = parser.parse_args()
    cases = os.path.join(options.work, "cases")
    os.makedirs(cases, exist_ok=True)
    for old in glob.glob(os.path.join(cases, "*.png")):
        os.remove(old)
    WriteCases(cases, options.mutations)
    names = sorted(os.listdir(cases))
    bmp = os.path.join(options.work, "out.bmp")
    differences = 0
    for name in names:
        path = os.path.join(cases, name)
        old = Decode(options.old, path, bmp)
        new = Decode(options.new, path, bmp)
        if old != new:
            differences += 1
            what = "line" if old[0] != new[0] else "bitmap"
            print(f"{name}: {what} differs: {old[0].strip()} / {new[0].strip()}")
    print(f"{len(names)} cases, {differences} with differences")
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
