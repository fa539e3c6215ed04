// quorvin-render: draws a text file as Quorvin's window shows it into a PNG file, or a small
// thumbnail of it for the desktop's thumbnail service. It needs no display: it always runs on
// Qt's offscreen platform. Errors are one line on stderr; exit 1 for a failure, 2 for bad
// usage; the output is written whole or not at all.

#include "textarea/textpicture.h"
#include "viewer/picturefile.h"
#include "viewer/rendering.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <optional>

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
    textarea::PictureStyle style;
    bool sizeGiven = false;
    int thumbnail = 0;
    QString input;
    QString output;
};

struct UsageError
{
    QString what;
};

struct Failure
{
    QString what;
};

// Colour from RRGGBB to the viewer's 0x00BBGGRR.
std::optional<platform::Colour> parseColour(const QString &text)
{
    bool ok = false;
    const uint rgb = text.toUInt(&ok, 16);
    if (text.size() != 6 || !ok)
        return std::nullopt;
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

Options parse(const QStringList &arguments)
{
    Options options;
    QStringList files;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString argument = arguments[i];
        if (argument == QLatin1String("--")) {
            files += arguments.mid(i + 1);
            break;
        }
        if (!argument.startsWith(QLatin1String("--")) || argument.size() == 2) {
            files << argument;
            continue;
        }
        QString value;
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        const bool takesValue
            = argument != QLatin1String("--help") && argument != QLatin1String("--version");
        if (equals > 0) {
            value = argument.mid(equals + 1);
            argument.truncate(equals);
        } else if (takesValue) {
            if (i + 1 >= arguments.size())
                throw UsageError { QStringLiteral("option %1 needs a value").arg(argument) };
            value = arguments[++i];
        }
        const auto bad = [&](const char *expected) {
            return UsageError { QStringLiteral("invalid value '%1' for %2: expected %3")
                                    .arg(value, argument, QLatin1String(expected)) };
        };
        bool ok = false;
        if (argument == QLatin1String("--size")) {
            const int size = value.toInt(&ok);
            if (!ok || (size != 5 && size != 6 && size != 9 && size != 12 && size != 14))
                throw bad("5, 6, 9, 12 or 14");
            options.style.points = float(size);
            options.sizeGiven = true;
        } else if (argument == QLatin1String("--scale")) {
            const int scale = value.toInt(&ok);
            if (!ok || (scale != 1 && scale != 2))
                throw bad("1 or 2");
            options.style.ratio = scale;
        } else if (argument == QLatin1String("--colors")) {
            const QStringList pair = value.split(QLatin1Char(','));
            const auto text = parseColour(pair.value(0));
            const auto back = parseColour(pair.value(1));
            if (pair.size() != 2 || !text || !back)
                throw bad("two colours RRGGBB,RRGGBB");
            options.style.textColour = *text;
            options.style.backColour = *back;
        } else if (argument == QLatin1String("--thumbnail")) {
            options.thumbnail = value.toInt(&ok);
            if (!ok || options.thumbnail < 1 || options.thumbnail > 4096)
                throw bad("a number of pixels from 1 to 4096");
        } else if (argument == QLatin1String("--help") && equals < 0) {
            std::fputs(Usage, stdout);
            std::fputs(Help, stdout);
            std::exit(0);
        } else if (argument == QLatin1String("--version") && equals < 0) {
            std::puts("quorvin-render " QUORVIN_VERSION);
            std::exit(0);
        } else {
            throw UsageError { QStringLiteral("unknown option %1").arg(argument) };
        }
    }
    if (files.size() != 2)
        throw UsageError { files.size() < 2
                ? QStringLiteral("an input and an output file are needed")
                : QStringLiteral("too many files") };
    options.input = files[0];
    options.output = files[1];
    return options;
}

// The input file's bytes, up to MaxRenderBytes.
QByteArray readInput(const QString &path)
{
    const QFileInfo info(path);
    const auto fail = [&](const QString &why) {
        return Failure { QStringLiteral("cannot read %1: %2").arg(path, why) };
    };
    if (!info.exists())
        throw fail(QStringLiteral("No such file or directory"));
    if (info.isDir())
        throw fail(QStringLiteral("Is a directory"));
    if (!info.isFile())
        throw fail(QStringLiteral("not a regular file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw fail(file.errorString());
    const QByteArray bytes = file.read(viewer::MaxRenderBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw fail(file.errorString());
    if (bytes.size() > viewer::MaxRenderBytes)
        throw fail(QStringLiteral("larger than 4 MiB"));
    return bytes;
}

void printError(const QString &what)
{
    std::fprintf(stderr, "quorvin-render: %s\n", qPrintable(what));
}

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    Options options;
    try {
        options = parse(arguments);
    } catch (const UsageError &error) {
        printError(error.what);
        std::fputs(Usage, stderr);
        return 2;
    }

    // The offscreen platform whatever the session offers: thumbnail services run this with no
    // display, and a display would only cost a connection. Qt gets none of the arguments.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's own notes (such as a missing runtime folder) are no concern of the user's: stderr
    // carries this program's one line.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);

    try {
        textarea::PictureStyle style = options.style;
        if (options.thumbnail > 0 && !options.sizeGiven)
            style.points = viewer::thumbnailPoints(options.thumbnail);
        const QByteArray text = viewer::renderedText(readInput(options.input));
        QString why;
        const QImage picture = viewer::renderPicture(text, style, options.thumbnail, &why);
        if (picture.isNull())
            throw Failure { QStringLiteral("cannot draw %1: %2").arg(options.input, why) };
        why = viewer::writePng(picture, options.output);
        if (!why.isEmpty())
            throw Failure { QStringLiteral("cannot write %1: %2").arg(options.output, why) };
    } catch (const Failure &failure) {
        printError(failure.what);
        return 1;
    }
    return 0;
}
