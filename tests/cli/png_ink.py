#!/usr/bin/python3
"""Counts the ink of a PNG picture (8-bit RGB or RGBA, not interlaced), standard library only.

usage: png_ink.py FILE RRGGBB [LEFT,TOP,RIGHT,BOTTOM ...]
         prints WIDTHxHEIGHT inside=N1,N2,... outside=M: the pixels that differ from the
         background colour inside each rectangle (half-open, in pixels) and outside all of them
       png_ink.py --dark FILE X0 Y0 X1 Y1
         prints the number of dark pixels (opaque, darker than mid grey) in the rectangle
       png_ink.py --digest FILE
         prints a digest of the picture's dark-pixel pattern and the number of dark pixels
"""
import hashlib
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
        rows.append(row)
        previous = row
    return width, height, step, rows


def dark(rows, step, x, y):
    px = rows[y][x * step:(x + 1) * step]
    alpha = px[3] if step == 4 else 255
    return alpha > 128 and (px[0] + px[1] + px[2]) < 3 * 128


def count_dark(path, x0, y0, x1, y1):
    width, height, step, rows = read_png(path)
    return sum(dark(rows, step, x, y) for y in range(max(0, y0), min(height, y1))
               for x in range(max(0, x0), min(width, x1)))


def digest(path):
    width, height, step, rows = read_png(path)
    bits = "".join("1" if dark(rows, step, x, y) else "0" for y in range(height) for x in range(width))
    return hashlib.sha1(bits.encode()).hexdigest()[:16], bits.count("1")


def main():
    if sys.argv[1] == '--dark':
        print(count_dark(sys.argv[2], *(int(v) for v in sys.argv[3:7])))
        return
    if sys.argv[1] == '--digest':
        print('%s %d' % digest(sys.argv[2]))
        return
    width, height, step, pixels = read_png(sys.argv[1])
    rows = [[tuple(row[x * step:x * step + 3]) for x in range(width)] for row in pixels]
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
