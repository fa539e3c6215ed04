#include "viewer/rendering.h"

namespace viewer {

QImage renderPicture(const QByteArray &text, const textarea::PictureStyle &style, QString *failure)
{
    const textarea::TextPicture picture(text, style);
    if (!picture.fits(textarea::TextPicture::All)) {
        const QSize size = picture.deviceSize(textarea::TextPicture::All);
        if (failure)
            *failure = QStringLiteral("the picture would be %1 x %2 pixels, more than %3 million")
                           .arg(size.width())
                           .arg(size.height())
                           .arg(textarea::TextPicture::MaxPixels / 1000000);
        return {};
    }
    return picture.draw();
}

} // namespace viewer
