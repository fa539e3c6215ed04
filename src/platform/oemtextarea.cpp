#include "platform/oemtextarea.h"

#include "platform/blockglyphs.h"
#include "platform/cellgrid.h"
#include "platform/glyphcache.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

QRgb toRgb(Colour colour)
{
    return qRgb(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

int toScrollValue(qsizetype value)
{
    return int(std::clamp(value, qsizetype(0), qsizetype(INT_MAX)));
}

// Copies a cell image into the frame at (x, y), clipped to the frame.
void blit(QImage &frame, const QImage &cell, int x, int y)
{
    const int x0 = std::max(x, 0);
    const int x1 = std::min(x + cell.width(), frame.width());
    const int y0 = std::max(y, 0);
    const int y1 = std::min(y + cell.height(), frame.height());
    if (x0 >= x1)
        return;
    const size_t bytes = size_t(x1 - x0) * sizeof(QRgb);
    for (int row = y0; row < y1; ++row)
        std::memcpy(reinterpret_cast<QRgb *>(frame.scanLine(row)) + x0,
            reinterpret_cast<const QRgb *>(cell.constScanLine(row - y)) + (x0 - x), bytes);
}

void fillRect(QImage &frame, QRect rect, QRgb colour)
{
    rect = rect.intersected(frame.rect());
    for (int row = rect.top(); row <= rect.bottom(); ++row) {
        auto *line = reinterpret_cast<QRgb *>(frame.scanLine(row));
        std::fill(line + rect.left(), line + rect.right() + 1, colour);
    }
}

void invertRect(QImage &frame, QRect rect)
{
    rect = rect.intersected(frame.rect());
    for (int row = rect.top(); row <= rect.bottom(); ++row) {
        auto *line = reinterpret_cast<QRgb *>(frame.scanLine(row));
        for (int x = rect.left(); x <= rect.right(); ++x)
            line[x] ^= 0x00FFFFFF;
    }
}

} // namespace

struct OemTextArea::Private
{
    CellGrid grid;
    GlyphCache glyphs;
    Selection selection;
    qsizetype goalColumn = -1;
    Colour textColour = 0xE0E0E0;
    Colour backColour = 0x000000;
    float fontSize = 9.0f;
    bool bold = false;
    bool dragging = false;
    QImage frame;

    void paintRows(QPainter &painter, int top, int bottom, bool showCaret);
};

OemTextArea::OemTextArea(QWidget *parent)
    : QAbstractScrollArea(parent)
    , d(std::make_unique<Private>())
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    relayout();
}

OemTextArea::~OemTextArea() = default;

