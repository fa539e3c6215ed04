// A shown file that changes between the load's size test and its reading: deleted, replaced
// by a directory, emptied, or grown past the size limit. A drop's load sets the caption just
// before the size test and lets events run right after it, so a zero-time timer started when
// the caption changes makes the change exactly there.

#include "programfixture.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QtTest>

namespace {

const QByteArray BadFile = QByteArrayLiteral("--> bad file <--");

enum class Change { Delete, Directory, Empty, GrowPastLimit, GrowWithinLimit };

void append(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append));
    QCOMPARE(file.write(bytes), bytes.size());
}

// 64000 bytes of 79-character lines, ended by CR LF or by LF alone.
QByteArray fullFile(const QByteArray &lineBreak)
{
    QByteArray bytes;
    while (bytes.size() < 64000)
        bytes += QByteArray(79, 'x') + lineBreak;
    bytes.truncate(64000);
    return bytes;
}

} // namespace

class TestLoadRaces : public QObject
{
    Q_OBJECT

private slots:
    void fileChangesAfterTheSizeTest_data()
    {
        QTest::addColumn<QByteArray>("lineBreak");
        QTest::addColumn<int>("change");
        QTest::addColumn<QByteArray>("shown"); // empty: the failure text

        for (const QByteArray &lineBreak : { QByteArray("\r\n"), QByteArray("\n") }) {
            const QByteArray mode = lineBreak == "\n" ? " (converting)" : " (direct)";
            QTest::newRow("deleted" + mode) << lineBreak << int(Change::Delete) << BadFile;
            QTest::newRow("replaced by a directory" + mode)
                << lineBreak << int(Change::Directory) << BadFile;
            QTest::newRow("emptied" + mode) << lineBreak << int(Change::Empty) << QByteArray();
            QTest::newRow("grown past 64000 bytes" + mode)
                << lineBreak << int(Change::GrowPastLimit) << BadFile;
        }
        // Small files may grow: the read takes what is there, up to the limit.
        QTest::newRow("small file grown within the limit (direct)")
            << QByteArray("\r\n") << int(Change::GrowWithinLimit) << QByteArray("ab\r\ncd");
    }

    void fileChangesAfterTheSizeTest()
    {
        QFETCH(QByteArray, lineBreak);
        QFETCH(int, change);
        QFETCH(QByteArray, shown);

        ProgramFixture fixture;
        viewer::Form1 *form = fixture.start();
        QTemporaryDir files;
        const QString path = files.filePath(QStringLiteral("race.NFO"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(Change(change) == Change::GrowWithinLimit ? QByteArray("ab\r\n")
                                                                 : fullFile(lineBreak));
        }

        bool changed = false;
        const auto makeChange = [&] {
            changed = true;
            switch (Change(change)) {
            case Change::Delete:
                QVERIFY(QFile::remove(path));
                break;
            case Change::Directory:
                QVERIFY(QFile::remove(path));
                QVERIFY(QDir(files.path()).mkdir(QStringLiteral("race.NFO")));
                break;
            case Change::Empty: {
                QFile file(path);
                QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
                break;
            }
            case Change::GrowPastLimit:
                append(path, "0123456789");
                break;
            case Change::GrowWithinLimit:
                append(path, "cd\r\n");
                break;
            }
        };
        QMetaObject::Connection armed;
        armed = connect(form, &QWidget::windowTitleChanged, form, [&] {
            disconnect(armed);
            QTimer::singleShot(0, form, makeChange);
        });
        dropFiles(form, { path });
        QCoreApplication::processEvents(); // the drop reports its files once it has returned

        QVERIFY(changed); // the change came inside the load, after the size test
        QCOMPARE(fixture.text(), shown);
        QCOMPARE(form->windowTitle(), QStringLiteral("race.nfo - Quorvin"));
        QVERIFY(fixture.services.messages.isEmpty()); // no "File size too large": that test passed
        QVERIFY(form->isVisible());
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }
};

QTEST_MAIN(TestLoadRaces)
#include "tst_loadraces.moc"
