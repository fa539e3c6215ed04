#include "settings/conversions.h"

#include "settings/settingserror.h"

namespace settings {

platform::Colour toColour(const QByteArray &)
{
    throw SettingsError("not yet");
}

int toWindowState(const QByteArray &)
{
    throw SettingsError("not yet");
}

float toTwips(const QString &)
{
    throw SettingsError("not yet");
}

float toFontSize(const QByteArray &)
{
    throw SettingsError("not yet");
}

QByteArray numberText(qint64 value)
{
    return QByteArray::number(value);
}

QString twipsText(float twips)
{
    return QString::number(twips);
}

} // namespace settings
