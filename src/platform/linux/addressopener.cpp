#include "platform/addressopener.h"

#include <QProcess>
#include <QStandardPaths>

namespace platform {

bool openAddress(const QString &address, QString *failure)
{
    const QString name = QStringLiteral("xdg-open");
    const QString opener = QStandardPaths::findExecutable(name);
    if (opener.isEmpty()) {
        *failure
            = QStringLiteral("There is no program to open it (%1 is not installed).").arg(name);
        return false;
    }
    if (!QProcess::startDetached(opener, { address })) {
        *failure = QStringLiteral("The program %1 could not be started.").arg(name);
        return false;
    }
    return true;
}

} // namespace platform
