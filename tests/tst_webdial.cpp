#include <QtTest>

// Runs the built webdial with a stand-in opener first on its search path, which records what
// it was asked to open; the real desktop is never touched.
class TestWebdial : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(QFileInfo(m_webdial).isExecutable(),
            qPrintable(QStringLiteral("build the webdial target first: ") + m_webdial));
        QVERIFY(QDir().mkpath(m_openerDir));
        QVERIFY(QDir().mkpath(m_emptyDir));
        QFile opener(m_openerDir + QStringLiteral("/xdg-open"));
        QVERIFY(opener.open(QIODevice::WriteOnly));
        // Writes beside the record and renames, so a record that exists is complete.
        opener.write(QStringLiteral("#!/bin/sh\n"
                                    "printf '%s\\n' \"$#\" \"$@\" > '%1.part'\n"
                                    "/bin/mv '%1.part' '%1'\n")
                         .arg(m_record)
                         .toUtf8());
        opener.close();
        QVERIFY(opener.setPermissions(opener.permissions() | QFile::ExeOwner));
    }
    void init() { QFile::remove(m_record); }

    void argument_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("opened"); // empty: nothing may be opened

        const auto one = [](const char *argument) {
            return QStringList { QString::fromUtf8(argument) };
        };
        QTest::newRow("https page")
            << one("$https://example.org") << 0 << QStringLiteral("https://example.org");
        QTest::newRow("http page with path, query and fragment") << one(
            "$http://example.org/a/b?c=d#e") << 0 << QStringLiteral("http://example.org/a/b?c=d#e");
        QTest::newRow("scheme and host in capitals")
            << one("$HTTPS://Example.ORG/Path") << 0 << QStringLiteral("https://example.org/Path");
        QTest::newRow("mailto") << one(">mailto:someone@example.org") << 0
                                << QStringLiteral("mailto:someone@example.org");
        QTest::newRow("mailto with subject")
            << one(">mailto:someone@example.org?subject=Hi%20there") << 0
            << QStringLiteral("mailto:someone@example.org?subject=Hi%20there");

        QTest::newRow("no argument") << QStringList {} << 2 << QString();
        QTest::newRow("two arguments") << QStringList { QStringLiteral("$https://example.org"),
            QStringLiteral("$https://example.org") }
                                       << 2 << QString();
        QTest::newRow("empty argument") << one("") << 2 << QString();
        QTest::newRow("no mark") << one("https://example.org") << 2 << QString();
        QTest::newRow("other mark") << one("#https://example.org") << 2 << QString();
        QTest::newRow("mark alone") << one("$") << 2 << QString();
        QTest::newRow("local file") << one("$file:///etc/passwd") << 2 << QString();
        QTest::newRow("script address") << one("$javascript:alert(1)") << 2 << QString();
        QTest::newRow("mailto behind the web mark")
            << one("$mailto:someone@example.org") << 2 << QString();
        QTest::newRow("web address behind the mail mark")
            << one(">https://example.org") << 2 << QString();
        QTest::newRow("no host") << one("$http://") << 2 << QString();
        QTest::newRow("no slashes") << one("$https:example.org") << 2 << QString();
        QTest::newRow("no scheme") << one("$//example.org") << 2 << QString();
        QTest::newRow("blank in host") << one("$https://exa mple.org") << 2 << QString();
        QTest::newRow("newline") << one("$https://example.org/\nx") << 2 << QString();
        QTest::newRow("control character") << one("$https://example.org/\x01") << 2 << QString();
        QTest::newRow("option-like address") << one("$--help") << 2 << QString();
        QTest::newRow("empty mailto") << one(">mailto:") << 2 << QString();
        QTest::newRow("mailto without @") << one(">mailto:someone") << 2 << QString();
        QTest::newRow("mailto without name") << one(">mailto:@example.org") << 2 << QString();
    }
    void argument()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, opened);

        const QByteArray errors = runWebdial(arguments, m_openerDir, exitCode);
        if (QTest::currentTestFailed())
            return;
        if (opened.isEmpty()) {
            QVERIFY2(!errors.isEmpty(), "a refusal says why");
            // Give a wrongly started opener the time to show itself.
            QTest::qWait(150);
            QVERIFY(!QFile::exists(m_record));
        } else {
            QVERIFY2(errors.isEmpty(), errors.constData());
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_record), 5000);
            QFile record(m_record);
            QVERIFY(record.open(QIODevice::ReadOnly));
            QCOMPARE(QString::fromUtf8(record.readAll()),
                QStringLiteral("1\n") + opened + QLatin1Char('\n'));
        }
    }

    void missingOpenerExitsWithThree()
    {
        const QByteArray errors
            = runWebdial({ QStringLiteral("$https://example.org") }, m_emptyDir, 3);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(errors.contains("xdg-open"));
    }

private:
    // Runs webdial with only pathDir on its search path; checks the exit code and returns what
    // it wrote to stderr.
    QByteArray runWebdial(const QStringList &arguments, const QString &pathDir, int exitCode)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PATH"), pathDir);
        process.setProcessEnvironment(environment);
        process.start(m_webdial, arguments);
        if (!process.waitForFinished(10000)) {
            process.kill();
            process.waitForFinished();
            QTest::qFail("webdial did not end", __FILE__, __LINE__);
            return {};
        }
        const QByteArray errors = process.readAllStandardError();
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != exitCode) {
            QTest::qFail(qPrintable(QStringLiteral("exit code %1, expected %2: %3")
                                        .arg(process.exitCode())
                                        .arg(exitCode)
                                        .arg(QString::fromUtf8(errors))),
                __FILE__, __LINE__);
        }
        return errors;
    }

    QTemporaryDir m_dir;
    const QString m_webdial = QStringLiteral(QUORVIN_BINARY_DIR "/webdial");
    const QString m_openerDir = m_dir.filePath(QStringLiteral("bin"));
    const QString m_emptyDir = m_dir.filePath(QStringLiteral("empty"));
    const QString m_record = m_dir.filePath(QStringLiteral("opened"));
};

QTEST_MAIN(TestWebdial)
#include "tst_webdial.moc"
