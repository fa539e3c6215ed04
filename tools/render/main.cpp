// quorvin-render: draws a text file as Quorvin's window shows it into a PNG file, or a small
// thumbnail of it for the desktop's thumbnail service. It loads no toolkit and needs no
// display: a thumbnail service starts it once a file, so it starts in a few milliseconds. Its
// cells are the text area's own, made at build time (glyphmasks.h). Errors are one line on
// stderr; exit 1 for a failure, 2 for bad usage; the output is written whole or not at all.

#include "picture.h"
#include "pngfile.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const char *const Usage = "Usage: quorvin-render [--size 5|6|9|12|14] [--scale 1|2] "
                          "[--colors RRGGBB,RRGGBB] [--thumbnail PIXELS] INPUT OUTPUT.png\n";

const char *const Help
    = "Draws a text file (code page 437 or UTF-8 art, .nfo and .diz) as the Quorvin viewer\n"
      "shows it, into a PNG picture: the whole text, in cells of the font size.\n\n"
      "  --size POINTS      font size: 5, 6, 9, 12 or 14 (default 9: 8 x 12 pixel cells)\n"
      "  --scale RATIO      device pixel ratio: 1 or 2 (default 1)\n"
      "  --colors TEXT,BACK text and background colours as RRGGBB (default E0E0E0,000000)\n"
      "  --thumbnail PIXELS a thumbnail at most PIXELS on each side: the top of the art\n"
      "  --help             this help\n"
      "  --version          the version\n\n"
      "INPUT may be up to 4 MiB. The output is written whole or not at all.\n";

struct Options
{
    render::Style style;
    int points = 9;
    bool sizeGiven = false;
    int ratio = 1;
    int thumbnail = 0;
    std::string input;
    std::string output;
};

// Bad usage (exit 2) and a failure (exit 1), each with what went wrong.
struct UsageError
{
    std::string what;
};

struct Failure
{
    std::string what;
};

// A whole decimal or hexadecimal number, nothing else.
std::optional<int> number(std::string_view text, int base = 10)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// A colour RRGGBB as 0xRRGGBB.
std::optional<std::uint32_t> colour(std::string_view text)
{
    const auto value
        = text.size() == 6 && text[0] != '-' && text[0] != '+' ? number(text, 16) : std::nullopt;
    return value ? std::optional<std::uint32_t>(std::uint32_t(*value)) : std::nullopt;
}

Options parse(const std::vector<std::string> &arguments)
{
    Options options;
    std::vector<std::string> files;
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::string argument = arguments[i];
        if (argument == "--") {
            files.insert(files.end(), arguments.begin() + std::ptrdiff_t(i + 1), arguments.end());
            break;
        }
        if (!argument.starts_with("--") || argument.size() == 2) {
            files.push_back(argument);
            continue;
        }
        std::string value;
        const size_t equals = argument.find('=');
        const bool takesValue = argument != "--help" && argument != "--version";
        if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
            argument.resize(equals);
        } else if (takesValue) {
            if (i + 1 >= arguments.size())
                throw UsageError { "option " + argument + " needs a value" };
            value = arguments[++i];
        }
        const auto bad = [&](const char *expected) {
            return UsageError { "invalid value '" + value + "' for " + argument + ": expected "
                + expected };
        };
        if (argument == "--size") {
            const auto size = number(value);
            if (!size || (*size != 5 && *size != 6 && *size != 9 && *size != 12 && *size != 14))
                throw bad("5, 6, 9, 12 or 14");
            options.points = *size;
            options.sizeGiven = true;
        } else if (argument == "--scale") {
            const auto scale = number(value);
            if (!scale || (*scale != 1 && *scale != 2))
                throw bad("1 or 2");
            options.ratio = *scale;
        } else if (argument == "--colors") {
            const size_t comma = value.find(',');
            const auto text = colour(std::string_view(value).substr(0, comma));
            const auto back = comma == std::string::npos
                ? std::nullopt
                : colour(std::string_view(value).substr(comma + 1));
            if (!text || !back)
                throw bad("two colours RRGGBB,RRGGBB");
            options.style = { *text, *back };
        } else if (argument == "--thumbnail") {
            const auto pixels = number(value);
            if (!pixels || *pixels < 1 || *pixels > 4096)
                throw bad("a number of pixels from 1 to 4096");
            options.thumbnail = *pixels;
        } else if (argument == "--help" && equals == std::string::npos) {
            std::fputs(Usage, stdout);
            std::fputs(Help, stdout);
            std::exit(0);
        } else if (argument == "--version" && equals == std::string::npos) {
            std::puts("quorvin-render " QUORVIN_VERSION);
            std::exit(0);
        } else {
            throw UsageError { "unknown option " + argument };
        }
    }
    if (files.size() != 2)
        throw UsageError { files.size() < 2 ? "an input and an output file are needed"
                                            : "too many files" };
    options.input = files[0];
    options.output = files[1];
    return options;
}

// The input file's bytes, up to MaxInputBytes. Only regular files are read: a directory is no
// text, and a FIFO or device could block or never end.
std::string readInput(const std::string &path)
{
    const auto fail = [&](const std::string &why) {
        return Failure { "cannot read " + path + ": " + why };
    };
    struct stat info
    { };
    if (::stat(path.c_str(), &info) != 0)
        throw fail(std::strerror(errno));
    if (S_ISDIR(info.st_mode))
        throw fail(std::strerror(EISDIR));
    if (!S_ISREG(info.st_mode))
        throw fail("not a regular file");
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw fail(std::strerror(errno));
    // The size as stated is a hint: the file is read to its end, or one byte past the limit.
    std::string bytes(
        size_t(std::min<std::int64_t>(info.st_size, render::MaxInputBytes) + 1), '\0');
    size_t length = 0;
    for (;;) {
        if (length == bytes.size()) {
            if (std::int64_t(length) > render::MaxInputBytes)
                break;
            bytes.resize(std::min<size_t>(2 * length, size_t(render::MaxInputBytes) + 1));
        }
        const ssize_t n = ::read(fd, bytes.data() + length, bytes.size() - length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            throw fail(std::strerror(error));
        }
        if (n == 0)
            break;
        length += size_t(n);
    }
    ::close(fd);
    if (std::int64_t(length) > render::MaxInputBytes)
        throw fail("larger than 4 MiB");
    bytes.resize(length);
    return bytes;
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    try {
        options = parse(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError &error) {
        std::fprintf(stderr, "quorvin-render: %s\n%s", error.what.c_str(), Usage);
        return 2;
    }
    try {
        if (options.thumbnail > 0 && !options.sizeGiven)
            options.points = render::thumbnailPoints(options.thumbnail);
        const render::GlyphMasks *masks = render::findGlyphMasks(options.points, options.ratio);
        const std::string text = render::renderedText(readInput(options.input));
        std::string why;
        render::Picture picture
            = render::drawPicture(text, *masks, options.style, options.thumbnail, why);
        if (picture.width == 0)
            throw Failure { "cannot draw " + options.input + ": " + why };
        why = render::writeWhole(
            options.output, [&](std::FILE *file) { return render::writePng(picture, file); });
        if (!why.empty())
            throw Failure { "cannot write " + options.output + ": " + why };
    } catch (const Failure &failure) {
        std::fprintf(stderr, "quorvin-render: %s\n", failure.what.c_str());
        return 1;
    }
    return 0;
}
