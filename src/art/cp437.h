#pragma once

#include <cstdint>

namespace art::cp437 {

// The glyph that code page 437 shows for a byte, as a Unicode character. Bytes below 32 and
// 127 map to their graphic glyphs (0x01 is U+263A, 0x1A is U+2192, 0x7F is U+2302), not to
// control codes; 0x00 maps to U+0000, a blank cell. Bytes 32-126 are ASCII.
char16_t toUnicode(std::uint8_t byte);

} // namespace art::cp437
