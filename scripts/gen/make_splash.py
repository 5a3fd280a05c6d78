#!/usr/bin/env python3
"""Paints the sample medium's splash picture: a 256x256 24-bit bottom-up BMP
(sky gradient, sun, two mountain ridges, a lake with its reflection).

    scripts/gen/make_splash.py OUT.bmp
"""
import math
import struct
import sys

SIZE = 256


def pixel(x, y):
    """Colour (r, g, b) at x, y with y = 0 at the top."""
    horizon = 170
    ridge1 = 120 + 25 * math.sin(x / 23.0) + 12 * math.sin(x / 7.0)
    ridge2 = 145 + 15 * math.sin(x / 31.0 + 1.3) + 6 * math.sin(x / 5.0)
    if y < horizon:
        if (x - 190) ** 2 + (y - 60) ** 2 < 22 ** 2:
            return (255, 220, 90)
        if y > ridge2:
            return (40, 90 + int(y - ridge2), 60)
        if y > ridge1:
            return (90, 110, 150)
        t = y / float(horizon)
        return (int(40 + 180 * t), int(90 + 130 * t), int(200 + 40 * t))
    # The lake: the sky above mirrored and darkened, with ripples.
    mirror = 2 * horizon - y + int(2 * math.sin(y * 1.7))
    r, g, b = pixel(x, min(horizon - 1, max(0, mirror)))
    return (r * 3 // 5, g * 3 // 5, min(255, b * 3 // 5 + 40))


def main(path):
    stride = (SIZE * 3 + 3) // 4 * 4
    rows = []
    for y in range(SIZE - 1, -1, -1):  # bottom row first
        row = bytearray()
        for x in range(SIZE):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        rows.append(bytes(row) + b"\0" * (stride - len(row)))
    data = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(head + info + data)


if __name__ == "__main__":
    main(sys.argv[1])
