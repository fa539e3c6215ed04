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
    QAction *openLinkAction = nullptr;
    QAction *copyLinkAction = nullptr;
    QAction *linkSeparator = nullptr;
    QString menuLink; // the address of the link the menu was opened over
    TextLinks links;
    // A click on a link: the link pressed (-1: none, or the press became a drag or a
    // double-click), where, and a plain click's address waiting out the double-click interval.
    qsizetype pressedLink = -1;
    QPointF pressedAt;
    QBasicTimer clickWait;
    QString clickedLink;

    // Composes the rows from device row dirtyTop down to height, one at a time, and copies
    // each to the painter.
    void paintRows(QPainter &painter, int dirtyTop, int height, bool showCaret);
    // Underlines the visible links between device rows dirtyTop and height, over the composed
    // rows: in the text colour, and in the paper colour where the text is selected.
    void paintLinkUnderlines(QPainter &painter, int dirtyTop, int height) const;
    // The index of the link whose cell holds a logical point of the view, or that holds a
    // byte; -1 for none.
    qsizetype linkAt(QPointF logicalPoint) const;
    qsizetype linkHolding(qsizetype offset) const;
    // A link's cells in device pixels of the view (a link never crosses a line break).
    QRect deviceRect(const TextLink &link) const;
    // The links on the lines shown from the view's top down to device row height: one run,
    // as links are in the order of their bytes.
    std::pair<TextLinks::const_iterator, TextLinks::const_iterator> linksShown(int height) const;
};

// A count of lines or columns as a scroll bar value.
inline int toScrollValue(qsizetype value)
{
    return int(std::clamp(value, qsizetype(0), qsizetype(INT_MAX)));
}

} // namespace textarea
