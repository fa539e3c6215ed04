// Feeds arbitrary bytes to quorvin-render's reading and drawing: the viewer's reading of the
// file's bytes, then a whole picture or a thumbnail at a size, ratio and font size taken from
// the first byte. Checks that every picture has the size its text asks for, that a thumbnail
// fits the requested size, and that a picture is refused only with a reason.
#include "textarea/textpicture.h"
#include "viewer/rendering.h"

#include <QGuiApplication>

#include <cstdint>
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
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QByteArray text = viewer::renderedText(bytes);

    textarea::PictureStyle style;
    const float sizes[] = { 5, 6, 9, 12, 14 };
    style.points = sizes[(options & 7) % 5];
    style.ratio = options & 8 ? 2 : 1;
    style.bold = options & 16;
    const int thumbnail = options & 32 ? 1 + (options >> 6) * 60 : 0;

    QString why;
    const QImage picture = viewer::renderPicture(text, style, thumbnail, &why);
    check(picture.isNull() != why.isEmpty());
    if (picture.isNull())
        return 0;
    if (thumbnail > 0) {
        check(picture.width() <= thumbnail && picture.height() <= thumbnail);
        return 0;
    }
    const textarea::TextPicture whole(text, style);
    const QSize cell = whole.deviceCellSize();
    check(picture.size()
        == QSize(int(whole.columns() * cell.width()), int(whole.lines() * cell.height())));
    return 0;
}
