// The built program as a real process under X, for what only a real display shows: the first
// window and the settings its close writes, files named on the command line, the About sound's
// length, keys through the menu, and faults from outside (kills during the close, settings
// files that cannot be written).

#include "x11session.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>

#include <csignal>

namespace {
const QString Ini = QStringLiteral("quorvin.ini");
const QByteArray FirstIni
    = "v1.19\r\nFC- 14737632 \r\nBC- 0 \r\nState- 0 \r\nTop-1500\r\nLeft-990\r\n"
      "Nheight-5995\r\nNwidth-10005\r\nDheight-3000\r\nDwidth-6000\r\n";
} // namespace

class TestE2e : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X server (the test command starts Xvfb)");
    }

    void window_data()
    {
        QTest::addColumn<QStringList>("words"); // a file's name as the shell splits it
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("width");
        QTest::newRow("first run") << QStringList() << QStringLiteral("Quorvin viewer") << 659;
        QTest::newRow("nfo") << QStringList { QStringLiteral("Release.NFO") }
                             << QStringLiteral("release.nfo - Quorvin") << 659;
        QTest::newRow("diz with a blank")
            << QStringList { QStringLiteral("my"), QStringLiteral("File_Id.Diz") }
            << QStringLiteral("my file_id.diz - Quorvin") << 392;
    }
    void window()
    {
        QFETCH(QStringList, words);
        QFETCH(QString, caption);
        QFETCH(int, width);
        X11Session session;
        if (!words.isEmpty()) {
            session.write(words.join(u' '), "\xC9\xCD\xBB\r\n\xC8\xCD\xBC\r\n");
            words.first() = session.path(words.first());
        }
        QVERIFY(session.start(words));
        QTRY_COMPARE(session.windowName(), caption);
        QTRY_COMPARE(session.windowGeometry().width(), width);
        QCOMPARE(session.windowGeometry().topLeft(), QPoint(66, 100));
        session.requestClose();
        QVERIFY(session.waitForExit());
        QCOMPARE(session.process().exitCode(), 0);
        if (words.isEmpty())
            QCOMPARE(session.read(Ini), FirstIni);
    }

    // The About window stays on the screen for as long as howl.wav (1.5 s) plays.
    void aboutLastsAsLongAsItsSound()
    {
        if (qEnvironmentVariableIntValue("QUORVIN_NO_SOUND_SERVER") == 1)
            QSKIP("QUORVIN_NO_SOUND_SERVER=1: no sound server in this environment");
        X11Session session;
        QVERIFY(session.start({}));
        session.key(QStringLiteral("ctrl+a"));
        QTRY_COMPARE_WITH_TIMEOUT(session.visibleWindows().size(), 2, 5000);
        QElapsedTimer shown;
        shown.start();
        while (session.visibleWindows().size() == 2 && shown.elapsed() < 5000) { }
        QVERIFY2(shown.elapsed() >= 1400 && shown.elapsed() < 3000,
            qPrintable(QString::number(shown.elapsed())));
    }

    // With directories in place of both settings files, Options > Text > Font size > 12 by
    // keys says that the size could not be saved; the close writes nothing, and the program
    // carries on and ends normally.
    void settingsFilesThatCannotBeWritten()
    {
        X11Session session;
        for (const char *name : { "quorvin.ini", "fontsize.ini" })
            QVERIFY(QDir(session.programDirectory()).mkdir(QLatin1String(name)));
        QVERIFY(session.start({}));
        for (const char *opener : { "alt+o", "t", "s" }) { // each key once its menu is open
            const qsizetype windows = session.visibleWindows().size();
            session.key(QLatin1String(opener));
            QTRY_VERIFY_WITH_TIMEOUT(session.visibleWindows().size() > windows, 5000);
        }
        session.key(QStringLiteral("Down Down Down Return"));
        QTRY_COMPARE(session.visibleWindows().size(), 2);
        const unsigned long message = session.visibleWindows().last();
        QCOMPARE(session.windowName(message), QStringLiteral("Quorvin error"));
        session.key(QStringLiteral("Return"), message);
        QTRY_COMPARE(session.visibleWindows().size(), 1);
        session.requestClose();
        QVERIFY(session.waitForExit());
        QCOMPARE(session.process().exitCode(), 0);
        QVERIFY(QFileInfo(session.path(Ini)).isDir());
    }

    // However early or late a kill lands in the close, quorvin.ini is the old file or a
    // complete new one.
    void killDuringCloseNeverTruncates()
    {
        for (int round = 0; round < 5; ++round) {
            X11Session session;
            session.write(Ini, FirstIni);
            QVERIFY(session.start({}));
            session.requestClose();
            QThread::usleep(QRandomGenerator::global()->bounded(30000));
            ::kill(pid_t(session.processId()), SIGKILL);
            QVERIFY(session.waitForExit());
            QCOMPARE(session.read(Ini), FirstIni); // the close writes the same bytes
        }
    }
};

QTEST_MAIN(TestE2e)
#include "tst_e2e.moc"
