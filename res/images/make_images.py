#!/usr/bin/env python3
"""Draws the program's images and writes them next to this script.

    Tabulo.ico  icon 128: 32x32, 16 colours, "Tab" over "ulo" in dark-red
                italic letters on light grey, fully opaque
    Browse.bmp  bitmap 129: 16x16, 16 colours, an open folder with an arrow
                curving into it, on the button-face grey
    NoDrop.cur  cursor 30982: 32x32 monochrome "no" sign (circle and slash),
                hot spot in its centre

The files are checked in and the build uses them as they are; run this script
(Python 3, standard library only) only after changing a drawing.
"""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The standard 16-colour palette, in its usual order, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_RED, OLIVE, LIGHT_GREY, YELLOW, WHITE = 0, 1, 3, 7, 11, 15


def palette_bytes(colours):
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)


def info_header(width, height, bits, image_size, colours):
    # BITMAPINFOHEADER; icons and cursors give the height of colour and mask
    # together, so callers pass the doubled height for them.
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0,
                       image_size, 0, 0, colours, 0)


def rows_4bpp(pixels):
    """Bottom-up rows of palette indices, each padded to 4 bytes."""
    out = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for x in range(0, len(row), 2):
            line.append((row[x] << 4) | (row[x + 1] if x + 1 < len(row) else 0))
        while len(line) % 4:
            line.append(0)
        out += line
    return bytes(out)


def rows_1bpp(bits):
    """Bottom-up rows of 0/1 values, each padded to 4 bytes."""
    out = bytearray()
    for row in reversed(bits):
        line = bytearray((len(row) + 7) // 8)
        for x, bit in enumerate(row):
            if bit:
                line[x // 8] |= 0x80 >> (x % 8)
        while len(line) % 4:
            line.append(0)
        out += line
    return bytes(out)


# --- Icon 128 -------------------------------------------------------------

# A small hand-made face, upright; ink is '#'. Every glyph is 11 rows high
# from the ascender line to the baseline; small letters start at row 4.
GLYPHS = {
    "T": ["########",
          "########",
          "...##...",
          "...##...",
          "...##...",
          "...##...",
          "...##...",
          "...##...",
          "...##...",
          "...##...",
          "...##..."],
    "a": ["......",
          "......",
          "......",
          "......",
          ".####.",
          "....##",
          ".#####",
          "##..##",
          "##..##",
          "##.###",
          ".##.##"],
    "b": ["##....",
          "##....",
          "##....",
          "##....",
          "#####.",
          "###.##",
          "##..##",
          "##..##",
          "##..##",
          "###.##",
          "#.###."],
    "u": ["......",
          "......",
          "......",
          "......",
          "##..##",
          "##..##",
          "##..##",
          "##..##",
          "##..##",
          "##.###",
          ".##.##"],
    "l": ["##.",
          "##.",
          "##.",
          "##.",
          "##.",
          "##.",
          "##.",
          "##.",
          "##.",
          "##.",
          ".##"],
    "o": ["......",
          "......",
          "......",
          "......",
          ".####.",
          "##..##",
          "##..##",
          "##..##",
          "##..##",
          "##..##",
          ".####."],
}
GLYPH_ROWS = 11


def slant(row):
    """Italic: the higher the row, the further right (3 pixels at the top)."""
    return (GLYPH_ROWS - 1 - row) // 3


def word_width(word, gap):
    return sum(len(GLYPHS[c][0]) for c in word) + gap * (len(word) - 1) + slant(0)


def draw_word(pixels, word, top, gap, colour):
    left = (len(pixels[0]) - word_width(word, gap)) // 2
    for c in word:
        glyph = GLYPHS[c]
        for r, line in enumerate(glyph):
            for x, ink in enumerate(line):
                if ink == "#":
                    pixels[top + r][left + x + slant(r)] = colour
        left += len(glyph[0]) + gap


def icon_pixels():
    pixels = [[LIGHT_GREY] * 32 for _ in range(32)]
    draw_word(pixels, "Tab", 3, 1, DARK_RED)
    draw_word(pixels, "ulo", 18, 2, DARK_RED)
    return pixels


def write_icon(path, pixels):
    size = len(pixels)
    xor = rows_4bpp(pixels)
    mask = rows_1bpp([[0] * size for _ in range(size)])   # fully opaque
    image = (info_header(size, 2 * size, 4, len(xor) + len(mask), 0)
             + palette_bytes(PALETTE) + xor + mask)
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image),
                        6 + 16)
    with open(path, "wb") as f:
        f.write(header + entry + image)


