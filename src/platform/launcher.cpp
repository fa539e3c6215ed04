#include "platform/launcher.h"

namespace platform {

bool launchCommandLine(const QString &commandLine, WindowStyle style, const QString &programDirectory)
{
    Q_UNUSED(commandLine);
    Q_UNUSED(style);
    Q_UNUSED(programDirectory);
    return false; // filled in with the help and web commands
}

} // namespace platform
