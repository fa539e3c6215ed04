#pragma once

#include <QString>

namespace platform {

// Hands a checked web or mail address (in its encoded form) to the system's opener without
// waiting for it: xdg-open on Linux, ShellExecute on Windows, which start the user's browser
// or mail program. Returns false when nothing could be started, and then says why in failure,
// in the user's words ("There is no program to open it (xdg-open is not installed).").
bool openAddress(const QString &address, QString *failure);

} // namespace platform
