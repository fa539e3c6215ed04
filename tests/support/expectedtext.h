#pragma once

// What a shown file's reads must produce, written independently of the reading code so that
// the tests and the fuzz target can hold the two against each other.

#include <QByteArray>

namespace expected {

// The converting read: each LF becomes CR LF, each CR is dropped.
inline QByteArray converted(const QByteArray &bytes)
{
    QByteArray out;
    for (const char byte : bytes) {
        if (byte == '\n')
            out += "\r\n";
        else if (byte != '\r')
            out += byte;
    }
    return out;
}

// The direct read: the file without a final CR LF, CR or LF.
inline QByteArray withoutFinalBreak(QByteArray bytes)
{
    if (bytes.endsWith("\r\n"))
        bytes.chop(2);
    else if (bytes.endsWith('\r') || bytes.endsWith('\n'))
        bytes.chop(1);
    return bytes;
}

} // namespace expected
