#include "settings/fieldreader.h"

#include "settings/settingserror.h"

namespace settings {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Splits the bytes at CR LF, lone CR and lone LF. A break at the very end closes the last line
// and opens no new one, so "a\r\nb\r\n" is two lines; a last line without a break still counts.
QList<QByteArray> splitLines(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    while (i < size) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.append(bytes.sliced(start, i - start));
            i += (c == '\r' && i + 1 < size && bytes[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < size)
        lines.append(bytes.sliced(start));
    return lines;
}

QByteArray fieldOf(const QByteArray &line)
{
    qsizetype begin = 0;
    while (begin < line.size() && isBlank(line[begin]))
        ++begin;
    if (begin < line.size() && line[begin] == '"') {
        const qsizetype closing = line.indexOf('"', begin + 1);
        const qsizetype end = closing < 0 ? line.size() : closing;
        return line.sliced(begin + 1, end - begin - 1);
    }
    const qsizetype comma = line.indexOf(',', begin);
    const qsizetype end = comma < 0 ? line.size() : comma;
    return line.sliced(begin, end - begin);
}

} // namespace

FieldReader::FieldReader(const QByteArray &bytes)
    : m_lines(splitLines(bytes))
{ }

QByteArray FieldReader::next()
{
    if (m_index >= m_lines.size())
        throw SettingsError("settings file has too few lines");
    return fieldOf(m_lines[m_index++]);
}

QByteArray dropLeading(const QByteArray &value, qsizetype count)
{
    if (count <= 0)
        return value;
    if (count >= value.size())
        return QByteArray();
    return value.sliced(count);
}

} // namespace settings
