#include "textarea/oemtextarea.h"

#include "textarea/oemtextaccessible.h"
#include "textarea/oemtextarea_p.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QStyleHints>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <cmath>

namespace textarea {

namespace {

int toScrollValue(qsizetype value)
{
    return int(std::clamp(value, qsizetype(0), qsizetype(INT_MAX)));
}

} // namespace

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
    OemTextAccessible::install();
}

OemTextArea::~OemTextArea() = default;

void OemTextArea::setText(const QByteArray &bytes)
{
    // Only the lines from the first changed one down to the last line of the longer text are
    // repainted, so a converting read that sets the text again every 500 bytes repaints its
    // newest lines alone. A view that is scrolled or shows a selection is repainted whole.
    const QByteArray before = d->grid.text();
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

    d->grid.setText(bytes);
    d->selection = {};
    d->goalColumn = -1;
    d->dragging = false;
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    OemTextAccessible::notify(this, selectionBefore, &before);
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
    if (event->key() == Qt::Key_Menu) {
        event->ignore(); // left to Qt, which opens the context menu
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
    // A page key scrolls the view by the page that the caret moves, so the caret keeps its
    // place in the view (where the text has that much left).
    if (how == Move::PageUp || how == Move::PageDown) {
        QScrollBar *vertical = verticalScrollBar();
        vertical->setValue(toScrollValue(vertical->value() + (how == Move::PageUp ? -rows : rows)));
    }
    const bool extend = event->modifiers().testFlag(Qt::ShiftModifier);
    setCaret(target, extend);
    if (extend)
        publishSelection();
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
    if (event->button() == Qt::LeftButton && d->dragging) {
        d->dragging = false;
        publishSelection();
    }
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

// Shift with the vertical wheel scrolls sideways, by the steps the wheel scrolls lines.
void OemTextArea::wheelEvent(QWheelEvent *event)
{
    if (!event->modifiers().testFlag(Qt::ShiftModifier) || event->angleDelta().x() != 0) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    QWheelEvent sideways(event->position(), event->globalPosition(), event->pixelDelta(),
        event->angleDelta(), event->buttons(), event->modifiers() & ~Qt::ShiftModifier,
        event->phase(), event->inverted(), event->source());
    QApplication::sendEvent(horizontalScrollBar(), &sideways);
    event->setAccepted(sideways.isAccepted());
}

// The text control's own menu: Copy (with something selected) and Select All. Copy goes to
// the window's Copy command, so there is one way of copying.
void OemTextArea::contextMenuEvent(QContextMenuEvent *event)
{
    if (!d->menu) {
        d->menu = new QMenu(this);
        d->menu->setObjectName(QStringLiteral("Text1Menu"));
        d->copyAction = d->menu->addAction(QStringLiteral("&Copy\t")
                + QKeySequence(QKeySequence::Copy).toString(QKeySequence::NativeText),
            this, &OemTextArea::copyRequested);
        d->menu->addAction(QStringLiteral("Select &All"), this, &OemTextArea::selectAll);
    }
    d->copyAction->setEnabled(hasSelection());
    QPoint at = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        const qreal ratio = d->grid.devicePixelRatio();
        const QRect cell = d->grid.deviceCellRect(
            d->grid.lineOf(d->selection.caret), d->grid.columnOf(d->selection.caret));
        at = viewport()
                 ->mapToGlobal(QPointF(cell.left() / ratio, (cell.bottom() + 1) / ratio))
                 .toPoint();
    }
    d->menu->popup(at);
    event->accept();
}

void OemTextArea::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != d->blink.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    d->caretOn = !d->caretOn;
    updateCaret();
}

void OemTextArea::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    showCaret();
}

void OemTextArea::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    d->blink.stop();
    updateCaret();
}

// Shows the caret at once and starts its blinking over, as after every move: blinking at half
// the desktop's cursor flash time each way (a flash time of 0 or less means a steady caret).
void OemTextArea::showCaret()
{
    d->caretOn = true;
    const int flashTime = QGuiApplication::styleHints()->cursorFlashTime();
    if (hasFocus() && flashTime > 0)
        d->blink.start(flashTime / 2, this);
    else
        d->blink.stop();
    updateCaret();
}

// A selection also becomes the X11 primary selection, as Unicode through the same table as
// Copy, for a middle-click paste elsewhere.
void OemTextArea::publishSelection()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (hasSelection() && clipboard->supportsSelection())
        clipboard->setText(selectedText(), QClipboard::Selection);
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

} // namespace textarea
