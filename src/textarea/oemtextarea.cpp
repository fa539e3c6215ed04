// The text area: its text, colours and letters, the selection, and scrolling by whole cells.

#include "textarea/oemtextarea.h"

#include "textarea/oemtextaccessible.h"
#include "textarea/oemtextarea_p.h"

#include <QAccessible>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace textarea {

OemTextArea::OemTextArea(QWidget *parent)
    : QAbstractScrollArea(parent)
    , d(std::make_unique<Private>())
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setMouseTracking(true); // the pointer becomes a hand over a link
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    relayout();
    OemTextAccessible::install();
}

OemTextArea::~OemTextArea() = default;

void OemTextArea::setText(const QByteArray &bytes)
{
    setText(bytes, {});
}

void OemTextArea::setText(const QByteArray &bytes, const QList<char32_t> &characters)
{
    // Only the lines from the first changed one down to the last line of the longer text are
    // repainted, so a converting read that sets the text again every 500 bytes repaints its
    // newest lines alone. A view that is scrolled or shows a selection is repainted whole.
    const QByteArray before = d->grid.text();
    const QList<char32_t> charactersBefore = d->grid.characters();
    const Selection selectionBefore = d->selection;
    const qsizetype linesBefore = d->grid.lineCount();
    const bool wholeView = !d->selection.isEmpty() || d->selection.caret != 0
        || verticalScrollBar()->value() != 0 || horizontalScrollBar()->value() != 0;
    // The length of the unchanged start; a converting read only ever appends.
    const qsizetype same = bytes.startsWith(before)
        ? before.size()
        : std::mismatch(before.cbegin(), before.cend(), bytes.cbegin(), bytes.cend()).first
            - before.cbegin();
    const qsizetype changedBefore = d->grid.lineOf(d->grid.clampOffset(same));

    d->grid.setText(bytes, characters);
    d->selection = {};
    d->goalColumn = -1;
    d->dragging = false;
    d->links.clear();
    d->pressedLink = -1;
    d->clickWait.stop();
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    OemTextAccessible::notify(this, selectionBefore, &before, charactersBefore);
    if (wholeView) {
        viewport()->update();
        return;
    }
    // A change just after a CR may join it to a break of the line before (CR LF, CR CR LF).
    const qsizetype changedAfter = d->grid.lineOf(d->grid.clampOffset(same));
    const qsizetype first = std::max<qsizetype>(0, std::min(changedBefore, changedAfter) - 1);
    const qsizetype end = std::max(linesBefore, d->grid.lineCount());
    const qreal ratio = d->grid.devicePixelRatio();
    const qsizetype rowHeight = d->grid.deviceCellSize().height();
    const qsizetype limit = qsizetype(std::ceil(viewport()->height() * ratio));
    const qsizetype top = std::min(first * rowHeight, limit);
    const qsizetype bottom = std::min(end * rowHeight, limit);
    if (bottom > top)
        viewport()->update(
            QRectF(0, top / ratio, viewport()->width(), (bottom - top) / ratio).toAlignedRect());
}

const QByteArray &OemTextArea::text() const
{
    return d->grid.text();
}

