#include "platform/boundedread.h"

#include <QFile>
#include <QFileInfo>

namespace platform {

BoundedRead readBounded(const QString &path, qint64 limit)
{
    using Outcome = BoundedRead::Outcome;
    if (!QFileInfo(path).isFile())
        return { Outcome::NotAFile, {} };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return { Outcome::CannotOpen, {} };
    QByteArray bytes;
    bytes.reserve(qsizetype(qMin<qint64>(limit + 1, file.size() + 1)));
    while (bytes.size() <= limit) {
        const QByteArray chunk = file.read(limit + 1 - bytes.size());
        if (chunk.isEmpty())
            break;
        bytes += chunk;
    }
    if (file.error() != QFileDevice::NoError)
        return { Outcome::CannotRead, {} };
    if (bytes.size() > limit)
        return { Outcome::TooLarge, {} };
    return { Outcome::Read, bytes };
}

const char *BoundedRead::failure() const
{
    switch (outcome) {
    case Outcome::Read:
        break;
    case Outcome::NotAFile:
        return "not a regular file";
    case Outcome::CannotOpen:
        return "cannot be opened";
    case Outcome::CannotRead:
        return "cannot be read";
    case Outcome::TooLarge:
        return "larger than the limit";
    }
    return "";
}

} // namespace platform
