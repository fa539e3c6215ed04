#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace viewer {

// Whether a shown file's bytes are read as UTF-8. All three must hold: the bytes are entirely
// valid UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF); they start with the
// byte-order mark or hold at least one multi-byte sequence; they start with the byte-order mark
// or every character is ASCII, a character of the code page 437 table, or a common typographic
// mark (en and em dash, curly quotes, ellipsis, bullet, (c), (R), TM, euro sign). Code page 437
// art that happens to be valid UTF-8 (the bytes of a box's line often are) thus stays code page
// 437.
bool readsAsUtf8(QByteArrayView bytes);

// The glyphs shown for UTF-8 bytes: one code page 437 byte per character, the byte-order
// mark dropped, CR and LF bytes kept as they are; typographic marks as their nearest glyph,
// any other character as a visible substitute glyph.
QByteArray utf8Glyphs(QByteArrayView bytes);

// UTF-8 bytes as shown: the glyph of each character (as utf8Glyphs gives them) and the
// character itself, one of each a cell. A byte that is not part of a valid sequence is one cell
// of its own: the substitute glyph and U+FFFD.
struct Utf8Text
{
    QByteArray glyphs;
    QList<char32_t> characters;
};
Utf8Text utf8Text(QByteArrayView bytes);
// Appends to `to` the shown text of more bytes that follow those it was made from, cut at a
// character's edge; fileStart tells whether they start the file (where a byte-order mark is
// dropped). A text shown while it is read is thus converted once, piece by piece.
void appendUtf8Text(Utf8Text &to, QByteArrayView bytes, bool fileStart);

// The length of the bytes less a sequence cut short at their end, so that a text shown while it
// is read never shows half a character.
qsizetype completeUtf8Length(QByteArrayView bytes);

} // namespace viewer
