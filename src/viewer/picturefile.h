#pragma once

#include <QImage>
#include <QString>

namespace viewer {

// A picture with at most 256 colours as an indexed image of exactly those colours; any other
// picture unchanged. Text art has a handful of colours, and its PNG is then a fraction of the
// size of a 32-bit one.
QImage withPalette(const QImage &picture);

// Writes a picture as a PNG file, whole or not at all: through QSaveFile, so a failure leaves
// no file (and an existing file as it was); an existing empty file, made ready for the picture
// by a thumbnail service, is filled in place and left empty on failure. Indexed colour where
// the picture has few colours.
// Returns why it failed in a few words (the system's reason where there is one), or the empty
// string once the file is in place.
QString writePng(const QImage &picture, const QString &path);

} // namespace viewer
