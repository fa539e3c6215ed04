#include "platform/processfacts.h"

#include "platform/qtservices.h"

#include <QCoreApplication>
#include <QDir>

namespace platform {

QString programDirectoryOfProcess()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString argumentStringOfProcess(int argc, char **argv)
{
    return argumentStringFrom(argc, argv);
}

} // namespace platform
