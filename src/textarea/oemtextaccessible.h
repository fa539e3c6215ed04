#pragma once

#include "textarea/cellgrid.h"
#include "textarea/textlink.h"

#include <QAccessibleWidget>

#include <vector>

namespace textarea {

class OemTextArea;

// What assistive technology sees of the text area: a read-only, multi-line text whose
// characters are the shown text exactly as a copy gives it (code page 437 in Unicode or a UTF-8
// file's own characters, NUL as a blank, every line break one "\n"). Offsets here are character
// offsets into that text; the area's byte offsets are mapped line by line, so a CR LF or CR CR LF
// break is one character. Its links follow its widget children as children with the role Link,
// each with Qt's hyperlink interface (the link's characters and address) and a press action that
// opens it.
class OemTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit OemTextAccessible(OemTextArea *area);
    ~OemTextAccessible() override;
    Q_DISABLE_COPY_MOVE(OemTextAccessible)

    // The character offset of a byte offset of the area's text.
    static int characterOffset(const OemTextArea *area, qsizetype offset);

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;

    // Has Qt's accessibility give every OemTextArea this interface; only the first call acts.
    static void install();
    // Tells assistive technology what changed since `before` (and textBefore with its
    // characters, when the text was set): the text, the selection, the caret. Does nothing
    // while accessibility is inactive.
    static void notify(OemTextArea *area, const Selection &before,
        const QByteArray *textBefore = nullptr, const QList<char32_t> &charactersBefore = {});

    void *interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text type) const override;

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

private:
    OemTextArea *area() const;
    const CellGrid &grid() const;
    qsizetype byteAt(int offset) const;
    // The links' interfaces, made again when the area's links have changed.
    const std::vector<QAccessible::Id> &linkIds() const;
    void dropLinks() const;

    mutable std::vector<QAccessible::Id> m_linkIds;
    mutable TextLinks m_links;
};

} // namespace textarea
