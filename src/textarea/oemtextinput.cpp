// The text area's input: keys, mouse and wheel, the right-click menu, the blinking caret, and the
// primary selection that a selection becomes.

#include "textarea/oemtextarea.h"
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
#include <QStyleHints>
#include <QToolTip>
#include <QWheelEvent>

#include <cstdlib>
#include <utility>

namespace textarea {

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

    // Ctrl with Plus (Shift or not, the keypad's too), Equal, Minus or 0: the desktop's zoom keys.
    const Qt::KeyboardModifiers zoomModifiers
        = event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (zoomModifiers == Qt::ControlModifier) {
        const int key = event->key();
        if (key == Qt::Key_Plus || key == Qt::Key_Equal || key == Qt::Key_Minus
            || key == Qt::Key_0) {
            emit zoomRequested(key == Qt::Key_Minus ? -1 : key == Qt::Key_0 ? 0 : 1, {});
            return;
        }
    }

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
    // Shift+click extends the selection, also over a link.
    d->pressedLink
        = event->modifiers().testFlag(Qt::ShiftModifier) ? -1 : d->linkAt(event->position());
    d->pressedAt = event->position();
    d->dragging = true;
    d->goalColumn = -1;
    setCaret(d->grid.hitTest(event->position()), event->modifiers().testFlag(Qt::ShiftModifier));
}

void OemTextArea::mouseMoveEvent(QMouseEvent *event)
{
    updatePointer(event->position());
    if (!d->dragging || !event->buttons().testFlag(Qt::LeftButton))
        return;
    if ((event->position() - d->pressedAt).manhattanLength() >= QApplication::startDragDistance())
        d->pressedLink = -1; // a drag selects, wherever it started
    setCaret(d->grid.hitTest(event->position()), true);
}

void OemTextArea::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !d->dragging)
        return;
    d->dragging = false;
    publishSelection();
    const qsizetype link = std::exchange(d->pressedLink, -1);
    if (link < 0 || d->linkAt(event->position()) != link)
        return;
    if (event->modifiers().testFlag(Qt::ControlModifier)) {
        emit linkActivated(d->links[size_t(link)].address);
        return;
    }
    d->clickedLink = d->links[size_t(link)].address;
    d->clickWait.start(QApplication::doubleClickInterval(), this);
}

void OemTextArea::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    d->clickWait.stop(); // a double-click on a link opens nothing
    d->pressedLink = -1;
    const auto [begin, end] = d->grid.wordAt(d->grid.hitTest(event->position()));
    d->selection.anchor = begin;
    setCaret(end, true);
    d->goalColumn = -1;
    emit doubleClicked();
}

// Shift with the vertical wheel scrolls sideways, by the steps the wheel scrolls lines. Ctrl
// with it zooms: one step a notch (120 units), smaller deltas of a fine wheel or a touchpad
// gathered until they make a step; a turn the other way starts the gathering over.
void OemTextArea::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() == Qt::ControlModifier) {
        event->accept();
        const int angle = event->angleDelta().y();
        if (angle == 0)
            return;
        if ((angle > 0) != (d->zoomAngle > 0))
            d->zoomAngle = 0;
        d->zoomAngle += angle;
        const QPointer<OemTextArea> alive(this);
        while (alive && std::abs(d->zoomAngle) >= 120) {
            const int direction = d->zoomAngle > 0 ? 1 : -1;
            d->zoomAngle -= direction * 120;
            emit zoomRequested(direction, event->position());
        }
        return;
    }
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

// The text control's own menu: Copy (with something selected) and Select All; over a link
// (under the pointer, or at the caret for the menu key) also Open Link and Copy Link Address.
// Copy goes to the window's Copy command, so there is one way of copying.
void OemTextArea::contextMenuEvent(QContextMenuEvent *event)
{
    if (!d->menu) {
        d->menu = new QMenu(this);
        d->menu->setObjectName(QStringLiteral("Text1Menu"));
        d->openLinkAction = d->menu->addAction(
            QStringLiteral("&Open Link"), this, [this] { emit linkActivated(d->menuLink); });
        d->copyLinkAction = d->menu->addAction(QStringLiteral("Copy &Link Address"), this,
            [this] { emit linkCopyRequested(d->menuLink); });
        d->linkSeparator = d->menu->addSeparator();
        d->copyAction = d->menu->addAction(QStringLiteral("&Copy\t")
                + QKeySequence(QKeySequence::Copy).toString(QKeySequence::NativeText),
            this, &OemTextArea::copyRequested);
        d->menu->addAction(QStringLiteral("Select &All"), this, &OemTextArea::selectAll);
        d->menu->addSeparator();
        d->menu->addAction(
            QStringLiteral("Save as &Image..."), this, &OemTextArea::saveImageRequested);
        if (!d->windowActions.isEmpty())
            d->menu->addSeparator();
        for (QAction *action : std::as_const(d->windowActions)) {
            if (action)
                d->menu->addAction(action);
        }
    }
    d->copyAction->setEnabled(hasSelection());
    const qsizetype link = event->reason() == QContextMenuEvent::Keyboard
        ? d->linkHolding(d->selection.caret)
        : d->linkAt(event->pos());
    d->menuLink = link < 0 ? QString() : d->links[size_t(link)].address;
    for (QAction *item : { d->openLinkAction, d->copyLinkAction, d->linkSeparator })
        item->setVisible(link >= 0);
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

void OemTextArea::addMenuAction(QAction *action)
{
    d->windowActions.append(action);
    if (d->menu) {
        if (d->windowActions.size() == 1)
            d->menu->addSeparator();
        d->menu->addAction(action);
    }
}

bool OemTextArea::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QAbstractScrollArea::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const qsizetype link = d->linkAt(help->pos());
    if (link < 0) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    const TextLink &over = d->links[size_t(link)];
    const qreal ratio = d->grid.devicePixelRatio();
    const QRect rect = d->deviceRect(over);
    QToolTip::showText(help->globalPos(),
        over.address + QStringLiteral("\nClick or Ctrl+click to open"), viewport(),
        QRectF(rect.topLeft() / ratio, rect.size() / ratio).toAlignedRect());
    return true;
}

// Over a link the pointer is a pointing hand, elsewhere the text pointer; any other pointer
// (the busy one during a load) is left as it is.
void OemTextArea::updatePointer(QPointF at)
{
    const Qt::CursorShape shape = viewport()->cursor().shape();
    const Qt::CursorShape wanted = d->linkAt(at) >= 0 ? Qt::PointingHandCursor : Qt::IBeamCursor;
    if (shape != wanted && (shape == Qt::IBeamCursor || shape == Qt::PointingHandCursor))
        viewport()->setCursor(wanted);
}

void OemTextArea::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == d->clickWait.timerId()) {
        d->clickWait.stop();
        emit linkActivated(d->clickedLink);
        return;
    }
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
