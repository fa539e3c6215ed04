#!/usr/bin/env python3
"""Writes the inputs of the open-to-painted timing: code page 437 art of fixed sizes.

Usage: gen_inputs.py DIRECTORY

Files (always the same bytes; a seeded generator, no clock):
  art-1000-crlf.nfo, art-20000-crlf.nfo, art-64000-crlf.nfo   lines broken by CR LF
  art-64000-lf.nfo                                           lines broken by LF
  art-64000-nobreak.nfo                                      no line break at all
  art-64000-utf8.nfo                                         the same art written in UTF-8
Each art line is 78 columns of shades (B0-B2), full blocks (DB), half blocks, line drawing
and letters, framed like a release note.
"""

import os
import random
import sys

SHADES = bytes([0x20, 0xB0, 0xB1, 0xB2, 0xDB])
HALVES = bytes([0xDC, 0xDF, 0xDD, 0xDE, 0xFE])
WIDTH = 78


def art_lines(seed=437):
    """An endless run of 78-column lines: a shaded wave, a framed text box, repeat."""
    rng = random.Random(seed)
    words = [b"QUORVIN", b"RELEASE", b"NFO", b"CP437", b"GREETS", b"CREW", b"ANSI",
             b"BLOCKS", b"1995", b"SYSOP", b"COURIER", b"DIZ", b"ARTIST", b"FILE"]
    row = 0
    while True:
        # A band of shaded waves: the shade index rises and falls across the line.
        for _ in range(8):
            line = bytearray()
            for col in range(WIDTH):
                level = (col + row * 3 + rng.randrange(3)) % 9
                level = level if level < 5 else 8 - level
                line.append(SHADES[level])
            if rng.random() < 0.3:
                start = rng.randrange(WIDTH - 4)
                line[start:start + 4] = bytes(rng.choice(HALVES) for _ in range(4))
            yield bytes(line)
            row += 1
        # A framed box of text in double and single lines.
        yield bytes([0xC9]) + bytes([0xCD]) * (WIDTH - 2) + bytes([0xBB])
        for _ in range(4):
            text = b" ".join(rng.choice(words) for _ in range(8))[:WIDTH - 6]
            inner = bytes([0xB3, 0x20]) + text.ljust(WIDTH - 6) + bytes([0x20, 0xB3])
            yield bytes([0xBA]) + inner + bytes([0xBA])
            row += 1
        yield bytes([0xC8]) + bytes([0xCD]) * (WIDTH - 2) + bytes([0xBC])
        row += 2


def art(size, eol):
    """Exactly `size` bytes of art; with a line break, the last line ends with one too."""
    out = bytearray()
    lines = art_lines()
    while len(out) < size:
        out += next(lines) + eol
    if not eol:
        return bytes(out[:size])
    body = out[:size - len(eol)]
    # A cut through a line break must not leave half of it behind.
    while body and body[-1] in b"\r\n":
        body[-1] = 0xDB
    return bytes(body + eol)


def utf8_art(size):
    """Exactly `size` bytes of the art as UTF-8 lines broken by CR LF, padded with blanks."""
    out = bytearray()
    for line in art_lines():
        encoded = line.decode("cp437").encode("utf-8") + b"\r\n"
        if len(out) + len(encoded) > size:
            break
        out += encoded
    return bytes(out + b" " * (size - len(out) - 2) + b"\r\n")


def main():
    if len(sys.argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    directory = sys.argv[1]
    os.makedirs(directory, exist_ok=True)
    inputs = {
        "art-1000-crlf.nfo": art(1000, b"\r\n"),
        "art-20000-crlf.nfo": art(20000, b"\r\n"),
        "art-64000-crlf.nfo": art(64000, b"\r\n"),
        "art-64000-lf.nfo": art(64000, b"\n"),
        "art-64000-nobreak.nfo": art(64000, b""),
        "art-64000-utf8.nfo": utf8_art(64000),
    }
    for name, data in inputs.items():
        with open(os.path.join(directory, name), "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
