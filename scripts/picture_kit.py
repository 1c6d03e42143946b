"""Shared drawing helpers of the picture scripts: PNG writing (scale 2, under
src/resources/images) and anti-aliased shapes given as inside(x, y) tests in pixels.
Standard library only."""

import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "src", "resources", "images")


def write_png(name, width, height, pixel, suffix="@2x.png"):
    """pixel(x, y) -> (r, g, b, a), 0..255, for every pixel of the picture."""
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for x in range(width):
            raw += bytes(pixel(x, y))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, name + suffix), "wb") as f:
        f.write(png)


def coverage(inside, x, y, samples=3):
    hits = 0
    for i in range(samples):
        for j in range(samples):
            if inside(x + (i + 0.5) / samples, y + (j + 0.5) / samples):
                hits += 1
    return hits / (samples * samples)


def shape_picture(name, width, height, inside, colour):
    def pixel(x, y):
        c = coverage(inside, x, y)
        return (colour[0], colour[1], colour[2], int(round(255 * c)))

    write_png(name, width, height, pixel)


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, w):
    return lambda x, y: (r - w) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def box(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


def triangle(p, q, r):
    def side(a, b, x, y):
        return (b[0] - a[0]) * (y - a[1]) - (b[1] - a[1]) * (x - a[0])

    def inside(x, y):
        d1, d2, d3 = side(p, q, x, y), side(q, r, x, y), side(r, p, x, y)
        neg = d1 < 0 or d2 < 0 or d3 < 0
        pos = d1 > 0 or d2 > 0 or d3 > 0
        return not (neg and pos)

    return inside


def rounded(w, h, r, x0=0, y0=0):
    def inside(x, y):
        cx = min(max(x, x0 + r), x0 + w - r)
        cy = min(max(y, y0 + r), y0 + h - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

    return inside


def segment(ax, ay, bx, by, w):
    """A stroke of width w from (ax, ay) to (bx, by), with round ends."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = 0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        px, py = ax + t * dx, ay + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= (w / 2) ** 2

    return inside
