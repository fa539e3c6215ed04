#include "textarea/oemtextaccessible.h"

#include "textarea/oemtextarea.h"
#include "textarea/oemtextarea_p.h"

#include <QPointer>
#include <QScrollBar>

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

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

// A link of the text for assistive technology: its characters as name, its address as
// description and hyperlink target, and "Press" to open it. It stands for the link as it was
// when made, and is no longer valid once the area's links have changed.
class LinkAccessible : public QAccessibleInterface,
                       public QAccessibleHyperlinkInterface,
                       public QAccessibleActionInterface
{
public:
    LinkAccessible(OemTextArea *area, size_t index)
        : m_area(area)
        , m_index(index)
        , m_link(area->links()[index])
    { }

    bool isValid() const override
    {
        return m_area && m_index < m_area->links().size() && m_area->links()[m_index] == m_link;
    }
    QObject *object() const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_area.data());
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Name)
            return anchor();
        return type == QAccessible::Description ? m_link.address : QString();
    }
    void setText(QAccessible::Text, const QString &) override { }
    QRect rect() const override
    {
        QAccessibleTextInterface *text = parent()->textInterface();
        return text->characterRect(startIndex()).united(text->characterRect(endIndex() - 1));
    }
    QAccessible::Role role() const override { return QAccessible::Link; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.linked = true;
        state.invalid = !isValid();
        return state;
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::HyperlinkInterface)
            return static_cast<QAccessibleHyperlinkInterface *>(this);
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface *>(this);
        return nullptr;
    }

    QString anchor() const override
    {
        return parent()->textInterface()->text(startIndex(), endIndex());
    }
    QString anchorTarget() const override { return m_link.address; }
    int startIndex() const override
    {
        return OemTextAccessible::characterOffset(m_area, m_link.begin);
    }
    int endIndex() const override { return startIndex() + int(m_link.end - m_link.begin); }

    QStringList actionNames() const override { return { pressAction() }; }
    void doAction(const QString &name) override
    {
        if (name == pressAction() && isValid())
            emit m_area->linkActivated(m_link.address);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPointer<OemTextArea> m_area;
    size_t m_index;
    TextLink m_link;
};

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

int OemTextAccessible::characterOffset(const OemTextArea *area, qsizetype offset)
{
    return characterOf(area->d->grid, offset);
}

OemTextAccessible::~OemTextAccessible()
{
    dropLinks();
}

void OemTextAccessible::dropLinks() const
{
    for (const QAccessible::Id id : std::exchange(m_linkIds, {}))
        QAccessible::deleteAccessibleInterface(id);
    m_links.clear();
}

const std::vector<QAccessible::Id> &OemTextAccessible::linkIds() const
{
    if (m_links != area()->links()) {
        dropLinks();
        m_links = area()->links();
        for (size_t i = 0; i < m_links.size(); ++i)
            m_linkIds.push_back(
                QAccessible::registerAccessibleInterface(new LinkAccessible(area(), i)));
    }
    return m_linkIds;
}

int OemTextAccessible::childCount() const
{
    return QAccessibleWidget::childCount() + int(linkIds().size());
}

QAccessibleInterface *OemTextAccessible::child(int index) const
{
    const int widgets = QAccessibleWidget::childCount();
    if (index < widgets)
        return QAccessibleWidget::child(index);
    const auto &ids = linkIds();
    return size_t(index - widgets) < ids.size()
        ? QAccessible::accessibleInterface(ids[size_t(index - widgets)])
        : nullptr;
}

int OemTextAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const auto &ids = linkIds();
    for (size_t i = 0; i < ids.size(); ++i) {
        if (QAccessible::accessibleInterface(ids[i]) == child)
            return QAccessibleWidget::childCount() + int(i);
    }
    return QAccessibleWidget::indexOfChild(child);
}

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
