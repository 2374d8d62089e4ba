#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes data/HAND-M.CUR, the hand pointer shown over push buttons.

A 32x32 cursor with 32-bit colour and an AND mask, drawn from the map below
('X' outline, '.' fill, anything else transparent); the hot spot is the tip
of the pointing finger. Run from the repository root.
"""
import struct

ROWS = """
      XX
     X..X
     X..X
     X..X
     X..X
     X..XXX
     X..X..XXX
     X..X..X..XX
  XX X..X..X..X.X
 X..XX........X..X
 X...X...........X
  X..............X
  X..............X
   X.............X
   X............X
    X...........X
    X..........X
     X.........X
     X.........X
     XXXXXXXXXXX
"""

HOT_X, HOT_Y = 7, 1
SIZE = 32


def pixels():
    rows = ROWS.strip("\n").split("\n")
    grid = [[" "] * SIZE for _ in range(SIZE)]
    for y, row in enumerate(rows):
        for x, ch in enumerate(row):
            grid[y + 1][x] = ch
    return grid


def main():
    grid = pixels()
    colour = bytearray()
    mask = bytearray()
    for y in reversed(range(SIZE)):          # bottom-up rows
        bits = 0
        row_mask = bytearray()
        for x in range(SIZE):
            ch = grid[y][x]
            if ch == "X":
                colour += bytes((0, 0, 0, 255))
            elif ch == ".":
                colour += bytes((255, 255, 255, 255))
            else:
                colour += bytes((0, 0, 0, 0))
            bits = (bits << 1) | (0 if ch in "X." else 1)
            if x % 8 == 7:
                row_mask.append(bits)
                bits = 0
        mask += row_mask
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    image = header + colour + mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, HOT_X, HOT_Y, len(image), 6 + 16)
    with open("data/HAND-M.CUR", "wb") as out:
        out.write(directory + entry + image)


if __name__ == "__main__":
    main()
