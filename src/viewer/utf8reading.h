#pragma once

// TEMPORARY STAND-IN for the UTF-8 reading, so that the renderer builds against its interface.
// It reads every file as code page 437. The real module replaces this file and its .cpp.

#include <QByteArray>
#include <QByteArrayView>

namespace viewer {

// Whether the shown file is read as UTF-8. Stand-in: never.
bool readsAsUtf8(QByteArrayView bytes);
// One code page 437 glyph byte per character, a BOM dropped, CR and LF kept. Stand-in: the
// bytes unchanged.
QByteArray utf8Glyphs(QByteArrayView bytes);

} // namespace viewer
