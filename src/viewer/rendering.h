#pragma once

#include "textarea/textpicture.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace viewer {

// The largest file quorvin-render draws (the viewer's own limit is MaxFileBytes).
inline constexpr qint64 MaxRenderBytes = qint64(4) << 20;

// The text the renderer draws for a file's bytes, as the viewer shows that file: read as
// UTF-8 (its glyphs) where the viewer would, then the viewer's line-break rules.
QByteArray renderedText(const QByteArray &fileBytes);

// The point size a thumbnail of the requested size (in pixels) is drawn at: small sizes are
// drawn small (5 or 6 points), so that scaling down keeps the art's shapes.
float thumbnailPoints(int pixels);

// A picture of a text: the whole text, or with thumbnailPixels > 0 a thumbnail: the top left of
// the picture (at most 400 columns, at most as tall as wide), a bottom cut fading into the paper,
// scaled down smoothly to fit thumbnailPixels on both sides. A null image when it would be
// larger than TextPicture::MaxPixels; failure then says why.
QImage renderPicture(const QByteArray &text, const textarea::PictureStyle &style,
    int thumbnailPixels, QString *failure);

} // namespace viewer
