#!/usr/bin/python3
"""Dark pixels of a PNG (8-bit RGB or RGBA, as rsvg-convert writes), standard library only.

pngInk.py FILE X0 Y0 X1 Y1   prints the number of dark pixels in the rectangle
pngInk.py --digest FILE      prints a digest of the image's dark-pixel pattern
"""
import hashlib
import struct
import sys
import zlib


def read_png(path):
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    pos, idat, width, height, channels = 8, b"", 0, 0, 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            assert depth == 8 and colour in (2, 6), "8-bit RGB or RGBA only"
            channels = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, prev = [], bytearray(stride)
    for y in range(height):
        f = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = prev[i]
            c = prev[i - channels] if i >= channels else 0
            if f == 1:
                line[i] = (line[i] + a) & 255
            elif f == 2:
                line[i] = (line[i] + b) & 255
            elif f == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        prev = line
    return width, height, channels, rows


def dark(rows, channels, x, y):
    px = rows[y][x * channels:(x + 1) * channels]
    alpha = px[3] if channels == 4 else 255
    return alpha > 128 and (px[0] + px[1] + px[2]) < 3 * 128


if __name__ == "__main__":
    if sys.argv[1] == "--digest":
        w, h, ch, rows = read_png(sys.argv[2])
        bits = "".join("1" if dark(rows, ch, x, y) else "0" for y in range(h) for x in range(w))
        print(hashlib.sha1(bits.encode()).hexdigest()[:16], bits.count("1"))
    else:
        w, h, ch, rows = read_png(sys.argv[1])
        x0, y0, x1, y1 = (int(v) for v in sys.argv[2:6])
        print(sum(dark(rows, ch, x, y) for y in range(max(0, y0), min(h, y1)) for x in range(max(0, x0), min(w, x1))))
