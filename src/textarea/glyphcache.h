#pragma once

#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QPoint>
#include <QRawFont>
#include <QSize>

#include <array>
#include <vector>

namespace textarea {

// Ready-made cell images for the OEM text area, so that a repaint copies pixels instead of
// shaping text. Each image is one cell in device pixels (Format_RGB32): the byte's CP437
// glyph in the ink colour over the paper colour. Block, shade and line-drawing bytes are drawn
// by blockglyphs. The other glyphs (letters) come from the IBM EGA 8 x 14 ROM face (fonts-pc)
// where the cell is 8 x 12 times 1, 1.5, 2..., drawn pixel for pixel, and otherwise from
// DejaVu Sans Mono stretched to the cell with its baseline, x-height and cap height on pixel
// rows. Either way a glyph that would reach past its cell is moved or shrunk into it: no ink is
// ever cut. Images are kept per cell size and weight, and per colour pair for the few most
// recent pairs.
class GlyphCache
{
public:
    GlyphCache();

    // Sets the cell size in device pixels, the weight and the pixel ratio (which sets the size
    // of a shade dot). Drops every cached image when any of them changes.
    void configure(QSize deviceCell, bool bold, qreal devicePixelRatio);
    QSize deviceCellSize() const { return m_cell; }

    // The cell image of a byte. shadePhase is the cell's absolute device-pixel position; only
    // shade bytes look at it.
    const QImage &cell(quint8 byte, QRgb ink, QRgb paper, QPoint shadePhase);

    // A letter drawn as its cell image draws it, on a canvas margin device pixels larger than
    // the cell on every side (the cell's origin at (margin, margin)): what lies outside the
    // middle is what the cell would have cut. Blank and drawn bytes give an empty canvas.
    QImage letterOnCanvas(quint8 byte, int margin, QRgb ink, QRgb paper) const;

    // The monospace family the glyphs come from: DejaVu Sans Mono, added from its file
    // (platform/fontfiles.h) when the font database does not list it.
    static QString fontFamily();

private:
    struct Palette
    {
        QRgb ink = 0;
        QRgb paper = 0;
        std::array<QImage, 256> cells;
        std::vector<QImage> shades; // indexed by shade, then phase x, then phase y
    };

    Palette &palette(QRgb ink, QRgb paper);
    QImage render(quint8 byte, QRgb ink, QRgb paper, QPoint shadePhase) const;
    void drawLetter(QImage &image, QPoint origin, quint8 byte, QRgb ink) const;
    QPainterPath outlineLetter(quint32 glyph) const;
    std::vector<quint8> romLetter(const QString &text, int &top) const;

    QSize m_cell { 1, 1 };
    bool m_bold = false;
    int m_dotSize = 1;
    QFont m_font; // for characters neither face has
    QRawFont m_rom; // the ROM face at its own size, one pixel a pixel, when it is used
    double m_romScale = 0; // device pixels per ROM pixel; 0 when the outline face is used
    int m_romTop = 0; // the device row of the cell where the ROM's shown rows begin
    QRawFont m_face; // the outline face at a reference size, its design in em / 1000
    double m_scaleX = 1; // device pixels per unit of m_face across
    // The outline face's heights (baseline 0, x-height, cap height, ascent, and -descent
    // below), in face units and the device-pixel rows they are put on.
    std::array<double, 5> m_heights {};
    std::array<double, 5> m_rows {};
    std::vector<Palette> m_palettes; // most recently used first
};

} // namespace textarea
