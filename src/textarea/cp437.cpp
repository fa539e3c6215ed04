#include "textarea/cp437.h"

namespace textarea::cp437 {

QString toUnicode(QByteArrayView bytes)
{
    QString result(bytes.size(), Qt::Uninitialized);
    QChar *out = result.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(toUnicode(quint8(bytes[i])));
    return result;
}

} // namespace textarea::cp437
