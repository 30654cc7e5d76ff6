#!/usr/bin/env python3
"""Draws Quietreel.ico: a film reel with a red bar across it, 32x32, once in
the 16 standard colours and once in 256 colours. Standard library only, and
the output depends on nothing but this file, so running it again gives the
same bytes: `python3 src/res/make_icon.py src/res/Quietreel.ico`."""

import math
import struct
import sys

SIZE = 32
CENTRE = (SIZE - 1) / 2.0

# The 16 colours every Windows display has, in their usual order.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def shape(x, y):
    """What covers pixel (x, y): None (transparent), 'rim', 'reel', 'hole',
    'hub' or 'bar'."""
    dx, dy = x - CENTRE, y - CENTRE
    r = math.hypot(dx, dy)
    # The bar runs from top left to bottom right, over everything.
    if abs(dx - dy) / math.sqrt(2) <= 2.2 and r <= 15.2:
        return 'bar'
    if r > 15.2:
        return None
    if r > 13.6:
        return 'rim'
    if r <= 2.2:
        return 'hub'
    # Five round windows in the reel, the first straight up.
    for k in range(5):
        angle = -math.pi / 2 + k * 2 * math.pi / 5
        hx, hy = 8.0 * math.cos(angle), 8.0 * math.sin(angle)
        if math.hypot(dx - hx, dy - hy) <= 3.6:
            return 'hole'
    return 'reel'


def image_16():
    colour = {'rim': 0, 'reel': 4, 'hole': 15, 'hub': 7, 'bar': 9}
    return VGA, lambda x, y, part: colour[part]


def image_256():
    # The 16 standard colours first, then shades of blue for the reel, lit
    # from the top left.
    palette = list(VGA)
    shades = 64
    for i in range(shades):
        t = i / (shades - 1)
        palette.append((int(40 + 60 * t), int(70 + 90 * t), int(150 + 100 * t)))
    palette += [(0, 0, 0)] * (256 - len(palette))
    fixed = {'rim': 0, 'hole': 15, 'hub': 7, 'bar': 9}

    def index(x, y, part):
        if part in fixed:
            return fixed[part]
        light = 1.0 - (x + y) / (2.0 * (SIZE - 1))
        return 16 + int(round(light * (shades - 1)))

    return palette, index


def dib(bits, palette, pick):
    """One icon image: header, palette, colour rows and mask rows, bottom up."""
    row_bytes = ((SIZE * bits + 31) // 32) * 4
    mask_row_bytes = ((SIZE + 31) // 32) * 4
    colour_rows, mask_rows = [], []
    for y in range(SIZE - 1, -1, -1):
        indices, mask = [], 0
        for x in range(SIZE):
            part = shape(x, y)
            indices.append(0 if part is None else pick(x, y, part))
            if part is None:
                mask |= 1 << (SIZE - 1 - x)
        if bits == 4:
            row = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, SIZE, 2))
        else:
            row = bytes(indices)
        colour_rows.append(row.ljust(row_bytes, b'\0'))
        mask_rows.append(mask.to_bytes(4, 'big').ljust(mask_row_bytes, b'\0'))
    pixels = b''.join(colour_rows) + b''.join(mask_rows)
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, bits, 0, len(pixels), 0, 0, 0, 0)
    quads = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in palette)
    return header + quads + pixels


def main(path):
    images = [(4, 16) + image_16(), (8, 0) + image_256()]
    blobs = [dib(bits, palette, pick) for bits, _, palette, pick in images]
    out = struct.pack('<HHH', 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for (bits, colours, _, _), blob in zip(images, blobs):
        out += struct.pack('<BBBBHHII', SIZE, SIZE, colours, 0, 1, bits, len(blob), offset)
        offset += len(blob)
    with open(path, 'wb') as f:
        f.write(out + b''.join(blobs))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'Quietreel.ico')
