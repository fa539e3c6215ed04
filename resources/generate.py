#!/usr/bin/env python3
"""Makes Quorvin's picture and sound resources from code, with the standard library alone.

    python3 resources/generate.py        # writes beside this script

Outputs (the same bytes on every run):
  quorvin.xpm  the program's icon: 32 x 32 pixels, 16 colours, a block-art "Q" made of 2 x 2
               pixel blocks with a shadow, on a rounded terminal-black tile. XPM is C source:
               the program compiles it in and reads it without an image-format plugin.
  icons/quorvin-N.png  the same icon for the desktop's icon theme, scaled nearest-neighbour to
               N x N pixels for N in ICON_THEME_SIZES (indexed PNG, index 0 transparent).
  about.bmp    the About window's picture: 400 x 300 pixels, 256 colours (8-bit BMP with a
               palette), a dark navy-to-purple gradient with a large "Q" in code page 437 shade
               characters, kept dim so that the labels above it stay readable.
  howl.wav     the About sound: 1.5 s, 22050 Hz, 16-bit mono PCM, a rising then falling howl
               with vibrato and a soft envelope.
"""

import math
import os
import struct
import wave
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


# --- the icon ---------------------------------------------------------------------------------

ICON_SIZE = 32
# Sixteen colours. Index 0 is fully transparent (the tile's rounded corners).
ICON_PALETTE = [
    (0, 0, 0),        # 0 transparent
    (0, 0, 0),        # 1 black: the tile
    (40, 40, 48),     # 2 tile edge
    (64, 64, 80),     # 3 shadow
    (255, 255, 255),  # 4 white
    (200, 255, 255),  # 5 pale cyan
    (85, 255, 255),   # 6 light cyan
    (0, 200, 220),    # 7 cyan
    (0, 130, 200),    # 8 sea blue
    (40, 80, 210),    # 9 blue
    (30, 40, 150),    # 10 dark blue
    (255, 255, 128),  # 11 pale yellow: the shade band
    (170, 170, 60),   # 12 olive: the shade band, dim
    (90, 90, 40),     # 13 dark olive
    (120, 120, 130),  # 14 grey
    (180, 180, 190),  # 15 light grey
]


# The letter Q in 2 x 2 pixel blocks on a 16 x 16 grid; the bottom rows hold the shade band.
Q_BLOCKS = [
    "................",
    ".....XXXXXX.....",
    "...XXXXXXXXXX...",
    "..XXXX....XXXX..",
    ".XXXX......XXXX.",
    ".XXX........XXX.",
    ".XXX........XXX.",
    ".XXX........XXX.",
    ".XXX...XX...XXX.",
    ".XXXX...XX.XXXX.",
    "..XXXX...XXXXX..",
    "...XXXXXXXXXX...",
    ".....XXXXXXXXX..",
    "...........XXXX.",
    "................",
    "................",
]


def q_mask_blocks():
    """The letter Q as a set of (column, row) blocks."""
    return {(c, r) for r, line in enumerate(Q_BLOCKS) for c, ch in enumerate(line) if ch == "X"}


def make_icon_pixels():
    px = [[1] * ICON_SIZE for _ in range(ICON_SIZE)]
    # Rounded corners: a radius-4 tile with a one-pixel lighter edge.
    for y in range(ICON_SIZE):
        for x in range(ICON_SIZE):
            ex = max(0, 4 - x, x - (ICON_SIZE - 5))
            ey = max(0, 4 - y, y - (ICON_SIZE - 5))
            d = math.hypot(ex, ey)
            if d > 4.2:
                px[y][x] = 0
            elif d > 3.2 or x in (0, ICON_SIZE - 1) or y in (0, ICON_SIZE - 1):
                px[y][x] = 2
    q = q_mask_blocks()
    # The letter's colour runs from white at the top through cyan to dark blue, row by row of
    # blocks, as text-art gradients do.
    ramp = [4, 5, 5, 6, 6, 7, 7, 7, 8, 8, 9, 9, 10, 10, 10, 10]
    for (col, row) in q:  # the shadow, one pixel down and right
        for oy in range(2):
            for ox in range(2):
                x, y = col * 2 + ox + 1, row * 2 + oy + 1
                if x < ICON_SIZE - 1 and y < ICON_SIZE - 1:
                    px[y][x] = 3
    for (col, row) in q:
        for oy in range(2):
            for ox in range(2):
                px[row * 2 + oy][col * 2 + ox] = ramp[row]
    # A light-shade band along the bottom, like a code page 437 "░▒▓" underline.
    for x in range(3, ICON_SIZE - 3):
        level = (x - 3) / (ICON_SIZE - 7)
        for y in (28, 29):
            on = (x + y) % 2 == 0 if level < 0.5 else (x + y) % 2 == 0 or level > 0.8
            px[y][x] = 11 if on and level > 0.5 else (12 if on else 13)
    return px


def write_icon_xpm(path):
    px = make_icon_pixels()
    keys = "abcdefghijklmnop"
    lines = ['"%d %d %d 1"' % (ICON_SIZE, ICON_SIZE, len(ICON_PALETTE))]
    for index, (r, g, b) in enumerate(ICON_PALETTE):
        colour = "None" if index == 0 else "#%02X%02X%02X" % (r, g, b)
        lines.append('"%s c %s"' % (keys[index], colour))
    for row in px:
        lines.append('"%s"' % "".join(keys[i] for i in row))
    with open(path, "w") as f:
        f.write("/* XPM */\n")
        f.write("static const char *const quorvin_xpm[] = {\n")
        f.write(",\n".join(lines))
        f.write("\n};\n")


