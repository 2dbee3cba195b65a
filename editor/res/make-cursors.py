#!/usr/bin/env python3
"""Regenerates the placeholder cursors of Dotwerk's work-sheet tools.

Each cursor is a 32 x 32 monochrome .cur: a cross-hair with its hot spot in
the middle and the resource id written small below it, so every tool's
cursor looks different. The files are kept in the tree; a build does not
need this script.
"""
import os
import struct

IDS = [108, 109, 110, 111, 138, 139, 140, 141, 142, 143, 195, 556, 933, 956, 957, 958, 959,
       967, 968, 1500, 1504, 1512, 1513, 1514, 1832, 1938]
SIZE = 32
HOT = 15

# 3 x 5 digits, one string per row.
DIGITS = {
    '0': ['###', '#.#', '#.#', '#.#', '###'], '1': ['.#.', '##.', '.#.', '.#.', '###'],
    '2': ['###', '..#', '###', '#..', '###'], '3': ['###', '..#', '###', '..#', '###'],
    '4': ['#.#', '#.#', '###', '..#', '..#'], '5': ['###', '#..', '###', '..#', '###'],
    '6': ['###', '#..', '###', '#.#', '###'], '7': ['###', '..#', '.#.', '.#.', '.#.'],
    '8': ['###', '#.#', '###', '#.#', '###'], '9': ['###', '#.#', '###', '..#', '###'],
}


def shape(cursor_id):
    black = set()
    for d in range(-8, 9):
        if abs(d) > 1:  # an open centre shows the cell under the hot spot
            black.add((HOT + d, HOT))
            black.add((HOT, HOT + d))
    text = str(cursor_id)
    x0 = SIZE - 1 - 4 * len(text)
    for i, ch in enumerate(text):
        for row, line in enumerate(DIGITS[ch]):
            for col, c in enumerate(line):
                if c == '#':
                    black.add((x0 + 4 * i + col, 25 + row))
    # A white halo keeps the cursor visible on black cells.
    white = set()
    for (x, y) in black:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                p = (x + dx, y + dy)
                if p not in black and 0 <= p[0] < SIZE and 0 <= p[1] < SIZE:
                    white.add(p)
    return black, white


def masks(black, white):
    xor_rows, and_rows = [], []
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        xor_bits = and_bits = 0
        for x in range(SIZE):
            bit = 1 << (SIZE - 1 - x)
            if (x, y) in white:
                xor_bits |= bit
            elif (x, y) not in black:
                and_bits |= bit  # transparent
        xor_rows.append(struct.pack('>I', xor_bits))
        and_rows.append(struct.pack('>I', and_bits))
    return b''.join(xor_rows), b''.join(and_rows)


def cursor_file(cursor_id):
    xor_mask, and_mask = masks(*shape(cursor_id))
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, 2 * SIZE, 1, 1, 0, len(xor_mask) + len(and_mask), 0, 0, 2, 0)
    palette = struct.pack('<4B4B', 0, 0, 0, 0, 255, 255, 255, 0)
    image = header + palette + xor_mask + and_mask
    directory = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 2, 0, HOT, HOT, len(image), 6 + 16)
    return directory + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for cursor_id in IDS:
        with open(os.path.join(here, 'cursor%d.cur' % cursor_id), 'wb') as f:
            f.write(cursor_file(cursor_id))


if __name__ == '__main__':
    main()
