#include "programfixture.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <X11/Xlib.h>

// Installs the build into a temporary HOME as `make install` does for a user, has the desktop's
// openers start the installed program on a file, and uninstalls.
class TestE2eInstall : public QObject
{
    Q_OBJECT

    const QString m_build = QStringLiteral(QUORVIN_BINARY_DIR);
    const QStringList m_records { u"/install_manifest.txt"_qs, u"/install_record.cmake"_qs };
    QTemporaryDir m_home;
    QTemporaryDir m_aside; // the build's own install records while the test installs
    QProcessEnvironment m_env = QProcessEnvironment::systemEnvironment();
    QStringList m_before;

    QString home(const QString &name) const { return m_home.filePath(name); }

    // The command's output, stdout and stderr together, led by its exit code if that is not 0.
    QString run(const QStringList &command) const
    {
        QProcess process;
        process.setProcessEnvironment(m_env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(command.first(), command.mid(1));
        process.waitForFinished(120000);
        const QString output = QString::fromLocal8Bit(process.readAll()).trimmed();
        return process.exitCode() == 0 ? output : u"exit %1: "_qs.arg(process.exitCode()) + output;
    }

    // Every file, link and folder under HOME, files with a digest of their bytes.
    QStringList listing() const
    {
        QStringList entries;
        QDirIterator it(m_home.path(),
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
            QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            QFile file(info.filePath());
            const QByteArray bytes
                = info.isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
            entries << QDir(m_home.path()).relativeFilePath(info.filePath()) + u' '
                    + QString::fromLatin1(
                        QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
        }
        entries.sort();
        return entries;
    }

    static void requestClose(const QString &window)
    {
        ::Display *display = XOpenDisplay(nullptr);
        XEvent event {};
        event.xclient.type = ClientMessage;
        event.xclient.window = window.toULong();
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
        XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
        XCloseDisplay(display);
    }

    static bool ended(const QString &pid)
    {
        QFile stat(u"/proc/"_qs + pid + u"/stat"_qs);
        return !stat.open(QIODevice::ReadOnly) || stat.readAll().contains(") Z ");
    }

private slots:
    // A HOME that already has a default for .nfo files, and the entry of the program it names.
    void initTestCase()
    {
        QVERIFY(qEnvironmentVariableIsSet("DISPLAY"));
        m_env.insert(u"HOME"_qs, m_home.path());
        m_env.insert(u"XDG_DATA_HOME"_qs, home(u".local/share"_qs));
        m_env.insert(u"XDG_CONFIG_HOME"_qs, home(u".config"_qs));
        m_env.insert(u"QUORVIN_DATADIR"_qs, home(u".local/share"_qs));
        m_env.insert(u"DBUS_SESSION_BUS_ADDRESS"_qs, u"disabled:"_qs); // no bus started for it
        m_env.insert(u"PATH"_qs, home(u".local/bin:"_qs) + m_env.value(u"PATH"_qs));
        QDir().mkpath(home(u".local/share/applications"_qs));
        QDir().mkpath(home(u".config"_qs));
        writeFile(home(u".config/mimeapps.list"_qs),
            "[Added Associations]\ntext/plain=other.desktop;\n\n[Default Applications]\n"
            "text/x-nfo=other.desktop\ntext/html=other.desktop\n");
        writeFile(home(u".local/share/applications/other.desktop"_qs),
            "[Desktop Entry]\nType=Application\nName=Other\nExec=true %f\nMimeType=text/x-nfo;\n");
        m_before = listing();
        for (const QString &record : m_records)
            QDir().rename(m_build + record, m_aside.path() + record);
        const QString output
            = run({ u"cmake"_qs, u"--install"_qs, m_build, u"--prefix"_qs, home(u".local"_qs) });
        QVERIFY2(!output.startsWith(u"exit"), qPrintable(output));
    }

    void desktopKnowsQuorvin_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("type");
        QTest::newRow("nfo") << u"read me.nfo"_qs << u"text/x-nfo"_qs;
        QTest::newRow("diz") << u"FILE_ID.DIZ"_qs << u"text/x-quorvin-diz"_qs;
    }
    void desktopKnowsQuorvin()
    {
        QFETCH(QString, file);
        QFETCH(QString, type);
        writeFile(home(file), "text");
        QCOMPARE(run({ u"xdg-mime"_qs, u"query"_qs, u"filetype"_qs, home(file) }), type);
        QCOMPARE(run({ u"xdg-mime"_qs, u"query"_qs, u"default"_qs, type }), u"quorvin.desktop"_qs);
        QFile::remove(home(file));
        QCOMPARE(run({ u"desktop-file-validate"_qs,
                     home(u".local/share/applications/quorvin.desktop"_qs) }),
            QString());
        QCOMPARE(QFileInfo(run({ u"which"_qs, u"quorvin"_qs })).canonicalFilePath(),
            home(u".local/lib/quorvin/quorvin"_qs));
    }

    void openerStartsTheInstalledProgramOnTheFile_data()
    {
        QTest::addColumn<QStringList>("opener");
        QTest::newRow("xdg-open") << QStringList { u"xdg-open"_qs };
        QTest::newRow("gio open") << QStringList { u"gio"_qs, u"open"_qs };
    }
    void openerStartsTheInstalledProgramOnTheFile()
    {
        QFETCH(QStringList, opener);
        const QString settings = home(u".local/lib/quorvin/quorvin.ini"_qs);
        QFile::remove(settings);
        const QString file = home(u"Read Me.nfo"_qs);
        writeFile(file, "\xDB\xDB hello\r\n");
        QProcess process;
        process.setProcessEnvironment(m_env);
        process.start(opener.first(), opener.mid(1) << file);
        QString window;
        const QStringList search { u"xdotool"_qs, u"search"_qs, u"--name"_qs,
            u"^read me\\.nfo - Quorvin$"_qs };
        QTRY_VERIFY_WITH_TIMEOUT(!(window = run(search)).startsWith(u"exit"), 20000);
        const QString pid = run({ u"xdotool"_qs, u"getwindowpid"_qs, window });
        QCOMPARE(QFileInfo(u"/proc/"_qs + pid + u"/exe"_qs).symLinkTarget(),
            home(u".local/lib/quorvin/quorvin"_qs));
        requestClose(window);
        QTRY_VERIFY_WITH_TIMEOUT(ended(pid), 20000);
        QVERIFY(QFile::exists(settings)); // written beside the installed program
        QTRY_COMPARE_WITH_TIMEOUT(process.state(), QProcess::NotRunning, 20000);
        QCOMPARE(process.exitCode(), 0);
        QFile::remove(file);
    }

    // Uninstalling leaves HOME as it was but for the settings file beside the program.
    void cleanupTestCase()
    {
        const QString output = run({ u"cmake"_qs, u"-DQUORVIN_BINARY_DIR="_qs + m_build, u"-P"_qs,
            QStringLiteral(QUORVIN_SOURCE_DIR "/cmake/uninstall.cmake") });
        for (const QString &record : m_records)
            QDir().rename(m_aside.path() + record, m_build + record);
        QVERIFY2(!output.startsWith(u"exit"), qPrintable(output));
        QStringList after = listing();
        const QStringList settings = after.filter(
            QRegularExpression(u"^\\.local/lib( |/quorvin |/quorvin/quorvin\\.ini )"_qs));
        QCOMPARE(settings.size(), 3);
        for (const QString &entry : settings)
            after.removeOne(entry);
        QCOMPARE(after.join(u'\n'), m_before.join(u'\n'));
    }
};

QTEST_MAIN(TestE2eInstall)
#include "tst_e2e_install.moc"
