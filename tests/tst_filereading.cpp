#include "expectedtext.h"
#include "viewer/filereading.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace viewer;

Q_DECLARE_METATYPE(viewer::ReadMode)
Q_DECLARE_METATYPE(viewer::FileType)

namespace {

using expected::converted;

const auto noShow = [](const QByteArray &) {
};
const auto keepGoing = [] {
    return true;
};

} // namespace

// Reading a shown file: the line-break probe, the two reading modes byte for byte, the size
// bound, the progressive display, failures, and the caption and type tests.
class TestFileReading : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    QString fileWith(const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("f%1.nfo").arg(++m_files));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write test file");
        return path;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void probe_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<ReadMode>("mode");
        QTest::addColumn<int>("pumps");
        QTest::newRow("CR first") << QByteArray("ab\r\ncd\r\n") << ReadMode::Direct << 2;
        QTest::newRow("LF first") << QByteArray("ab\ncd\r\n") << ReadMode::Converting << 2;
        QTest::newRow("LF before CR") << QByteArray("\n\r") << ReadMode::Converting << 0;
        QTest::newRow("no break") << QByteArray("abc") << ReadMode::Converting << 3;
        QTest::newRow("empty") << QByteArray() << ReadMode::Converting << 0;
        QTest::newRow("single CR") << QByteArray("\r") << ReadMode::Direct << 0;
        QTest::newRow("NUL bytes are no break") << QByteArray("\0\0\r", 3) << ReadMode::Direct << 2;
        QTest::newRow("64000 bytes without break")
            << QByteArray(MaxFileBytes, 'x') << ReadMode::Converting << int(MaxFileBytes);
        QTest::newRow("break after 10000 bytes") << QByteArray(10000, 'x') + "\r\n"
                                                 << ReadMode::Direct << 10000;
    }
    void probe()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(ReadMode, mode);
        QFETCH(int, pumps);
        int pumped = 0;
        QCOMPARE(probeLineBreaks(fileWith(bytes), [&pumped] { return ++pumped, true; }), mode);
        QCOMPARE(pumped, pumps);
    }

    void probeStopsWhenPumpSaysSo()
    {
        int pumped = 0;
        QVERIFY_THROWS_EXCEPTION(
            LoadAborted, probeLineBreaks(fileWith("abc\r\n"), [&pumped] { return ++pumped < 2; }));
        QCOMPARE(pumped, 2);
    }

    void directRead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("final CR LF left out")
            << QByteArray("ab\r\ncd\r\n") << QByteArray("ab\r\ncd");
        QTest::newRow("no final break keeps all bytes")
            << QByteArray("ab\r\ncd") << QByteArray("ab\r\ncd");
        QTest::newRow("final lone CR") << QByteArray("ab\rcd\r") << QByteArray("ab\rcd");
        QTest::newRow("final lone LF") << QByteArray("ab\rcd\n") << QByteArray("ab\rcd");
        QTest::newRow("only one final break left out")
            << QByteArray("ab\r\n\r\n") << QByteArray("ab\r\n");
        QTest::newRow("CR CR LF loses only CR LF") << QByteArray("ab\r\r\n") << QByteArray("ab\r");
        QTest::newRow("inner lone LF kept")
            << QByteArray("a\r\nb\nc\r\n") << QByteArray("a\r\nb\nc");
        QTest::newRow("single CR gives empty text") << QByteArray("\r") << QByteArray();
        QTest::newRow("CR LF only") << QByteArray("\r\n") << QByteArray();
        QTest::newRow("empty file") << QByteArray() << QByteArray();
        QTest::newRow("bytes unchanged")
            << QByteArray("\0\x1A\xDB\xB0\t\x7F\r\n", 8) << QByteArray("\0\x1A\xDB\xB0\t\x7F", 6);
    }
    void directRead()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, text);
        QCOMPARE(viewer::directRead(fileWith(bytes)), text);
    }

    void convertingRead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("LF first") << QByteArray("ab\ncd\r\n") << QByteArray("ab\r\ncd\r\n");
        QTest::newRow("no break shown whole") << QByteArray("abc") << QByteArray("abc");
        QTest::newRow("empty file") << QByteArray() << QByteArray();
        QTest::newRow("lone CRs dropped") << QByteArray("a\r\rb\r") << QByteArray("ab");
        QTest::newRow("LF only lines") << QByteArray("\n\n") << QByteArray("\r\n\r\n");
        QByteArray every;
        for (int byte = 0; byte < 256; ++byte)
            every += char(byte);
        QTest::newRow("every byte value") << every << converted(every);
        QTest::newRow("64000 LFs double")
            << QByteArray(MaxFileBytes, '\n') << converted(QByteArray(MaxFileBytes, '\n'));
    }
    void convertingRead()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, text);
        QCOMPARE(viewer::convertingRead(fileWith(bytes), noShow, keepGoing), text);
    }

    void convertingReadShowsEvery500Bytes_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("shows");
        QTest::newRow("499 bytes") << 499 << 0;
        QTest::newRow("500 bytes") << 500 << 1;
        QTest::newRow("1200 bytes") << 1200 << 2;
        QTest::newRow("64000 bytes") << int(MaxFileBytes) << 128;
    }
    void convertingReadShowsEvery500Bytes()
    {
        QFETCH(int, size);
        QFETCH(int, shows);
        // Lines of varied length with both kinds of break, so the counter must count dropped CRs.
        QByteArray bytes;
        for (int i = 0; bytes.size() < size; ++i)
            bytes += QByteArray::number(i) + (i % 3 ? "\n" : "\r\n");
        bytes.truncate(size);

        QList<QByteArray> shown;
        int pumped = 0;
        const QByteArray text = viewer::convertingRead(
            fileWith(bytes), [&shown](const QByteArray &soFar) { shown.append(soFar); },
            [&pumped] { return ++pumped, true; });
        QCOMPARE(shown.size(), shows);
        QCOMPARE(pumped, shows);
        for (int i = 0; i < shown.size(); ++i)
            QCOMPARE(shown[i], converted(bytes.left((i + 1) * ProgressPeriod)));
        QCOMPARE(text, converted(bytes));
    }

    void convertingReadStopsWhenPumpSaysSo()
    {
        int shows = 0;
        QVERIFY_THROWS_EXCEPTION(LoadAborted,
            viewer::convertingRead(
                fileWith(QByteArray(1200, 'x')), [&shows](const QByteArray &) { ++shows; },
                [] { return false; }));
        QCOMPARE(shows, 1);
    }

    void sizeLimit()
    {
        const QString atLimit = fileWith(QByteArray(MaxFileBytes, 'x'));
        QCOMPARE(fileLength(atLimit), MaxFileBytes);
        QCOMPARE(viewer::directRead(atLimit).size(), MaxFileBytes);

        // A file past the limit reached the readers (it grew after the size test).
        const QString over = fileWith(QByteArray(MaxFileBytes + 1, 'x'));
        QCOMPARE(fileLength(over), MaxFileBytes + 1);
        QVERIFY_THROWS_EXCEPTION(LoadError, probeLineBreaks(over, keepGoing));
        QVERIFY_THROWS_EXCEPTION(LoadError, viewer::directRead(over));
        QVERIFY_THROWS_EXCEPTION(LoadError, viewer::convertingRead(over, noShow, keepGoing));
        QVERIFY_THROWS_EXCEPTION(
            LoadError, viewer::directRead(fileWith(QByteArray(MaxFileBytes, 'x') + "\r\n")));
    }

    void notAFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("directory") << m_dir.path();
        QTest::newRow("missing") << m_dir.filePath(QStringLiteral("missing.nfo"));
        QTest::newRow("empty path") << QString();
        QTest::newRow("quoted name") << QStringLiteral("\"x.nfo\"");
    }
    void notAFile()
    {
        QFETCH(QString, path);
        QVERIFY_THROWS_EXCEPTION(LoadError, fileLength(path));
        QVERIFY_THROWS_EXCEPTION(LoadError, probeLineBreaks(path, keepGoing));
        QVERIFY_THROWS_EXCEPTION(LoadError, viewer::directRead(path));
        QVERIFY_THROWS_EXCEPTION(LoadError, viewer::convertingRead(path, noShow, keepGoing));
    }

    void fifoIsRefusedWithoutBlocking()
    {
        const QString path = m_dir.filePath(QStringLiteral("pipe.nfo"));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        QVERIFY_THROWS_EXCEPTION(LoadError, fileLength(path));
        QVERIFY_THROWS_EXCEPTION(LoadError, probeLineBreaks(path, keepGoing));
        QVERIFY_THROWS_EXCEPTION(LoadError, viewer::convertingRead(path, noShow, keepGoing));
    }

    void unreadableFile()
    {
        if (::geteuid() == 0)
            QSKIP("root reads files without read permission");
        const QString path = fileWith("abc");
        QVERIFY(QFile::setPermissions(path, QFile::WriteOwner));
        QVERIFY_THROWS_EXCEPTION(LoadError, probeLineBreaks(path, keepGoing));
        QVERIFY_THROWS_EXCEPTION(LoadError, viewer::directRead(path));
    }

    void captionFor_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("caption");
        QTest::newRow("lower-cased name")
            << QStringLiteral("/NFO/README.NFO") << QStringLiteral("readme.nfo - Quorvin");
        QTest::newRow("no separator")
            << QStringLiteral("readme.nfo") << QStringLiteral("readme.nfo - Quorvin");
        QTest::newRow("quotes kept")
            << QStringLiteral("\"x.nfo\"") << QStringLiteral("\"x.nfo\" - Quorvin");
        QTest::newRow("trailing separator")
            << QStringLiteral("/tmp/") << QStringLiteral(" - Quorvin");
        QTest::newRow("non-ASCII")
            << QStringLiteral("/x/\u00C4RGER.DIZ") << QStringLiteral("\u00E4rger.diz - Quorvin");
        QTest::newRow("empty") << QString() << QStringLiteral(" - Quorvin");
    }
    void captionFor()
    {
        QFETCH(QString, path);
        QFETCH(QString, caption);
        QCOMPARE(viewer::captionFor(path), caption);
    }

    void fileTypes_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<FileType>("open");
        QTest::addColumn<FileType>("drop");
        QTest::addColumn<FileType>("commandLine");
        const FileType N = FileType::Nfo, D = FileType::Diz, O = FileType::Other;
        QTest::newRow("FILE_ID.DIZ") << QStringLiteral("/a/FILE_ID.DIZ") << D << D << D;
        QTest::newRow("file_id.diz") << QStringLiteral("/a/file_id.diz") << D << O << D;
        QTest::newRow("README.NFO") << QStringLiteral("README.NFO") << N << N << N;
        QTest::newRow("readme.nfo") << QStringLiteral("readme.nfo") << N << O << N;
        QTest::newRow("readme.info") << QStringLiteral("readme.info") << N << O << N;
        QTest::newRow("mixed case Nfo") << QStringLiteral("x.Nfo") << N << O << N;
        QTest::newRow("notes.txt") << QStringLiteral("notes.txt") << O << O << N;
        QTest::newRow("no dot before DIZ") << QStringLiteral("XDIZ") << D << D << N;
        QTest::newRow("quoted diz") << QStringLiteral("\"x.diz\"") << O << O << N;
        QTest::newRow("three characters") << QStringLiteral("DIZ") << D << D << N;
        QTest::newRow("two characters") << QStringLiteral("IZ") << O << O << N;
        QTest::newRow("empty") << QString() << O << O << N;
    }
    void fileTypes()
    {
        QFETCH(QString, path);
        QFETCH(FileType, open);
        QFETCH(FileType, drop);
        QFETCH(FileType, commandLine);
        QCOMPARE(openFileType(path), open);
        QCOMPARE(dropFileType(path), drop);
        QCOMPARE(commandLineFileType(path), commandLine);
    }
};

QTEST_MAIN(TestFileReading)
#include "tst_filereading.moc"
