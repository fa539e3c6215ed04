// Feeds arbitrary bytes to quorvin-render's reading and drawing: the reading of the file's
// bytes, then a whole picture or a thumbnail at a size, ratio and colours taken from the first
// byte, written as PNG into memory. A whole picture must be the text area's own picture of the
// same text, pixel for pixel; a thumbnail must fit the requested size; a picture is refused
// only with a reason.
#include "picture.h"
#include "pngfile.h"
#include "textarea/textpicture.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_render";
    static char *argv[] = { name, nullptr };
    static QGuiApplication *app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
    if (size == 0)
        return 0;
    const std::uint8_t options = data[0];
    const std::string text = render::renderedText(
        std::string_view(reinterpret_cast<const char *>(data + 1), size - 1));
    const int sizes[] = { 5, 6, 9, 12, 14 };
    const int points = sizes[(options & 7) % 5];
    const int ratio = options & 8 ? 2 : 1;
    const render::Style style
        = options & 16 ? render::Style { 0x20F0A0, 0x301008 } : render::Style {};
    const int thumbnail = options & 32 ? 1 + (options >> 6) * 60 : 0;

    std::string why;
    render::Picture picture
        = render::drawPicture(text, *render::findGlyphMasks(points, ratio), style, thumbnail, why);
    check((picture.width == 0) != why.empty());
    if (picture.width == 0)
        return 0;
    if (thumbnail > 0) {
        check(picture.width <= thumbnail && picture.height <= thumbnail);
    } else if (picture.pixels() <= 1 << 20) {
        textarea::PictureStyle areaStyle;
        areaStyle.points = float(points);
        areaStyle.ratio = ratio;
        const auto bgr = [](std::uint32_t rgb) {
            return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
        };
        areaStyle.textColour = bgr(style.ink);
        areaStyle.backColour = bgr(style.paper);
        const QImage expected
            = textarea::TextPicture(QByteArray(text.data(), qsizetype(text.size())), areaStyle)
                  .draw();
        check(expected.width() == picture.width && expected.height() == picture.height);
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                check((expected.pixel(x, y) & 0xFFFFFF)
                    == picture.palette[picture.indices[size_t(y) * size_t(picture.width)
                        + size_t(x)]]);
    }
    char *png = nullptr;
    size_t pngSize = 0;
    std::FILE *file = open_memstream(&png, &pngSize);
    check(render::writePng(picture, file).empty());
    std::fclose(file);
    check(pngSize > 8);
    std::free(png);
    return 0;
}
