#pragma once

#include "platform/services.h"
#include "textarea/textlink.h"
#include "textarea/textpicture.h"

#include <QAbstractScrollArea>
#include <QByteArray>

#include <memory>

namespace textarea {

using platform::Colour;

class OemTextAccessible;

// The text control for text in the IBM PC character set (code page 437): a read-only grid of
// fixed-size cells over the bytes exactly as set. Block, shade and line-drawing characters are
// drawn on the device-pixel grid so that art tiles without seams; other glyphs come from a
// monospace font, cached per size and colour. Menu shortcuts (Ctrl+letter) are never taken
// over by this widget, so the window's accelerators win. As a desktop text view it has a
// blinking caret, page keys that scroll a page, Shift+wheel for sideways scrolling, the X11
// primary selection and a right-click menu (Copy, Select All). Links that it is handed are
// underlined, show a pointing hand and a tooltip, and open on a click (see linkActivated).
class OemTextArea : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit OemTextArea(QWidget *parent = nullptr);
    ~OemTextArea() override;
    Q_DISABLE_COPY_MOVE(OemTextArea)

    // The whole text, as bytes. Setting it is one pass over the bytes; the selection and the
    // links are removed and the caret goes to the start.
    void setText(const QByteArray &bytes);
    const QByteArray &text() const;
    // The whole text as glyph bytes, each standing for one of the characters (a UTF-8 file's
    // own, one a byte): the bytes are shown, the characters are what a copy, the primary
    // selection and the accessible text give.
    void setText(const QByteArray &glyphs, const QList<char32_t> &characters);
    // The links of the text, in the order of their bytes and none overlapping another (the
    // area draws and hit-tests them; it does not look for them). Links outside the text's
    // lines are dropped.
    void setLinks(TextLinks links);
    const TextLinks &links() const;

    // Colours as 0x00BBGGRR. Start: text 0xE0E0E0 on 0x000000.
    void setTextColour(Colour colour);
    Colour textColour() const;
    void setBackColour(Colour colour);
    Colour backColour() const;

    // Point size (any value above 0; start 9) and bold flag (start off). A size that is not a
    // positive finite number is ignored. Bold draws the font's bold face; blocks and lines
    // are the same either way.
    void setFontSize(float points);
    float fontSize() const;
    void setBold(bool bold);
    bool isBold() const;

    // Selection. selectedText() maps the selected bytes to Unicode through the CP437 table,
    // line breaks as "\n" and NUL as a blank. clearSelection() leaves the caret at the start
    // of what was selected.
    bool hasSelection() const;
    QString selectedText() const;
    void clearSelection();
    // Selects the whole text (the right-click menu's Select All; Ctrl+A belongs to the window).
    void selectAll();
    // How a picture of the text is drawn now: the colours, font size and bold flag in force,
    // at ratio 1 (8 x 12 pixel cells at 9 points, whatever the screen).
    PictureStyle pictureStyle() const;

    // The caret as a byte offset into the text (never inside a line break).
    qsizetype caretPosition() const;

    // The cell (x the column, y the line) under a point of the view, and scrolling the view so
    // that a cell is under a point, as far as the scroll range allows: a change of font size
    // keeps the view's place with these.
    QPoint cellAt(QPointF viewPoint) const;
    void scrollCellTo(QPoint cell, QPointF viewPoint);

    // Adds the window's own item to the right-click menu, after the text area's items.
    void addMenuAction(QAction *action);

signals:
    // Every key pressed in the area, before the area's own handling (Text1_KeyDown).
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    // Every character typed in the area (Text1_KeyPress), e.g. 3 for Ctrl+C.
    void keyPress(int characterCode);
    // A double-click, after the area has selected the word under the pointer (Text1_DblClick).
    void doubleClicked();
    // The right-click menu's Copy: the window copies the selection with its one Copy command.
    void copyRequested();
    // Ctrl with the wheel (a step each 120 units of angle) or with Plus, Equal, Minus or 0 asks
    // for the next larger (direction 1) or smaller (-1) font size, or the normal one (0). at is
    // the point of the view whose character should stay in place: the pointer, or the top-left
    // corner for a key.
    void zoomRequested(int direction, QPointF at);
    // A link's address to open: a Ctrl+click opens at once; a plain click (a release without a
    // drag, on the link pressed) once the double-click interval has passed without a second
    // click, so that a double-click only toggles the window; the right-click menu's Open Link.
    void linkActivated(const QString &address);
    // The right-click menu's Copy Link Address.
    void linkCopyRequested(const QString &address);
    // The right-click menu's Save as Image...: the window asks for a file and writes the picture.
    void saveImageRequested();

protected:
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    friend class OemTextAccessible; // reads the text and moves the caret for screen readers

    void relayout();
    void updateCaret();
    void showCaret();
    void publishSelection();
    void updateScrollBars();
    void setCaret(qsizetype offset, bool extend);
    void ensureCaretVisible();
    void updatePointer(QPointF at);

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace textarea
