#include "platform/qtservices.h"

#include <QtTest>

// The argument string is the words after the program's name joined by single blanks, taken
// before Qt sees them.
class TestServices : public QObject
{
    Q_OBJECT

private slots:
    void argumentString_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << QStringList { QStringLiteral("quorvin") } << QString();
        QTest::newRow("one") << QStringList { QStringLiteral("quorvin"), QStringLiteral("a.nfo") }
                             << QStringLiteral("a.nfo");
        QTest::newRow("split by the shell") << QStringList { QStringLiteral("quorvin"),
            QStringLiteral("/tmp/my"), QStringLiteral("file.nfo") }
                                            << QStringLiteral("/tmp/my file.nfo");
        QTest::newRow("quotes kept")
            << QStringList { QStringLiteral("quorvin"), QStringLiteral("\"x.nfo\"") }
            << QStringLiteral("\"x.nfo\"");
    }
    void argumentString()
    {
        QFETCH(QStringList, words);
        QFETCH(QString, expected);
        std::vector<QByteArray> storage;
        std::vector<char *> argv;
        for (const QString &word : words)
            storage.push_back(word.toLocal8Bit());
        for (QByteArray &word : storage)
            argv.push_back(word.data());
        QCOMPARE(platform::argumentStringFrom(int(argv.size()), argv.data()), expected);
    }
};

QTEST_MAIN(TestServices)
#include "tst_services.moc"
