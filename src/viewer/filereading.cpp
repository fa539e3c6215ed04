#include "viewer/filereading.h"

#include "art/lines.h"
#include "platform/boundedread.h"
#include "viewer/utf8reading.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace viewer {

namespace {

// Opens a shown file for reading. Only regular files (after following links) are opened: a
// directory is no text, and a FIFO or device could block the load or never end.
void openForReading(QFile &file)
{
    if (!QFileInfo(file.fileName()).isFile())
        throw LoadError("not a regular file");
    if (!file.open(QIODevice::ReadOnly))
        throw LoadError("cannot open file");
}

// Reads the whole file at once. A file that has grown past MaxFileBytes since its size was
// tested is refused rather than read further.
QByteArray readWhole(const QString &path)
{
    platform::BoundedRead read = platform::readBounded(path, MaxFileBytes);
    if (read.outcome != platform::BoundedRead::Outcome::Read)
        throw LoadError(read.failure());
    return std::move(read.bytes);
}

void pumpOrAbort(const EventPump &pump)
{
    if (!pump())
        throw LoadAborted();
}

bool endsWithCaseInsensitive(const QString &path, QLatin1StringView ending)
{
    // A path shorter than the ending is compared as far as it goes, and so never matches.
    return path.right(ending.size()).compare(ending, Qt::CaseInsensitive) == 0;
}

std::string_view view(const QByteArray &bytes)
{
    return std::string_view(bytes.constData(), size_t(bytes.size()));
}

// The direct read's rule: the text less a final line break (CR LF, or a lone CR or LF).
QByteArray withoutFinalBreak(QByteArray text)
{
    text.chop(qsizetype(art::finalBreakLength(view(text))));
    return text;
}

// The converting read's rule, a ProgressPeriod of bytes at a time: after each, showSoFar and
// pump run as convertingRead says.
QByteArray convertBreaks(const QByteArray &bytes,
    const std::function<void(const QByteArray &)> &showSoFar, const EventPump &pump)
{
    // Every LF may double; reserving that once keeps the text from reallocating.
    const qsizetype capacity = 2 * bytes.size();
    QByteArray text;
    text.reserve(capacity);
    for (qsizetype from = 0; from < bytes.size(); from += ProgressPeriod) {
        const qsizetype piece = std::min<qsizetype>(ProgressPeriod, bytes.size() - from);
        const qsizetype length = text.size();
        text.resize(length + 2 * piece);
        const char *end = art::convertBreaks(
            view(bytes).substr(size_t(from), size_t(piece)), text.data() + length);
        text.resize(end - text.constData());
        if (piece < ProgressPeriod)
            break;
        showSoFar(text);
        // A receiver that kept a shared copy makes the next resize detach; take the full
        // capacity again in that one copy.
        if (!text.isDetached())
            text.reserve(capacity);
        pumpOrAbort(pump);
    }
    return text;
}

} // namespace

qint64 fileLength(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        throw LoadError("not a regular file");
    return info.size();
}

ReadMode probeLineBreaks(const QString &path, const EventPump &pump)
{
    QFile file(path);
    openForReading(file);
    // Reads in modest chunks and stops at the first break, so a file with an early break is
    // not read through; what the pump sees is the same as reading byte by byte.
    constexpr qint64 ChunkBytes = 4096;
    qint64 walked = 0;
    for (;;) {
        const QByteArray chunk = file.read(ChunkBytes);
        if (file.error() != QFileDevice::NoError)
            throw LoadError("cannot read file");
        if (chunk.isEmpty())
            return ReadMode::Converting;
        for (const char byte : chunk) {
            if (++walked > MaxFileBytes)
                throw LoadError("file grew past the size limit");
            if (byte == '\r')
                return ReadMode::Direct;
            if (byte == '\n')
                return ReadMode::Converting;
            pumpOrAbort(pump);
        }
    }
}

bool fileReadsAsUtf8(const QString &path)
{
    return readsAsUtf8(readWhole(path));
}

QByteArray directRead(const QString &path)
{
    return withoutFinalBreak(readWhole(path));
}

QByteArray convertingRead(const QString &path,
    const std::function<void(const QByteArray &)> &showSoFar, const EventPump &pump)
{
    return convertBreaks(readWhole(path), showSoFar, pump);
}

QByteArray shownText(const QByteArray &bytes)
{
    if (art::readsDirect(view(bytes)))
        return withoutFinalBreak(bytes);
    return convertBreaks(
        bytes, [](const QByteArray &) {}, [] { return true; });
}

QString captionFor(const QString &path)
{
    const QString lower = path.toLower();
    const qsizetype separator = lower.lastIndexOf(QDir::separator());
    return lower.sliced(separator + 1) + QStringLiteral(" - Quorvin");
}

FileType openFileType(const QString &path)
{
    if (endsWithCaseInsensitive(path, QLatin1StringView("NFO")))
        return FileType::Nfo;
    if (endsWithCaseInsensitive(path, QLatin1StringView("DIZ")))
        return FileType::Diz;
    return FileType::Other;
}

FileType dropFileType(const QString &path)
{
    if (path.endsWith(QLatin1StringView("NFO"), Qt::CaseSensitive))
        return FileType::Nfo;
    if (path.endsWith(QLatin1StringView("DIZ"), Qt::CaseSensitive))
        return FileType::Diz;
    return FileType::Other;
}

FileType commandLineFileType(const QString &argument)
{
    return endsWithCaseInsensitive(argument, QLatin1StringView(".DIZ")) ? FileType::Diz
                                                                        : FileType::Nfo;
}

} // namespace viewer