void OemTextArea::setText(const QByteArray &bytes)
{
    d->grid.setText(bytes);
    d->selection = {};
    d->goalColumn = -1;
    d->dragging = false;
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

const QByteArray &OemTextArea::text() const
{
    return d->grid.text();
}

void OemTextArea::setTextColour(Colour colour)
{
    d->textColour = colour;
    viewport()->update();
}

Colour OemTextArea::textColour() const
{
    return d->textColour;
}

void OemTextArea::setBackColour(Colour colour)
{
    d->backColour = colour;
    viewport()->update();
}

Colour OemTextArea::backColour() const
{
    return d->backColour;
}

void OemTextArea::setFontSize(float points)
{
    if (!std::isfinite(points) || points <= 0)
        return;
    d->fontSize = points;
    relayout();
}

float OemTextArea::fontSize() const
{
    return d->fontSize;
}

void OemTextArea::setBold(bool bold)
{
    d->bold = bold;
    viewport()->update();
}

bool OemTextArea::isBold() const
{
    return d->bold;
}

bool OemTextArea::hasSelection() const
{
    return !d->selection.isEmpty();
}

QString OemTextArea::selectedText() const
{
    return d->grid.textBetween(d->selection.begin(), d->selection.end());
}

void OemTextArea::clearSelection()
{
    d->selection.caret = d->selection.anchor = d->selection.begin();
    d->dragging = false;
    viewport()->update();
}

qsizetype OemTextArea::caretPosition() const
{
    return d->selection.caret;
}

void OemTextArea::relayout()
{
    d->grid.setCellSize(CellGrid::cellSizeForPoints(d->fontSize), viewport()->devicePixelRatio());
    updateScrollBars();
    viewport()->update();
}

// Scrolling is by whole cells: the vertical value is the first line shown, the horizontal one
// the first column. One column more than the widest line leaves room for the caret at its end.
void OemTextArea::updateScrollBars()
{
    const qsizetype rows = d->grid.visibleRows(viewport()->height());
    const qsizetype columns = d->grid.visibleColumns(viewport()->width());
    QScrollBar *vertical = verticalScrollBar();
    vertical->setRange(0, toScrollValue(d->grid.lineCount() - rows));
    vertical->setPageStep(toScrollValue(rows));
    vertical->setSingleStep(1);
    QScrollBar *horizontal = horizontalScrollBar();
    horizontal->setRange(0, toScrollValue(d->grid.widestLine() + 1 - columns));
    horizontal->setPageStep(toScrollValue(columns));
    horizontal->setSingleStep(1);
    d->grid.setOrigin(vertical->value(), horizontal->value());
}

void OemTextArea::scrollContentsBy(int, int)
{
    d->grid.setOrigin(verticalScrollBar()->value(), horizontalScrollBar()->value());
    viewport()->update();
}

void OemTextArea::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void OemTextArea::setCaret(qsizetype offset, bool extend)
{
    d->selection.caret = d->grid.clampOffset(offset);
    if (!extend)
        d->selection.anchor = d->selection.caret;
    ensureCaretVisible();
    viewport()->update();
}

void OemTextArea::ensureCaretVisible()
{
    const qsizetype line = d->grid.lineOf(d->selection.caret);
    const qsizetype column = d->grid.columnOf(d->selection.caret);
    const qsizetype rows = d->grid.visibleRows(viewport()->height());
    const qsizetype columns = d->grid.visibleColumns(viewport()->width());
    QScrollBar *vertical = verticalScrollBar();
    if (line < vertical->value())
        vertical->setValue(toScrollValue(line));
    else if (line >= vertical->value() + rows)
        vertical->setValue(toScrollValue(line - rows + 1));
    QScrollBar *horizontal = horizontalScrollBar();
    if (column < horizontal->value())
        horizontal->setValue(toScrollValue(column));
    else if (column >= horizontal->value() + columns)
        horizontal->setValue(toScrollValue(column - columns + 1));
}

bool OemTextArea::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Never claim a key before the window's shortcuts: Ctrl+A, Ctrl+C, Ctrl+X... belong to
        // the menu even while this area has the focus.
        event->ignore();
        return true;
    case QEvent::KeyPress: {
        // Tab and Backtab would otherwise move the focus before keyPressEvent sees them.
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QAbstractScrollArea::event(event);
}

void OemTextArea::keyPressEvent(QKeyEvent *event)
{
    // A handler of these signals may close the window and delete this area.
    const QPointer<OemTextArea> alive(this);
    emit keyDown(event->key(), event->modifiers());
    if (!alive)
        return;
    if (!event->text().isEmpty()) {
        emit keyPress(event->text().at(0).unicode());
        if (!alive)
            return;
    }
    event->accept();

    using Move = CellGrid::Move;
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    Move how;
    switch (event->key()) {
    case Qt::Key_Left:
        how = Move::Left;
        break;
    case Qt::Key_Right:
        how = Move::Right;
        break;
    case Qt::Key_Up:
        how = Move::Up;
        break;
    case Qt::Key_Down:
        how = Move::Down;
        break;
    case Qt::Key_PageUp:
        how = Move::PageUp;
        break;
    case Qt::Key_PageDown:
        how = Move::PageDown;
        break;
    case Qt::Key_Home:
        how = ctrl ? Move::TextStart : Move::LineStart;
        break;
    case Qt::Key_End:
        how = ctrl ? Move::TextEnd : Move::LineEnd;
        break;
    default:
        return; // read-only: typed characters change nothing
    }
    const qsizetype rows = d->grid.visibleRows(viewport()->height());
    const qsizetype target = d->grid.move(d->selection.caret, how, d->goalColumn, rows);
    setCaret(target, event->modifiers().testFlag(Qt::ShiftModifier));
}

void OemTextArea::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    d->dragging = true;
    d->goalColumn = -1;
    setCaret(d->grid.hitTest(event->position()), event->modifiers().testFlag(Qt::ShiftModifier));
}

