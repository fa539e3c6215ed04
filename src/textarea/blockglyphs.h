#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>

namespace textarea::blockglyphs {

// The block, shade and line-drawing characters of code page 437 (0xB0-0xDF and 0xFE), drawn
// by the text area itself with whole device pixels so that neighbouring cells join without
// seams or gaps: lines cross cell edges at the same place in every cell of a row or column,
// and shade patterns follow absolute device pixels instead of restarting in every cell.

bool isDrawn(quint8 byte);
bool isShade(quint8 byte);

// Thickness in device pixels of one stroke of a line-drawing character.
int lineThickness(QSize deviceCell);
// Size in device pixels of one dot of the shade patterns (1 at ratio 1, 2 at ratio 2).
int shadeDotSize(qreal devicePixelRatio);
// The shade patterns repeat after this many device pixels.
QSize shadePeriod(int dotSize);

// Draws the glyph of a drawn byte in colour ink over the cell image (already filled with the
// background). shadePhase is the absolute device-pixel position of the cell's top-left corner
// (only its remainder modulo shadePeriod() matters); it is ignored for non-shade bytes.
void draw(QImage &cell, quint8 byte, QRgb ink, QPoint shadePhase, int dotSize);

} // namespace textarea::blockglyphs
