// Reading a shown file: the line-break probe, both reading modes byte for byte, the limit; loads
// through the Open command ('o'), a drop ('d') and the command line ('c'), real sample files
// among them: captions, type tests, window sizes, and loads that arrive during a load.

#include "expectedtext.h"
#include "programfixture.h"

#include "platform/droptarget.h"
#include "viewer/filereading.h"

#include <QTimer>
#include <sys/stat.h>

using namespace viewer;

class TestReading : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;
    static void noShow(const QByteArray &) { }
    static bool keepGoing() { return true; }
    // What a load shows: the file less one final break when a CR is its first break; else every
    // LF as CR LF and every CR dropped.
    static QByteArray shownFor(const QByteArray &bytes)
    {
        const qsizetype cr = bytes.indexOf('\r'), lf = bytes.indexOf('\n');
        return cr >= 0 && (lf < 0 || cr < lf) ? expected::withoutFinalBreak(bytes)
                                              : expected::converted(bytes);
    }

    QString fileWith(const QByteArray &bytes, const QString &name = QStringLiteral("f.nfo"))
    {
        const QString path = m_dir.filePath(QString::number(++m_files) + u'/' + name);
        QDir().mkpath(QFileInfo(path).path());
        writeFile(path, bytes);
        return QDir::toNativeSeparators(path); // as the dialog and a drop give it
    }

