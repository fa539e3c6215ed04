#pragma once

// The text area's state, shared by its input handling (oemtextarea.cpp) and its painting
// (oemtextpaint.cpp).

#include "textarea/cellgrid.h"
#include "textarea/glyphcache.h"
#include "textarea/oemtextarea.h"

#include <QImage>

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

    // Composes the rows from device row dirtyTop down to height, one at a time, and copies
    // each to the painter.
    void paintRows(QPainter &painter, int dirtyTop, int height, bool showCaret);
};

} // namespace textarea
