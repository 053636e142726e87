#!/usr/bin/env python3
"""Draws the application icon (32x32 and 16x16, 16 colours) into res/corvane.ico.

The icon is committed; this script only documents how it was made and lets it
be drawn again. A dark plate with three taskbar buttons, the middle one lifted
and marked with an up-down arrow.
"""
import struct
import sys

# The standard 16-colour palette, as (R, G, B); stored as B, G, R, 0.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, GREY, SILVER, WHITE, YELLOW, CYAN, RED = 0, 4, 8, 7, 15, 11, 14, 9
TRANSPARENT = None


def draw(size):
    s = size / 32.0
    px = [[TRANSPARENT] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), max(int(y1 * s), int(y0 * s) + 1)):
            for x in range(int(x0 * s), max(int(x1 * s), int(x0 * s) + 1)):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = colour

    rect(1, 3, 31, 29, BLACK)       # plate outline
    rect(2, 4, 30, 28, NAVY)        # plate
    for i, colour in enumerate((SILVER, YELLOW, SILVER)):
        top = 6 + i * 7
        rect(4, top, 28, top + 5, GREY if colour == SILVER else BLACK)
        rect(5, top + 1, 27, top + 4, colour)
    # up-down arrow on the lifted button
    for dy, half in ((0, 0), (1, 1), (2, 2)):
        rect(22 - half, 14 + dy, 23 + half, 15 + dy, RED)
        rect(22 - half, 23 - dy, 23 + half, 24 - dy, RED)
    rect(22, 14, 23, 24, RED)
    return px


def image(size):
    px = draw(size)
    xor_row = ((size * 4 + 31) // 32) * 4
    and_row = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):  # bottom-up rows
        row = bytearray(xor_row)
        bits = bytearray(and_row)
        for x in range(size):
            colour = px[y][x]
            if colour is None:
                bits[x // 8] |= 0x80 >> (x % 8)
                colour = 0
            row[x // 2] |= colour << (4 if x % 2 == 0 else 0)
        xor += row
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(xor) + bytes(mask)


def main(path):
    images = [image(32), image(16)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'res/corvane.ico')