void OemTextArea::setLinks(TextLinks links)
{
    // Only the cells of the links before and after are repainted, so a text without links
    // costs no repaint.
    const qreal ratio = d->grid.devicePixelRatio();
    const auto repaint = [&] {
        const auto [first, last] = d->linksShown(int(std::ceil(viewport()->height() * ratio)));
        for (auto link = first; link != last; ++link) {
            const QRect rect = d->deviceRect(*link);
            viewport()->update(QRectF(rect.topLeft() / ratio, rect.size() / ratio)
                                   .toAlignedRect()
                                   .intersected(viewport()->rect()));
        }
    };
    repaint();
    d->links.clear();
    d->pressedLink = -1;
    d->clickWait.stop();
    qsizetype earliest = 0;
    for (TextLink &link : links) {
        if (link.begin < earliest || link.end <= link.begin || link.end > d->grid.text().size()
            || d->grid.line(d->grid.lineOf(link.begin)).end < link.end)
            continue;
        earliest = link.end;
        d->links.push_back(std::move(link));
    }
    repaint();
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::HypertextChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

const TextLinks &OemTextArea::links() const
{
    return d->links;
}

qsizetype OemTextArea::Private::linkHolding(qsizetype offset) const
{
    const auto after = std::upper_bound(links.cbegin(), links.cend(), offset,
        [](qsizetype at, const TextLink &link) { return at < link.begin; });
    if (after == links.cbegin() || offset < 0 || offset >= std::prev(after)->end)
        return -1;
    return std::prev(after) - links.cbegin();
}

qsizetype OemTextArea::Private::linkAt(QPointF logicalPoint) const
{
    return links.empty() ? -1 : linkHolding(grid.byteAt(logicalPoint));
}

QRect OemTextArea::Private::deviceRect(const TextLink &link) const
{
    const qsizetype line = grid.lineOf(link.begin);
    const qsizetype column = grid.columnOf(link.begin);
    const QRect first = grid.deviceCellRect(line, column);
    return QRect(
        first.topLeft(), QSize(int((link.end - link.begin) * first.width()), first.height()));
}

PictureStyle OemTextArea::pictureStyle() const
{
    return { d->textColour, d->backColour, d->fontSize, d->bold, 1.0 };
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
    const Selection before = d->selection;
    d->selection.caret = d->selection.anchor = d->selection.begin();
    d->dragging = false;
    viewport()->update();
    OemTextAccessible::notify(this, before);
}

void OemTextArea::selectAll()
{
    const Selection before = d->selection;
    d->selection.anchor = 0;
    d->selection.caret = d->grid.text().size();
    d->goalColumn = -1;
    viewport()->update();
    publishSelection();
    OemTextAccessible::notify(this, before);
}

qsizetype OemTextArea::caretPosition() const
{
    return d->selection.caret;
}

QPoint OemTextArea::cellAt(QPointF viewPoint) const
{
    const qreal ratio = d->grid.devicePixelRatio();
    const QSize cell = d->grid.deviceCellSize();
    return QPoint(int(d->grid.firstColumn() + std::floor(viewPoint.x() * ratio / cell.width())),
        int(d->grid.firstLine() + std::floor(viewPoint.y() * ratio / cell.height())));
}

void OemTextArea::scrollCellTo(QPoint cell, QPointF viewPoint)
{
    const QPoint under = cellAt(viewPoint);
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + cell.x() - under.x());
    verticalScrollBar()->setValue(verticalScrollBar()->value() + cell.y() - under.y());
}

void OemTextArea::relayout()
{
    d->cursorWidth = style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this);
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

void OemTextArea::scrollContentsBy(int dx, int dy)
{
    d->grid.setOrigin(verticalScrollBar()->value(), horizontalScrollBar()->value());
    // Where a cell is a whole number of device pixels per logical pixel, what stays in view is
    // moved as it stands and only the rows or columns that come into view are painted.
    const QSize cell = d->grid.cellSize();
    const qreal ratio = viewport()->devicePixelRatio();
    const auto whole = [ratio](int length) {
        return std::floor(length * ratio) == length * ratio;
    };
    if (whole(cell.width()) && whole(cell.height())
        && std::abs(qint64(dx) * cell.width()) < viewport()->width()
        && std::abs(qint64(dy) * cell.height()) < viewport()->height())
        viewport()->scroll(dx * cell.width(), dy * cell.height());
    else
        viewport()->update();
}

void OemTextArea::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void OemTextArea::setCaret(qsizetype offset, bool extend)
{
    const Selection before = d->selection;
    d->selection.caret = d->grid.clampOffset(offset);
    if (!extend)
        d->selection.anchor = d->selection.caret;
    ensureCaretVisible();
    viewport()->update();
    showCaret();
    OemTextAccessible::notify(this, before);
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

} // namespace textarea
