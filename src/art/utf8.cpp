#include "art/utf8.h"

#include "art/cp437.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace art {

namespace {

constexpr std::string_view ByteOrderMark("\xEF\xBB\xBF");
// A character with no glyph of its own: the small square, as a desktop shows a missing glyph.
constexpr char Substitute = '\xFE';

// The nearest glyph of each common typographic mark that code page 437 lacks: copyright and
// registered signs, en and em dashes, curly single and double quotes (the low ones too),
// ellipsis, euro and trade mark signs. The bullet needs none: the table has it (byte 7).
constexpr std::array<std::pair<char32_t, char>, 13> TypographicMarks = { {
    { 0x00A9, 'c' },
    { 0x00AE, 'R' },
    { 0x2013, '-' },
    { 0x2014, '-' },
    { 0x2018, '\'' },
    { 0x2019, '\'' },
    { 0x201A, '\'' },
    { 0x201C, '"' },
    { 0x201D, '"' },
    { 0x201E, '"' },
    { 0x2026, '.' },
    { 0x20AC, 'E' },
    { 0x2122, 'T' },
} };

// The glyphs of the characters past ASCII that have one: the code page 437 table read
// backwards, and the typographic marks. Every such character lies below LookupEnd.
constexpr char32_t LookupEnd = 0x2700;

std::array<std::uint8_t, LookupEnd> buildLookup()
{
    std::array<std::uint8_t, LookupEnd> table {}; // 0: no glyph (byte 0 is ASCII's own)
    for (int byte = 1; byte < 256; ++byte) {
        const char16_t character = cp437::toUnicode(std::uint8_t(byte));
        if (character >= 0x80)
            table[character] = std::uint8_t(byte);
    }
    for (const auto &[character, glyph] : TypographicMarks)
        table[character] = std::uint8_t(glyph);
    return table;
}

// The glyph of a character, or 0 where it has none.
char glyphOf(char32_t character)
{
    static const std::array<std::uint8_t, LookupEnd> lookup = buildLookup();
    if (character < 0x80)
        return char(character);
    return character < LookupEnd ? char(lookup[character]) : '\0';
}

// Decodes the sequence at data (before end) into character and returns its length, or 0 where
// no valid sequence starts there.
int decode(const unsigned char *data, const unsigned char *end, char32_t &character)
{
    const unsigned lead = data[0];
    int length;
    char32_t least;
    if (lead < 0x80) {
        character = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, least = 0x80, character = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, least = 0x800, character = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, least = 0x10000, character = lead & 0x07;
    } else {
        return 0;
    }
    if (end - data < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((data[i] & 0xC0) != 0x80)
            return 0;
        character = (character << 6) | (data[i] & 0x3F);
    }
    const bool surrogate = character >= 0xD800 && character <= 0xDFFF;
    return character < least || character > 0x10FFFF || surrogate ? 0 : length;
}

// Calls each(character) for every character of valid UTF-8 bytes, or stops at the first fault
// and returns false.
template<typename Each> bool forEachCharacter(std::string_view bytes, Each each)
{
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = data + bytes.size();
    while (data < end) {
        char32_t character;
        const int length = decode(data, end, character);
        if (length == 0 || !each(character))
            return false;
        data += length;
    }
    return true;
}

// Whether bytes are entirely valid UTF-8 in the strict sense: no overlong forms, no surrogates,
// nothing past U+10FFFF, no sequence cut short.
bool isValidUtf8(std::string_view bytes)
{
    return forEachCharacter(bytes, [](char32_t) { return true; });
}

} // namespace

bool readsAsUtf8(std::string_view bytes)
{
    const bool marked = bytes.starts_with(ByteOrderMark);
    // Plain ASCII holds no multi-byte sequence: the common case is decided without decoding.
    if (!marked && std::all_of(bytes.begin(), bytes.end(), [](char b) {
            return static_cast<unsigned char>(b) < 0x80;
        }))
        return false;
    if (marked)
        return isValidUtf8(bytes);
    // Stops at the first fault, so code page 437 art is refused after a few bytes.
    return forEachCharacter(bytes, [](char32_t c) { return c < 0x80 || glyphOf(c) != '\0'; });
}

char shownGlyph(char32_t character)
{
    const char glyph = glyphOf(character);
    return glyph != '\0' || character == 0 ? glyph : Substitute;
}

std::string utf8Glyphs(std::string_view validBytes)
{
    if (validBytes.starts_with(ByteOrderMark))
        validBytes.remove_prefix(ByteOrderMark.size());
    std::string glyphs;
    glyphs.reserve(validBytes.size());
    forEachCharacter(validBytes, [&](char32_t c) {
        glyphs += shownGlyph(c);
        return true;
    });
    return glyphs;
}

} // namespace art
