#pragma once

#include "platform/services.h"

#include <QByteArray>
#include <QString>

namespace settings {

// Conversions of stored texts. Each ignores surrounding blanks and throws SettingsError when
// the text is not a number or lies outside what its receiver can take; none converts silently.

// A colour: a whole decimal number in 0..0xFFFFFF.
platform::Colour toColour(const QByteArray &text);

// A window state: a whole decimal number 0 (normal), 1 (minimized) or 2 (maximized).
int toWindowState(const QByteArray &text);

// A geometry value in twips: a finite decimal number (sign, digits, point, exponent) whose
// pixel value (twips / 15) a window coordinate can hold: -32768..32767.
float toTwips(const QString &text);

// A font size in points: a finite decimal number above 0 and at most 2160.
float toFontSize(const QByteArray &text);

// Number text of lines 2 to 4 of quorvin.ini: " 14737632 " (a minus sign takes the leading
// blank's place when negative).
QByteArray numberText(qint64 value);

// The shortest decimal text of a single-precision number, in fixed notation with no exponent:
// "1500", "-45", "2.5", "100000".
QString twipsText(float twips);

} // namespace settings