void OemTextArea::mouseMoveEvent(QMouseEvent *event)
{
    if (!d->dragging || !event->buttons().testFlag(Qt::LeftButton))
        return;
    setCaret(d->grid.hitTest(event->position()), true);
}

void OemTextArea::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        d->dragging = false;
}

void OemTextArea::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const auto [begin, end] = d->grid.wordAt(d->grid.hitTest(event->position()));
    d->selection.anchor = begin;
    setCaret(end, true);
    d->goalColumn = -1;
    emit doubleClicked();
}

void OemTextArea::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    updateCaret();
}

void OemTextArea::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    updateCaret();
}

// The caret shows only while the area has the focus; a change of focus repaints its cell alone.
void OemTextArea::updateCaret()
{
    const qreal ratio = d->grid.devicePixelRatio();
    const QRect cell = d->grid.deviceCellRect(
        d->grid.lineOf(d->selection.caret), d->grid.columnOf(d->selection.caret));
    viewport()->update(
        QRectF(cell.x() / ratio, cell.y() / ratio, cell.width() / ratio, cell.height() / ratio)
            .toAlignedRect());
}

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
    d->paintRows(painter, int(std::floor(dirty.top() * ratio)),
        std::min(deviceSize.height(), int(std::ceil((dirty.bottom() + 1) * ratio))), hasFocus());
}

// Composes the visible rows one at a time into the frame and copies each to the painter:
// paper everywhere, then each visible byte's cell image. Selected bytes show inverted
// (paper-coloured ink on ink-coloured paper). Below the last line there is only paper.
void OemTextArea::Private::paintRows(QPainter &painter, int dirtyTop, int height, bool showCaret)
{
    const QRgb ink = toRgb(textColour);
    const QRgb paper = toRgb(backColour);

    const QSize cell = grid.deviceCellSize();
    const QSize period
        = blockglyphs::shadePeriod(blockglyphs::shadeDotSize(grid.devicePixelRatio()));
    const qsizetype rows = (height + cell.height() - 1) / cell.height();
    const qsizetype columns = (frame.width() + cell.width() - 1) / cell.width();
    const qsizetype firstColumn = grid.firstColumn();
    const qsizetype lastColumn = firstColumn + columns; // exclusive
    const QByteArray &text = grid.text();
    const char *bytes = text.constData();
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
        frame.fill(paper);
        const CellGrid::Line &line = grid.line(lineIndex);
        const int y = 0;
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
            const qsizetype next = byte == '\t'
                ? (column / CellGrid::tabWidth + 1) * CellGrid::tabWidth
                : column + 1;
            if (next > firstColumn) {
                const int x = int((column - firstColumn) * cell.width());
                if (byte == '\t') {
                    if (selected)
                        fillRect(frame,
                            QRect(x, y, int(next - column) * cell.width(), cell.height()), ink);
                } else if (selected || (byte != 0x20 && byte != 0x00 && byte != 0xFF)) {
                    const QPoint phase(int((column * cell.width()) % period.width()), phaseY);
                    blit(frame,
                        selected ? glyphs.cell(byte, paper, ink, phase)
                                 : glyphs.cell(byte, ink, paper, phase),
                        x, y);
                }
            }
            column = next;
        }
        // A selected line break shows as one selected cell after the line.
        if (selBegin <= line.end && selEnd > line.end && line.columns >= firstColumn
            && line.columns < lastColumn) {
            fillRect(frame,
                QRect(int((line.columns - firstColumn) * cell.width()), y, cell.width(),
                    cell.height()),
                ink);
        }
        if (lineIndex == caretLine) {
            const qsizetype caretColumn = grid.columnOf(selection.caret);
            if (caretColumn >= firstColumn && caretColumn < lastColumn) {
                const QRect rect = grid.deviceCellRect(lineIndex, caretColumn);
                invertRect(frame,
                    QRect(QPoint(rect.left(), 0),
                        QSize(blockglyphs::shadeDotSize(grid.devicePixelRatio()), rect.height())));
            }
        }
        painter.drawImage(QPoint(0, top), frame);
    }
}

} // namespace platform