ICON_THEME_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def write_icon_png(path, size):
    px = make_icon_pixels()
    rows = b"".join(
        b"\0" + bytes(px[y * ICON_SIZE // size][x * ICON_SIZE // size] for x in range(size))
        for y in range(size))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", size, size, 8, 3, 0, 0, 0)
    palette = b"".join(bytes(colour) for colour in ICON_PALETTE)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"PLTE", palette)
                + chunk(b"tRNS", b"\0") + chunk(b"IDAT", zlib.compress(rows, 9))
                + chunk(b"IEND", b""))


# --- the About picture --------------------------------------------------------------------------

PIC_W, PIC_H = 400, 300
STEPS = 128  # gradient steps; the palette holds each step plain and lit (by a shade pixel)
NAVY = (8, 12, 52)
PURPLE = (58, 14, 78)
LIT = (120, 90, 200)  # the colour that shade pixels lean toward


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def about_palette():
    plain = [mix(NAVY, PURPLE, i / (STEPS - 1)) for i in range(STEPS)]
    lit = [mix(c, LIT, 0.28) for c in plain]
    return plain + lit


# Code page 437 shade characters in the VGA 8 x 16 font: each row's bit pattern repeats.
SHADES = {
    1: (0x22, 0x88),  # light shade
    2: (0x55, 0xAA),  # medium shade
    3: (0xDD, 0x77),  # dark shade
}


def big_q_cells():
    """A large "Q" on the picture's 8 x 16 character grid: {(column, row): shade 1..3}."""
    cells = {}
    cx, cy = 36.0, 7.2  # centre, in cells
    rx, ry = 10.5, 5.6  # ring radii, in cells (cells are twice as high as wide)
    for row in range(18):
        for col in range(50):
            r = math.hypot((col + 0.5 - cx) / rx, (row + 0.5 - cy) / ry)
            edge = abs(r - 0.78) / 0.22  # 0 on the ring's middle line, 1 at its edges
            if edge < 1.0:
                cells[(col, row)] = 3 if edge < 0.35 else (2 if edge < 0.7 else 1)
    for i in range(6):  # the tail
        for w, shade in ((0, 2), (1, 3), (2, 3), (3, 2), (4, 1)):
            col, row = 38 + 2 * i + w - 1, 10 + i
            if col < 50 and row < 18:
                cells[(col, row)] = max(cells.get((col, row), 0), shade)
    return cells


def make_about_indices():
    cells = big_q_cells()
    rows = []
    for y in range(PIC_H):
        row = bytearray(PIC_W)
        for x in range(PIC_W):
            # Diagonal gradient with a 2 x 2 ordered dither between neighbouring steps.
            t = (x / PIC_W * 0.45 + y / PIC_H * 0.55) * (STEPS - 1)
            threshold = (0.125, 0.625, 0.875, 0.375)[(x & 1) + 2 * (y & 1)]
            step = min(STEPS - 1, int(t) + (1 if t - int(t) > threshold else 0))
            lit = False
            shade = cells.get((x // 8, y // 16))
            if shade:
                bits = SHADES[shade][(y % 16) & 1]
                lit = bool(bits & (0x80 >> (x % 8)))
            # A thin light-shade rule near the bottom, under the credit.
            if y in (PIC_H - 44, PIC_H - 43) and 16 <= x < PIC_W - 16:
                lit = bool(SHADES[1][y & 1] & (0x80 >> (x % 8)))
            row[x] = step + (STEPS if lit else 0)
        rows.append(row)
    return rows


def write_about_bmp(path):
    rows = make_about_indices()
    palette = about_palette()
    stride = (PIC_W + 3) & ~3
    pixels = b"".join(bytes(r) + b"\0" * (stride - PIC_W) for r in reversed(rows))  # bottom-up
    table = b"".join(struct.pack("<BBBB", c[2], c[1], c[0], 0) for c in palette)
    offset = 14 + 40 + len(table)
    info = struct.pack("<IiiHHIIiiII", 40, PIC_W, PIC_H, 1, 8, 0, len(pixels), 3780, 3780,
                       len(palette), len(palette))
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(file_header + info + table + pixels)


# --- the howl -----------------------------------------------------------------------------------

RATE = 22050
SECONDS = 1.5


def write_howl(path):
    n = int(RATE * SECONDS)
    phase = 0.0
    frames = bytearray()
    for i in range(n):
        t = i / RATE
        u = t / SECONDS
        # Pitch rises to its peak at 40 % of the sound, then falls lower than it began.
        if u < 0.4:
            f0 = 320 + (680 - 320) * math.sin(u / 0.4 * math.pi / 2)
        else:
            f0 = 680 - (680 - 240) * ((u - 0.4) / 0.6) ** 1.4
        f0 *= 1 + 0.018 * math.sin(2 * math.pi * 5.5 * t) * min(1.0, t / 0.3)  # vibrato
        phase += 2 * math.pi * f0 / RATE
        voice = (math.sin(phase) + 0.35 * math.sin(2 * phase + 0.3) + 0.12 * math.sin(3 * phase)
                 + 0.05 * math.sin(4 * phase))
        attack = min(1.0, t / 0.18)
        release = min(1.0, (SECONDS - t) / 0.45)
        envelope = math.sin(attack * math.pi / 2) ** 2 * math.sin(release * math.pi / 2) ** 2
        frames += struct.pack("<h", round(0.55 * 32767 * envelope * voice / 1.52))
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(bytes(frames))


if __name__ == "__main__":
    write_icon_xpm(os.path.join(HERE, "quorvin.xpm"))
    os.makedirs(os.path.join(HERE, "icons"), exist_ok=True)
    for icon_size in ICON_THEME_SIZES:
        write_icon_png(os.path.join(HERE, "icons", "quorvin-%d.png" % icon_size), icon_size)
    write_about_bmp(os.path.join(HERE, "about.bmp"))
    write_howl(os.path.join(HERE, "howl.wav"))
