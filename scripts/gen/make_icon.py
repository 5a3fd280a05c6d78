#!/usr/bin/env python3
"""Draws the program icon IDI_ICON1: a disc with a down arrow (installing
from the medium), as a 16-colour .ico holding a 32x32 and a 16x16 image.

    scripts/gen/make_icon.py src/resources/installer.ico
"""
import struct
import sys

# The 16 standard VGA colours, (r, g, b).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, GREY, SILVER, WHITE, BLUE, CYAN, YELLOW, RED = 0, 8, 7, 15, 12, 14, 11, 9


def draw(size):
    """Returns rows top first of (colour index or None for transparent)."""
    c = (size - 1) / 2.0
    outer, hole = size * 0.47, size * 0.09
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            d = ((x - c) ** 2 + (y - c) ** 2) ** 0.5
            if d > outer:
                row.append(None)
            elif d > outer - max(1.0, size / 32.0):
                row.append(BLACK)
            elif d < hole:
                row.append(None if d < hole - 1 else GREY)
            else:
                # Rainbow sheen on the silver disc, by angle band.
                band = int((x + 2 * y) * 6 / size) % 6
                row.append([SILVER, WHITE, CYAN, SILVER, YELLOW, WHITE][band])
        rows.append(row)
    # A down arrow over the lower right quarter.
    s = size / 32.0
    ax = int(22 * s)
    for y in range(int(14 * s), int(24 * s)):
        for x in range(ax - int(2 * s), ax + int(2 * s) + 1):
            rows[y][x] = BLUE
    for i in range(int(6 * s) + 1):
        y = int(24 * s) + i
        for x in range(ax - int(6 * s) + i, ax + int(6 * s) - i + 1):
            if 0 <= y < size and 0 <= x < size:
                rows[y][x] = BLUE
    return rows


def image(size):
    rows = draw(size)
    stride = ((size * 4 + 31) // 32) * 4
    mask_stride = ((size + 31) // 32) * 4
    xor = b""
    mask = b""
    for row in reversed(rows):  # bottom row first
        nibbles = [0 if v is None else v for v in row]
        line = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor += line + b"\0" * (stride - len(line))
        bits = 0
        line = b""
        for i, v in enumerate(row):
            bits = (bits << 1) | (1 if v is None else 0)
            if i % 8 == 7:
                line += bytes([bits])
                bits = 0
        mask += line + b"\0" * (mask_stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + xor + mask


def main(path):
    images = [(32, image(32)), (16, image(16))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1])
