#include "viewer/rendering.h"

#include "textarea/cellcomposition.h"
#include "viewer/filereading.h"
#include "viewer/utf8reading.h"

#include <algorithm>

namespace viewer {

namespace {

// Blends the bottom rows of a cut picture into the paper: the fade covers a quarter of the
// picture, at most eight lines, and reaches the paper on the last row.
void fadeBottom(QImage &image, QRgb paper, int lineHeight)
{
    const int rows = std::min(image.height() / 4, 8 * lineHeight);
    for (int i = 0; i < rows; ++i) {
        const int y = image.height() - rows + i;
        const int keep = 256 * (rows - 1 - i) / rows; // of 256, down to 0 on the last row
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const auto mix = [keep](int ink, int back) {
            return back + (ink - back) * keep / 256;
        };
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x];
            line[x] = qRgb(mix(qRed(c), qRed(paper)), mix(qGreen(c), qGreen(paper)),
                mix(qBlue(c), qBlue(paper)));
        }
    }
}

} // namespace

QByteArray renderedText(const QByteArray &fileBytes)
{
    return shownText(readsAsUtf8(fileBytes) ? utf8Glyphs(fileBytes) : fileBytes);
}

float thumbnailPoints(int pixels)
{
    return pixels <= 128 ? 5.0f : pixels <= 256 ? 6.0f : 9.0f;
}

QImage renderPicture(const QByteArray &text, const textarea::PictureStyle &style,
    int thumbnailPixels, QString *failure)
{
    const textarea::TextPicture picture(text, style);
    qsizetype lines = picture.lines();
    qsizetype columns = picture.columns();
    if (thumbnailPixels > 0) {
        // The left of very long lines: five times the width of an NFO's usual 80 columns.
        columns = std::min<qsizetype>(columns, 400);
        // At most as many lines as make the picture as tall as it is wide.
        const QSize cell = picture.deviceCellSize();
        lines = std::min(lines, std::max<qsizetype>(1, columns * cell.width() / cell.height()));
    }
    if (!picture.fits(lines, columns)) {
        const QSize size = picture.deviceSize(lines, columns);
        if (failure)
            *failure = QStringLiteral("the picture would be %1 x %2 pixels, more than %3 million")
                           .arg(size.width())
                           .arg(size.height())
                           .arg(textarea::TextPicture::MaxPixels / 1000000);
        return {};
    }
    QImage image = picture.draw(lines, columns);
    if (thumbnailPixels <= 0 || image.isNull())
        return image;
    if (lines < picture.lines())
        fadeBottom(image, textarea::toRgb(style.backColour), picture.deviceCellSize().height());
    if (image.width() > thumbnailPixels || image.height() > thumbnailPixels)
        image = image.scaled(
            thumbnailPixels, thumbnailPixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(1);
    return image;
}

} // namespace viewer
