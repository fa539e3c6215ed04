#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Reads a whole regular file, but never more than limit bytes: a larger file (or one that
// grows while it is read) is refused rather than read further. Directories, FIFOs and devices
// are refused before they are opened, since opening a FIFO would block.
struct BoundedRead
{
    enum class Outcome { Read, NotAFile, CannotOpen, CannotRead, TooLarge };
    Outcome outcome = Outcome::Read;
    QByteArray bytes; // the file, when outcome is Read

    // Why the file was not read, in a few words ("not a regular file", ...); empty when it was.
    const char *failure() const;
};

BoundedRead readBounded(const QString &path, qint64 limit);

} // namespace platform
