#include "settings/settingsfiles.h"

#include "settings/settingserror.h"

namespace settings {

QByteArray serializeQuorvinIni(const QuorvinIni &)
{
    return {};
}

QByteArray serializeFontSize(const QString &caption)
{
    return caption.toLatin1() + "\r\n";
}

QString besideProgram(const QString &programDirectory, const QString &name)
{
    return programDirectory + QLatin1Char('/') + name;
}

bool isRegularFile(const QString &)
{
    return false;
}

QByteArray readSettingsFile(const QString &)
{
    throw SettingsError("not yet");
}

bool writeWholeFile(const QString &, const QByteArray &)
{
    return false;
}

} // namespace settings
