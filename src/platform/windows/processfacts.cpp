#include "platform/processfacts.h"

#include <QDir>

#include <windows.h>

#include <vector>

namespace platform {

// From the running executable's own path, which GetModuleFileName gives whole (long paths
// too: the buffer grows until the name fits).
QString programDirectoryOfProcess()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (length == 0)
            return QString();
        if (length < buffer.size()) {
            const QString file = QDir::toNativeSeparators(
                QString::fromWCharArray(buffer.data(), qsizetype(length)));
            const qsizetype separator = file.lastIndexOf(QLatin1Char('\\'));
            QString directory = file.left(separator);
            if (directory.endsWith(QLatin1Char(':'))) // a drive's root keeps its separator
                directory += QLatin1Char('\\');
            return directory;
        }
        buffer.resize(buffer.size() * 2);
    }
}

QString argumentStringOfProcess(int, char **)
{
    return argumentStringFromCommandLine(QString::fromWCharArray(::GetCommandLineW()));
}

} // namespace platform
