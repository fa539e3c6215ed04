#pragma once

#include "art/lines.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace art {

// Ink mixed into paper by a coverage of `of` (one colour channel): how a cell's antialiased
// edges are coloured, and how a palette index of a picture (its coverage) becomes a colour.
inline int mixChannel(int paper, int ink, int coverage, int of = 255)
{
    return paper + (ink - paper) * coverage / of;
}

// Rows of pixels of some type (a colour, or a palette index): the first row at first, each next
// row stride pixels further on.
template<typename Pixel> struct PixelRows
{
    Pixel *first = nullptr;
    Offset stride = 0;
    int width = 0;
    int height = 0;

    Pixel *row(int y) const { return first + y * stride; }
    // Sets count pixels from x on in every row, clipped to the rows.
    void fill(int x, int count, Pixel value) const
    {
        const int x0 = std::max(x, 0), x1 = std::min(x + count, width);
        for (int y = 0; x0 < x1 && y < height; ++y)
            std::fill(row(y) + x0, row(y) + x1, value);
    }
};

// The cells of a text in device pixels, and the period after which shade patterns repeat.
struct CellShape
{
    int width = 1;
    int height = 1;
    int shadeWidth = 1;
    int shadeHeight = 1;
};

// Composes one line of a text into rows one cell high, from column firstColumn to the rows'
// right edge: each byte's cell image (cellOf(byte, selected, phaseX, phaseY) gives its pixels,
// row after row, a cell wide; the phase is the cell's absolute device-pixel position modulo the
// shade period), paper between the cells and up to one cell past the line's end, and a selected
// tab in ink. Blanks (space, NUL, 0xFF) that are not selected get paper. This is the one
// composition of cells, for the text area on the screen and for every picture of a text.
// Returns the width composed from the left edge; the rest of the rows is left to the caller.
template<typename Pixel, typename CellOf>
int composeLine(PixelRows<Pixel> rows, std::string_view text, const Line &line, Offset lineIndex,
    Offset firstColumn, Offset selBegin, Offset selEnd, CellShape cell, Pixel ink, Pixel paper,
    CellOf cellOf)
{
    const Offset columns = (rows.width + cell.width - 1) / cell.width;
    const Offset lastColumn = firstColumn + columns; // exclusive

    // Paper goes only where no cell image is copied: the row is composed left to right, and
    // paperFrom is where the paper still missing begins.
    int paperFrom = 0;
    const auto cover = [&](int x, int width) {
        if (x > paperFrom)
            rows.fill(paperFrom, x - paperFrom, paper);
        paperFrom = std::max(paperFrom, x + width);
    };
    const int phaseY = int((lineIndex * cell.height) % cell.shadeHeight);
    const bool plain = line.columns == line.end - line.start;

    Offset offset = line.start;
    Offset column = 0;
    if (plain) {
        offset = line.start + std::min(firstColumn, line.end - line.start);
        column = offset - line.start;
    }
    for (; offset < line.end && column < lastColumn; ++offset) {
        const auto byte = static_cast<unsigned char>(text[std::size_t(offset)]);
        const bool selected = offset >= selBegin && offset < selEnd;
        const Offset next = nextColumn(char(byte), column);
        if (next <= firstColumn) {
            column = next;
            continue;
        }
        const int x = int((column - firstColumn) * cell.width);
        if (byte == '\t') {
            if (selected) {
                cover(x, int(next - column) * cell.width);
                rows.fill(x, int(next - column) * cell.width, ink);
            }
        } else if (selected || (byte != 0x20 && byte != 0x00 && byte != 0xFF)) {
            const int phaseX = int((column * cell.width) % cell.shadeWidth);
            cover(x, cell.width);
            const Pixel *from = cellOf(byte, selected, phaseX, phaseY);
            // The cell clipped to the rows' right edge.
            const int x1 = std::min(x + cell.width, rows.width);
            if (x < x1) {
                for (int y = 0; y < rows.height && y < cell.height; ++y)
                    std::memcpy(rows.row(y) + x, from + Offset(y) * cell.width,
                        std::size_t(x1 - x) * sizeof(Pixel));
            }
        }
        column = next;
    }
    // Composed up to the cell after the line (where a selected line break or the caret goes).
    if (line.columns + 1 > firstColumn)
        cover(int(std::min<Offset>(lastColumn - firstColumn, line.columns + 1 - firstColumn)
                  * cell.width),
            0);
    return std::min(paperFrom, rows.width);
}

} // namespace art