# --- Bitmap 129 -----------------------------------------------------------

BROWSE_ART = [
    "................",
    ".........KKK....",
    "........K...K...",
    "............K...",
    ".KKK........K...",
    "KYWYK.....KKKKK.",
    "KWYWYKKKKK.KKK..",
    "KYWYWYWYWK..K...",
    "KWYWYWYKKKKKKKKK",
    "KYWYWYKOOOOOOOOK",
    "KWYWYKOOOOOOOOK.",
    "KYWYKOOOOOOOOK..",
    "KWYKOOOOOOOOK...",
    "KYKOOOOOOOOK....",
    "KKKKKKKKKKK.....",
    "................",
]
ART_COLOURS = {".": LIGHT_GREY, "K": BLACK, "Y": YELLOW, "W": WHITE,
               "O": OLIVE}


def browse_pixels():
    return [[ART_COLOURS[c] for c in line] for line in BROWSE_ART]


def write_bitmap(path, pixels):
    height, width = len(pixels), len(pixels[0])
    bits = rows_4bpp(pixels)
    info = info_header(width, height, 4, len(bits), 16) + palette_bytes(PALETTE)
    offset = 14 + len(info)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0,
                              offset)
    with open(path, "wb") as f:
        f.write(file_header + info + bits)


# --- Cursor 30982 ---------------------------------------------------------

CURSOR_SIZE = 32
HOT_SPOT = (15, 15)


def no_drop_shape():
    """'K' for black, 'W' for white, '.' for transparent."""
    cx, cy = HOT_SPOT
    outer, inner, half_bar = 10.5, 7.5, 1.3
    black = [[False] * CURSOR_SIZE for _ in range(CURSOR_SIZE)]
    for y in range(CURSOR_SIZE):
        for x in range(CURSOR_SIZE):
            dx, dy = x - cx, y - cy
            distance = (dx * dx + dy * dy) ** 0.5
            ring = inner <= distance <= outer
            # The bar runs from top left to bottom right inside the ring.
            bar = distance < inner + 0.5 and abs(dx - dy) / 2 ** 0.5 <= half_bar
            black[y][x] = ring or bar
    shape = []
    for y in range(CURSOR_SIZE):
        line = ""
        for x in range(CURSOR_SIZE):
            if black[y][x]:
                line += "K"
            elif any(0 <= y + j < CURSOR_SIZE and 0 <= x + i < CURSOR_SIZE
                     and black[y + j][x + i]
                     for j in (-1, 0, 1) for i in (-1, 0, 1)):
                line += "W"
            else:
                line += "."
        shape.append(line)
    return shape


def write_cursor(path, shape):
    # Monochrome: AND 1 + XOR 0 is transparent, AND 0 + XOR 0 black,
    # AND 0 + XOR 1 white.
    xor = rows_1bpp([[1 if c == "W" else 0 for c in line] for line in shape])
    mask = rows_1bpp([[1 if c == "." else 0 for c in line] for line in shape])
    image = (info_header(CURSOR_SIZE, 2 * CURSOR_SIZE, 1, len(xor) + len(mask), 2)
             + palette_bytes([(0, 0, 0), (255, 255, 255)]) + xor + mask)
    header = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", CURSOR_SIZE, CURSOR_SIZE, 2, 0,
                        HOT_SPOT[0], HOT_SPOT[1], len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(header + entry + image)


def main():
    write_icon(os.path.join(HERE, "Tabulo.ico"), icon_pixels())
    write_bitmap(os.path.join(HERE, "Browse.bmp"), browse_pixels())
    write_cursor(os.path.join(HERE, "NoDrop.cur"), no_drop_shape())


if __name__ == "__main__":
    main()
