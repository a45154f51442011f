#!/usr/bin/env python3
"""Writes tarnavel.ico: one 32 x 32, 16-colour image of a window holding a list,
one row of it picked out. Rerun after changing the picture; the .ico is committed."""
import struct, sys, os

# The standard 16-colour palette, as BGRX quads.
PALETTE = [(0,0,0),(128,0,0),(0,128,0),(128,128,0),(0,0,128),(128,0,128),(0,128,128),(192,192,192),
           (128,128,128),(255,0,0),(0,255,0),(255,255,0),(0,0,255),(255,0,255),(0,255,255),(255,255,255)]
BLACK, NAVY, GREY, SILVER, WHITE, YELLOW, BLUE = 0, 4, 8, 7, 15, 11, 12

def picture():
    p = [[None] * 32 for _ in range(32)]          # None: transparent
    for y in range(2, 30):
        for x in range(1, 31):
            p[y][x] = SILVER                      # window face
    for x in range(1, 31):
        p[2][x] = p[29][x] = BLACK
    for y in range(2, 30):
        p[y][1] = p[y][30] = BLACK
    for y in range(3, 8):
        for x in range(2, 30):
            p[y][x] = NAVY                        # caption bar
    for x in range(25, 29):
        for y in range(4, 7):
            p[y][x] = SILVER                      # close box
    for y in range(10, 27):
        for x in range(4, 28):
            p[y][x] = WHITE                       # the list
    for row, y in enumerate(range(11, 26, 3)):
        picked = row == 2
        if picked:
            for yy in (y - 1, y, y + 1):
                for x in range(5, 27):
                    p[yy][x] = BLUE
        for x in range(7, 24 - 3 * (row % 2)):
            p[y][x] = WHITE if picked else GREY   # a row's title
    return p

def main(path):
    p = picture()
    xor = bytearray()
    andmask = bytearray()
    for y in range(31, -1, -1):                   # bottom-up rows
        row = p[y]
        for x in range(0, 32, 2):
            a = row[x] if row[x] is not None else 0
            b = row[x + 1] if row[x + 1] is not None else 0
            xor.append((a << 4) | b)
        bits = 0
        for x in range(32):
            bits = (bits << 1) | (1 if row[x] is None else 0)
        andmask += struct.pack('>I', bits)
    header = struct.pack('<IiiHHIIiiII', 40, 32, 64, 1, 4, 0, len(xor) + len(andmask), 0, 0, 16, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    image = header + palette + bytes(xor) + bytes(andmask)
    assert len(image) == 744, len(image)
    directory = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', 32, 32, 16, 0, 1, 4, len(image), 22)
    with open(path, 'wb') as f:
        f.write(directory + image)

main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), 'tarnavel.ico'))
