#pragma once

#include "textarea/textpicture.h"

#include <QImage>
#include <QString>

namespace viewer {

// A picture of the whole text as the text area paints it (Save as Image). A null image when it
// would be larger than TextPicture::MaxPixels; failure then says why.
QImage renderPicture(const QByteArray &text, const textarea::PictureStyle &style, QString *failure);

} // namespace viewer
