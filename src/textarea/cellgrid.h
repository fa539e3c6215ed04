#pragma once

#include "art/lines.h"

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>

#include <utility>
#include <vector>

namespace textarea {

// The anchor and caret of a selection, as byte offsets into the text. The selected bytes are
// [begin(), end()); the caret is the end the user moves.
struct Selection
{
    qsizetype anchor = 0;
    qsizetype caret = 0;

    qsizetype begin() const { return anchor < caret ? anchor : caret; }
    qsizetype end() const { return anchor < caret ? caret : anchor; }
    bool isEmpty() const { return anchor == caret; }
};

// The geometry of the OEM text area as a plain value: the line index of the bytes, the cell
// size, and the mappings between byte offsets, (line, column) cells and device pixels. Caret
// positions are byte offsets that never fall inside a line break. Every cell has the same
// device-pixel size, so neighbouring cells share their edges exactly at any pixel ratio.
class CellGrid
{
public:
    // One line of the text: its bytes are [start, end), then its line break; columns counts
    // cells, with tabs expanded.
    using Line = art::Line;

    enum class Move {
        Left,
        Right,
        Up,
        Down,
        LineStart,
        LineEnd,
        PageUp,
        PageDown,
        TextStart,
        TextEnd
    };

    static constexpr int tabWidth = art::TabWidth;

    // Cell size in logical pixels for a point size: the height is the size at 96 dots per
    // inch, the width two thirds of the height, both rounded and at least 1 (9 points: 8 x 12).
    // Sizes that are not positive or not finite give the 1 x 1 cell.
    static QSize cellSizeForPoints(double points);

    // Indexes the lines in one pass. CR LF, CR CR LF, a lone CR and a lone LF each end a line;
    // a text that ends with a break has an empty last line, and the empty text has one line.
    // characters, when not empty, holds one character a byte: the character that byte's glyph
    // stands for (a UTF-8 file's own), which textBetween() gives instead of the byte's CP437
    // character.
    void setText(const QByteArray &bytes, const QList<char32_t> &characters = {});
    const QByteArray &text() const { return m_text; }
    const QList<char32_t> &characters() const { return m_characters; }

    qsizetype lineCount() const { return qsizetype(m_lines.size()); }
    const Line &line(qsizetype index) const { return m_lines[size_t(index)]; }
    qsizetype widestLine() const { return m_widest; }

    // The line that holds a caret position (offsets inside a break belong to the line before).
    qsizetype lineOf(qsizetype offset) const;
    // The column at which the byte at a caret position starts.
    qsizetype columnOf(qsizetype offset) const;
    // The caret position in a line nearest to a column boundary (column may be fractional or
    // out of range; a tab is entered only past its middle).
    qsizetype offsetAtColumn(qsizetype lineIndex, double column) const;
    // The nearest caret position: within [0, size], and off the inside of any line break.
    qsizetype clampOffset(qsizetype offset) const;
    // The caret position after a caret movement. goalColumn carries the column that vertical
    // moves keep to; horizontal moves reset it.
    qsizetype move(qsizetype offset, Move how, qsizetype &goalColumn, qsizetype pageRows) const;
    // The word around the byte at a caret position: the run of bytes other than blanks, tabs,
    // NULs and line breaks; on a blank, the run of blanks.
    std::pair<qsizetype, qsizetype> wordAt(qsizetype offset) const;
    // The bytes [from, to) as Unicode through the CP437 table (or as the characters set with
    // them), each line break as "\n" and NUL as a blank, so that pasted text shows the same
    // picture.
    QString textBetween(qsizetype from, qsizetype to) const;

    // Cells on the device: the logical cell size times the pixel ratio, rounded, at least 1.
    void setCellSize(QSize logical, qreal devicePixelRatio);
    QSize cellSize() const { return m_cell; }
    QSize deviceCellSize() const { return m_deviceCell; }
    qreal devicePixelRatio() const { return m_ratio; }

    // The first line and column shown at the view's top-left corner.
    void setOrigin(qsizetype firstLine, qsizetype firstColumn);
    qsizetype firstLine() const { return m_firstLine; }
    qsizetype firstColumn() const { return m_firstColumn; }

    // Whole cells that fit a view of the given logical size (at least 1).
    qsizetype visibleRows(int logicalHeight) const;
    qsizetype visibleColumns(int logicalWidth) const;
    // The device-pixel rectangle of a cell, relative to the view's top-left corner.
    QRect deviceCellRect(qsizetype lineIndex, qsizetype column) const;
    // The caret position nearest to a logical point of the view (clamped to the text).
    qsizetype hitTest(QPointF logicalPoint) const;
    // The byte whose cell holds a logical point of the view (a tab's every cell is the tab's),
    // or -1 past the end of its line or outside the text.
    qsizetype byteAt(QPointF logicalPoint) const;

private:
    QByteArray m_text;
    QList<char32_t> m_characters;
    std::vector<Line> m_lines { Line {} };
    qsizetype m_widest = 0;
    QSize m_cell { 1, 1 };
    QSize m_deviceCell { 1, 1 };
    qreal m_ratio = 1.0;
    qsizetype m_firstLine = 0;
    qsizetype m_firstColumn = 0;
};

} // namespace textarea
