#include "textarea/cellcomposition.h"

#include "textarea/blockglyphs.h"
#include "textarea/glyphcache.h"

#include <algorithm>
#include <cstring>

namespace textarea {

namespace {

// Copies a cell image into the image at (x, y), clipped to the image.
void blit(QImage &image, const QImage &cell, int x, int y)
{
    const int x0 = std::max(x, 0);
    const int x1 = std::min(x + cell.width(), image.width());
    const int y0 = std::max(y, 0);
    const int y1 = std::min(y + cell.height(), image.height());
    if (x0 >= x1)
        return;
    const size_t bytes = size_t(x1 - x0) * sizeof(QRgb);
    // The scan lines are found once: asking the images for each line costs as much as the copy.
    uchar *to = image.bits() + qsizetype(y0) * image.bytesPerLine() + qsizetype(x0) * 4;
    const uchar *from
        = cell.constBits() + qsizetype(y0 - y) * cell.bytesPerLine() + qsizetype(x0 - x) * 4;
    for (int row = y0; row < y1; ++row) {
        std::memcpy(to, from, bytes);
        to += image.bytesPerLine();
        from += cell.bytesPerLine();
    }
}

} // namespace

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
    const qsizetype columns = (image.width() + cell.width() - 1) / cell.width();
    const qsizetype firstColumn = grid.firstColumn();
    const qsizetype lastColumn = firstColumn + columns; // exclusive
    const char *bytes = grid.text().constData();
    const qsizetype selBegin = selection.begin();
    const qsizetype selEnd = selection.end();
    const CellGrid::Line &line = grid.line(lineIndex);

    // Paper goes only where no cell image is copied: the row is composed left to right, and
    // paperFrom is where the paper still missing begins.
    int paperFrom = 0;
    const auto cover = [&](int x, int width) {
        if (x > paperFrom)
            fillPixels(image, QRect(paperFrom, top, x - paperFrom, cell.height()), paper);
        paperFrom = std::max(paperFrom, x + width);
    };
    const int phaseY = int((lineIndex * cell.height()) % period.height());
    const bool plain = line.columns == line.end - line.start;

    qsizetype offset = line.start;
    qsizetype column = 0;
    if (plain) {
        offset = line.start + std::min(firstColumn, line.end - line.start);
        column = offset - line.start;
    }
    for (; offset < line.end && column < lastColumn; ++offset) {
        const auto byte = quint8(bytes[offset]);
        const bool selected = offset >= selBegin && offset < selEnd;
        const qsizetype next
            = byte == '\t' ? (column / CellGrid::tabWidth + 1) * CellGrid::tabWidth : column + 1;
        if (next > firstColumn) {
            const int x = int((column - firstColumn) * cell.width());
            if (byte == '\t') {
                if (selected) {
                    cover(x, int(next - column) * cell.width());
                    fillPixels(image,
                        QRect(x, top, int(next - column) * cell.width(), cell.height()), ink);
                }
            } else if (selected || (byte != 0x20 && byte != 0x00 && byte != 0xFF)) {
                const QPoint phase(int((column * cell.width()) % period.width()), phaseY);
                cover(x, cell.width());
                blit(image,
                    selected ? glyphs.cell(byte, paper, ink, phase)
                             : glyphs.cell(byte, ink, paper, phase),
                    x, top);
            }
        }
        column = next;
    }
    // Composed up to the cell after the line (where a selected line break or the caret goes).
    if (line.columns + 1 > firstColumn)
        cover(int(std::min<qsizetype>(lastColumn - firstColumn, line.columns + 1 - firstColumn)
                  * cell.width()),
            0);
    return std::min(paperFrom, image.width());
}

} // namespace textarea
