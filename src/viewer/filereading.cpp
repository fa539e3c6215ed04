#include "viewer/filereading.h"

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

// The direct read's rule: the text less a final line break (CR LF, or a lone CR or LF).
QByteArray withoutFinalBreak(QByteArray text)
{
    if (text.endsWith("\r\n"))
        text.chop(2);
    else if (text.endsWith('\r') || text.endsWith('\n'))
        text.chop(1);
    return text;
}

// The converting read's rule: each LF turned into CR LF and each CR dropped; showSoFar and
// pump run as convertingRead says.
QByteArray convertBreaks(const QByteArray &bytes,
    const std::function<void(const QByteArray &)> &showSoFar, const EventPump &pump)
{
    // Every LF may double; reserving that once keeps appends from reallocating.
    const qsizetype capacity = 2 * bytes.size();
    QByteArray text;
    text.reserve(capacity);

    const char *const data = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype spanStart = 0; // first byte not yet appended
    int counter = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char byte = data[i];
        if (byte == '\n' || byte == '\r') {
            text.append(data + spanStart, i - spanStart);
            if (byte == '\n')
                text.append("\r\n", 2);
            spanStart = i + 1;
        }
        if (++counter == ProgressPeriod) {
            text.append(data + spanStart, i + 1 - spanStart);
            spanStart = i + 1;
            showSoFar(text);
            counter = 0;
            // A receiver that kept a shared copy makes the next append detach; take the full
            // capacity again in that one copy.
            if (!text.isDetached())
                text.reserve(capacity);
            pumpOrAbort(pump);
        }
    }
    text.append(data + spanStart, size - spanStart);
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
    const qsizetype breakAt = std::find_if(bytes.cbegin(), bytes.cend(), [](char byte) {
        return byte == '\r' || byte == '\n';
    }) - bytes.cbegin();
    if (breakAt < bytes.size() && bytes[breakAt] == '\r')
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
