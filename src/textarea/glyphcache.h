#pragma once

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRawFont>
#include <QSize>

#include <array>
#include <vector>

namespace textarea {

// Ready-made cell images for the OEM text area, so that a repaint copies pixels instead of
// shaping text. Each image is one cell in device pixels (Format_RGB32): the byte's CP437
// glyph in the ink colour over the paper colour. Block, shade and line-drawing bytes are drawn
// by blockglyphs; the others come from DejaVu Sans Mono, scaled to fit the cell. Images are
// kept per cell size and weight, and per colour pair for the few most recent pairs.
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

    // The monospace family the glyphs come from: DejaVu Sans Mono, added from the system's
    // font folder when the font database does not list it.
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

    QSize m_cell { 1, 1 };
    bool m_bold = false;
    int m_dotSize = 1;
    QFont m_font; // for characters the face lacks
    QRawFont m_face; // the font's own face at the cell's pixel size
    double m_faceAdvance = 0; // the advance of every glyph of the face: it is monospaced
    double m_baseline = 0;
    std::vector<Palette> m_palettes; // most recently used first
};

} // namespace textarea
