#include "platform/launcher.h"

#include <QtTest>

#include <memory>

using platform::LaunchPlan;
using platform::WindowStyle;

namespace {

// A stand-in program that writes its argument count and arguments, one a line, to
// recordPath. It writes beside the record and renames, so a record that exists is complete.
void writeRecorder(const QString &scriptPath, const QString &recordPath)
{
    QFile script(scriptPath);
    QVERIFY(script.open(QIODevice::WriteOnly));
    const QString text = QStringLiteral("#!/bin/sh\n"
                                        "printf '%s\\n' \"$#\" \"$@\" > '%1.part'\n"
                                        "/bin/mv '%1.part' '%1'\n")
                             .arg(recordPath);
    script.write(text.toUtf8());
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
}

QString readRecord(const QString &recordPath)
{
    QFile record(recordPath);
    if (!record.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(record.readAll());
}

} // namespace

class TestLauncher : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_savedPath = qgetenv("PATH");
        m_tempDir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tempDir->isValid());
    }
    void cleanup()
    {
        qputenv("PATH", m_savedPath);
        m_tempDir.reset();
    }

    void planLaunch_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("programDirectory");
        QTest::addColumn<bool>("planned");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");

        const QString dir = QStringLiteral("/opt/my quorvin");
        QTest::newRow("help text with blanks in its path")
            << QStringLiteral("notepad.exe /tmp/my dir/contents.txt") << dir << true
            << QStringLiteral("xdg-open")
            << QStringList { QStringLiteral("/tmp/my dir/contents.txt") };
        QTest::newRow("web page") << QStringLiteral("webdial.exe $https://example.org") << dir
                                  << true << QStringLiteral("/opt/my quorvin/webdial")
                                  << QStringList { QStringLiteral("$https://example.org") };
        QTest::newRow("e-mail") << QStringLiteral("webdial.exe >mailto:someone@example.org") << dir
                                << true << QStringLiteral("/opt/my quorvin/webdial")
                                << QStringList { QStringLiteral(">mailto:someone@example.org") };
        QTest::newRow("program directory at the root")
            << QStringLiteral("webdial.exe $http://a.example") << QStringLiteral("/") << true
            << QStringLiteral("/webdial") << QStringList { QStringLiteral("$http://a.example") };
        QTest::newRow("names in capitals")
            << QStringLiteral("WebDial.EXE $x") << dir << true
            << QStringLiteral("/opt/my quorvin/webdial") << QStringList { QStringLiteral("$x") };
        QTest::newRow("webdial without argument")
            << QStringLiteral("webdial.exe") << dir << true
            << QStringLiteral("/opt/my quorvin/webdial") << QStringList {};
        QTest::newRow("no blank: no argument")
            << QStringLiteral("gedit") << dir << true << QStringLiteral("gedit") << QStringList {};
        QTest::newRow("leading and double blanks kept")
            << QStringLiteral("prog   a  b ") << dir << true << QStringLiteral("prog")
            << QStringList { QStringLiteral("  a  b ") };
        QTest::newRow("quotes kept")
            << QStringLiteral("prog \"a b\" c") << dir << true << QStringLiteral("prog")
            << QStringList { QStringLiteral("\"a b\" c") };
        QTest::newRow("trailing blank: one empty argument")
            << QStringLiteral("prog ") << dir << true << QStringLiteral("prog")
            << QStringList { QString() };
        QTest::newRow("path as program")
            << QStringLiteral("/usr/bin/env x y") << dir << true << QStringLiteral("/usr/bin/env")
            << QStringList { QStringLiteral("x y") };
        QTest::newRow("empty line") << QString() << dir << false << QString() << QStringList {};
        QTest::newRow("leading blank: no program")
            << QStringLiteral(" notepad.exe a") << dir << false << QString() << QStringList {};
        QTest::newRow("editor without file")
            << QStringLiteral("notepad.exe") << dir << false << QString() << QStringList {};
        QTest::newRow("editor with empty file")
            << QStringLiteral("notepad.exe ") << dir << false << QString() << QStringList {};
    }
    void planLaunch()
    {
        QFETCH(QString, commandLine);
        QFETCH(QString, programDirectory);
        QFETCH(bool, planned);
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        const std::optional<LaunchPlan> plan = platform::planLaunch(commandLine, programDirectory);
        QCOMPARE(plan.has_value(), planned);
        if (planned) {
            QCOMPARE(plan->program, program);
            QCOMPARE(plan->arguments, arguments);
        }
    }

    // The help text opens with the system opener, its path with a blank arriving whole.
    void helpTextOpensWithTheSystemOpener()
    {
        const QString bin = m_tempDir->filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        const QString record = m_tempDir->filePath(QStringLiteral("opened"));
        writeRecorder(bin + QStringLiteral("/xdg-open"), record);
        qputenv("PATH", QFile::encodeName(bin) + ':' + m_savedPath);

        const QString helpText = m_tempDir->filePath(QStringLiteral("my quorvin/contents.txt"));
        QVERIFY(platform::launchCommandLine(
            QStringLiteral("notepad.exe ") + helpText, WindowStyle::Normal, m_tempDir->path()));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 5000);
        QCOMPARE(readRecord(record), QStringLiteral("1\n") + helpText + QLatin1Char('\n'));
    }

    // webdial is the companion in the program directory, even one with a blank in its name.
    void webdialIsTheCompanionBesideTheProgram()
    {
        const QString programDirectory = m_tempDir->filePath(QStringLiteral("program dir"));
        QVERIFY(QDir().mkpath(programDirectory));
        const QString record = m_tempDir->filePath(QStringLiteral("dialled"));
        writeRecorder(programDirectory + QStringLiteral("/webdial"), record);

        QVERIFY(
            platform::launchCommandLine(QStringLiteral("webdial.exe >mailto:someone@example.org"),
                WindowStyle::Normal, programDirectory));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 5000);
        QCOMPARE(readRecord(record), QStringLiteral("1\n>mailto:someone@example.org\n"));
    }

    // Any other name is looked up on the search path and gets the rest of the line whole.
    void otherProgramStartsFromTheSearchPath()
    {
        const QString bin = m_tempDir->filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        const QString record = m_tempDir->filePath(QStringLiteral("started"));
        writeRecorder(bin + QStringLiteral("/recorder"), record);
        qputenv("PATH", QFile::encodeName(bin) + ':' + m_savedPath);

        QVERIFY(platform::launchCommandLine(
            QStringLiteral("recorder  two \"words\""), WindowStyle::Normal, m_tempDir->path()));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 5000);
        QCOMPARE(readRecord(record), QStringLiteral("1\n two \"words\"\n"));
    }

    void unstartableProgramFails_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::newRow("webdial missing") << QStringLiteral("webdial.exe $https://example.org");
        QTest::newRow("webdial not executable")
            << QStringLiteral("webdial.exe $https://example.org");
        QTest::newRow("no system opener") << QStringLiteral("notepad.exe /tmp/contents.txt");
        QTest::newRow("unknown program") << QStringLiteral("no-such-program-quorvin x");
        QTest::newRow("missing path") << QStringLiteral("/nonexistent/program x");
        QTest::newRow("empty line") << QString();
    }
    void unstartableProgramFails()
    {
        QFETCH(QString, commandLine);
        if (QByteArray(QTest::currentDataTag()) == "webdial not executable") {
            QFile webdial(m_tempDir->filePath(QStringLiteral("webdial")));
            QVERIFY(webdial.open(QIODevice::WriteOnly));
            webdial.write("#!/bin/sh\n");
        }
        // A search path with nothing on it: neither the opener nor any stray program is found.
        const QString emptyBin = m_tempDir->filePath(QStringLiteral("empty"));
        QVERIFY(QDir().mkpath(emptyBin));
        qputenv("PATH", QFile::encodeName(emptyBin));
        QVERIFY(!platform::launchCommandLine(commandLine, WindowStyle::Normal, m_tempDir->path()));
    }

private:
    QByteArray m_savedPath;
    std::unique_ptr<QTemporaryDir> m_tempDir; // fresh for every test
};

QTEST_MAIN(TestLauncher)
#include "tst_launcher.moc"
