#include "picture.h"

#include "art/lines.h"
#include "art/picturesize.h"
#include "art/utf8.h"

#include <algorithm>

namespace render {

namespace {

std::uint32_t channel(std::uint32_t colour, int shift)
{
    return (colour >> shift) & 0xFF;
}

// The text area's mixing of ink into paper, channel by channel.
std::uint32_t mix(std::uint32_t paper, std::uint32_t ink, int coverage, int of = 255)
{
    std::uint32_t colour = 0;
    for (const int shift : { 16, 8, 0 })
        colour |= std::uint32_t(art::mixChannel(
                      int(channel(paper, shift)), int(channel(ink, shift)), coverage, of))
            << shift;
    return colour;
}

// Blends the bottom rows of a cut picture into the paper: the fade covers a quarter of the
// picture, at most eight lines, and reaches the paper on the last row.
void fadeBottom(Picture &picture, std::uint32_t paper, int lineHeight)
{
    const int rows = std::min(picture.height / 4, 8 * lineHeight);
    for (int i = 0; i < rows; ++i) {
        const int y = picture.height - rows + i;
        const int keep = 256 * (rows - 1 - i) / rows; // of 256, down to 0 on the last row
        std::uint32_t *line = picture.rgb.data() + art::Offset(y) * picture.width;
        for (int x = 0; x < picture.width; ++x)
            line[x] = mix(paper, line[x], keep, 256);
    }
}

// Where each target pixel of a side takes its source pixels from, and by how much: the source
// span under it, its end pixels in part (area averaging).
struct Span
{
    int first = 0;
    int last = 0; // inclusive
    float firstWeight = 1;
    float lastWeight = 1;
};

std::vector<Span> spans(int from, int to)
{
    std::vector<Span> result(static_cast<size_t>(to));
    const double step = double(from) / to;
    for (int i = 0; i < to; ++i) {
        const double begin = i * step, end = std::min((i + 1) * step, double(from));
        Span &s = result[size_t(i)];
        s.first = int(begin);
        s.last = std::max(s.first, int(end - 1e-9));
        s.firstWeight = float(std::min(end, s.first + 1.0) - begin);
        s.lastWeight = s.last == s.first ? s.firstWeight : float(end - s.last);
    }
    return result;
}

// Scales 0xRRGGBB pixels down by area averaging, across then down.
Picture scaledDown(const Picture &source, int width, int height)
{
    const std::vector<Span> across = spans(source.width, width);
    const std::vector<Span> down = spans(source.height, height);
    std::vector<float> wide(size_t(width) * size_t(source.height) * 3);
    for (int y = 0; y < source.height; ++y) {
        const std::uint32_t *line = source.rgb.data() + art::Offset(y) * source.width;
        for (int x = 0; x < width; ++x) {
            const Span &s = across[size_t(x)];
            float sum[3] = {}, total = 0;
            for (int i = s.first; i <= s.last; ++i) {
                const float w = i == s.first ? s.firstWeight : i == s.last ? s.lastWeight : 1;
                for (int c = 0; c < 3; ++c)
                    sum[c] += w * float(channel(line[i], 16 - 8 * c));
                total += w;
            }
            for (int c = 0; c < 3; ++c)
                wide[(size_t(y) * size_t(width) + size_t(x)) * 3 + size_t(c)] = sum[c] / total;
        }
    }
    Picture result;
    result.width = width;
    result.height = height;
    result.rgb.resize(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y) {
        const Span &s = down[size_t(y)];
        for (int x = 0; x < width; ++x) {
            float sum[3] = {}, total = 0;
            for (int i = s.first; i <= s.last; ++i) {
                const float w = i == s.first ? s.firstWeight : i == s.last ? s.lastWeight : 1;
                for (int c = 0; c < 3; ++c)
                    sum[c] += w * wide[(size_t(i) * size_t(width) + size_t(x)) * 3 + size_t(c)];
                total += w;
            }
            std::uint32_t colour = 0;
            for (int c = 0; c < 3; ++c)
                colour |= std::uint32_t(std::clamp(int(sum[c] / total + 0.5f), 0, 255))
                    << (16 - 8 * c);
            result.rgb[size_t(y) * size_t(width) + size_t(x)] = colour;
        }
    }
    return result;
}

} // namespace

std::string renderedText(std::string_view fileBytes)
{
    if (art::readsAsUtf8(fileBytes))
        return art::shownText(art::utf8Glyphs(fileBytes));
    return art::shownText(fileBytes);
}

int thumbnailPoints(int pixels)
{
    return pixels <= 128 ? 5 : pixels <= 256 ? 6 : 9;
}

Picture drawPicture(std::string_view text, const GlyphMasks &masks, Style style,
    int thumbnailPixels, std::string &failure)
{
    std::vector<art::Line> lines;
    const art::Offset widest = art::layoutLines(text, lines);
    const art::CellShape cell = masks.shape;
    art::Offset shownLines = art::pictureLines(
        art::Offset(lines.size()), lines.back().start, art::Offset(text.size()));
    const art::Offset wholeLines = shownLines;
    art::Offset columns = std::max<art::Offset>(widest, 1);
    if (thumbnailPixels > 0) {
        // The left of very long lines: five times the width of an NFO's usual 80 columns, and
        // at most as many lines as make the picture as tall as it is wide.
        columns = std::min<art::Offset>(columns, 400);
        shownLines
            = std::min(shownLines, std::max<art::Offset>(1, columns * cell.width / cell.height));
    }
    const std::int64_t width = std::int64_t(columns) * cell.width;
    const std::int64_t height = std::int64_t(shownLines) * cell.height;
    failure = art::pictureSizeRefusal(width, height);
    if (!failure.empty())
        return {};

    Picture picture;
    picture.width = int(width);
    picture.height = int(height);
    picture.indices = std::make_unique_for_overwrite<std::uint8_t[]>(picture.pixels());
    for (int i = 0; i < 256; ++i)
        picture.palette.push_back(mix(style.paper, style.ink, i));
    const auto cellOf = [&masks](unsigned char byte, bool, int phaseX, int phaseY) {
        return masks.cell(byte, phaseX, phaseY);
    };
    for (art::Offset line = 0; line < shownLines; ++line) {
        const art::PixelRows<std::uint8_t> rows {
            picture.indices.get() + line * cell.height * width, width, int(width), cell.height
        };
        const int composed = art::composeLine(rows, text, lines[size_t(line)], line, 0, 0, 0, cell,
            std::uint8_t(255), std::uint8_t(0), cellOf);
        rows.fill(composed, int(width) - composed, 0);
    }
    if (thumbnailPixels <= 0)
        return picture;

    picture.rgb.resize(picture.pixels());
    std::transform(picture.indices.get(), picture.indices.get() + picture.pixels(),
        picture.rgb.begin(), [&](std::uint8_t index) { return picture.palette[index]; });
    picture.indices.reset();
    picture.palette.clear();
    if (shownLines < wholeLines)
        fadeBottom(picture, style.paper, cell.height);
    if (picture.width <= thumbnailPixels && picture.height <= thumbnailPixels)
        return picture;
    // Fits thumbnailPixels on both sides, the aspect kept, each side at least a pixel.
    std::int64_t w = thumbnailPixels, h = std::int64_t(thumbnailPixels) * height / width;
    if (h > thumbnailPixels)
        h = thumbnailPixels, w = std::int64_t(thumbnailPixels) * width / height;
    return scaledDown(
        picture, int(std::max<std::int64_t>(w, 1)), int(std::max<std::int64_t>(h, 1)));
}

} // namespace render
