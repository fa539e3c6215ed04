#pragma once

#include <QByteArray>
#include <QList>

namespace settings {

// Reads a settings file one value per line. A line ends at CR LF, a lone CR or a lone LF.
// Leading blanks are skipped; the value ends at the end of the line or earlier at a comma;
// a value that begins with a double quote runs to the closing quote (or the line's end);
// an empty line gives the empty text. Asking past the last line throws SettingsError.
class FieldReader
{
public:
    explicit FieldReader(const QByteArray &bytes);

    QByteArray next();

private:
    QList<QByteArray> m_lines;
    qsizetype m_index = 0;
};

// The value with its first `count` characters dropped (empty when it is shorter).
QByteArray dropLeading(const QByteArray &value, qsizetype count);

} // namespace settings
