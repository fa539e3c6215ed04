// Windows' own platform layer: the first copy's mutex, the argument string, what cannot start
// or play. Starting, sound and the program's folder at work: tests/windows/e2e-wine.sh.

#include "platform/launcher.h"
#include "platform/processfacts.h"
#include "platform/runlock.h"
#include "platform/sound.h"

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
        QTest::newRow("quoted program")
            << u"\"C:\\My Q\\quorvin.exe\" C:\\a b.nfo"_qs << u"C:\\a b.nfo"_qs;
        QTest::newRow("quotes kept") << u"quorvin.exe \"C:\\a b.nfo\""_qs << u"\"C:\\a b.nfo\""_qs;
        QTest::newRow("blanks kept") << u"quorvin.exe \t a  b "_qs << u"a  b "_qs;
        QTest::newRow("no blank after the quote") << u"\"C:\\q.exe\"x.nfo"_qs << u"x.nfo"_qs;
        QTest::newRow("unclosed quote") << u"\"C:\\My Q\\q.exe x.nfo"_qs << QString();
    }
    void argumentString()
    {
        QFETCH(QString, line);
        QFETCH(QString, argument);
        QCOMPARE(platform::argumentStringFromCommandLine(line), argument);
    }
    void whatCannotStartOrPlaySaysSo()
    {
        QString why;
        QVERIFY(!platform::launchCommandLine(
            u"no-such-quorvin.exe a b"_qs, platform::WindowStyle::Normal, QString(), &why));
        QCOMPARE(why, u"There is no program to open it (no-such-quorvin.exe is not installed)."_qs);
        QTemporaryDir dir;
        QVERIFY(!platform::playWavSync(dir.path()));
    }
};

QTEST_MAIN(TestWinPlatform)
#include "tst_winplatform.moc"
