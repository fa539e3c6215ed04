#include "viewer/layout.h"

#include <algorithm>
#include <cmath>

namespace viewer {

int twipsToPixels(float twips)
{
    return int(std::lround(twips / TwipsPerPixel));
}

float pixelsToTwips(int pixels)
{
    return float(pixels) * TwipsPerPixel;
}

int clientWidthForTwips(float widthTwips)
{
    return std::max(0, twipsToPixels(widthTwips - FrameWidthTwips));
}

int clientHeightForTwips(float heightTwips)
{
    return std::max(0, twipsToPixels(heightTwips - FrameHeightTwips));
}

std::optional<TextPlacement> text1Placement(int windowState, float widthTwips, float heightTwips)
{
    switch (windowState) {
    case Maximized:
        return TextPlacement { 40.0f, std::max(0.0f, widthTwips - 180.0f),
            std::max(0.0f, heightTwips - 730.0f) };
    case Normal:
        return TextPlacement { 0.0f, std::max(0.0f, widthTwips - 120.0f),
            std::max(0.0f, heightTwips - 730.0f) };
    default:
        return std::nullopt;
    }
}

bool recordsGeometry(int windowState, bool dizMode)
{
    return windowState == Normal && !dizMode;
}

} // namespace viewer
