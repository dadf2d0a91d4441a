#!/usr/bin/env python3
"""Draws text with the stroke-font file into a PNG, to look at the generated glyphs.

    render-sample.py VELTA0.FNT out.png "ABC xyz" "ｶﾀｶﾅ かな 漢字" ...

Each argument is one line of text (UTF-8, converted to CP932). Characters are drawn with the
stroke commands of the file: 1-63 move x, 64-95 draw x, 96-127 set x, 128-191 move y,
192-255 draw y, in a cell 32 steps high; a single-byte character advances half the width.
"""

import math
import struct
import sys
import zlib

HEIGHT = 64          # pixels per cell height (and per double-byte width)
SPACING = 8          # pixels between characters
PEN = 2.2            # pen radius in pixels
MARGIN = 16


def read_font(path):
    glyphs = {}
    with open(path, 'rb') as f:
        for raw in f.read().split(b'\n'):
            line = raw[:-1] if raw.endswith(b'\r') else raw
            if len(line) <= 5:
                continue
            digits = b''
            for c in line:
                if chr(c) in '0123456789abcdefABCDEF':
                    digits += bytes([c])
                else:
                    break
            if digits:
                glyphs[int(digits, 16)] = line[5:]
    return glyphs


def segments(strokes, width, height):
    """Segments of one character in pixels, y up, from the cell's corner."""
    sx, sy = width / 32.0, height / 32.0
    x = y = 0
    pen = (0, 0)
    out = []
    for b in strokes:
        if b == 0:
            break
        if b < 64:
            x = b - 32
            pen = (x, y)
        elif b < 96:
            x = b - 64
            out.append((pen, (x, y)))
            pen = (x, y)
        elif b < 128:
            x = b - 96
        elif b < 192:
            y = b - 160
            pen = (x, y)
        else:
            y = b - 192
            out.append((pen, (x, y)))
            pen = (x, y)
    return [((a[0] * sx, a[1] * sy), (c[0] * sx, c[1] * sy)) for a, c in out]


def codes(text):
    data = text.encode('cp932')
    i = 0
    while i < len(data):
        b = data[i]
        if (0x81 <= b <= 0x9F or 0xE0 <= b <= 0xFC) and i + 1 < len(data):
            yield b << 8 | data[i + 1], True
            i += 2
        else:
            yield b, False
            i += 1


def main():
    font, out, lines = sys.argv[1], sys.argv[2], sys.argv[3:]
    glyphs = read_font(font)
    rows = []
    for text in lines:
        segs = []
        x = 0.0
        for code, wide in codes(text):
            for (a, c) in segments(glyphs.get(code, b''), HEIGHT, HEIGHT):
                segs.append(((a[0] + x, a[1]), (c[0] + x, c[1])))
            x += (HEIGHT if wide else HEIGHT / 2) + SPACING
        rows.append((x, segs))
    width = int(max(r[0] for r in rows)) + 2 * MARGIN
    height = len(rows) * (HEIGHT + MARGIN) + MARGIN
    img = bytearray([255]) * (width * height)

    def stamp(px, py):
        r = int(math.ceil(PEN))
        for yy in range(int(py) - r, int(py) + r + 2):
            for xx in range(int(px) - r, int(px) + r + 2):
                if 0 <= xx < width and 0 <= yy < height and (xx - px) ** 2 + (yy - py) ** 2 <= PEN * PEN:
                    img[yy * width + xx] = 0

    for i, (_, segs) in enumerate(rows):
        top = MARGIN + i * (HEIGHT + MARGIN)
        # cell frame of the line, light grey
        for xx in range(MARGIN, width - MARGIN):
            for yy in (top, top + HEIGHT):
                if img[yy * width + xx] == 255:
                    img[yy * width + xx] = 200
        for (a, c) in segs:
            n = max(1, int(math.hypot(c[0] - a[0], c[1] - a[1]) * 2))
            for k in range(n + 1):
                t = k / n
                stamp(MARGIN + a[0] + (c[0] - a[0]) * t, top + HEIGHT - (a[1] + (c[1] - a[1]) * t))

    raw = b''.join(b'\x00' + bytes(img[y * width:(y + 1) * width]) for y in range(height))

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))

    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 0, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
    with open(out, 'wb') as f:
        f.write(png)


if __name__ == '__main__':
    main()
