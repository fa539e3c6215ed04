#include "settings/fieldreader.h"

#include "settings/settingserror.h"

namespace settings {

FieldReader::FieldReader(const QByteArray &bytes)
{
    Q_UNUSED(bytes);
}

QByteArray FieldReader::next()
{
    throw SettingsError("not yet");
}

QByteArray dropLeading(const QByteArray &value, qsizetype count)
{
    return value.mid(count);
}

} // namespace settings
