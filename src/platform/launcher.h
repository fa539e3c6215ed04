#pragma once

#include "platform/services.h"

namespace platform {

// Starts a program from one command line without waiting for it. The line is split once, at
// its first blank, into a program and one argument (blanks kept, nothing unquoted).
// "webdial.exe" is the webdial companion in programDirectory; "notepad.exe" is the desktop's
// text editor. Returns false when the program could not be started.
bool launchCommandLine(const QString &commandLine, WindowStyle style, const QString &programDirectory);

} // namespace platform
