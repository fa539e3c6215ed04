#pragma once

#include "art/picturesize.h"
#include "platform/services.h"
#include "textarea/cellgrid.h"

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <limits>

namespace textarea {

// How a picture is drawn: the text area's colours (0x00BBGGRR), point size and bold flag, and
// the device pixel ratio (2 draws every cell at twice the pixels).
struct PictureStyle
{
    platform::Colour textColour = 0xE0E0E0;
    platform::Colour backColour = 0x000000;
    float points = 9.0f;
    bool bold = false;
    qreal ratio = 1.0;
};

// A picture of a text as the text area paints it (through composeLine), with nothing but the
// text: as many columns as the longest line, one row of cells per line, no margin, no caret, no
// selection. A final line break starts no further line. The empty text, or lines with no
// cells, still give one cell, so that every picture is an image.
class TextPicture
{
public:
    // The largest picture drawn, in device pixels.
    static constexpr qint64 MaxPixels = art::MaxPicturePixels;

    TextPicture(const QByteArray &text, const PictureStyle &style);

    // Lines and columns of the whole picture.
    qsizetype lines() const;
    qsizetype columns() const;
    // One cell in device pixels.
    QSize deviceCellSize() const { return m_grid.deviceCellSize(); }
    // The device-pixel size of the picture of the first maxLines lines and maxColumns columns
    // (all when larger).
    static constexpr qsizetype All = std::numeric_limits<qsizetype>::max();
    QSize deviceSize(qsizetype maxLines, qsizetype maxColumns = All) const;
    // Whether that picture is within MaxPixels (and each side within an image's int range).
    bool fits(qsizetype maxLines, qsizetype maxColumns = All) const;
    // That picture (RGB32, its device pixel ratio set). A picture that does not fit is the
    // null image.
    QImage draw(qsizetype maxLines = All, qsizetype maxColumns = All) const;

private:
    CellGrid m_grid;
    PictureStyle m_style;
};

} // namespace textarea
