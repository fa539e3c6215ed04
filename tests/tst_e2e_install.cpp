#include "programfixture.h"

#include <QProcess>
#include <QtTest>

// Installs the build into a temporary HOME as `make install` does for a user, has the desktop's
// openers start the installed program on a file with a blank in its name, and uninstalls.
class TestE2eInstall : public QObject
{
    Q_OBJECT

    const QString m_build = QStringLiteral(QUORVIN_BINARY_DIR);
    QTemporaryDir m_home;
    QTemporaryDir m_aside; // the build's own install records while the test installs
    QProcessEnvironment m_env = QProcessEnvironment::systemEnvironment();
    QString m_before;
    const QString m_program = m_home.filePath(u".local/lib/quorvin/quorvin"_qs);

    // A shell script's output (and exit code if not 0), run in HOME with $1... the arguments.
    QString sh(const QString &script, const QStringList &arguments = {}, int seconds = 120) const
    {
        QProcess process;
        process.setProcessEnvironment(m_env);
        process.setWorkingDirectory(m_home.path());
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(u"sh"_qs, QStringList { u"-c"_qs, script, u"sh"_qs } + arguments);
        process.waitForFinished(seconds * 1000);
        const QString output = QString::fromLocal8Bit(process.readAll()).trimmed();
        return process.exitCode() == 0 ? output : u"exit %1: "_qs.arg(process.exitCode()) + output;
    }

    // Every file, link and folder under HOME but the program's folder, and the bytes' digests.
    const QString m_listing
        = u"find . -printf '%p %y %l\\n' | grep -v '^./.local/lib' | sort;"
          "find . -type f | grep -v '^./.local/lib' | sort | xargs -r -d '\\n' md5sum"_qs;

private slots:
    // A HOME that already has a default for .nfo files and the entry of the program it names.
    void initTestCase()
    {
        m_env.insert(u"HOME"_qs, m_home.path());
        for (const char *name : { "XDG_DATA_HOME", "QUORVIN_DATADIR" })
            m_env.insert(QLatin1String(name), m_home.filePath(u".local/share"_qs));
        m_env.insert(u"XDG_CONFIG_HOME"_qs, m_home.filePath(u".config"_qs));
        m_env.insert(u"PATH"_qs, m_home.filePath(u".local/bin:"_qs) + m_env.value(u"PATH"_qs));
        m_env.insert(u"DBUS_SESSION_BUS_ADDRESS"_qs, u"disabled:"_qs); // no bus started for it
        sh(u"mkdir -p .config .local/share/applications && printf '%s\\n' '[Default Applications]' "
           "text/x-nfo=other.desktop text/html=other.desktop >.config/mimeapps.list && "
           "printf '%s\\n' '[Desktop Entry]' Type=Application Name=Other 'Exec=true %f' "
           "'MimeType=text/x-nfo;' >.local/share/applications/other.desktop"_qs);
        m_before = sh(m_listing);
        sh(u"cd \"$1\" && mv install_manifest.txt install_record.cmake \"$2\""_qs,
            { m_build, m_aside.path() });
        const QString output = sh(u"cmake --install \"$1\" --prefix ~/.local"_qs, { m_build });
        QVERIFY2(!output.startsWith(u"exit"), qPrintable(output));
    }

    void desktopKnowsQuorvin()
    {
        QCOMPARE(sh(u"for f in 'read me.nfo' FILE_ID.DIZ; do touch \"$f\"; "
                    "t=$(xdg-mime query filetype \"$f\"); echo $t $(xdg-mime query default $t); "
                    "rm \"$f\"; done"_qs),
            u"text/x-nfo quorvin.desktop\ntext/x-quorvin-diz quorvin.desktop"_qs);
        QCOMPARE(
            sh(u"desktop-file-validate .local/share/applications/quorvin.desktop"_qs), QString());
        QVERIFY(sh(u"grep ^Exec= .local/share/applications/quorvin.desktop"_qs).endsWith(u" %f"));
        QCOMPARE(sh(u"readlink -f \"$(which quorvin)\""_qs), m_program);
    }

