#pragma once

#include "platform/services.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace settings {

inline constexpr char QuorvinIniName[] = "quorvin.ini";
inline constexpr char FontSizeIniName[] = "fontsize.ini";

// Everything quorvin.ini holds, as the close handler writes it.
struct QuorvinIni
{
    QString versionText;
    platform::Colour textColour = 0xE0E0E0;
    platform::Colour backColour = 0x000000;
    int windowState = 0;
    QString winTop, winLeft, nfoHeight, nfoWidth, dizHeight, dizWidth;
};

// The ten lines of quorvin.ini, each ended by CR LF, bytes as single-byte (Latin-1) text.
QByteArray serializeQuorvinIni(const QuorvinIni &ini);

// fontsize.ini: the size's caption and CR LF.
QByteArray serializeFontSize(const QString &caption);

// The path of a file beside the program: the program directory, the native separator, the name.
QString besideProgram(const QString &programDirectory, const QString &name);

// Whether path names an existing regular file (not a directory, not hidden).
bool isRegularFile(const QString &path);

// Reads a whole settings file. Throws SettingsError when it cannot be opened or read, or is
// larger than any settings file the program writes could reasonably be (1 MiB).
QByteArray readSettingsFile(const QString &path);

// Writes a whole file through a temporary file beside it and a rename, so that a crash or a
// full disk never leaves it truncated. Where no temporary file can be made beside it but the
// file itself is writable, it is written in place. Returns false, leaving the old file as it
// was, when neither can be written.
bool writeWholeFile(const QString &path, const QByteArray &bytes);

} // namespace settings
