#pragma once

#include <QByteArray>

// Dense art: blocks, shades, line drawing and letters, 78 cells and a line break per line.
inline QByteArray denseArt(qsizetype size, const char *lineBreak)
{
    const QByteArray pieces[]
        = { "\xdb\xdb\xdb\xdc\xdf\xdd\xde", "\xb0\xb0\xb1\xb1\xb2\xb2", "\xc9\xcd\xcd\xcb\xcd\xbb",
              "\xda\xc4\xc2\xc4\xbf\xb3", "The Art Group", "\xfe \xba\xc3\xc5\xb4" };
    QByteArray text;
    QByteArray line;
    int piece = 0;
    while (text.size() < size) {
        line.clear();
        while (line.size() < 78)
            line.append(pieces[piece++ % 6]);
        line.truncate(78);
        text.append(line).append(lineBreak);
    }
    text.truncate(size);
    return text;
}
