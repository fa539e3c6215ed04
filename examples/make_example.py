#!/usr/bin/env python3
"""Writes examples/quorvin.nfo, Quorvin's own demonstration file.

The file is code page 437 bytes with CR LF line breaks, as text art of this kind is kept: a
block-letter logo with shading, a double-line box with the release facts, a single-line table,
a few accented letters and symbols. Run it again after changing the picture:

    python3 examples/make_example.py
"""

from pathlib import Path

# Block letters, 7 rows high: '#' is a full block, '^' an upper half, '_' a lower half,
# '[' a left half and ']' a right half.
LETTERS = {
    "Q": [
        "_####_ ",
        "##  ## ",
        "##  ## ",
        "##  ## ",
        "## ]## ",
        "^####_ ",
        "    ^^ ",
    ],
    "U": [
        "##  ## ",
        "##  ## ",
        "##  ## ",
        "##  ## ",
        "##  ## ",
        "^####^ ",
        "       ",
    ],
    "O": [
        "_####_ ",
        "##  ## ",
        "##  ## ",
        "##  ## ",
        "##  ## ",
        "^####^ ",
        "       ",
    ],
    "R": [
        "#####_ ",
        "##  ## ",
        "##__#^ ",
        "##^#_  ",
        "##  ## ",
        "##  ## ",
        "       ",
    ],
    "V": [
        "##  ## ",
        "##  ## ",
        "##  ## ",
        "^#__#^ ",
        " ]##[  ",
        "  ^^   ",
        "       ",
    ],
    "I": [
        "###### ",
        "  ##   ",
        "  ##   ",
        "  ##   ",
        "  ##   ",
        "###### ",
        "       ",
    ],
    "N": [
        "##_ ## ",
        "###_## ",
        "##^### ",
        "## ^## ",
        "##  ## ",
        "##  ## ",
        "       ",
    ],
}

BLOCKS = {"#": 0xDB, "^": 0xDF, "_": 0xDC, "[": 0xDD, "]": 0xDE, " ": 0x20}
WIDTH = 76  # every line is this many columns

# Characters used below, by their CP437 byte.
LIGHT, MEDIUM, DARK = 0xB0, 0xB1, 0xB2
D_TL, D_H, D_TR, D_V, D_BL, D_BR, D_LJ, D_RJ = 0xC9, 0xCD, 0xBB, 0xBA, 0xC8, 0xBC, 0xCC, 0xB9
S_TL, S_H, S_TR, S_V, S_BL, S_BR = 0xDA, 0xC4, 0xBF, 0xB3, 0xC0, 0xD9
S_LJ, S_RJ, S_TJ, S_BJ, S_X = 0xC3, 0xB4, 0xC2, 0xC1, 0xC5

# Accented letters and symbols: é ü ç, a bullet, the sun, a note, a heart, double arrows.
E_ACUTE, U_UML, C_CED = 0x82, 0x81, 0x87
BULLET, SUN, NOTE, HEART, RAQUO, LAQUO, SQUARE = 0x07, 0x0F, 0x0E, 0x03, 0xAF, 0xAE, 0xFE


def text(s):
    """ASCII text as bytes; {e} {u} {c} mark the accented letters."""
    raw = s.replace("{e}", "\x82").replace("{u}", "\x81").replace("{c}", "\x87")
    return raw.encode("latin-1")


def centred(body, width=WIDTH):
    pad = (width - len(body)) // 2
    return b" " * pad + body + b" " * (width - pad - len(body))


def shade_bar(width):
    """A light-to-dark-to-light band of shade characters."""
    third = width // 6
    return (bytes([LIGHT]) * third + bytes([MEDIUM]) * third + bytes([DARK]) * (width - 4 * third)
            + bytes([MEDIUM]) * third + bytes([LIGHT]) * third)


def logo():
    rows = []
    for row in range(7):
        line = b""
        for letter in "QUORVIN":
            line += bytes(BLOCKS[ch] for ch in LETTERS[letter][row])
        line = line[:-1]  # the last letter's spacing column
        # Shade frames the letters on both sides, deepening towards them.
        rows.append(centred(bytes([LIGHT, MEDIUM, DARK, 0x20]) + line
                            + bytes([0x20, DARK, MEDIUM, LIGHT])))
    return rows


def double_box(lines, inner=58):
    """A double-line box; a None entry is a junction line across it."""
    rule = bytes([D_H]) * inner
    out = [centred(bytes([D_TL]) + rule + bytes([D_TR]))]
    for entry in lines:
        if entry is None:
            out.append(centred(bytes([D_LJ]) + rule + bytes([D_RJ])))
        else:
            body = b" " + entry
            out.append(centred(bytes([D_V]) + body + b" " * (inner - len(body)) + bytes([D_V])))
    out.append(centred(bytes([D_BL]) + rule + bytes([D_BR])))
    return out


def table(rows, widths):
    """A single-line table; the first row is the heading, ruled off from the rest."""

    def rule(left, mid, right):
        return bytes([left]) + bytes([mid]).join(bytes([S_H]) * (w + 2) for w in widths) + bytes(
            [right])

    def cells(row):
        parts = [b" " + cell + b" " * (w - len(cell) + 1) for cell, w in zip(row, widths)]
        return bytes([S_V]) + bytes([S_V]).join(parts) + bytes([S_V])

    out = [rule(S_TL, S_TJ, S_TR), cells(rows[0]), rule(S_LJ, S_X, S_RJ)]
    out += [cells(row) for row in rows[1:]]
    out.append(rule(S_BL, S_BJ, S_BR))
    return [centred(line) for line in out]


def build():
    bar = centred(shade_bar(70))
    lines = [bar, b""]
    lines += logo()
    lines += [b"", centred(text("a small, fast viewer for text art")), b"", bar, b""]
    lines += double_box([
        text("Release ....... Quorvin 1.19"),
        text("Kind .......... viewer for .nfo and .diz files"),
        text("Characters .... code page 437, blocks drawn seamless"),
        None,
        text("Greetings ..... the caf{e} crowd, the Z{u}rich crew,"),
        text("                the gar{c}on at the fa{c}ade, and you"),
    ])
    lines.append(b"")
    lines += table([
        [text("Key"), text("Does")],
        [text("Ctrl+O"), text("open a file")],
        [text("Ctrl+C"), text("copy the selection as Unicode")],
        [text("Ctrl+Home"), text("back to the top")],
    ], widths=[10, 32])
    lines.append(b"")
    lines.append(centred(bytes([SUN, 0x20, NOTE, 0x20, HEART]) + text("  made with care  ")
                         + bytes([HEART, 0x20, NOTE, 0x20, SUN])))
    lines.append(centred(bytes([LAQUO, 0x20, BULLET, 0x20]) + text("block, shade and line art")
                         + bytes([0x20, BULLET, 0x20, RAQUO])))
    lines.append(centred(bytes([SQUARE]) * 3))
    lines.append(bar)

    lines = [line.rstrip(b" ") for line in lines]
    assert all(len(line) <= WIDTH for line in lines), "a line is too wide"
    return b"".join(line + b"\r\n" for line in lines)


def main():
    target = Path(__file__).resolve().parent / "quorvin.nfo"
    target.write_bytes(build())


if __name__ == "__main__":
    main()
