#include "viewer/utf8reading.h"

#include "textarea/cp437.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace viewer {

namespace {

constexpr QByteArrayView ByteOrderMark("\xEF\xBB\xBF");
// A character with no glyph of its own: the small square, as a desktop shows a missing glyph.
constexpr char Substitute = '\xFE';

// The nearest glyph of each common typographic mark that code page 437 lacks. The bullet
// needs none: the table has it (byte 7).
constexpr std::array<std::pair<char32_t, char>, 13> TypographicMarks = { {
    { 0x00A9, 'c' }, // copyright sign
    { 0x00AE, 'R' }, // registered sign
    { 0x2013, '-' }, // en dash
    { 0x2014, '-' }, // em dash
    { 0x2018, '\'' }, // curly single quotes, and the low one
    { 0x2019, '\'' }, { 0x201A, '\'' }, { 0x201C, '"' }, // curly double quotes, and the low one
    { 0x201D, '"' }, { 0x201E, '"' }, { 0x2026, '.' }, // ellipsis
    { 0x20AC, 'E' }, // euro sign
    { 0x2122, 'T' }, // trade mark sign
} };

// The glyphs of the characters past ASCII that have one: the code page 437 table read
// backwards, and the typographic marks. Every such character lies below LookupEnd.
constexpr char32_t LookupEnd = 0x2700;

const std::array<quint8, LookupEnd> &glyphLookup()
{
    static const std::array<quint8, LookupEnd> lookup = [] {
        std::array<quint8, LookupEnd> table {}; // 0: no glyph (byte 0 is ASCII's own)
        for (int byte = 1; byte < 256; ++byte) {
            const char16_t character = textarea::cp437::toUnicode(quint8(byte));
            if (character >= 0x80)
                table[character] = quint8(byte);
        }
        for (const auto &[character, glyph] : TypographicMarks)
            table[character] = quint8(glyph);
        return table;
    }();
    return lookup;
}

// The glyph of a character, or 0 where it has none.
char glyphOf(char32_t character)
{
    if (character < 0x80)
        return character == 0 ? '\0' : char(character);
    return character < LookupEnd ? char(glyphLookup()[character]) : '\0';
}

// The bytes decoded strictly: each byte of an invalid or cut-short sequence becomes U+FFFD,
// and a byte-order mark at the start is dropped.
QString decode(QByteArrayView bytes, bool *valid = nullptr)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = decoder(bytes);
    if (valid != nullptr)
        *valid = !decoder.hasError();
    return text;
}

} // namespace

bool readsAsUtf8(QByteArrayView bytes)
{
    const bool marked = bytes.startsWith(ByteOrderMark);
    // Plain ASCII holds no multi-byte sequence: the common case is decided without decoding.
    if (!marked
        && std::all_of(bytes.begin(), bytes.end(), [](char byte) { return quint8(byte) < 0x80; }))
        return false;
    bool valid = false;
    const QString text = decode(bytes, &valid);
    if (!valid)
        return false;
    if (marked)
        return true;
    // Every character outside the basic plane lies past the table and the marks, so a
    // surrogate (half of such a character) is one without a glyph.
    return std::all_of(text.begin(), text.end(), [](QChar character) {
        return character.unicode() < 0x80 || glyphOf(character.unicode()) != '\0';
    });
}

Utf8Text utf8Text(QByteArrayView bytes)
{
    const QString text = decode(bytes);
    Utf8Text shown;
    shown.glyphs.reserve(text.size());
    shown.characters.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t character = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            character = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        const char glyph = glyphOf(character);
        shown.glyphs.append(glyph != '\0' || character == 0 ? glyph : Substitute);
        shown.characters.append(character);
    }
    return shown;
}

QByteArray utf8Glyphs(QByteArrayView bytes)
{
    return utf8Text(bytes).glyphs;
}

qsizetype completeUtf8Length(QByteArrayView bytes)
{
    // A sequence is at most four bytes: look back over up to three continuation bytes for the
    // lead byte of the last sequence, and leave it out when it announces more than there is.
    const qsizetype size = bytes.size();
    for (qsizetype back = 1; back <= std::min<qsizetype>(4, size); ++back) {
        const quint8 byte = quint8(bytes[size - back]);
        if ((byte & 0xC0) == 0x80)
            continue; // a continuation byte
        const qsizetype length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? size - back : size;
    }
    return size;
}

} // namespace viewer
