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
    static const std::array<quint8, LookupEnd> &lookup = glyphLookup();
    if (character < 0x80)
        return char(character);
    return character < LookupEnd ? char(lookup[character]) : '\0';
}

} // namespace

bool readsAsUtf8(QByteArrayView bytes)
{
    const bool marked = bytes.startsWith(ByteOrderMark);
    // Plain ASCII holds no multi-byte sequence: the common case is decided without decoding.
    if (!marked
        && std::all_of(bytes.begin(), bytes.end(), [](char byte) { return quint8(byte) < 0x80; }))
        return false;
    // Qt's check is strict (no overlong forms, no surrogates, nothing past U+10FFFF) and stops
    // at the first fault, so code page 437 art is refused after a few bytes.
    if (!bytes.isValidUtf8())
        return false;
    if (marked)
        return true;
    // Every character outside the basic plane lies past the table and the marks, so a
    // surrogate (half of such a character) is one without a glyph.
    const QString text = QString::fromUtf8(bytes);
    return std::all_of(text.begin(), text.end(), [](QChar character) {
        return character.unicode() < 0x80 || glyphOf(character.unicode()) != '\0';
    });
}

void appendUtf8Text(Utf8Text &to, QByteArrayView bytes, bool fileStart)
{
    // Decoded strictly, each byte of an invalid or cut-short sequence to U+FFFD; a byte-order
    // mark is kept by the decoder and dropped here only where it starts the file.
    QStringDecoder decoder(QStringConverter::Utf8,
        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    const QString text = decoder(bytes);
    const qsizetype first = fileStart && bytes.startsWith(ByteOrderMark) ? 1 : 0;
    const qsizetype before = to.glyphs.size();
    to.glyphs.resize(before + text.size() - first);
    to.characters.resize(before + text.size() - first);
    char *glyph = to.glyphs.data() + before;
    char32_t *character = to.characters.data() + before;
    const QChar *in = text.constData();
    qsizetype cells = 0;
    for (qsizetype i = first; i < text.size(); ++i, ++cells) {
        char32_t c = in[i].unicode();
        if (in[i].isHighSurrogate() && i + 1 < text.size() && in[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(in[i], in[i + 1]);
            ++i;
        }
        const char shown = glyphOf(c);
        glyph[cells] = shown != '\0' || c == 0 ? shown : Substitute;
        character[cells] = c;
    }
    to.glyphs.truncate(before + cells);
    to.characters.resize(before + cells);
}

Utf8Text utf8Text(QByteArrayView bytes)
{
    Utf8Text shown;
    appendUtf8Text(shown, bytes, true);
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
