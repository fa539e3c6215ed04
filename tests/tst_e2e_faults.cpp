// The built program under X, with faults from outside: killed at random moments while it
// closes, and a program directory whose settings files cannot be written or replaced.

#include "x11session.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

const QByteArray OldIni
    = "v1.19\r\nFC- 255 \r\nBC- 65280 \r\nState- 0 \r\nTop-3000\r\nLeft-1500\r\n"
      "Nheight-7000\r\nNwidth-12000\r\nDheight-3300\r\nDwidth-6600\r\n";

// A complete quorvin.ini as the close writes it: ten lines, each ended by CR LF.
bool isCompleteIni(const QByteArray &bytes)
{
    if (!bytes.startsWith("v1.19\r\n") || !bytes.endsWith("\r\n"))
        return false;
    const QList<QByteArray> lines = bytes.chopped(1).split('\n');
    if (lines.size() != 10)
        return false;
    for (const QByteArray &line : lines) {
        if (line.isEmpty() || line.count('\r') != 1 || !line.endsWith('\r'))
            return false;
    }
    return true;
}

ino_t inode(const QString &path)
{
    struct stat status
    { };
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

// How many windows of the program are on the screen: the main window and any open menus.
int visibleWindows(const X11Session &session)
{
    QProcess search;
    search.start(QStringLiteral("xdotool"),
        { QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
            QString::number(session.processId()), QStringLiteral("--name"), QString() });
    search.waitForFinished(3000);
    return int(search.readAllStandardOutput().count('\n'));
}

// Chooses Options > Text > Font size > 12 with the keyboard, as a user would, waiting for
// each menu to open before the next key, however busy the machine is.
void chooseFontSize12(const X11Session &session)
{
    const QString window = QString::number(session.window());
    QProcess::execute(QStringLiteral("xdotool"), { QStringLiteral("windowfocus"), window });
    QTest::qWait(100);
    const auto key = [&](const char *name) {
        QProcess::execute(QStringLiteral("xdotool"),
            { QStringLiteral("key"), QStringLiteral("--window"), window, QLatin1String(name) });
    };
    const int shown = visibleWindows(session);
    int menus = 0;
    for (const char *opener : { "alt+o", "t", "s" }) {
        key(opener);
        ++menus;
        QTRY_VERIFY_WITH_TIMEOUT(visibleWindows(session) >= shown + menus, 5000);
    }
    for (const char *name : { "Down", "Down", "Down", "Return" }) {
        key(name);
        QTest::qWait(100);
    }
}

// The id of a visible window of the program's other than its main window with this caption,
// waiting up to waitMs for it. (xdotool's name search also lists the main window.)
QString findWindow(X11Session &session, const QString &caption, int waitMs = 5000)
{
    QDeadlineTimer deadline(waitMs);
    do {
        QProcess search;
        search.start(QStringLiteral("xdotool"),
            { QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                QString::number(session.process().processId()), QStringLiteral("--name"),
                caption });
        search.waitForFinished(3000);
        QStringList found = QString::fromLatin1(search.readAllStandardOutput())
                                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        found.removeAll(QString::number(session.window()));
        if (!found.isEmpty())
            return found.first();
        QTest::qWait(100);
    } while (!deadline.hasExpired());
    return {};
}

// Chooses font size 12 where it cannot be saved: the window says so in a message, and
// carries on once the message is answered.
void chooseUnsavableFontSize(X11Session &session)
{
    chooseFontSize12(session);
    const QString message = findWindow(session, QStringLiteral("^Quorvin error$"));
    QVERIFY2(!message.isEmpty(), "no message that the font size could not be saved");
    QProcess::execute(QStringLiteral("xdotool"), { QStringLiteral("windowfocus"), message });
    QTest::qWait(150);
    QProcess::execute(QStringLiteral("xdotool"),
        { QStringLiteral("key"), QStringLiteral("--window"), message, QStringLiteral("Return") });
    QTRY_VERIFY(findWindow(session, QStringLiteral("^Quorvin error$"), 0).isEmpty());
}

bool xdotoolAvailable()
{
    return !QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty();
}

} // namespace

