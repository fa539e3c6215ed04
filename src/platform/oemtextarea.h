#pragma once

#include "platform/services.h"

#include <QAbstractScrollArea>
#include <QByteArray>

namespace platform {

// The text control for text in the IBM PC character set (code page 437): a read-only grid of
// fixed-size cells over the bytes exactly as set. Block, shade and line-drawing characters are
// drawn on the device-pixel grid so that art tiles without seams; other glyphs come from a
// monospace font, cached per size and colour. Menu shortcuts (Ctrl+letter) are never taken
// over by this widget, so the window's accelerators win.
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

    // Point size (any value above 0; start 9) and bold flag (start off).
    void setFontSize(float points);
    float fontSize() const;
    void setBold(bool bold);
    bool isBold() const;

    // Selection. selectedText() maps the selected bytes to Unicode through the CP437 table,
    // line breaks as "\n".
    bool hasSelection() const;
    QString selectedText() const;
    void clearSelection();

signals:
    // Every key pressed in the area, before the area's own handling (Text1_KeyDown).
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    // Every character typed in the area (Text1_KeyPress), e.g. 3 for Ctrl+C.
    void keyPress(int characterCode);
    // A double-click, after the area has selected the word under the pointer (Text1_DblClick).
    void doubleClicked();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace platform
