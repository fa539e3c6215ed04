#pragma once

#include "art/cp437.h"

#include <QByteArrayView>
#include <QString>

namespace textarea::cp437 {

using art::cp437::toUnicode;

// The bytes as Unicode, one character per byte through toUnicode(); no line-break handling.
QString toUnicode(QByteArrayView bytes);

} // namespace textarea::cp437
