#pragma once

#include "textarea/cellgrid.h"

#include <QAccessibleWidget>

namespace textarea {

class OemTextArea;

// What assistive technology sees of the text area: a read-only, multi-line text whose
// characters are the shown text exactly as a copy gives it (code page 437 in Unicode or a UTF-8
// file's own characters, NUL as a blank, every line break one "\n"). Offsets here are character
// offsets into that text; the area's byte offsets are mapped line by line, so a CR LF or CR CR LF
// break is one character.
class OemTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit OemTextAccessible(OemTextArea *area);

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
};

} // namespace textarea
