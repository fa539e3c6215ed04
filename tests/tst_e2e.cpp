// The built program under X, for what only a real display shows: the first window with the
// settings its close writes, and the About sound's length.

#include "x11session.h"

#include <QElapsedTimer>
#include <QtTest>

namespace {
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
    void firstRunAndCloseRequest()
    {
        X11Session session;
        QVERIFY(session.start({}));
        QCOMPARE(session.windowName(), QStringLiteral("Quorvin viewer"));
        QCOMPARE(session.windowGeometry(), QRect(66, 100, 659, 374)); // with the menu bar
        session.requestClose();
        QVERIFY(session.waitForExit());
        QCOMPARE(session.process().exitCode(), 0);
        QCOMPARE(session.read(QStringLiteral("quorvin.ini")), FirstIni);
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
        while (session.visibleWindows().size() > windows && shown.elapsed() < 6000) { }
        QVERIFY2(shown.elapsed() >= 1200 && shown.elapsed() < 6000,
            qPrintable(QString::number(shown.elapsed())));
        session.requestClose();
        QVERIFY(session.waitForExit());
    }
};

QTEST_MAIN(TestE2e)
#include "tst_e2e.moc"
