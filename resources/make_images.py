#!/usr/bin/env python3
"""Draws the setup program's logo bitmap and icon.

Both pictures are made from a small built-in pixel font and the 16 standard
Windows colours, so the output is the same on every run. Run it from any
folder; it writes logo.bmp and mainicon.ico next to itself.
"""
import os
import struct

# The 16 colours of the standard Windows palette, as (R, G, B).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, GREY, SILVER, YELLOW, BLUE, CYAN, WHITE = 0, 4, 8, 7, 11, 12, 14, 15

# 5 x 7 glyphs, one string per row, "#" for a set pixel.
FONT = {
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "D": ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "H": ["#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "I": [".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "W": ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"],
    "!": ["..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."],
    " ": ["....."] * 7,
}


class Canvas:
    def __init__(self, width, height, colour=BLACK):
        self.width = width
        self.height = height
        self.pixels = [[colour] * width for _ in range(height)]

    def set(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, left, top, right, bottom, colour):
        for y in range(top, bottom):
            for x in range(left, right):
                self.set(x, y, colour)

    def frame(self, left, top, right, bottom, colour):
        for x in range(left, right):
            self.set(x, top, colour)
            self.set(x, bottom - 1, colour)
        for y in range(top, bottom):
            self.set(left, y, colour)
            self.set(right - 1, y, colour)

    def text(self, x, y, text, colour, scale=1):
        for ch in text:
            for row, bits in enumerate(FONT[ch]):
                for col, bit in enumerate(bits):
                    if bit == "#":
                        self.rect(x + col * scale, y + row * scale,
                                  x + (col + 1) * scale, y + (row + 1) * scale, colour)
            x += 6 * scale

    @staticmethod
    def text_width(text, scale=1):
        return len(text) * 6 * scale - scale


def packed_rows(canvas):
    """4-bit rows, bottom-up, each padded to a multiple of 4 bytes."""
    data = bytearray()
    for y in range(canvas.height - 1, -1, -1):
        row = canvas.pixels[y]
        line = bytearray()
        for x in range(0, canvas.width, 2):
            right = row[x + 1] if x + 1 < canvas.width else 0
            line.append((row[x] << 4) | right)
        while len(line) % 4:
            line.append(0)
        data += line
    return bytes(data)


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size, 0, 0, 16, 0)


def write_bmp(path, canvas):
    bits = packed_rows(canvas)
    header = info_header(canvas.width, canvas.height, len(bits)) + palette_bytes()
    offset = 14 + len(header)
    with open(path, "wb") as out:
        out.write(struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset))
        out.write(header)
        out.write(bits)


def write_ico(path, canvas, transparent):
    """One 4-bit image; pixels of colour `transparent` are left out by the mask."""
    # Masked pixels are black in the colour image, so that the screen shows
    # through unchanged.
    colour = Canvas(canvas.width, canvas.height)
    colour.pixels = [[BLACK if p == transparent else p for p in row] for row in canvas.pixels]
    xor = packed_rows(colour)
    mask = bytearray()
    for y in range(canvas.height - 1, -1, -1):
        line = bytearray((canvas.width + 7) // 8)
        for x in range(canvas.width):
            if canvas.pixels[y][x] == transparent:
                line[x // 8] |= 0x80 >> (x % 8)
        while len(line) % 4:
            line.append(0)
        mask += line
    # The icon's height in its header counts the colour image and the mask.
    image = info_header(canvas.width, canvas.height * 2, len(xor) + len(mask)) + palette_bytes() + xor + bytes(mask)
    with open(path, "wb") as out:
        out.write(struct.pack("<HHH", 0, 1, 1))
        out.write(struct.pack("<BBBBHHII", canvas.width, canvas.height, 16, 0, 1, 4, len(image), 6 + 16))
        out.write(image)


def logo():
    c = Canvas(204, 66, NAVY)
    # A cyan rim, so that the picture's edges are plain to see on the black
    # lower part of the background.
    c.frame(0, 0, 204, 66, CYAN)
    c.frame(2, 2, 202, 64, BLUE)
    name = "MARWINDLE!"
    x = (204 - Canvas.text_width(name, 3)) // 2
    c.text(x + 2, 10, name, BLACK, 3)
    c.text(x, 8, name, YELLOW, 3)
    line = "DESKTOP SHELL"
    x = (204 - Canvas.text_width(line, 2)) // 2
    c.text(x, 40, line, SILVER, 2)
    for i in range(0, 180, 6):
        c.rect(12 + i, 57, 15 + i, 59, CYAN if (i // 6) % 2 else WHITE)
    return c


def icon():
    c = Canvas(32, 32, BLACK)
    # A window with a title bar and the product's initial on the desktop.
    c.rect(2, 3, 30, 29, NAVY)
    c.frame(2, 3, 30, 29, WHITE)
    c.rect(3, 4, 29, 8, BLUE)
    c.rect(25, 5, 28, 7, SILVER)
    c.text(6, 12, "M", YELLOW, 2)
    c.text(19, 19, "!", YELLOW, 1)
    # Transparent corners outside the window.
    for y in range(32):
        for x in range(32):
            if not (2 <= x < 30 and 3 <= y < 29):
                c.pixels[y][x] = GREY
    return c


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    write_bmp(os.path.join(here, "logo.bmp"), logo())
    write_ico(os.path.join(here, "mainicon.ico"), icon(), GREY)


if __name__ == "__main__":
    main()
