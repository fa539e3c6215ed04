#include "textarea/oemtextaccessible.h"

#include "textarea/oemtextarea.h"
#include "textarea/oemtextarea_p.h"

#include <QScrollBar>

#include <algorithm>
#include <climits>
#include <cmath>

namespace textarea {

namespace {

int toInt(qsizetype value)
{
    return int(std::clamp(value, qsizetype(0), qsizetype(INT_MAX)));
}

// The character offset of a caret position: the lines before it count their bytes and one
// character for their break, whatever the break's length in bytes.
int characterOf(const CellGrid &grid, qsizetype offset)
{
    offset = grid.clampOffset(offset);
    const qsizetype lineIndex = grid.lineOf(offset);
    qsizetype characters = offset - grid.line(lineIndex).start;
    for (qsizetype i = 0; i < lineIndex; ++i)
        characters += grid.line(i).end - grid.line(i).start + 1;
    return toInt(characters);
}

// The caret position of a character offset; a line's "\n" is the caret at that line's end.
qsizetype byteOf(const CellGrid &grid, qsizetype character)
{
    character = std::max(character, qsizetype(0));
    for (qsizetype i = 0; i < grid.lineCount(); ++i) {
        const CellGrid::Line &l = grid.line(i);
        if (character <= l.end - l.start)
            return l.start + character;
        character -= l.end - l.start + 1;
    }
    return grid.text().size();
}

QAccessibleInterface *createInterface(const QString &className, QObject *object)
{
    auto *area = qobject_cast<OemTextArea *>(object);
    if (area == nullptr || className != QLatin1String(OemTextArea::staticMetaObject.className()))
        return nullptr;
    return new OemTextAccessible(area);
}

} // namespace

OemTextAccessible::OemTextAccessible(OemTextArea *area)
    : QAccessibleWidget(area, QAccessible::EditableText)
{ }

void OemTextAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(createInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

void OemTextAccessible::notify(OemTextArea *area, const Selection &before,
    const QByteArray *textBefore, const QList<char32_t> &charactersBefore)
{
    if (!QAccessible::isActive())
        return; // Qt drops the events then: spare building them
    const CellGrid &grid = area->d->grid;
    const Selection &now = area->d->selection;
    const int caret = characterOf(grid, now.caret);
    if (textBefore != nullptr) {
        // Only the changed end of the text is converted and reported, so the 500-byte steps
        // of a load cost little. It is taken from two lines above the first changed byte:
        // the line breaks before that line start end the same way in both texts, since a
        // break's bytes are decided by the two bytes after its CR at most.
        const QByteArray &text = grid.text();
        const qsizetype same = text.startsWith(*textBefore)
            ? textBefore->size()
            : std::mismatch(textBefore->cbegin(), textBefore->cend(), text.cbegin(), text.cend())
                    .first
                - textBefore->cbegin();
        const qsizetype line = std::max<qsizetype>(grid.lineOf(grid.clampOffset(same)) - 2, 0);
        const qsizetype from = grid.line(line).start;
        CellGrid old;
        old.setText(textBefore->sliced(from),
            charactersBefore.isEmpty() ? charactersBefore : charactersBefore.sliced(from));
        const QString was = old.textBetween(0, old.text().size());
        const QString is = grid.textBetween(from, text.size());
        const qsizetype common
            = std::mismatch(was.cbegin(), was.cend(), is.cbegin(), is.cend()).first - was.cbegin();
        if (common < was.size() || common < is.size()) {
            QAccessibleTextUpdateEvent event(area, characterOf(grid, from) + toInt(common),
                was.sliced(common), is.sliced(common));
            event.setCursorPosition(caret);
            QAccessible::updateAccessibility(&event);
        }
    }
    if ((!before.isEmpty() || !now.isEmpty())
        && (before.begin() != now.begin() || before.end() != now.end())) {
        QAccessibleTextSelectionEvent event(
            area, characterOf(grid, now.begin()), characterOf(grid, now.end()));
        event.setCursorPosition(caret);
        QAccessible::updateAccessibility(&event);
    }
    if (before.caret != now.caret) {
        QAccessibleTextCursorEvent event(area, caret);
        QAccessible::updateAccessibility(&event);
    }
}

OemTextArea *OemTextAccessible::area() const
{
    return static_cast<OemTextArea *>(widget());
}

const CellGrid &OemTextAccessible::grid() const
{
    return area()->d->grid;
}

qsizetype OemTextAccessible::byteAt(int offset) const
{
    return byteOf(grid(), offset);
}

void *OemTextAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State OemTextAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.editable = false;
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

QString OemTextAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Value)
        return text(0, characterCount());
    return QAccessibleWidget::text(type);
}

void OemTextAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    const Selection &selection = area()->d->selection;
    if (selectionIndex != 0 || selection.isEmpty()) {
        *startOffset = *endOffset = 0;
        return;
    }
    *startOffset = characterOf(grid(), selection.begin());
    *endOffset = characterOf(grid(), selection.end());
}

int OemTextAccessible::selectionCount() const
{
    return area()->hasSelection() ? 1 : 0;
}

// The area has one selection: adding one replaces it.
void OemTextAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void OemTextAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        area()->setCaret(area()->d->selection.caret, false);
}

void OemTextAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex != 0)
        return;
    area()->d->selection.anchor = byteAt(startOffset);
    area()->setCaret(byteAt(endOffset), true);
}

int OemTextAccessible::cursorPosition() const
{
    return characterOf(grid(), area()->d->selection.caret);
}

void OemTextAccessible::setCursorPosition(int position)
{
    area()->setCaret(byteAt(position), false);
}

QString OemTextAccessible::text(int startOffset, int endOffset) const
{
    if (endOffset < 0)
        endOffset = characterCount();
    return grid().textBetween(byteAt(startOffset), byteAt(endOffset));
}

int OemTextAccessible::characterCount() const
{
    return characterOf(grid(), grid().text().size());
}

QRect OemTextAccessible::characterRect(int offset) const
{
    if (offset < 0 || offset >= characterCount())
        return {};
    const CellGrid &cells = grid();
    const qsizetype byte = byteAt(offset);
    const QRect device = cells.deviceCellRect(cells.lineOf(byte), cells.columnOf(byte));
    const qreal ratio = cells.devicePixelRatio();
    const QRect logical = QRectF(
        device.x() / ratio, device.y() / ratio, device.width() / ratio, device.height() / ratio)
                              .toAlignedRect();
    return logical.translated(area()->viewport()->mapToGlobal(QPoint(0, 0)));
}

// The character whose cell holds the point (a tab's whole width is the tab's), or -1 off the
// text's lines.
int OemTextAccessible::offsetAtPoint(const QPoint &point) const
{
    const QWidget *viewport = area()->viewport();
    const QPoint local = viewport->mapFromGlobal(point);
    if (!viewport->rect().contains(local))
        return -1;
    const CellGrid &cells = grid();
    const qreal ratio = cells.devicePixelRatio();
    const qsizetype lineIndex = cells.firstLine()
        + qsizetype(std::floor(local.y() * ratio / cells.deviceCellSize().height()));
    if (lineIndex >= cells.lineCount())
        return -1;
    const qsizetype column = cells.firstColumn()
        + qsizetype(std::floor(local.x() * ratio / cells.deviceCellSize().width()));
    qsizetype byte = cells.offsetAtColumn(lineIndex, double(column));
    if (byte > cells.line(lineIndex).start && cells.columnOf(byte) > column)
        --byte;
    return characterOf(cells, byte);
}

void OemTextAccessible::scrollToSubstring(int startIndex, int)
{
    const CellGrid &cells = grid();
    const qsizetype byte = byteAt(startIndex);
    const auto show = [](QScrollBar *bar, qsizetype at) {
        if (at < bar->value() || at >= bar->value() + bar->pageStep())
            bar->setValue(toInt(at));
    };
    show(area()->verticalScrollBar(), cells.lineOf(byte));
    show(area()->horizontalScrollBar(), cells.columnOf(byte));
}

// Every character has the same attributes: the area's colours and font apply to the whole text.
QString OemTextAccessible::attributes(int, int *startOffset, int *endOffset) const
{
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

} // namespace textarea
