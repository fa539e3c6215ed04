// Windows' own platform layer, for real: the first copy's mutex, the process's folder and
// command line, starting a command line, the system's synchronous sound.

#include "files.h"

#include "platform/launcher.h"
#include "platform/processfacts.h"
#include "platform/runlock.h"
#include "platform/sound.h"

#include <QElapsedTimer>
#include <QtTest>

class TestWinPlatform : public QObject
{
    Q_OBJECT

private slots:
    // One holder per folder, in any letter case; released when the holder goes.
    void runLockHasOneHolder()
    {
        const QString key = QStringLiteral("C:\\My Quorvin\\quorvin.lock");
        {
            const platform::RunLock first(key), second(key.toUpper());
            QVERIFY(first.isHeld() && !first.heldByAnother());
            QVERIFY(!second.isHeld() && second.heldByAnother());
        }
        QVERIFY(platform::RunLock(key).isHeld());
    }
    void argumentString_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("argument");
        const auto row = [](const char *name, const char *line, const char *argument) {
            QTest::newRow(name) << QString::fromUtf8(line) << QString::fromUtf8(argument);
        };
        row("quoted program", R"("C:\My Quorvin\quorvin.exe" C:\a b.nfo)", R"(C:\a b.nfo)");
        row("quotes kept", R"(quorvin.exe "C:\a b.nfo")", R"("C:\a b.nfo")");
        row("blanks inside and at the end kept", "quorvin.exe \t a  b ", "a  b ");
        row("no blank after the quote", R"("C:\q.exe"x.nfo)", "x.nfo");
        row("program only", R"("C:\My Quorvin\quorvin.exe")", "");
        row("unclosed quote", R"("C:\My Quorvin\q.exe x.nfo)", "");
    }
    void argumentString()
    {
        QFETCH(QString, line);
        QFETCH(QString, argument);
        QCOMPARE(platform::argumentStringFromCommandLine(line), argument);
    }
    // This test program's own facts: its folder, and no arguments.
    void processFacts()
    {
        const QString directory = platform::programDirectoryOfProcess();
        QVERIFY2(directory.size() > 3 && directory[1] == u':' && !directory.endsWith(u'\\')
                && !directory.contains(u'/'),
            qPrintable(directory));
        QVERIFY(QFileInfo::exists(directory + QStringLiteral("\\tst_winplatform.exe")));
        QCOMPARE(platform::argumentStringOfProcess(0, nullptr), QString());
    }
    // The line as it stands: cmd.exe gets the rest of it untouched.
    void launch_data()
    {
        QTest::addColumn<QString>("line"); // %1: a folder with a blank in its name
        QTest::addColumn<QString>("outcome"); // what the started program wrote; -: why not
        QTest::newRow("started") << QStringLiteral("cmd.exe /c echo  a  b >\"%1\\record\"")
                                 << QStringLiteral(" a  b \r\n");
        QTest::newRow("not installed")
            << QStringLiteral("no-such-quorvin.exe x")
            << QStringLiteral("-There is no program to open it (no-such-quorvin.exe is not "
                              "installed).");
        QTest::newRow("nothing") << QString() << QStringLiteral("-There is nothing to open.");
    }
    void launch()
    {
        QFETCH(QString, line);
        QFETCH(QString, outcome);
        QTemporaryDir top;
        const QString dir = QDir::toNativeSeparators(top.filePath(QStringLiteral("a b")));
        QVERIFY(QDir().mkpath(dir));
        QString why;
        const bool started = platform::launchCommandLine(
            line.arg(dir), platform::WindowStyle::Normal, QString(), &why);
        QCOMPARE(started, !outcome.startsWith(u'-'));
        if (started)
            QTRY_COMPARE_WITH_TIMEOUT(
                QString::fromUtf8(readFile(dir + QStringLiteral("\\record"))), outcome, 10000);
        else
            QCOMPARE(why, outcome.mid(1));
    }
    // PlaySound lasts as long as the sound (0.4 s) where there is a sound device; what cannot
    // be played fails at once.
    void sound()
    {
        QTemporaryDir dir;
        const QByteArray header("RIFF\xF4\x89\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x44\xAC\0\0"
                                "\x88\x58\x01\0\x02\0\x10\0data\xD0\x89\0\0",
            44);
        const QString path = dir.filePath(QStringLiteral("x.wav"));
        for (const QByteArray &content : { header + QByteArray(35280, '\0'), header.left(16) }) {
            writeFile(path, content);
            QElapsedTimer timer;
            timer.start();
            const bool played = platform::playWavSync(path);
            qInfo() << content.size() << "bytes:" << played << timer.elapsed() << "ms";
            QVERIFY(!played || content.size() > 44);
            QVERIFY2(
                played ? timer.elapsed() >= 390 && timer.elapsed() < 1900 : timer.elapsed() < 500,
                qPrintable(QString::number(timer.elapsed())));
        }
        QVERIFY(!platform::playWavSync(dir.path()));
    }
};

QTEST_MAIN(TestWinPlatform)
#include "tst_winplatform.moc"