    void openersStartTheInstalledProgramOnTheFile()
    {
        const QString search = u"xdotool search --name '^read me\\.nfo - Quorvin$' getwindowpid"_qs;
        for (const QString &opener : { u"xdg-open"_qs, u"gio open"_qs }) {
            writeFile(m_home.filePath(u"Read Me.nfo"_qs), "\xDB\xDB hello\r\n");
            QProcess process;
            process.setProcessEnvironment(m_env);
            process.startCommand(opener + u" \""_qs + m_home.filePath(u"Read Me.nfo\""_qs));
            QString pid; // of the window the program shows the file in
            QTRY_VERIFY_WITH_TIMEOUT(!(pid = sh(search)).startsWith(u"exit"), 20000);
            QCOMPARE(sh(u"readlink /proc/$1/exe"_qs, { pid }), m_program);
            sh(u"kill $1"_qs, { pid });
            // Ended: no process, or a zombie (its stat's one line holds ") Z ").
            QTRY_VERIFY_WITH_TIMEOUT(
                sh(u"grep -qv ') Z ' /proc/$1/stat"_qs, { pid }).startsWith(u"exit"), 20000);
            process.waitForFinished(20000);
        }
    }

    // Tumbler on a private session bus makes the thumbnails of an .nfo and a .diz file with the
    // installed thumbnailer entry, at the cache's place for their URIs; the metainfo passes
    // AppStream's validation and man finds the renderer's page.
    void thumbnailsMetainfoAndManPage()
    {
        QCOMPARE(sh(u"appstreamcli validate --no-net --pedantic .local/share/metainfo/*.xml "
                    ">/dev/null && man -w quorvin-render"_qs),
            m_home.filePath(u".local/share/man/man1/quorvin-render.1"_qs));
        writeFile(m_home.filePath(u"art.nfo"_qs), QByteArray("\xdb\xdb\xdb\xdb\r\n").repeated(40));
        writeFile(m_home.filePath(u"file_id.diz"_qs), "\xdb\xdb\r\n");
        const QString queue
            = u"for f in art.nfo file_id.diz; do u=\"$u,'file://$HOME/$f'\"; done; "
              "gdbus call --session --timeout 150 "
              "--dest org.freedesktop.thumbnails.Thumbnailer1 "
              "--object-path /org/freedesktop/thumbnails/Thumbnailer1 --method "
              "org.freedesktop.thumbnails.Thumbnailer1.Queue \"[${u#,}]\" "
              "\"['text/x-nfo','text/x-quorvin-diz']\" normal default \"uint32 0\" >&2; "
              "while [ $(ls .cache/thumbnails/normal/*.png | wc -l) -lt 2 ] "
              "&& [ $(date +%s) -lt $end ]; do sleep 0.1; done; for f in art.nfo "
              "file_id.diz; do printf %s \"file://$HOME/$f\" | md5sum; done"_qs;
        // Tumbler runs niced: beside busy cores its start (D-Bus activation, its plugins'
        // registries) takes well past gdbus's default 25 s, so the call waits longer; and as gdbus
        // cannot read the method's types from a service that has not started yet, the last
        // argument says its type (uint32) rather than letting gdbus guess int32.
        const QStringList sums
            = sh(u"export XDG_CACHE_HOME=\"$HOME/.cache\" end=$(($(date +%s) + 150)); "
                 "dbus-run-session -- sh -c \"$1\" 2>/dev/null"_qs,
                { queue }, 200)
                  .split(u'\n');
        QList<QImage> thumbnails;
        for (int i : { 0, 1 })
            thumbnails << QImage(m_home.filePath(
                u".cache/thumbnails/normal/"_qs + sums.value(i).left(32) + u".png"_qs));
        sh(u"rm -r .cache art.nfo file_id.diz"_qs); // HOME as it was, whatever follows
        // Full blocks at 5 points: 4 cells cut to 2 lines, as tall as wide; 2 cells by 1 line.
        for (int i : { 0, 1 })
            QVERIFY(thumbnails[i].size() == (i ? QSize(10, 7) : QSize(20, 14))
                && thumbnails[i].pixel(0, 0) == qRgb(224, 224, 224));
    }

    // Uninstalling leaves HOME as it was but for the settings files beside the program.
    void cleanupTestCase()
    {
        writeFile(m_program + u".ini"_qs, "v1.19\r\n");
        const QString output = sh(u"rm 'Read Me.nfo'; cmake -DQUORVIN_BINARY_DIR=\"$1\" -P \"$2\" "
                                  "&& rm \"$1\"/install_record.cmake"_qs,
            { m_build, QStringLiteral(QUORVIN_SOURCE_DIR "/cmake/uninstall.cmake") });
        sh(u"cd \"$2\" && mv -f install_manifest.txt install_record.cmake \"$1\""_qs,
            { m_build, m_aside.path() });
        QVERIFY2(!output.startsWith(u"exit"), qPrintable(output));
        QCOMPARE(sh(u"find .local/lib"_qs),
            u".local/lib\n.local/lib/quorvin\n.local/lib/quorvin/quorvin.ini"_qs);
        QCOMPARE(sh(m_listing), m_before);
    }
};

QTEST_MAIN(TestE2eInstall)
#include "tst_e2e_install.moc"
