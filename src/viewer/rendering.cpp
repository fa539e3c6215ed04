#include "viewer/rendering.h"

namespace viewer {

QImage renderPicture(const QByteArray &text, const textarea::PictureStyle &style, QString *failure)
{
    const textarea::TextPicture picture(text, style);
    if (!picture.fits(textarea::TextPicture::All)) {
        const QSize size = picture.deviceSize(textarea::TextPicture::All);
        if (failure)
            *failure = QString::fromStdString(art::pictureSizeRefusal(size.width(), size.height()));
        return {};
    }
    return picture.draw();
}

} // namespace viewer
