#include "viewer/filereading.h"

namespace viewer {

qint64 fileLength(const QString &)
{
    throw LoadError("not yet");
}

ReadMode probeLineBreaks(const QString &, const EventPump &)
{
    throw LoadError("not yet");
}

QByteArray directRead(const QString &)
{
    throw LoadError("not yet");
}

QByteArray convertingRead(
    const QString &, const std::function<void(const QByteArray &)> &, const EventPump &)
{
    throw LoadError("not yet");
}

QString captionFor(const QString &path)
{
    return path;
}

FileType openFileType(const QString &)
{
    return FileType::Other;
}

FileType dropFileType(const QString &)
{
    return FileType::Other;
}

FileType commandLineFileType(const QString &)
{
    return FileType::Nfo;
}

} // namespace viewer
