// The platform layer for real: run lock, launching, the webdial companion, sound.

#include "files.h"

#include "platform/launcher.h"
#include "platform/qtservices.h"
#include "platform/runlock.h"
#include "platform/sound.h"

#include <QAbstractItemView>
#include <QColorDialog>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QtTest>

namespace {

// Writes bytes, or with a record a stand-in program that records its arguments, one a line.
void put(const QString &path, const QString &record, const QByteArray &bytes = {})
{
    QDir().mkpath(QFileInfo(path).path());
    writeFile(path,
        record.isEmpty() ? bytes
                         : QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" >'%1'\n")
                               .arg(record)
                               .toUtf8());
    if (!record.isEmpty())
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
}

void row(const char *name, const char *a, const char *b, const char *c)
{
    QTest::newRow(name) << QString::fromUtf8(a) << QString::fromUtf8(b) << QString::fromUtf8(c);
}

} // namespace

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    // Only another holder makes a second copy: a lock that cannot be made is not one.
    void runLockHasOneHolder()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("quorvin.lock"));
        {
            const platform::RunLock first(path), second(path);
            QVERIFY(first.isHeld() && !first.heldByAnother());
            QVERIFY(!second.isHeld() && second.heldByAnother());
        }
        QVERIFY(platform::RunLock(path).isHeld());
        QVERIFY(!platform::RunLock(dir.filePath(QStringLiteral("x/a.lock"))).heldByAnother());
    }
    // From a program directory with a blank in its name; "webdial" plain is not executable.
    void launch_data()
    {
        QTest::addColumn<QString>("line"); // %1: the program directory
        QTest::addColumn<QString>("standIn"); // the stand-in's place in the program directory
        QTest::addColumn<QString>("record"); // what it records; -: the start fails, and why
        row("help text", "notepad.exe %1/contents.txt", "bin/xdg-open", "1\n%1/contents.txt\n");
        row("webdial beside", "WebDial.EXE >mailto:a@b.c", "webdial.sh", "1\n>mailto:a@b.c\n");
        row("blanks and quotes kept", "prog   \"a  b\" ", "bin/prog", "1\n  \"a  b\" \n");
        row("editor without file", "notepad.exe", "bin/xdg-open", "-There is nothing to open.");
        row("editor, empty file", "notepad.exe ", "bin/xdg-open", "-There is nothing to open.");
        row("no opener", "notepad.exe %1/contents.txt", "",
            "-There is no program to open it (xdg-open is not installed).");
        row("webdial not executable", "webdial.exe $https://a.org", "webdial",
            "-The program %1/webdial could not be started.");
        row("webdial missing", "webdial.exe $https://a.org", "",
            "-The program that opens it is missing:\r\n%1/webdial");
        row("unknown program", "no-such-program-quorvin x", "", "-");
    }
    void launch()
    {
        QFETCH(QString, line);
        QFETCH(QString, standIn);
        QFETCH(QString, record);
        QTemporaryDir top;
        const QString dir = top.filePath(QStringLiteral("my quorvin"));
        const QString recordPath = top.filePath(QStringLiteral("record"));
        QDir().mkpath(dir + QStringLiteral("/bin"));
        const bool plain = standIn == QLatin1String("webdial");
        if (!standIn.isEmpty())
            put(dir + u'/' + standIn.remove(QStringLiteral(".sh")), plain ? QString() : recordPath);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir + QStringLiteral("/bin")));
        QString why;
        const bool started
            = platform::launchCommandLine(line.arg(dir), platform::WindowStyle::Normal, dir, &why);
        qputenv("PATH", path);
        QCOMPARE(started, !record.startsWith(u'-'));
        if (record.size() > 1 && !started)
            QCOMPARE(why, record.mid(1).replace(QStringLiteral("%1"), dir));
        if (started)
            QTRY_COMPARE_WITH_TIMEOUT(
                QString::fromUtf8(readFile(recordPath)), record.arg(dir), 5000);
    }
    // What webdial opens, or its exit code with a reason: 2 refused, 3 no opener.
    void webdial_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("unused");
        row("https", "$HTTPS://Example.ORG/a?b=c#d", "https://example.org/a?b=c#d", "");
        row("mailto", ">mailto:a@b.org?subject=Hi%20you", "mailto:a@b.org?subject=Hi%20you", "");
        row("ftp", "$ftp://f.org/x", "ftp://f.org/x", "");
        row("encoded as a browser does", "$http://a.b/x^{%zz", "http://a.b/x%5E%7B%25zz", "");
        row("no opener", "$https://example.org", "3", "");
        row("no argument", "", "2", "");
        row("no mark", "https://example.org", "2", "");
        row("local file", "$file:///etc/passwd", "2", "");
        row("other scheme", "$gopher://example.org/", "2", "");
        row("no host", "$http://", "2", "");
        row("mailto without name", ">mailto:@example.org", "2", "");
    }
    void webdial()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, opened);
        QTemporaryDir dir;
        const QString record = dir.filePath(QStringLiteral("opened"));
        if (opened != QLatin1String("3"))
            put(dir.filePath(QStringLiteral("bin/xdg-open")), record);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PATH"), dir.filePath(QStringLiteral("bin")));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(QUORVIN_BINARY_DIR "/webdial"),
            arguments.split(u'|', Qt::SkipEmptyParts));
        QVERIFY(process.waitForFinished(10000));
        const bool refused = opened.size() == 1;
        QCOMPARE(process.exitCode(), refused ? opened.toInt() : 0);
        QCOMPARE(process.readAllStandardError().isEmpty(), !refused);
        if (!refused)
            QTRY_COMPARE_WITH_TIMEOUT(
                QString::fromUtf8(readFile(record)), QStringLiteral("1\n%1\n").arg(opened), 5000);
    }
    // "All Files (*.*)" lists names without a dot too; the colour dialog opens at black.
    void dialogsListEveryFileAndStartAtBlack()
    {
        QTemporaryDir directory;
        for (const char *name : { "README", "FILE_ID", "a.nfo" })
            put(directory.filePath(QLatin1String(name)), {});
        const QString all = QStringLiteral("All Files (*.*)"), before = QDir::currentPath();
        QDir::setCurrent(directory.path()); // where the file dialog opens
        QString listed; // the filter's caption and the number of names listed
        int polls = 0;
        QColor current;
        QTimer poll; // answers the dialog open at the time, as a user would
        connect(&poll, &QTimer::timeout, this, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *colours = qobject_cast<QColorDialog *>(modal))
                current = colours->currentColor(), colours->accept(); // a reflex OK
            if (auto *files = qobject_cast<QFileDialog *>(modal)) { // read meanwhile
                auto *view = files->findChild<QAbstractItemView *>(QStringLiteral("listView"));
                listed
                    = files->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"))->currentText()
                    + u' ' + QString::number(view->model()->rowCount(view->rootIndex()));
                if (listed.endsWith(u'3') || ++polls == 100)
                    files->reject();
            }
        });
        poll.start(20);
        char program[] = "quorvin", *argv[] = { program, nullptr };
        platform::QtServices services(1, argv);
        services.openFileName(
            nullptr, QStringLiteral("Open file"), { { all, QStringLiteral("*.*") } });
        QDir::setCurrent(before);
        QCOMPARE(listed, all + QStringLiteral(" 3")); // README and FILE_ID too
        QCOMPARE(services.chooseColour(nullptr), std::optional<platform::Colour>(0));
        QCOMPARE(current, QColor(Qt::black));
    }
    // The call lasts as long as the sound (0.4 s); what cannot be played fails at once.
    void sound()
    {
        if (qEnvironmentVariableIntValue("QUORVIN_NO_SOUND_SERVER") == 1)
            QSKIP("QUORVIN_NO_SOUND_SERVER=1: no sound server in this environment");
        QTemporaryDir dir;
        const QByteArray header("RIFF\xF4\x89\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x44\xAC\0\0"
                                "\x88\x58\x01\0\x02\0\x10\0data\xD0\x89\0\0",
            44);
        for (const QByteArray &content : { header + QByteArray(35280, '\0'), header.left(16) }) {
            put(dir.filePath(QStringLiteral("x.wav")), {}, content);
            QElapsedTimer timer;
            timer.start();
            QCOMPARE(
                platform::playWavSync(dir.filePath(QStringLiteral("x.wav"))), content.size() > 44);
            QVERIFY2(content.size() > 44 ? timer.elapsed() >= 390 && timer.elapsed() < 1900
                                         : timer.elapsed() < 500,
                qPrintable(QString::number(timer.elapsed())));
        }
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
