#include "viewer/utf8reading.h"

#include "art/utf8.h"

#include <QStringDecoder>

#include <algorithm>

namespace viewer {

namespace {

constexpr QByteArrayView ByteOrderMark("\xEF\xBB\xBF");

std::string_view view(QByteArrayView bytes)
{
    return std::string_view(bytes.data(), size_t(bytes.size()));
}

} // namespace

bool readsAsUtf8(QByteArrayView bytes)
{
    return art::readsAsUtf8(view(bytes));
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
        glyph[cells] = art::shownGlyph(c);
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
