#include "art/picturesize.h"

#include <climits>

namespace art {

std::string pictureSizeRefusal(std::int64_t width, std::int64_t height)
{
    if (width < INT_MAX && height < INT_MAX && width * height <= MaxPicturePixels)
        return {};
    return "the picture would be " + std::to_string(width) + " x " + std::to_string(height)
        + " pixels, more than " + std::to_string(MaxPicturePixels / 1000000) + " million";
}

} // namespace art
