#pragma once

#include "art/lines.h"

#include <cstdint>
#include <string>

namespace art {

// The largest picture of a text drawn, in pixels: 256 MiB of 32-bit pixels, the most that
// common image readers (Qt's among them) open by default, so that every picture opens again.
inline constexpr std::int64_t MaxPicturePixels = std::int64_t(1) << 26;

// The lines a picture of a text shows: a text that ends with a break has an empty last line
// (starting at the text's end), and the picture has none.
inline Offset pictureLines(Offset lineCount, Offset lastLineStart, Offset textSize)
{
    return lineCount > 1 && lastLineStart == textSize ? lineCount - 1 : lineCount;
}

// Why a picture of width x height pixels is not drawn, or the empty string when it may be.
std::string pictureSizeRefusal(std::int64_t width, std::int64_t height);

} // namespace art
