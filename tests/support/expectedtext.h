#pragma once

#include <QByteArray>

namespace expected {

// What the reads of a shown file give, written apart from the reading code for the tests and
// the fuzz target. Converting: each LF becomes CR LF, each CR is dropped. Direct: the file less
// a final CR LF, CR or LF.
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
