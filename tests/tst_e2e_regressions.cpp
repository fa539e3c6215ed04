// Faults found by driving the built program under X, kept from coming back.

#include "x11session.h"

#include <QtTest>

static QByteArray run(const QString &commandLine)
{
    QProcess process;
    process.startCommand(commandLine);
    process.waitForFinished(5000);
    return process.readAllStandardOutput();
}

class TestE2eRegressions : public QObject
{
    Q_OBJECT

private slots:
    void closeAfterCopyEndsTheProgram()
    {
        for (int round = 0; round < 12; ++round) {
            X11Session session;
            session.write(QStringLiteral("a.nfo"), "hello\r\nworld\r\n");
            QVERIFY(session.start({ session.path(QStringLiteral("a.nfo")) }));
            run(QStringLiteral("xdotool windowfocus --sync %1 key --window %1 ctrl+Home "
                               "ctrl+shift+End ctrl+c")
                    .arg(session.window()));
            QTRY_COMPARE(
                run(QStringLiteral("xclip -o -selection clipboard")), QByteArray("hello\nworld"));
            session.requestClose();
            QVERIFY2(session.waitForExit(3000), qPrintable(QStringLiteral("round %1").arg(round)));
            QVERIFY(session.read(QStringLiteral("quorvin.ini")).startsWith("v1.19"));
        }
    }
    // The whole argument string names the file, Qt's own options included, and the caption
    // shows the name as it is.
    void argumentIsTheFileNameAsItIs_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("-reverse") << QStringLiteral("-reverse");
        QTest::newRow("-style x.nfo") << QStringLiteral("-style x.nfo");
        QTest::newRow("-name foo.nfo") << QStringLiteral("-name foo.nfo");
        QTest::newRow("a[*]b.nfo") << QStringLiteral("a[*]b.nfo");
    }
    void argumentIsTheFileNameAsItIs()
    {
        QFETCH(QString, line);
        X11Session session;
        session.write(line, "shown\r\n");
        session.process().setWorkingDirectory(session.programDirectory());
        QVERIFY(session.start(line.split(QLatin1Char(' '))));
        QTRY_COMPARE(session.windowName(), line + QStringLiteral(" - Quorvin"));
    }
    void webdialShowsWhyItCouldNotOpen()
    {
        X11Session session;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PATH"), session.programDirectory()); // no opener there
        session.process().setProcessEnvironment(environment);
        QVERIFY(session.start(
            { QStringLiteral("$https://example.org/") }, session.path(QStringLiteral("webdial"))));
        QCOMPARE(session.windowName(), QStringLiteral("Quorvin error"));
        session.requestClose();
        QVERIFY(session.waitForExit());
        QCOMPARE(session.process().exitCode(), 3);
    }
};

QTEST_GUILESS_MAIN(TestE2eRegressions)
#include "tst_e2e_regressions.moc"
