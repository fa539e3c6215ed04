#pragma once

#include "glyphmasks.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace render {

// The largest file drawn (the viewer's own limit is far lower).
inline constexpr std::int64_t MaxInputBytes = std::int64_t(4) << 20;

// A picture: either indexed (one byte a pixel into palette) or 0xRRGGBB pixels in rgb. The
// indices are left uninitialised when made: a text's picture has millions of pixels, and every
// one is composed.
struct Picture
{
    int width = 0;
    int height = 0;
    std::unique_ptr<std::uint8_t[]> indices;
    std::vector<std::uint32_t> palette;
    std::vector<std::uint32_t> rgb;

    std::size_t pixels() const { return std::size_t(width) * std::size_t(height); }
};

// Colours are 0xRRGGBB.
struct Style
{
    std::uint32_t ink = 0xE0E0E0;
    std::uint32_t paper = 0x000000;
};

// The text drawn for a file's bytes, as the viewer shows that file: read as UTF-8 (its glyphs)
// where the viewer would, then the viewer's line-break rules.
std::string renderedText(std::string_view fileBytes);

// The point size a thumbnail of the requested size (in pixels) is drawn at: small sizes are
// drawn small (5 or 6 points), so that scaling down keeps the art's shapes.
int thumbnailPoints(int pixels);

// A picture of a text as the viewer's text area paints it, with nothing but the text: as many
// columns as the longest line, one row of cells per line (a final line break starts no further
// line), at least one cell. Indexed: index i is i / 255 of the way from paper to ink, as the
// text area mixes them. With thumbnailPixels > 0 it is a thumbnail instead: the top left of the
// picture (at most 400 columns, at most as tall as wide), a bottom cut fading into the paper,
// scaled down smoothly to fit thumbnailPixels on both sides (0xRRGGBB pixels).
// An empty picture when it would be larger than art::MaxPicturePixels (art/picturesize.h); failure
// then says why.
Picture drawPicture(std::string_view text, const GlyphMasks &masks, Style style,
    int thumbnailPixels, std::string &failure);

} // namespace render
