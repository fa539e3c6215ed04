#include "settings/settingsfiles.h"

#include "platform/boundedread.h"
#include "settings/conversions.h"
#include "settings/settingserror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <string>

namespace settings {

namespace {

// No settings file the program writes comes near this; a larger one is not ours.
constexpr qint64 MaxSettingsBytes = 1024 * 1024;

void appendLine(QByteArray &out, const QByteArray &line)
{
    out += line;
    out += "\r\n";
}

} // namespace

QByteArray serializeQuorvinIni(const QuorvinIni &ini)
{
    QByteArray out;
    appendLine(out, ini.versionText.toLatin1());
    appendLine(out, "FC-" + numberText(ini.textColour));
    appendLine(out, "BC-" + numberText(ini.backColour));
    appendLine(out, "State-" + numberText(ini.windowState));
    appendLine(out, "Top-" + ini.winTop.toLatin1());
    appendLine(out, "Left-" + ini.winLeft.toLatin1());
    appendLine(out, "Nheight-" + ini.nfoHeight.toLatin1());
    appendLine(out, "Nwidth-" + ini.nfoWidth.toLatin1());
    appendLine(out, "Dheight-" + ini.dizHeight.toLatin1());
    appendLine(out, "Dwidth-" + ini.dizWidth.toLatin1());
    return out;
}

QByteArray serializeFontSize(const QString &caption)
{
    return caption.toLatin1() + "\r\n";
}

QString besideProgram(const QString &programDirectory, const QString &name)
{
    return programDirectory + QDir::separator() + name;
}

bool isRegularFile(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}

QByteArray readSettingsFile(const QString &path)
{
    platform::BoundedRead read = platform::readBounded(path, MaxSettingsBytes);
    if (read.outcome != platform::BoundedRead::Outcome::Read)
        throw SettingsError(std::string("settings file: ") + read.failure());
    return std::move(read.bytes);
}

bool writeWholeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // Where the directory takes no temporary file but the file itself can be written (a
    // read-only program directory with writable settings files), the file is written in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace settings
