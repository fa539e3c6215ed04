#pragma once

#include "platform/services.h"
#include "textarea/cellgrid.h"

#include <QImage>
#include <QRect>

namespace textarea {

class GlyphCache;

// 0x00BBGGRR as an opaque QRgb.
QRgb toRgb(platform::Colour colour);
// Fills a rectangle of an RGB32 image, clipped to the image.
void fillPixels(QImage &image, QRect rect, QRgb colour);

// The text area's cell composition, shared by its painting on the screen and its pictures, so
// that a picture is exactly what the window shows. Composes one line of the grid into the
// device-pixel rows [top, top + cell height) of an RGB32 image, from the grid's first column
// to the image's right edge: each byte's cell image (selected bytes inverted: paper-coloured
// ink on ink-coloured paper), and paper between them and up to one cell past the line's end.
// Returns the width composed from the left edge; the rest of the rows is left to the caller.
int composeLine(QImage &image, int top, const CellGrid &grid, GlyphCache &glyphs,
    qsizetype lineIndex, QRgb ink, QRgb paper, const Selection &selection);

} // namespace textarea
