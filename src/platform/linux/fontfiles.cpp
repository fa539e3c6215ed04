#include "platform/fontfiles.h"

#include <QStandardPaths>

namespace platform {

QString romFaceFile()
{
    static const QString file = QStandardPaths::locate(
        QStandardPaths::GenericDataLocation, QStringLiteral("fonts/pc/Px_IBM_EGA8.ttf"));
    return file;
}

QStringList monospaceFaceFiles()
{
    const QString folder = QStringLiteral("/usr/share/fonts/truetype/dejavu/");
    return { folder + QLatin1String("DejaVuSansMono.ttf"),
        folder + QLatin1String("DejaVuSansMono-Bold.ttf") };
}

} // namespace platform
