#pragma once

// The text area's state, shared by its text and scrolling (oemtextarea.cpp), its input handling
// (oemtextinput.cpp) and its painting (oemtextpaint.cpp).

#include "textarea/cellgrid.h"
#include "textarea/glyphcache.h"
#include "textarea/oemtextarea.h"

#include <QBasicTimer>
#include <QImage>
#include <QPointer>

#include <algorithm>
#include <climits>

class QAction;
class QMenu;
class QPainter;

namespace textarea {

struct OemTextArea::Private
{
    CellGrid grid;
    GlyphCache glyphs;
    Selection selection;
    qsizetype goalColumn = -1;
    Colour textColour = 0xE0E0E0;
    Colour backColour = 0x000000;
    float fontSize = 9.0f;
    bool bold = false;
    bool dragging = false;
    QImage frame;
    // The caret blinks at the desktop's cursor flash time while the area has the focus; its
    // width is the style's text cursor width, at least 2 pixels and a quarter of a cell.
    QBasicTimer blink;
    bool caretOn = true;
    int cursorWidth = 1;
    // The right-click menu, made at its first use.
    QPointer<QMenu> menu;
    QAction *copyAction = nullptr;
    QList<QPointer<QAction>> windowActions; // the window's own items, after a separator
    // Angle of a Ctrl+wheel turn not yet worth a font-size step (120 units a step).
    int zoomAngle = 0;

    // Composes the rows from device row dirtyTop down to height, one at a time, and copies
    // each to the painter.
    void paintRows(QPainter &painter, int dirtyTop, int height, bool showCaret);
};

// A count of lines or columns as a scroll bar value.
inline int toScrollValue(qsizetype value)
{
    return int(std::clamp(value, qsizetype(0), qsizetype(INT_MAX)));
}

} // namespace textarea
