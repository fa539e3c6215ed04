#include "textarea/textpicture.h"

#include "textarea/cellcomposition.h"
#include "textarea/glyphcache.h"

#include <algorithm>
#include <climits>

namespace textarea {

TextPicture::TextPicture(const QByteArray &text, const PictureStyle &style)
    : m_style(style)
{
    m_grid.setText(text);
    m_grid.setCellSize(CellGrid::cellSizeForPoints(style.points), style.ratio);
}

qsizetype TextPicture::lines() const
{
    // The grid gives a text that ends with a break an empty last line; the picture has none.
    const qsizetype count = m_grid.lineCount();
    return art::pictureLines(count, m_grid.line(count - 1).start, m_grid.text().size());
}

qsizetype TextPicture::columns() const
{
    return std::max<qsizetype>(m_grid.widestLine(), 1);
}

QSize TextPicture::deviceSize(qsizetype maxLines, qsizetype maxColumns) const
{
    const QSize cell = m_grid.deviceCellSize();
    const qsizetype shown = std::clamp<qsizetype>(maxLines, 1, lines());
    const auto side = [](qsizetype cells, int pixels) {
        return int(std::min<qint64>(qint64(cells) * pixels, INT_MAX));
    };
    return QSize(side(std::clamp<qsizetype>(maxColumns, 1, columns()), cell.width()),
        side(shown, cell.height()));
}

bool TextPicture::fits(qsizetype maxLines, qsizetype maxColumns) const
{
    const QSize size = deviceSize(maxLines, maxColumns);
    return art::pictureSizeRefusal(size.width(), size.height()).empty();
}

QImage TextPicture::draw(qsizetype maxLines, qsizetype maxColumns) const
{
    if (!fits(maxLines, maxColumns))
        return {};
    // composeLine composes as far as the image reaches: narrower images cut the lines.
    QImage image(deviceSize(maxLines, maxColumns), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.setDevicePixelRatio(m_style.ratio);
    GlyphCache glyphs;
    glyphs.configure(m_grid.deviceCellSize(), m_style.bold, m_grid.devicePixelRatio());
    const QRgb ink = toRgb(m_style.textColour);
    const QRgb paper = toRgb(m_style.backColour);
    const int cellHeight = m_grid.deviceCellSize().height();
    const qsizetype shown = image.height() / cellHeight;
    for (qsizetype line = 0; line < shown; ++line) {
        const int top = int(line * cellHeight);
        const int composed = composeLine(image, top, m_grid, glyphs, line, ink, paper, {});
        fillPixels(image, QRect(composed, top, image.width() - composed, cellHeight), paper);
    }
    return image;
}

} // namespace textarea
