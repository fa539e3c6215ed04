#pragma once

#include <string>
#include <string_view>

namespace art {

// Whether a shown file's bytes are read as UTF-8. All three must hold: the bytes are valid
// UTF-8; they start with the byte-order mark or hold at least one multi-byte sequence; they
// start with the byte-order mark or every character is ASCII, a character of the code page 437
// table, or a common typographic mark (en and em dash, curly quotes, ellipsis, bullet, (c), (R),
// TM, euro sign). Code page 437 art that happens to be valid UTF-8 (the bytes of a box's line
// often are) thus stays code page 437.
bool readsAsUtf8(std::string_view bytes);

// The code page 437 byte shown for a character: its own glyph, a typographic mark's nearest
// glyph, or for any other character a visible substitute (the small square).
char shownGlyph(char32_t character);

// The glyphs shown for valid UTF-8 bytes: one code page 437 byte per character, a byte-order
// mark at the start dropped, CR and LF kept as they are.
std::string utf8Glyphs(std::string_view validBytes);

} // namespace art