private slots:
    // The probe's mode ('D' direct, 'C' converting) and how many bytes it lets events run
    // after; that mode's read gives what a load shows, the converting read showing the text so
    // far every 500 bytes read (a dropped CR counted).
    void readingRules_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<char>("mode");
        QTest::addColumn<int>("pumps");
        QByteArray mixed;
        for (int i = 0; mixed.size() < MaxFileBytes; ++i)
            mixed += QByteArray::number(i) + (i % 3 ? "\r\n" : "\n");
        QTest::newRow("CR first") << QByteArray("ab\r\ncd\r\n") << 'D' << 2;
        QTest::newRow("LF first") << QByteArray("ab\ncd\r\n") << 'C' << 2;
        QTest::newRow("empty") << QByteArray() << 'C' << 0;
        QTest::newRow("direct, final LF") << QByteArray("\0\xDB\rc\n", 5) << 'D' << 2;
        QTest::newRow("direct, two final breaks") << QByteArray("a\r\nb\nc\r\n\r\n") << 'D' << 1;
        QTest::newRow("converting, CRs dropped") << QByteArray("\na\r\rb\r") << 'C' << 0;
        QTest::newRow("converting, bytes kept") << QByteArray("\x1A\x7F\xFF\t\n", 5) << 'C' << 4;
        QTest::newRow("499 mixed") << mixed.left(499) << 'C' << 1;
        QTest::newRow("64000 mixed") << mixed.left(MaxFileBytes) << 'C' << 1;
        QTest::newRow("64000 bytes, no break") << QByteArray(MaxFileBytes, 'x') << 'C' << 64000;
    }
    void readingRules()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(char, mode);
        const QString path = fileWith(bytes);
        int pumped = 0;
        QCOMPARE(probeLineBreaks(path, [&pumped] { return ++pumped, true; }),
            mode == 'D' ? ReadMode::Direct : ReadMode::Converting);
        QTEST(pumped, "pumps");
        QList<QByteArray> shown;
        QCOMPARE(mode == 'D' ? directRead(path)
                             : convertingRead(
                                 path, [&](const QByteArray &soFar) { shown << soFar; }, keepGoing),
            shownFor(bytes));
        QCOMPARE(shown.size(), mode == 'D' ? 0 : bytes.size() / ProgressPeriod);
        for (int i = 0; i < shown.size(); ++i)
            QCOMPARE(shown[i], expected::converted(bytes.left((i + 1) * ProgressPeriod)));
    }

    void readersRefuseWhatIsNoFileOrTooLarge()
    {
        const QString fifo = m_dir.filePath(QStringLiteral("pipe.nfo"));
        const QString over = fileWith(QByteArray(MaxFileBytes + 1, 'x')); // grown since tested
        QStringList refused { m_dir.path(), QString(), over };
#ifdef Q_OS_UNIX // Windows has no FIFO in its file system
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        refused << fifo;
#endif
        for (const QString &path : refused) {
            QVERIFY_THROWS_EXCEPTION(LoadError, probeLineBreaks(path, keepGoing));
            QVERIFY_THROWS_EXCEPTION(LoadError, convertingRead(path, noShow, keepGoing));
            if (path != fifo)
                QVERIFY_THROWS_EXCEPTION(LoadError, directRead(path));
        }
        QVERIFY_THROWS_EXCEPTION(LoadError, directRead(fileWith(QByteArray(64000, 'x') + "\r\n")));
        const QString closing = fileWith(QByteArray(1200, 'x'));
        QVERIFY_THROWS_EXCEPTION(LoadAborted, probeLineBreaks(closing, [] { return false; }));
        QVERIFY_THROWS_EXCEPTION(
            LoadAborted, convertingRead(closing, noShow, [] { return false; }));
    }

    // Files loaded in turn through one entry, the window widened after each but the last.
    // Files hold "ab\r\ncd\r\n", or as many bytes of 0xDB as their name's digits; a missing
    // one is not written; an absolute path is a shared sample. Stored sizes are whole pixels:
    // NFO 10005 x 5995 twips, DIZ 6015 x 2995.
    void loadThroughAnEntry_data()
    {
        QTest::addColumn<char>("entry");
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("expected"); // "refused", "bad", or the type and width
        const auto row = [](char entry, const QString &names, const char *expected) {
            QTest::addRow("%c %s", entry, qPrintable(QFileInfo(names).fileName()))
                << entry << names << QString::fromLatin1(expected);
        };
        for (const char entry : { 'o', 'd', 'c' }) {
            row(entry, QStringLiteral("64000.nfo"), "nfo 10005");
            row(entry, QStringLiteral("64001.nfo"), "refused");
        }
        row('d', QStringLiteral("missing.nfo"), "bad");
        row('c', QStringLiteral("missing.nfo"), "bad");
        row('o', QStringLiteral("file_id.diz"), "diz 6015");
        row('d', QStringLiteral("FILE_ID.DIZ"), "diz 6015");
        row('d', QStringLiteral("file_id.diz"), "nfo 10005");
        row('c', QStringLiteral("file_id.Diz"), "diz 6015");
        row('o', QStringLiteral("r.NFO r.NFO"), "nfo 12000"); // Open keeps the width the user gave
        row('d', QStringLiteral("r.NFO r.NFO"), "nfo 10005"); // a drop restores the width at start
        row('d', QStringLiteral("a.DIZ b.NFO"), "nfo 10005");
        const QDir samples(QStringLiteral(QUORVIN_SOURCE_DIR "/../shared/samples"));
        for (const QFileInfo &sample : samples.entryInfoList(
                 { QStringLiteral("*.nfo"), QStringLiteral("*.diz") }, QDir::Files))
            row('c', sample.filePath(),
                sample.suffix().toLower() == QLatin1String("diz") ? "diz 6015" : "nfo 10005");
    }
    void loadThroughAnEntry()
    {
        QFETCH(char, entry);
        QFETCH(QString, names);
        QStringList paths;
        QByteArray bytes;
        for (const QString &name : names.split(u' ')) {
            bytes = name.front().isDigit() ? QByteArray(name.chopped(4).toInt(), '\xDB')
                                           : QByteArray("ab\r\ncd\r\n");
            paths << (QDir::isAbsolutePath(name) ? name : fileWith(bytes, name));
            if (name.startsWith(QLatin1String("missing")))
                QVERIFY(QFile::remove(paths.last()));
            else
                bytes = readFile(paths.last());
        }
        ProgramFixture fixture(entry == 'c' ? paths.first() : QString());
        fixture.write(QStringLiteral("quorvin.ini"),
            quorvinIni(" 255 ", " 0 ", " 0 ", "1500", "990", "5995", "10005", "2995", "6015"));
        bool visibleAtMessage = false;
        fixture.services.whileModal = [&] {
            visibleAtMessage = fixture.form1()->isVisible();
        };
        viewer::Form1 *form = fixture.start();
        for (const QString &path : paths) {
            if (entry != 'c')
                form->Text1->setText("old");
            if (entry == 'o') {
                fixture.services.openAnswers.push_back(path);
                form->open_Click();
            } else if (entry == 'd') {
                dropFiles(form, { path });
                QCoreApplication::processEvents(); // the drop reports its files once it returned
            }
            QCOMPARE(form->windowTitle(),
                QFileInfo(path).fileName().toLower() + QStringLiteral(" - Quorvin"));
            if (path != paths.last())
                form->setWidthTwips(12000);
        }
        const bool diz = fixture.state().DizMode;
        QCOMPARE(fixture.state().DizSized, diz);
        QString outcome = QStringLiteral("bad");
        if (!fixture.services.messages.isEmpty()) {
            QCOMPARE(fixture.services.messages,
                QStringList(QStringLiteral("Quorvin error: File size too large")));
            QCOMPARE(visibleAtMessage, entry != 'c');
            QCOMPARE(fixture.text(), QByteArray());
            outcome = QStringLiteral("refused");
        } else if (fixture.text() != "--> bad file <--") {
            QCOMPARE(fixture.text(), shownFor(bytes));
            QCOMPARE(form->heightTwips(), diz ? 2995.0f : 5995.0f);
            outcome = (diz ? QStringLiteral("diz ") : QStringLiteral("nfo "))
                + QString::number(form->widthTwips());
        }
        QTEST(outcome, "expected");
        QVERIFY(form->isVisible() && !QGuiApplication::overrideCursor());
    }

    // A load that arrives while a long load lets events run waits for it; the latest wins.
    void loadsArrivingDuringALoadAreQueued()
    {
        ProgramFixture fixture;
        viewer::Form1 *form = fixture.start();
        fixture.services.openAnswers = { fileWith(QByteArray(64000, '\n')), fileWith("opened") };
        QByteArray textWhenOpenArrived;
        QTimer::singleShot(0, form, [&] { dropFiles(form, { fileWith("dropped") }); });
        QObject context;
        connect(form->FMDrop1, &platform::DropTarget::DropFiles, &context, [&] {
            QObject::disconnect(form->FMDrop1, nullptr, &context, nullptr);
            textWhenOpenArrived = fixture.text();
            form->open_Click();
        });
        form->open_Click();
        QVERIFY(textWhenOpenArrived.size() < 128000); // both arrived while the long load ran
        QCOMPARE(fixture.services.openRequests, 2);
        QCOMPARE(fixture.text(), QByteArray("opened"));
        QVERIFY(!QGuiApplication::overrideCursor());
    }
};

QTEST_MAIN(TestReading)
#include "tst_reading.moc"
