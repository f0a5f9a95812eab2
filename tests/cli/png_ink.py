#!/usr/bin/python3
"""Counts the ink of a PNG picture (8-bit RGB or RGBA, not interlaced): the pixels that differ
from a background colour inside each given rectangle, and outside all of them.

usage: png_ink.py FILE RRGGBB [LEFT,TOP,RIGHT,BOTTOM ...]
prints: WIDTHxHEIGHT inside=N1,N2,... outside=M   (rectangles half-open, in pixels)
"""
import struct
import sys
import zlib


def read_png(path):
    data = open(path, 'rb').read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        raise ValueError('not a PNG')
    pos, idat = 8, b''
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            width, height, depth, colour, _, _, interlace = struct.unpack('>IIBBBBB', body)
            if depth != 8 or colour not in (2, 6) or interlace:
                raise ValueError('only 8-bit RGB or RGBA, not interlaced')
        elif kind == b'IDAT':
            idat += body
        pos += 12 + length
    step = 4 if colour == 6 else 3
    raw = zlib.decompress(idat)
    stride = width * step
    rows, previous = [], bytearray(stride)
    for y in range(height):
        line = raw[y * (stride + 1):(y + 1) * (stride + 1)]
        kind, row = line[0], bytearray(line[1:])
        for i in range(stride):
            a = row[i - step] if i >= step else 0
            b = previous[i]
            c = previous[i - step] if i >= step else 0
            if kind == 1:
                row[i] = (row[i] + a) & 0xFF
            elif kind == 2:
                row[i] = (row[i] + b) & 0xFF
            elif kind == 3:
                row[i] = (row[i] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                row[i] = (row[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        rows.append([tuple(row[x * step:x * step + 3]) for x in range(width)])
        previous = row
    return width, height, rows


def main():
    width, height, rows = read_png(sys.argv[1])
    background = tuple(bytes.fromhex(sys.argv[2]))
    rects = [tuple(int(v) for v in r.split(',')) for r in sys.argv[3:]]
    inside = [0] * len(rects)
    outside = 0
    for y in range(height):
        for x in range(width):
            if rows[y][x] == background:
                continue
            hit = False
            for i, (l, t, r, b) in enumerate(rects):
                if l <= x < r and t <= y < b:
                    inside[i] += 1
                    hit = True
            outside += not hit
    print('%dx%d inside=%s outside=%d' % (width, height, ','.join(map(str, inside)), outside))


main()
