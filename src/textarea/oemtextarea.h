#pragma once

#include "platform/services.h"
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
// primary selection and a right-click menu (Copy, Select All).
class OemTextArea : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit OemTextArea(QWidget *parent = nullptr);
    ~OemTextArea() override;
    Q_DISABLE_COPY_MOVE(OemTextArea)

    // The whole text, as bytes. Setting it is one pass over the bytes; the selection is removed
    // and the caret goes to the start.
    void setText(const QByteArray &bytes);
    const QByteArray &text() const;

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

signals:
    // Every key pressed in the area, before the area's own handling (Text1_KeyDown).
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    // Every character typed in the area (Text1_KeyPress), e.g. 3 for Ctrl+C.
    void keyPress(int characterCode);
    // A double-click, after the area has selected the word under the pointer (Text1_DblClick).
    void doubleClicked();
    // The right-click menu's Copy: the window copies the selection with its one Copy command.
    void copyRequested();
    // The right-click menu's Save as Image...: the window asks for a file and writes the picture.
    void saveImageRequested();

protected:
    bool event(QEvent *event) override;
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

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace textarea
