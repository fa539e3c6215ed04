#pragma once

#include "art/composition.h"

namespace render {

// The text area's cells for one font size and pixel ratio, as coverage: 0 is paper, 255 ink,
// and between them the share of ink in an antialiased edge (the picture's palette index). They
// are made at build time by glyphtable from the text area's own glyph cache.
struct GlyphMasks
{
    int points = 0;
    int ratio = 0;
    art::CellShape shape;
    int firstShade = 0; // the shade bytes, whose cells follow the 256 at each phase
    int shades = 0;
    const unsigned char *cells = nullptr;

    // The cell of a byte, a cell's width a row; phaseX and phaseY are within the shade period.
    const unsigned char *cell(unsigned char byte, int phaseX, int phaseY) const
    {
        const std::ptrdiff_t area = std::ptrdiff_t(shape.width) * shape.height;
        const int shade = byte - firstShade;
        if (shade < 0 || shade >= shades)
            return cells + byte * area;
        const int phase = (shade * shape.shadeHeight + phaseY) * shape.shadeWidth + phaseX;
        return cells + (256 + phase) * area;
    }
};

inline constexpr int GlyphMaskSets = 10;
extern const GlyphMasks AllGlyphMasks[GlyphMaskSets];

// The cells for a font size and pixel ratio, or null when the renderer does not offer them.
inline const GlyphMasks *findGlyphMasks(int points, int ratio)
{
    for (const GlyphMasks &masks : AllGlyphMasks)
        if (masks.points == points && masks.ratio == ratio)
            return &masks;
    return nullptr;
}

} // namespace render
