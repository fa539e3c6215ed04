#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The files of the faces the text area draws its letters from, where this system keeps them.
// On Linux they are the system's (Debian's fonts-pc and fonts-dejavu-core); Windows has
// neither, so there they are copies built into the program (resource paths).

// The IBM EGA 8 x 14 ROM face as fonts-pc converts it (CC BY-SA 4.0); empty when missing.
QString romFaceFile();

// DejaVu Sans Mono, regular then bold.
QStringList monospaceFaceFiles();

} // namespace platform
