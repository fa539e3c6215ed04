#include "files.h"
#include "textarea/textpicture.h"
#include "viewer/filereading.h"

#include <QColorSpace>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

const QByteArray artBytes = "\xdb\xdb\xb1 ab\r\ncd\r\n"; // 6 columns, 2 lines

// quorvin-render as a process, as a console or a thumbnail service runs it: no DISPLAY, and a
// platform asked for in the environment that the program must not take.
class TestRender : public QObject
{
    Q_OBJECT

private slots:
    // Each row: the arguments (IN and OUT stand for the files), the input's bytes, the exit
    // status, the start of stderr's first line, and the picture's size (none: no output file).
    // Exit 0 without a picture is --help.
    void options_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QSize>("size");
        const QByteArray tall = QByteArray("\xdb\xdb\r\n").repeated(40); // cut to 2 x 1 cells
        const auto row = [](const char *name, const char *arguments, int status, const char *error,
                             QSize size = {}, const QByteArray &input = artBytes) {
            QTest::newRow(name) << QString::fromUtf8(arguments) << input << status
                                << QString::fromUtf8(error) << size;
        };
        row("defaults", "IN OUT", 0, "", QSize(48, 24));
        row("colours", "--colors 0000FF,FFFF00 IN OUT", 0, "", QSize(48, 24));
        row("help", "--help", 0, "");
        row("size 14, scale 2", "--size 14 --scale=2 IN OUT", 0, "", QSize(156, 76));
        row("thumbnail of the top", "--thumbnail 8 IN OUT", 0, "", QSize(8, 5), tall);
        row("thumbnail small", "--thumbnail 128 --size 9 IN OUT", 0, "", QSize(16, 12), tall);
        row("4 MiB", "--thumbnail 64 IN OUT", 0, "", QSize(10, 7), tall.left(4).repeated(1 << 20));
        row("over 4 MiB", "IN OUT", 1, "cannot read IN: larger than 4 MiB", {},
            artBytes + QByteArray(4 << 20, 'x'));
        row("missing input", "MISSING OUT", 1, "cannot read MISSING: No such file");
        row("directory", "DIR OUT", 1, "cannot read DIR: Is a directory");
        row("unreadable", "/proc/self/mem OUT", 1, "cannot read /proc/self/mem: ");
        row("too large a picture", "IN OUT", 1, "cannot draw IN: the picture would be 8 x 12582912",
            {}, QByteArray(1 << 20, '\n'));
        row("no output folder", "IN DIR/none/OUT", 1, "cannot write DIR/none/OUT: No such file");
        row("output a folder", "IN DIR", 1, "cannot write DIR: ");
        row("bad size", "--size=7 IN OUT", 2, "invalid value '7' for --size");
        row("bad colours", "--colors E0E0E0 IN OUT", 2, "invalid value 'E0E0E0' for --colors");
        row("unknown option", "--width 3 IN OUT", 2, "unknown option --width");
        row("missing value", "IN OUT --scale", 2, "option --scale needs a value");
        row("one file", "IN", 2, "an input and an output file");
    }
    void options()
    {
        QFETCH(QString, arguments);
        QFETCH(QByteArray, input);
        QFETCH(int, status);
        QFETCH(QString, error);
        QFETCH(QSize, size);
        QTemporaryDir dir;
        const QString in = dir.filePath(u"art.nfo"_qs), out = dir.filePath(u"art.png"_qs);
        writeFile(in, input);
        const auto expand = [&](QString text) {
            return text.replace(u"MISSING"_qs, dir.filePath(u"none.nfo"_qs))
                .replace(u"DIR"_qs, dir.path())
                .replace(u"OUT"_qs, out)
                .replace(u"IN"_qs, in);
        };
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(u"DISPLAY"_qs), env.insert(u"QT_QPA_PLATFORM"_qs, u"xcb"_qs);
        process.setProcessEnvironment(env);
        process.start(
            QStringLiteral(QUORVIN_BINARY_DIR "/quorvin-render"), expand(arguments).split(u' '));
        QVERIFY(process.waitForFinished(60000));
        const QStringList lines = QString::fromLocal8Bit(process.readAllStandardError())
                                      .split(u'\n', Qt::SkipEmptyParts);
        QVERIFY2(process.exitCode() == status
                && lines.size()
                    == (status == 0       ? 0
                            : status == 1 ? 1
                                          : 2),
            qPrintable(u"exit %1: "_qs.arg(process.exitCode()) + lines.join(u'\n')));
        if (status != 0)
            QVERIFY2(
                lines[0].startsWith(u"quorvin-render: "_qs + expand(error)), qPrintable(lines[0]));
        if (status == 2)
            QVERIFY(lines[1].startsWith(u"Usage: quorvin-render "_qs));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
            QStringList(u"art.nfo"_qs)
                << (size.isValid() ? QStringList(u"art.png"_qs) : QStringList()));
        const QImage picture(out);
        QCOMPARE(picture.size(), size.isValid() ? size : QSize(0, 0));
        // Each input starts with a full block in the text colour; few colours: indexed.
        const bool blue = arguments.startsWith(u"--colors 0000"_qs);
        QVERIFY(!size.isValid()
            || (picture.pixel(0, 0) == (blue ? qRgb(0, 0, 255) : qRgb(224, 224, 224))
                && picture.colorCount() > 0));
    }

    // The output is written whole or not at all: an empty file that a thumbnail service made
    // ready is filled in place (the same file), a file replaced keeps its permissions, and a
    // failure leaves an existing file as it was.
    void outputIsWholeOrUntouched_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<bool>("inputExists");
        QTest::addColumn<bool>("sameFile");
        QTest::newRow("empty file filled in place") << QByteArray() << true << true;
        QTest::newRow("picture replaced") << QByteArray("old") << true << false;
        QTest::newRow("failure leaves the file") << QByteArray("old") << false << true;
    }
    void outputIsWholeOrUntouched()
    {
        QFETCH(QByteArray, before);
        QFETCH(bool, inputExists);
        QFETCH(bool, sameFile);
        QTemporaryDir dir;
        const QString in = dir.filePath(u"art.nfo"_qs), out = dir.filePath(u"art.png"_qs);
        if (inputExists)
            writeFile(in, artBytes);
        writeFile(out, before);
        QFile::setPermissions(out, QFile::ReadOwner | QFile::WriteOwner);
        const auto status = [&] {
            struct stat info
            { };
            ::stat(QFile::encodeName(out).constData(), &info);
            return info;
        };
        const ino_t was = status().st_ino;
        QCOMPARE(
            QProcess::execute(QStringLiteral(QUORVIN_BINARY_DIR "/quorvin-render"), { in, out }),
            inputExists ? 0 : 1);
        QCOMPARE(status().st_ino == was, sameFile);
        QCOMPARE(status().st_mode & 0777, 0600u);
        QCOMPARE(QDir(dir.path()).count(), uint(inputExists ? 4 : 3)); // with . and ..
        if (inputExists)
            QCOMPARE(QImage(out).size(), QSize(48, 24));
        else
            QCOMPARE(readFile(out), before);
    }

    // The renderer's picture is the text area's own (as Save as Image draws it), pixel for
    // pixel, at every size and scale it offers: every byte, tabs, and shades at every phase.
    void pictureIsTheTextAreas_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("scale");
        for (const int points : { 5, 6, 9, 12, 14 })
            for (const int scale : { 1, 2 })
                QTest::addRow("%d points, scale %d", points, scale) << points << scale;
    }
    void pictureIsTheTextAreas()
    {
        QFETCH(int, points);
        QFETCH(int, scale);
        QByteArray bytes;
        for (int byte = 0; byte < 256; ++byte)
            bytes += QByteArray(1, char(byte)) + (byte % 32 == 31 ? "\r\n" : "");
        bytes += "a\tb\t\xb0\xb1\xb2\tc\r\n\t\xb0\xb1\xb2\xb0\xb1\xb2\xdb\r\n \xb2\xb1\xb0\r\n";
        textarea::PictureStyle style;
        style.points = float(points);
        style.ratio = scale;
        style.textColour = 0x30C0F0, style.backColour = 0x402010; // 0x00BBGGRR
        QImage expected = textarea::TextPicture(viewer::shownText(bytes), style).draw();
        expected.setDevicePixelRatio(1);
        expected.setColorSpace(QColorSpace::SRgb); // as the PNG states

        QTemporaryDir dir;
        const QString in = dir.filePath(u"art.nfo"_qs), out = dir.filePath(u"art.png"_qs);
        writeFile(in, bytes);
        QProcess process;
        process.start(QStringLiteral(QUORVIN_BINARY_DIR "/quorvin-render"),
            { u"--size"_qs, QString::number(points), u"--scale"_qs, QString::number(scale),
                u"--colors"_qs, u"F0C030,102040"_qs, in, out });
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(QImage(out).convertToFormat(QImage::Format_RGB32), expected);
    }
};

QTEST_MAIN(TestRender)
#include "tst_render.moc"
