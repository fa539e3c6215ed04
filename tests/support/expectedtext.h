#pragma once

// What a shown file's reads give, written apart from the reading code so that the tests and
// the fuzz target can hold the two against each other.

#include <QByteArray>

namespace expected {

// The converting read: each LF becomes CR LF, each CR is dropped; the direct read: the file
// less a final CR LF, CR or LF.
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

inline QByteArray withoutFinalBreak(const QByteArray &bytes)
{
    return bytes.chopped(bytes.endsWith("\r\n") ? 2 : bytes.endsWith('\r') || bytes.endsWith('\n'));
}

} // namespace expected
