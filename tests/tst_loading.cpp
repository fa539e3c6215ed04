// Loading a file through the three entry points: caption, size refusal, reading, failures,
// type sizing, the drop, and loads that arrive while another one runs.

#include "programfixture.h"

#include "platform/droptarget.h"

#include <QAction>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QtTest>

namespace {

const QByteArray BadFile = QByteArrayLiteral("--> bad file <--");
// Stored sizes that are whole pixels of client area: NFO 10005 x 5995 twips (659 x 355 pixels),
// DIZ 6015 x 2995 twips (393 x 155 pixels).
const QByteArray Stored
    = quorvinIni(" 255 ", " 0 ", " 0 ", "1500", "990", "5995", "10005", "2995", "6015");

enum class Entry { Open, Drop, CommandLine };

// Records the text that a text area holds each time its view is painted.
class PaintedTexts : public QObject
{
public:
    QList<QByteArray> texts;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            const auto *area = qobject_cast<textarea::OemTextArea *>(watched->parent());
            if (area && area->viewport() == watched)
                texts << area->text();
        }
        return false;
    }
};

} // namespace

class TestLoading : public QObject
{
    Q_OBJECT

    // Loads a file through one entry point into a started program.
    void load(ProgramFixture &fixture, Entry entry, const QString &path)
    {
        switch (entry) {
        case Entry::Open:
            fixture.services.openAnswers.push_back(path);
            fixture.form1()->open_Click();
            break;
        case Entry::Drop:
            dropFiles(fixture.form1(), { path });
            QCoreApplication::processEvents();
            break;
        case Entry::CommandLine:
            QFAIL("the command line loads at start");
        }
    }

private slots:
    void commandLineShowsTheFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("first break CR: direct")
            << QByteArray("ab\r\ncd\r\n") << QByteArray("ab\r\ncd");
        QTest::newRow("first break LF: converting")
            << QByteArray("ab\ncd\r\n") << QByteArray("ab\r\ncd\r\n");
        QTest::newRow("no break") << QByteArray("abc") << QByteArray("abc");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("direct, no final break") << QByteArray("ab\r\ncd") << QByteArray("ab\r\ncd");
        QTest::newRow("only a CR") << QByteArray("\r") << QByteArray();
        QTest::newRow("every byte") << [] {
            QByteArray all;
            for (int i = 0; i < 256; ++i)
                all += i == 10 || i == 13 ? 'x' : char(i);
            return all;
        }() << QByteArray();
    }
    void commandLineShowsTheFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, shown);
        if (shown.isEmpty() && bytes.size() == 256)
            shown = bytes;
        QTemporaryDir files;
        const QString path = files.filePath(QStringLiteral("Some Dir/README.NFO"));
        QDir().mkpath(QFileInfo(path).path());
        writeFile(path, bytes);
        ProgramFixture fixture(path);
        viewer::Form1 *form = fixture.start();
        QCOMPARE(fixture.text(), shown);
        QCOMPARE(form->windowTitle(), QStringLiteral("readme.nfo - Quorvin"));
        QVERIFY(form->isVisible());
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // The window shown by the command-line load is first drawn once its frame is due, with the
    // file in it: a short load is over by then, and the window is never drawn empty.
    void commandLineLoadDrawsTheWindowWithTheFile()
    {
        QTemporaryDir files;
        const QString path = files.filePath(QStringLiteral("art.nfo"));
        QByteArray bytes;
        while (bytes.size() < 1000)
            bytes += QByteArray(78, char(0xB1)) + "\r\n";
        writeFile(path, bytes);
        ProgramFixture fixture(path);
        PaintedTexts painted;
        qApp->installEventFilter(&painted);
        viewer::Form1 *form = fixture.start();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QTRY_VERIFY(!painted.texts.isEmpty());
        qApp->removeEventFilter(&painted);
        QCOMPARE(painted.texts.first(), bytes.left(bytes.size() - 2));
    }

    void captionAndFailures_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("caption");
        QTest::newRow("no separator")
            << QStringLiteral("readme.nfo") << QStringLiteral("readme.nfo - Quorvin");
        QTest::newRow("quotes kept")
            << QStringLiteral("\"/tmp/x/A.NFO\"") << QStringLiteral("a.nfo\" - Quorvin");
        QTest::newRow("a directory") << QStringLiteral("/tmp") << QStringLiteral("tmp - Quorvin");
    }
    void captionAndFailures()
    {
        QFETCH(QString, argument);
        QFETCH(QString, caption);
        ProgramFixture fixture(argument);
        viewer::Form1 *form = fixture.start();
        QCOMPARE(form->windowTitle(), caption);
        QCOMPARE(fixture.text(), BadFile);
        QVERIFY(form->isVisible());
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(fixture.services.messages.isEmpty());
    }

    void sizeLimit_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("refused");
        for (Entry entry : { Entry::Open, Entry::Drop, Entry::CommandLine }) {
            const QByteArray name = QByteArray::number(int(entry));
            QTest::newRow(name + ": 64000") << int(entry) << 64000 << false;
            QTest::newRow(name + ": 64001") << int(entry) << 64001 << true;
        }
    }
    void sizeLimit()
    {
        QFETCH(int, entry);
        QFETCH(int, size);
        QFETCH(bool, refused);
        QTemporaryDir files;
        const QString path = files.filePath(QStringLiteral("big.nfo"));
        writeFile(path, QByteArray(size, '\xDB'));

        const bool commandLine = Entry(entry) == Entry::CommandLine;
        ProgramFixture fixture(commandLine ? path : QString());
        bool visibleAtMessage = false;
        fixture.services.whileModal = [&] {
            visibleAtMessage = fixture.form1()->isVisible();
        };
        fixture.start();
        if (!commandLine) {
            fixture.form1()->Text1->setText("old");
            load(fixture, Entry(entry), path);
        }
        QCOMPARE(fixture.services.messages.size(), refused ? 1 : 0);
        if (refused) {
            QCOMPARE(fixture.services.messages.first().title, QStringLiteral("Quorvin error"));
            QCOMPARE(fixture.services.messages.first().text, QStringLiteral("File size too large"));
            QCOMPARE(visibleAtMessage, !commandLine);
            QCOMPARE(fixture.text(), QByteArray());
        } else {
            QCOMPARE(fixture.text(), QByteArray(size, '\xDB'));
        }
        QCOMPARE(fixture.form1()->windowTitle(), QStringLiteral("big.nfo - Quorvin"));
        QVERIFY(fixture.form1()->isVisible());
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void cancelledOpenChangesNothing()
    {
        ProgramFixture fixture;
        viewer::Form1 *form = fixture.start();
        form->Text1->setText("kept");
        form->open_Click();
        QCOMPARE(fixture.services.openRequests.size(), 1);
        QCOMPARE(fixture.services.openRequests.first().title, QStringLiteral("Open file"));
        QCOMPARE(fixture.services.openRequests.first().filters.size(), 3);
        QCOMPARE(fixture.services.openRequests.first().filters.first().description,
            QStringLiteral("NFO Files (*.nfo)"));
        QCOMPARE(fixture.text(), QByteArray("kept"));
        QCOMPARE(form->windowTitle(), QStringLiteral("Quorvin viewer"));
    }

    void typedNameThatDoesNotExist()
    {
        ProgramFixture fixture;
        viewer::Form1 *form = fixture.start();
        fixture.services.openAnswers.push_back(fixture.path(QStringLiteral("Missing.NFO")));
        form->open_Click();
        QCOMPARE(form->windowTitle(), QStringLiteral("missing.nfo - Quorvin"));
        QCOMPARE(fixture.text(), BadFile);
    }

    // The type test of each entry point, and what the window size and flags become.
    void typeSizing_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("dizSize");
        QTest::addColumn<bool>("dizMode");
        const auto row = [](Entry entry, const char *name, bool diz, bool mode) {
            QTest::addRow("%d %s", int(entry), name)
                << int(entry) << QString::fromLatin1(name) << diz << mode;
        };
        row(Entry::Open, "FILE_ID.DIZ", true, true);
        row(Entry::Open, "file_id.diz", true, true);
        row(Entry::Open, "readme.info", false, false);
        row(Entry::Open, "notes.txt", false, false);
        row(Entry::Drop, "FILE_ID.DIZ", true, true);
        row(Entry::Drop, "file_id.diz", false, false);
        row(Entry::Drop, "notes.txt", false, false);
        row(Entry::CommandLine, "FILE_ID.DIZ", true, true);
        row(Entry::CommandLine, "file_id.Diz", true, true);
        row(Entry::CommandLine, "notes.txt", false, false);
    }
    void typeSizing()
    {
        QFETCH(int, entry);
        QFETCH(QString, name);
        QFETCH(bool, dizSize);
        QFETCH(bool, dizMode);
        QTemporaryDir files;
        const QString path = files.filePath(name);
        writeFile(path, "text\r\n");
        const bool commandLine = Entry(entry) == Entry::CommandLine;
        ProgramFixture fixture(commandLine ? path : QString());
        fixture.write(QStringLiteral("quorvin.ini"), Stored);
        viewer::Form1 *form = fixture.start();
        if (!commandLine)
            load(fixture, Entry(entry), path);
        QCOMPARE(fixture.text(), QByteArray("text"));
        QCOMPARE(fixture.state().DizMode, dizMode);
        QCOMPARE(fixture.state().DizSized, dizSize);
        QCOMPARE(form->widthTwips(), dizSize ? 6015.0f : 10005.0f);
        QCOMPARE(form->heightTwips(), dizSize ? 2995.0f : 5995.0f);
    }

    void maximizedWindowLoadingDizAndNfo()
    {
        QTemporaryDir files;
        for (const char *name : { "a.diz", "b.nfo" }) {
            writeFile(files.filePath(QLatin1String(name)), {});
        }
        ProgramFixture fixture;
        fixture.write(QStringLiteral("quorvin.ini"), Stored);
        viewer::Form1 *form = fixture.start();
        form->setWindowStateValue(2);
        QTRY_COMPARE(form->windowStateValue(), 2);
        load(fixture, Entry::Open, files.filePath(QStringLiteral("a.diz")));
        QCOMPARE(form->windowStateValue(), 0);
        QCOMPARE(form->widthTwips(), 6015.0f);
        QCOMPARE(form->heightTwips(), 2995.0f);

        form->setWindowStateValue(2);
        QTRY_COMPARE(form->windowStateValue(), 2);
        load(fixture, Entry::Open, files.filePath(QStringLiteral("b.nfo")));
        QCOMPARE(form->windowStateValue(), 2);
        QVERIFY(!fixture.state().DizSized);
        QVERIFY(!fixture.state().DizMode);
    }

    void dizWindowSnapsBackAndNfoReturns()
    {
        QTemporaryDir files;
        for (const char *name : { "a.DIZ", "b.NFO" }) {
            writeFile(files.filePath(QLatin1String(name)), {});
        }
        ProgramFixture fixture;
        fixture.write(QStringLiteral("quorvin.ini"), Stored);
        viewer::Form1 *form = fixture.start();
        form->setHeightTwips(7495); // the NFO window the user last had
        load(fixture, Entry::Drop, files.filePath(QStringLiteral("a.DIZ")));
        form->setWidthTwips(9000); // the user resizes the DIZ window
        load(fixture, Entry::Drop, files.filePath(QStringLiteral("a.DIZ")));
        QCOMPARE(form->widthTwips(), 6015.0f);
        QCOMPARE(form->heightTwips(), 2995.0f);
        QCOMPARE(fixture.state().NfoHeight, QStringLiteral("7495"));

        load(fixture, Entry::Drop, files.filePath(QStringLiteral("b.NFO")));
        QCOMPARE(form->heightTwips(), 7495.0f);
        QCOMPARE(form->widthTwips(), 10005.0f); // the width at start-up
        QCOMPARE(fixture.state().NfoHeight, QStringLiteral("7495"));
        QCOMPARE(fixture.state().NfoWidth, QStringLiteral("10005"));
    }

    void secondNfoAfterWidening_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<float>("finalWidth");
        QTest::newRow("open keeps the width") << int(Entry::Open) << 12000.0f;
        QTest::newRow("drop restores the width at start") << int(Entry::Drop) << 10005.0f;
    }
    void secondNfoAfterWidening()
    {
        QFETCH(int, entry);
        QFETCH(float, finalWidth);
        QTemporaryDir files;
        const QString path = files.filePath(QStringLiteral("r.NFO"));
        writeFile(path, {});
        ProgramFixture fixture;
        fixture.write(QStringLiteral("quorvin.ini"), Stored);
        viewer::Form1 *form = fixture.start();
        load(fixture, Entry(entry), path);
        form->setWidthTwips(12000);
        load(fixture, Entry(entry), path);
        QCOMPARE(form->widthTwips(), finalWidth);
    }

    void dropLoadsOnlyTheFirstFile()
    {
        QTemporaryDir files;
        QStringList paths;
        for (const char *name : { "one.nfo", "two.nfo", "three.nfo" }) {
            paths << files.filePath(QLatin1String(name));
            writeFile(paths.last(), name);
        }
        ProgramFixture fixture;
        viewer::Form1 *form = fixture.start();
        dropFiles(form->Text1->viewport(), paths);
        QCOMPARE(form->FMDrop1->droppedFiles(), QStringList()); // reported after the drop
        QTRY_COMPARE(fixture.text(), QByteArray("one.nfo"));
        QCOMPARE(form->FMDrop1->droppedFiles(), paths);
        QCOMPARE(form->windowTitle(), QStringLiteral("one.nfo - Quorvin"));
    }

    // A load that arrives while a long load lets events run waits for it; only the latest is kept.
    void loadsArrivingDuringALoadAreQueued()
    {
        QTemporaryDir files;
        const QString longFile = files.filePath(QStringLiteral("long.nfo"));
        writeFile(longFile, QByteArray(64000, '\n'));
        for (const char *name : { "dropped.nfo", "opened.nfo" }) {
            writeFile(files.filePath(QLatin1String(name)), name);
        }
        ProgramFixture fixture;
        viewer::Form1 *form = fixture.start();
        fixture.services.openAnswers.push_back(longFile);
        fixture.services.openAnswers.push_back(files.filePath(QStringLiteral("opened.nfo")));
        // A drop arrives at the load's first fixed point; an Open follows right after it.
        QByteArray textWhenOpenArrived;
        QTimer::singleShot(
            0, form, [&] { dropFiles(form, { files.filePath(QStringLiteral("dropped.nfo")) }); });
        QObject *context = new QObject(form);
        connect(form->FMDrop1, &platform::DropTarget::DropFiles, context, [&, context] {
            textWhenOpenArrived = fixture.text();
            form->open_Click();
            context->deleteLater();
        });
        form->open_Click();
        QVERIFY(textWhenOpenArrived.size() < 128000); // both arrived while the long load ran
        QCOMPARE(fixture.services.openRequests.size(), 2);
        QCOMPARE(
            fixture.text(), QByteArray("opened.nfo")); // the drop was replaced by the later Open
        QCOMPARE(form->windowTitle(), QStringLiteral("opened.nfo - Quorvin"));
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void closeDuringALoadWritesOnceAndLeavesTheWindowAlone()
    {
        QTemporaryDir files;
        const QString longFile = files.filePath(QStringLiteral("long.nfo"));
        writeFile(longFile, QByteArray(64000, '\n'));
        ProgramFixture fixture;
        viewer::Form1 *form = fixture.start();
        fixture.services.openAnswers.push_back(longFile);
        QTimer::singleShot(0, form, [&] { form->close(); });
        form->open_Click();
        QVERIFY(form->unloaded());
        QCOMPARE(fixture.services.endRequests, 1);
        QVERIFY(QFile::exists(fixture.path(QStringLiteral("quorvin.ini"))));
        QVERIFY(fixture.text() != BadFile);
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(!form->isVisible());
    }
};

QTEST_MAIN(TestLoading)
#include "tst_loading.moc"
