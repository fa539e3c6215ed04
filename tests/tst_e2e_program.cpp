// The built program as a real process under X: first run, close request, second copy, and
// files named on the command line.

#include "x11session.h"

#include <QtTest>

class TestE2eProgram : public QObject
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
        QTRY_COMPARE(session.windowName(), QStringLiteral("Quorvin viewer"));
        const QRect geometry = session.windowGeometry();
        QCOMPARE(geometry.topLeft(), QPoint(66, 100));
        QCOMPARE(geometry.width(), 659);
        QVERIFY(geometry.height() > 355); // the client area and the menu bar above it
        session.requestClose();
        QVERIFY(session.waitForExit());
        QCOMPARE(session.process().exitCode(), 0);
        QCOMPARE(session.read(QStringLiteral("quorvin.ini")),
            QByteArray("v1.19\r\nFC- 14737632 \r\nBC- 0 \r\nState- 0 \r\nTop-1500\r\nLeft-990\r\n"
                       "Nheight-5995\r\nNwidth-10005\r\nDheight-3000\r\nDwidth-6000\r\n"));
    }

    void secondCopyWritesNothing()
    {
        X11Session first;
        QVERIFY(first.start({}));
        X11Session second;
        QVERIFY(
            second.start({}, first.path(QStringLiteral("quorvin")))); // the same program directory
        second.requestClose();
        QVERIFY(second.waitForExit());
        QCOMPARE(second.process().exitCode(), 0);
        QVERIFY(!QFile::exists(first.path(QStringLiteral("quorvin.ini"))));
        first.requestClose();
        QVERIFY(first.waitForExit());
        QVERIFY(QFile::exists(first.path(QStringLiteral("quorvin.ini"))));
    }

    void commandLineFileSizesTheWindow_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("clientWidth");
        QTest::newRow("nfo") << QStringLiteral("Release.NFO")
                             << QStringLiteral("release.nfo - Quorvin") << 659;
        QTest::newRow("diz") << QStringLiteral("FILE_ID.DIZ")
                             << QStringLiteral("file_id.diz - Quorvin") << 392;
    }
    void commandLineFileSizesTheWindow()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(int, clientWidth);
        X11Session session;
        session.write(name, "\xC9\xCD\xCD\xBB\r\n\xBA\xDB\xDB\xBA\r\n\xC8\xCD\xCD\xBC\r\n");
        QVERIFY(session.start({ session.path(name) }));
        QTRY_COMPARE(session.windowName(), caption);
        QTRY_COMPARE(session.windowGeometry().width(), clientWidth);
        session.requestClose();
        QVERIFY(session.waitForExit());
    }
};

QTEST_MAIN(TestE2eProgram)
#include "tst_e2e_program.moc"
