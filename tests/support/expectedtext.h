#pragma once

#include <QByteArray>

namespace expected {

// What the reads of a shown file give, apart from the reading code (tests, fuzz target).
// Converting: each LF becomes CR LF, each CR is dropped. Direct: less a final CR LF, CR or LF.
inline QByteArray converted(QByteArray bytes)
{
    return bytes.replace("\r", "").replace("\n", "\r\n");
}

inline QByteArray withoutFinalBreak(const QByteArray &bytes)
{
    return bytes.chopped(bytes.endsWith("\r\n") ? 2 : bytes.endsWith('\r') || bytes.endsWith('\n'));
}

} // namespace expected
