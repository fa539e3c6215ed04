#include "textarea/cellcomposition.h"

#include "textarea/blockglyphs.h"
#include "textarea/glyphcache.h"

#include "art/composition.h"

#include <algorithm>

namespace textarea {

QRgb toRgb(platform::Colour colour)
{
    return qRgb(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

void fillPixels(QImage &image, QRect rect, QRgb colour)
{
    rect = rect.intersected(image.rect());
    for (int row = rect.top(); row <= rect.bottom(); ++row) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(row));
        std::fill(line + rect.left(), line + rect.right() + 1, colour);
    }
}

int composeLine(QImage &image, int top, const CellGrid &grid, GlyphCache &glyphs,
    qsizetype lineIndex, QRgb ink, QRgb paper, const Selection &selection)
{
    const QSize cell = grid.deviceCellSize();
    const QSize period
        = blockglyphs::shadePeriod(blockglyphs::shadeDotSize(grid.devicePixelRatio()));
    const int rows = std::min(cell.height(), image.height() - top);
    if (rows <= 0 || top < 0)
        return 0;
    // Cell images are RGB32, so their scan lines hold exactly a cell's width of pixels.
    const art::PixelRows<QRgb> target { reinterpret_cast<QRgb *>(image.scanLine(top)),
        image.bytesPerLine() / qsizetype(sizeof(QRgb)), image.width(), rows };
    const art::CellShape shape { cell.width(), cell.height(), period.width(), period.height() };
    const QByteArray &text = grid.text();
    return art::composeLine(target, std::string_view(text.constData(), size_t(text.size())),
        grid.line(lineIndex), lineIndex, grid.firstColumn(), selection.begin(), selection.end(),
        shape, ink, paper, [&](quint8 byte, bool selected, int phaseX, int phaseY) {
            const QImage &cellImage = selected ? glyphs.cell(byte, paper, ink, { phaseX, phaseY })
                                               : glyphs.cell(byte, ink, paper, { phaseX, phaseY });
            return reinterpret_cast<const QRgb *>(cellImage.constBits());
        });
}

} // namespace textarea
