#include "files.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// quorvin-render as a process, as a console or a thumbnail service runs it: no DISPLAY, and a
// platform asked for in the environment that the program must not take.
class TestRender : public QObject
{
    Q_OBJECT

private slots:
    // Each row: the arguments (IN and OUT stand for the files), the input's bytes, the exit
    // status, the start of stderr's first line, and the picture's size (none: no output file).
    void options_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QSize>("size");
        const QByteArray art = "\xdb\xdb\xb1 ab\r\ncd\r\n"; // 6 columns, 2 lines
        const QByteArray tall = QByteArray("\xdb\xdb\r\n").repeated(40); // cut to 2 x 1 cells
        const auto row = [](const char *name, const char *arguments, const QByteArray &input,
                             int status, const char *error, QSize size) {
            QTest::newRow(name) << QString::fromUtf8(arguments) << input << status
                                << QString::fromUtf8(error) << size;
        };
        row("defaults", "IN OUT", art, 0, "", QSize(48, 24));
        row("size 14, scale 2", "--size 14 --scale=2 IN OUT", art, 0, "", QSize(156, 76));
        row("thumbnail of the top", "--thumbnail 8 IN OUT", tall, 0, "", QSize(8, 5));
        row("thumbnail small", "--thumbnail 128 --size 9 IN OUT", tall, 0, "", QSize(16, 12));
        row("4 MiB", "--thumbnail 64 IN OUT", tall.left(4).repeated(1 << 20), 0, "", QSize(10, 7));
        row("over 4 MiB", "IN OUT", QByteArray((4 << 20) + 1, 'x'), 1,
            "cannot read IN: larger than 4 MiB", QSize());
        row("missing input", "MISSING OUT", art, 1,
            "cannot read MISSING: No such file or directory", QSize());
        row("directory", "DIR OUT", art, 1, "cannot read DIR: Is a directory", QSize());
        row("unreadable", "/proc/self/mem OUT", art, 1, "cannot read /proc/self/mem: ", QSize());
        row("too large a picture", "IN OUT", QByteArray(1 << 20, '\n'), 1,
            "cannot draw IN: the picture would be 8 x 12582912", QSize());
        row("no output folder", "IN DIR/none/OUT", art, 1,
            "cannot write DIR/none/OUT: No such file or directory", QSize());
        row("output a folder", "IN DIR", art, 1, "cannot write DIR: ", QSize());
        row("bad size", "--size 7 IN OUT", art, 2, "invalid value '7' for --size", QSize());
        row("bad colours", "--colors E0E0E0 IN OUT", art, 2, "invalid value 'E0E0E0' for --colors",
            QSize());
        row("bad thumbnail", "--thumbnail 0 IN OUT", art, 2, "invalid value '0' for --thumbnail",
            QSize());
        row("unknown option", "--width 3 IN OUT", art, 2, "unknown option --width", QSize());
        row("missing value", "IN OUT --scale", art, 2, "option --scale needs a value", QSize());
        row("one file", "IN", art, 2, "an input and an output file", QSize());
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
        QStringList words = arguments.split(u' ');
        const auto expand = [&](QString text) {
            return text.replace(u"MISSING"_qs, dir.filePath(u"none.nfo"_qs))
                .replace(u"DIR"_qs, dir.path())
                .replace(u"OUT"_qs, out)
                .replace(u"IN"_qs, in);
        };
        for (QString &word : words)
            word = expand(word);
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(u"DISPLAY"_qs);
        env.insert(u"QT_QPA_PLATFORM"_qs, u"xcb"_qs);
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(QUORVIN_BINARY_DIR "/quorvin-render"), words);
        QVERIFY(process.waitForFinished(60000));
        const QStringList lines = QString::fromLocal8Bit(process.readAllStandardError())
                                      .split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(process.exitCode(), status);
        QCOMPARE(lines.size(), status == 0 ? 0 : status == 1 ? 1 : 2);
        if (status != 0)
            QVERIFY2(
                lines[0].startsWith(u"quorvin-render: "_qs + expand(error)), qPrintable(lines[0]));
        if (status == 2)
            QVERIFY(lines[1].startsWith(u"Usage: quorvin-render "_qs));
        QCOMPARE(QFileInfo(out).isFile(), size.isValid());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
            QStringList(u"art.nfo"_qs)
                << (size.isValid() ? QStringList(u"art.png"_qs) : QStringList()));
        const QImage picture(out);
        QCOMPARE(picture.size(), size.isValid() ? size : QSize(0, 0));
        if (size == QSize(48, 24)) // light grey full blocks on black; a few colours, indexed
            QVERIFY(picture.pixel(0, 0) == qRgb(224, 224, 224)
                && picture.pixel(47, 23) == qRgb(0, 0, 0)
                && picture.format() == QImage::Format_Indexed8);
    }

    void helpAndVersion()
    {
        QProcess process;
        process.start(QStringLiteral(QUORVIN_BINARY_DIR "/quorvin-render"), { u"--help"_qs });
        QVERIFY(process.waitForFinished(60000) && process.exitCode() == 0);
        QVERIFY(process.readAllStandardOutput().startsWith("Usage: quorvin-render [--size"));
    }
};

QTEST_MAIN(TestRender)
#include "tst_render.moc"
