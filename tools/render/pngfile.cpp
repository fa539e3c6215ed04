#include "pngfile.h"

#include <png.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace render {

namespace {

// Renumbers an indexed picture's indices to the colours in use, in the order of their first
// use (paper, then ink, usually), and gives those colours.
std::vector<std::uint32_t> compacted(Picture &picture)
{
    std::uint8_t *const indices = picture.indices.get();
    const size_t size = picture.pixels();
    std::array<bool, 256> used {};
    for (size_t i = 0; i < size; ++i)
        used[indices[i]] = true;
    std::array<std::uint8_t, 256> newIndex {};
    std::vector<std::uint32_t> palette;
    for (int i = 0; i < 256; ++i) {
        if (used[size_t(i)]) {
            newIndex[size_t(i)] = std::uint8_t(palette.size());
            palette.push_back(picture.palette[size_t(i)]);
        }
    }
    for (size_t i = 0; i < size; ++i)
        indices[i] = newIndex[indices[i]];
    picture.palette = palette;
    return palette;
}

// The colours of a 0xRRGGBB picture as a palette and one index a pixel; false where there are
// more than 256.
bool paletted(
    const Picture &picture, std::vector<std::uint8_t> &indices, std::vector<std::uint32_t> &palette)
{
    indices.resize(picture.pixels());
    std::unordered_map<std::uint32_t, std::uint8_t> known;
    for (size_t i = 0; i < indices.size(); ++i) {
        const auto [at, added] = known.try_emplace(picture.rgb[i], std::uint8_t(palette.size()));
        if (added) {
            if (palette.size() == 256)
                return false;
            palette.push_back(picture.rgb[i]);
        }
        indices[i] = at->second;
    }
    return true;
}

void appendRgb(std::vector<std::uint8_t> &to, std::uint32_t colour)
{
    to.insert(
        to.end(), { std::uint8_t(colour >> 16), std::uint8_t(colour >> 8), std::uint8_t(colour) });
}

std::string systemReason(int error)
{
    return std::strerror(error);
}

// Runs write on an open file and flushes it; the system's reason where the file failed.
std::string writeAndFlush(std::FILE *file, const std::function<std::string(std::FILE *)> &write)
{
    errno = 0;
    std::string why = write(file);
    if (std::fflush(file) != 0 || std::ferror(file))
        why = errno != 0 ? systemReason(errno) : why.empty() ? "write error" : why;
    return why;
}

} // namespace

std::string writePng(Picture &picture, std::FILE *file)
{
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(picture.width);
    image.height = png_uint_32(picture.height);

    std::vector<std::uint8_t> indices;
    std::vector<std::uint32_t> palette;
    std::vector<std::uint8_t> colours; // RGB bytes: the palette's, or every pixel's
    const void *pixels = nullptr;
    if (picture.indices) {
        palette = compacted(picture);
        pixels = picture.indices.get();
    } else if (paletted(picture, indices, palette)) {
        pixels = indices.data();
    } else {
        palette.clear();
        colours.reserve(picture.rgb.size() * 3);
        for (const std::uint32_t colour : picture.rgb)
            appendRgb(colours, colour);
        pixels = colours.data();
    }
    if (palette.empty()) {
        image.format = PNG_FORMAT_RGB;
    } else {
        // libpng writes a palette of n colours in 1, 2, 4 or 8 bits a pixel, as n needs.
        image.format = PNG_FORMAT_RGB_COLORMAP;
        image.colormap_entries = png_uint_32(palette.size());
        for (const std::uint32_t colour : palette)
            appendRgb(colours, colour);
    }
    if (!png_image_write_to_stdio(
            &image, file, 0, pixels, 0, palette.empty() ? nullptr : colours.data()))
        return image.message;
    return {};
}

std::string writeWhole(
    const std::string &path, const std::function<std::string(std::FILE *)> &write)
{
    struct stat existing
    { };
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return systemReason(EISDIR);
    if (exists && S_ISREG(existing.st_mode) && existing.st_size == 0) {
        std::FILE *file = std::fopen(path.c_str(), "r+be");
        if (!file)
            return systemReason(errno);
        std::string why = writeAndFlush(file, write);
        if (std::fclose(file) != 0 && why.empty())
            why = systemReason(errno);
        if (!why.empty() && ::truncate(path.c_str(), 0) != 0) {
            // Nothing more can be done: the file stays as the failure left it.
        }
        return why;
    }

    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return systemReason(errno);
    // The permissions a new file gets (mkstemp makes it private), or those of the file replaced.
    mode_t mode = existing.st_mode & 07777;
    if (!exists || !S_ISREG(existing.st_mode)) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    std::FILE *file = ::fchmod(fd, mode) == 0 ? ::fdopen(fd, "wb") : nullptr;
    std::string why;
    if (!file) {
        why = systemReason(errno);
        ::close(fd);
    } else {
        why = writeAndFlush(file, write);
        if (std::fclose(file) != 0 && why.empty())
            why = systemReason(errno);
    }
    if (why.empty() && ::rename(temporary.c_str(), path.c_str()) == 0)
        return {};
    if (why.empty())
        why = systemReason(errno);
    ::unlink(temporary.c_str());
    return why;
}

} // namespace render
