// The built program under X, for what only a real display shows: the first window and the
// settings its close writes, a file named on the command line, and the About sound's length.

#include "x11session.h"

#include <QElapsedTimer>
#include <QtTest>

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
        const qsizetype windows = session.visibleWindows().size();
        session.key(QStringLiteral("ctrl+a"));
        QTRY_COMPARE_WITH_TIMEOUT(session.visibleWindows().size(), windows + 1, 5000);
        QElapsedTimer shown;
        shown.start();
        while (session.visibleWindows().size() > windows && shown.elapsed() < 5000) { }
        QVERIFY2(shown.elapsed() >= 1200 && shown.elapsed() < 3000,
            qPrintable(QString::number(shown.elapsed())));
    }
};

QTEST_MAIN(TestE2e)
#include "tst_e2e.moc"
