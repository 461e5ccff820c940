#!/usr/bin/env python3
"""Draws the small images of the textured example document
(examples/data/crate.png and examples/data/label.png) with nothing but the
standard library, so that the example ships no downloaded pictures.

    tools/make-example-images.py [output folder]   (default: examples/data)
"""
import os
import struct
import sys
import zlib


def write_png(path, width, height, pixel):
    """pixel(x, y) gives (r, g, b, a); y counts from the top."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # no filter
        for x in range(width):
            rows.extend(pixel(x, y))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as out:
        out.write(png)


def crate(x, y):
    """64 x 64 wooden crate side: planks, a frame and a diagonal brace."""
    frame = x < 6 or x > 57 or y < 6 or y > 57
    brace = abs(x - y) < 4
    plank_edge = y % 13 == 0
    grain = ((x * 7 + y * 3) % 11) * 3
    if frame or brace:
        return (120 + grain // 2, 78, 38, 255)
    if plank_edge:
        return (92, 58, 28, 255)
    return (178 - grain, 128 - grain // 2, 70, 255)


def label(x, y):
    """128 x 64 price label: a white rounded card with a blue band and three
    dark bars, transparent around the card."""
    w, h, r = 128, 64, 12
    cx = min(max(x, r), w - 1 - r)
    cy = min(max(y, r), h - 1 - r)
    if (x - cx) ** 2 + (y - cy) ** 2 > r * r:
        return (0, 0, 0, 0)
    if y < 18:
        return (40, 90, 200, 255)
    for i, length in enumerate((90, 70, 50)):
        top = 26 + i * 12
        if top <= y < top + 6 and 14 <= x < 14 + length:
            return (30, 30, 40, 255)
    return (250, 250, 245, 255)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "examples", "data")
    write_png(os.path.join(folder, "crate.png"), 64, 64, crate)
    write_png(os.path.join(folder, "label.png"), 128, 64, label)


if __name__ == "__main__":
    main()
