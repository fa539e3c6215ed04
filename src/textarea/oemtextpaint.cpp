// Painting of the text area: the visible cells are composed row by row from the glyph cache's
// ready-made cell images, so a repaint is a run of copies, not of text shaping.

#include "textarea/cellcomposition.h"
#include "textarea/oemtextarea.h"
#include "textarea/oemtextarea_p.h"

#include <QPainter>
#include <QPaintEvent>

#include <algorithm>
#include <cmath>

namespace textarea {

namespace {

// The caret: a solid column, white over what is dark on average and black over what is light,
// so that it shows on any colours, mid grey included (which inverting would leave grey), and
// on dithered shades too (where an inverted column is just the dither shifted).
void caretRect(QImage &frame, QRect rect)
{
    rect = rect.intersected(frame.rect());
    if (rect.isEmpty())
        return;
    qint64 gray = 0;
    for (int row = rect.top(); row <= rect.bottom(); ++row) {
        const auto *line = reinterpret_cast<const QRgb *>(frame.constScanLine(row));
        for (int x = rect.left(); x <= rect.right(); ++x)
            gray += qGray(line[x]);
    }
    const bool dark = gray < qint64(128) * rect.width() * rect.height();
    fillPixels(frame, rect, dark ? 0xFFFFFFFF : 0xFF000000);
}

} // namespace

void OemTextArea::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    // The ratio of what is painted on: the screen, or an image that the area renders into.
    const qreal ratio = painter.device()->devicePixelRatio();
    d->grid.setCellSize(CellGrid::cellSizeForPoints(d->fontSize), ratio);
    d->glyphs.configure(d->grid.deviceCellSize(), d->bold, d->grid.devicePixelRatio());

    const QSize deviceSize(
        int(std::ceil(viewport()->width() * ratio)), int(std::ceil(viewport()->height() * ratio)));
    // One row of cells is composed at a time and copied out, so the memory for it stays one
    // row high whatever the size of the view.
    const QSize rowSize(deviceSize.width(), d->grid.deviceCellSize().height());
    if (d->frame.size() != rowSize)
        d->frame = QImage(rowSize, QImage::Format_RGB32);
    // The rows are in device pixels: undo the ratio so that they are copied one to one.
    painter.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
    const QRect dirty = event->rect();
    const int dirtyTop = int(std::floor(dirty.top() * ratio));
    const int height = std::min(deviceSize.height(), int(std::ceil((dirty.bottom() + 1) * ratio)));
    d->paintRows(painter, dirtyTop, height, hasFocus() && d->caretOn);
    d->paintLinkUnderlines(painter, dirtyTop, height);
}

void OemTextArea::Private::paintLinkUnderlines(QPainter &painter, int dirtyTop, int height) const
{
    if (links.empty())
        return;
    const QSize cell = grid.deviceCellSize();
    const int thickness = std::max(1, cell.height() / 12);
    const auto [first, last] = linksShown(height);
    for (auto link = first; link != last; ++link) {
        const QRect rect = deviceRect(*link);
        const int top = rect.bottom() + 1 - thickness;
        if (top + thickness <= dirtyTop || top >= height)
            continue;
        // The line under each byte in its glyph's colour: ink, or paper where selected.
        for (qsizetype offset = link->begin; offset < link->end;) {
            const bool selected = offset >= selection.begin() && offset < selection.end();
            const qsizetype next = std::min(link->end,
                selected                         ? selection.end()
                    : selection.begin() > offset ? selection.begin()
                                                 : link->end);
            const int x = rect.left() + int((offset - link->begin) * cell.width());
            painter.fillRect(QRect(x, top, int((next - offset) * cell.width()), thickness),
                QColor(toRgb(selected ? backColour : textColour)));
            offset = next;
        }
    }
}

std::pair<TextLinks::const_iterator, TextLinks::const_iterator> OemTextArea::Private::linksShown(
    int height) const
{
    const int rowHeight = std::max(grid.deviceCellSize().height(), 1);
    const qsizetype lastLine
        = std::min(grid.lineCount() - 1, grid.firstLine() + std::max(height - 1, 0) / rowHeight);
    const qsizetype from = grid.line(std::min(grid.firstLine(), lastLine)).start;
    const qsizetype to = grid.line(lastLine).end;
    const auto first = std::lower_bound(links.cbegin(), links.cend(), from,
        [](const TextLink &l, qsizetype offset) { return l.end <= offset; });
    return { first,
        std::lower_bound(first, links.cend(), to,
            [](const TextLink &l, qsizetype offset) { return l.begin < offset; }) };
}

// Composes the visible rows one at a time into the frame (composeLine, shared with the
// pictures), adds what only the window shows (a selected line break, the caret) and copies
// each row to the painter. Below the last line there is only paper.
void OemTextArea::Private::paintRows(QPainter &painter, int dirtyTop, int height, bool showCaret)
{
    const QRgb ink = toRgb(textColour);
    const QRgb paper = toRgb(backColour);

    const QSize cell = grid.deviceCellSize();
    const qsizetype rows = (height + cell.height() - 1) / cell.height();
    const qsizetype columns = (frame.width() + cell.width() - 1) / cell.width();
    const qsizetype firstColumn = grid.firstColumn();
    const qsizetype lastColumn = firstColumn + columns; // exclusive
    const qsizetype selBegin = selection.begin();
    const qsizetype selEnd = selection.end();
    const qsizetype caretLine = showCaret ? grid.lineOf(selection.caret) : -1;

    for (qsizetype row = 0; row < rows; ++row) {
        const qsizetype lineIndex = grid.firstLine() + row;
        const int top = int(row * cell.height());
        if (top + cell.height() <= dirtyTop)
            continue; // a row outside what is to be painted again
        if (lineIndex >= grid.lineCount()) {
            painter.fillRect(QRect(0, top, frame.width(), height - top), QColor(paper));
            break;
        }
        const CellGrid::Line &line = grid.line(lineIndex);
        const int y = 0;
        const int composed = composeLine(frame, y, grid, glyphs, lineIndex, ink, paper, selection);
        // A selected line break shows as one selected cell after the line.
        if (selBegin <= line.end && selEnd > line.end && line.columns >= firstColumn
            && line.columns < lastColumn) {
            fillPixels(frame,
                QRect(int((line.columns - firstColumn) * cell.width()), y, cell.width(),
                    cell.height()),
                ink);
        }
        if (lineIndex == caretLine) {
            const qsizetype caretColumn = grid.columnOf(selection.caret);
            if (caretColumn >= firstColumn && caretColumn < lastColumn) {
                const QRect rect = grid.deviceCellRect(lineIndex, caretColumn);
                const int logicalWidth = std::max({ cursorWidth, 2, grid.cellSize().width() / 4 });
                const int width = std::min(
                    int(std::lround(logicalWidth * grid.devicePixelRatio())), rect.width());
                caretRect(frame, QRect(rect.left(), 0, width, rect.height()));
            }
        }
        painter.drawImage(QPoint(0, top), frame, QRect(0, 0, composed, cell.height()));
        if (composed < frame.width())
            painter.fillRect(
                QRect(composed, top, frame.width() - composed, cell.height()), QColor(paper));
    }
}

} // namespace textarea