class TestE2eFaults : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X server (the test command starts Xvfb)");
    }

    // However early or late a kill lands in the close, quorvin.ini is either the old file or
    // a complete new one: the close writes through a temporary file and a rename.
    void killDuringCloseNeverTruncates()
    {
        // An undisturbed close first, to spread the kills over the time a close takes here.
        qint64 closeMs = 0;
        {
            X11Session session;
            session.write(QStringLiteral("quorvin.ini"), OldIni);
            QVERIFY(session.start({}));
            QElapsedTimer closing;
            closing.start();
            session.requestClose();
            QVERIFY(session.waitForExit());
            closeMs = closing.elapsed();
            QVERIFY(isCompleteIni(session.read(QStringLiteral("quorvin.ini"))));
        }
        const int spreadUs = int(qMax<qint64>(30, closeMs * 3 / 2)) * 1000;

        int oldKept = 0;
        int newWritten = 0;
        QElapsedTimer spent;
        spent.start();
        for (int round = 0; round < 20 && spent.elapsed() < 50000; ++round) {
            X11Session session;
            session.write(QStringLiteral("quorvin.ini"), OldIni);
            const ino_t oldInode = inode(session.path(QStringLiteral("quorvin.ini")));
            QVERIFY(session.start({}));
            const qint64 pid = session.process().processId();
            session.requestClose();
            QThread::usleep(QRandomGenerator::global()->bounded(spreadUs + 1));
            ::kill(pid_t(pid), SIGKILL);
            QVERIFY(session.waitForExit());

            // The close may write the very bytes it read, so a new file is told by its inode.
            const QByteArray ini = session.read(QStringLiteral("quorvin.ini"));
            QVERIFY2(ini == OldIni || isCompleteIni(ini), ini.toPercentEncoding(" -").constData());
            if (inode(session.path(QStringLiteral("quorvin.ini"))) == oldInode)
                ++oldKept;
            else
                ++newWritten;
        }
        qInfo("close takes %lld ms; kills: %d kept the old file, %d found a complete new one",
            closeMs, oldKept, newWritten);
    }

    // A program directory that cannot be written: the close keeps the old settings and the
    // program still ends normally.
    void readOnlyProgramDirectory()
    {
        X11Session session;
        session.write(QStringLiteral("quorvin.ini"), OldIni);
        session.write(QStringLiteral("fontsize.ini"), "9\r\n");
        const QString directory = session.programDirectory();
        QVERIFY(QFile::setPermissions(directory,
            QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                | QFile::ReadOther | QFile::ExeOther));
        const auto writable = [&] {
            QFile probe(session.path(QStringLiteral("probe")));
            const bool opened = probe.open(QIODevice::WriteOnly);
            probe.remove();
            return opened;
        }();
        if (writable) {
            QFile::setPermissions(
                directory, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("the directory stays writable without its write permission (running as root); "
                  "settingsFilesCannotBeReplaced covers files that cannot be replaced");
        }

        const auto restore = qScopeGuard([&] {
            QFile::setPermissions(
                directory, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });
        QVERIFY(session.start({}));
        if (xdotoolAvailable()) {
            chooseUnsavableFontSize(session);
            if (QTest::currentTestFailed())
                return;
        }
        session.requestClose();
        QVERIFY(session.waitForExit());
        QCOMPARE(session.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(session.process().exitCode(), 0);
        QCOMPARE(session.read(QStringLiteral("quorvin.ini")), OldIni);
        QCOMPARE(session.read(QStringLiteral("fontsize.ini")), QByteArray("9\r\n"));
    }

    // The keyboard route to a font size works, so the next test's font size step is real.
    void fontSizeByKeyboard()
    {
        if (!xdotoolAvailable())
            QSKIP("xdotool is not installed");
        X11Session session;
        QVERIFY(session.start({}));
        chooseFontSize12(session);
        QTRY_COMPARE(session.read(QStringLiteral("fontsize.ini")), QByteArray("12\r\n"));
        session.requestClose();
        QVERIFY(session.waitForExit());
        QCOMPARE(session.process().exitCode(), 0);
    }

    // Settings files that cannot be replaced (directories in their place): a font size choice
    // and the close both fail to write, and the program carries on and ends normally.
    void settingsFilesCannotBeReplaced()
    {
        X11Session session;
        QVERIFY(QDir(session.programDirectory()).mkdir(QStringLiteral("quorvin.ini")));
        QVERIFY(QDir(session.programDirectory()).mkdir(QStringLiteral("fontsize.ini")));
        QVERIFY(session.start({}));
        QTRY_COMPARE(session.windowName(), QStringLiteral("Quorvin viewer"));
        if (xdotoolAvailable()) {
            chooseUnsavableFontSize(session);
            if (QTest::currentTestFailed())
                return;
        }
        QCOMPARE(session.process().state(), QProcess::Running);
        session.requestClose();
        QVERIFY(session.waitForExit());
        QCOMPARE(session.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(session.process().exitCode(), 0);
        QVERIFY(QFileInfo(session.path(QStringLiteral("quorvin.ini"))).isDir());
        QVERIFY(QFileInfo(session.path(QStringLiteral("fontsize.ini"))).isDir());
    }
};

QTEST_MAIN(TestE2eFaults)
#include "tst_e2e_faults.moc"
