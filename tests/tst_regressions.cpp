// Faults found by using the program from outside, each kept from coming back: the About window
// during a close, settings beside a read-only program directory, the run lock, geometry texts,
// the open dialog's "All Files", captions, the colour dialog, the busy pointer, and failures to
// start a program told in the user's words.

#include "programfixture.h"

#include "about/form2.h"
#include "platform/qtservices.h"
#include "platform/runlock.h"
#include "settings/conversions.h"

#include <QAbstractItemView>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QTimer>
#include <QWindow>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Runs check on the modal dialog of type Dialog once it is open and shows what it should.
template<typename Dialog> void whenOpen(std::function<bool(Dialog *)> check)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, check] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (dialog && check(dialog))
            poll->deleteLater();
    });
    poll->start(20);
}

platform::QtServices realServices()
{
    static char program[] = "quorvin";
    static char *argv[] = { program, nullptr };
    return platform::QtServices(1, argv);
}

} // namespace

class TestRegressions : public QObject
{
    Q_OBJECT

private slots:
    void aboutSurvivesWhatArrivesWhileItWaits_data()
    {
        QTest::addColumn<bool>("close");
        QTest::addColumn<int>("sounds");
        QTest::newRow("main window closed") << true << 0;
        QTest::newRow("second About") << false << 1;
    }
    void aboutSurvivesWhatArrivesWhileItWaits()
    {
        QFETCH(bool, close);
        QFETCH(int, sounds);
        ProgramFixture fixture;
        viewer::Form1 *form = fixture.start();
        // Runs while the About command waits for its window to be exposed.
        QMetaObject::invokeMethod(
            form, [form, close] { close ? void(form->close()) : form->about_Click(); },
            Qt::QueuedConnection);
        form->about_Click();
        QCOMPARE(fixture.services.sounds.size(), sounds);
        QVERIFY(!fixture.program->form2());
        QCOMPARE(QFile::exists(fixture.path(QStringLiteral("quorvin.ini"))), close);
        QCOMPARE(fixture.services.endRequests, close ? 1 : 0);
    }

    // A program directory that takes no new file, holding settings files that can be written.
    void settingsSavedBesideReadOnlyDirectory()
    {
        ProgramFixture fixture;
        const QByteArray old
            = quorvinIni(" 255 ", " 0 ", " 0 ", "1500", "990", "6000", "10000", "3000", "6000");
        fixture.write(QStringLiteral("quorvin.ini"), old);
        fixture.write(QStringLiteral("fontsize.ini"), "9\r\n");
        viewer::Form1 *form = fixture.start();
        for (const char *name : { "quorvin.ini", "fontsize.ini" })
            ::chmod(QFile::encodeName(fixture.path(QLatin1String(name))).constData(), 0666);
        const QByteArray directory = QFile::encodeName(fixture.directory.path());
        ::chmod(directory.constData(), 0555);
        {
            // Root writes anywhere; the permissions are then checked for an unprivileged user.
            const bool asNobody = ::geteuid() == 0 && ::seteuid(65534) == 0;
            form->f12_Click();
            form->close();
            if (asNobody)
                QVERIFY(::seteuid(0) == 0);
        }
        ::chmod(directory.constData(), 0700);
        QVERIFY(fixture.services.messages.isEmpty());
        QCOMPARE(fixture.read(QStringLiteral("fontsize.ini")), QByteArray("12\r\n"));
        QVERIFY(fixture.read(QStringLiteral("quorvin.ini")).startsWith("v1.19\r\nFC- 255 "));
    }

    void onlyAnotherHolderMakesASecondCopy_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("holdFirst");
        QTest::addColumn<bool>("secondCopy");
        QTest::newRow("lock free") << QStringLiteral("q.lock") << false << false;
        QTest::newRow("lock held by another") << QStringLiteral("q.lock") << true << true;
        QTest::newRow("lock cannot be made") << QStringLiteral("missing/q.lock") << false << false;
    }
    void onlyAnotherHolderMakesASecondCopy()
    {
        QFETCH(QString, name);
        QFETCH(bool, holdFirst);
        QFETCH(bool, secondCopy);
        QTemporaryDir directory;
        const platform::RunLock first(directory.filePath(holdFirst ? name : QStringLiteral("x")));
        const platform::RunLock lock(directory.filePath(name));
        QCOMPARE(lock.heldByAnother(), secondCopy);
    }

    void geometryTextsHaveNoExponent_data()
    {
        QTest::addColumn<float>("twips");
        QTest::addColumn<QString>("text");
        QTest::newRow("100000") << 100000.0f << QStringLiteral("100000");
        QTest::newRow("-300000") << -300000.0f << QStringLiteral("-300000");
        QTest::newRow("2000000") << 2000000.0f << QStringLiteral("2000000");
        QTest::newRow("0.1") << 0.1f << QStringLiteral("0.1");
        QTest::newRow("1500.5") << 1500.5f << QStringLiteral("1500.5");
    }
    void geometryTextsHaveNoExponent()
    {
        QFETCH(float, twips);
        QFETCH(QString, text);
        QCOMPARE(settings::twipsText(twips), text);
    }

    void allFilesListsNamesWithoutADot()
    {
        QTemporaryDir directory;
        for (const char *name : { "README", "FILE_ID", "a.nfo" })
            writeFile(directory.filePath(QLatin1String(name)), {});
        QStringList shown;
        QStringList captions;
        int polls = 0;
        whenOpen<QFileDialog>([&](QFileDialog *dialog) {
            auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            auto *view = dialog->findChild<QAbstractItemView *>(QStringLiteral("listView"));
            if (dialog->directory().absolutePath() != directory.path()
                || types->currentIndex() != 2) {
                dialog->setDirectory(directory.path());
                types->setCurrentIndex(2);
                emit types->activated(2);
                return false;
            }
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                shown << view->model()->index(row, 0, view->rootIndex()).data().toString();
            if (shown.size() < 3 && ++polls < 100)
                return shown.clear(), false; // the folder is still being read
            for (int i = 0; i < types->count(); ++i)
                captions << types->itemText(i);
            dialog->reject();
            return true;
        });
        realServices().openFileName(nullptr, QStringLiteral("Open file"),
            { { QStringLiteral("NFO Files (*.nfo)"), QStringLiteral("*.nfo") },
                { QStringLiteral("Diz Files (*.diz)"), QStringLiteral("*.diz") },
                { QStringLiteral("All Files (*.*)"), QStringLiteral("*.*") } });
        shown.sort();
        QCOMPARE(shown.join(u'|'), QStringLiteral("FILE_ID|README|a.nfo"));
        QCOMPARE(captions.join(u'|'),
            QStringLiteral("NFO Files (*.nfo)|Diz Files (*.diz)|All Files (*.*)"));
    }

    void captionShowsTheNameAsItIs_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("a[*]b.nfo") << QStringLiteral("a[*]b.nfo");
        QTest::newRow("[*][*][*].nfo") << QStringLiteral("[*][*][*].nfo");
    }
    void captionShowsTheNameAsItIs()
    {
        QFETCH(QString, name);
        ProgramFixture fixture(name);
        QCOMPARE(fixture.start()->windowHandle()->title(), name + QStringLiteral(" - Quorvin"));
    }

    void colourDialogOpensAtBlack()
    {
        QColorDialog::setCustomColor(3, Qt::red); // defined in an earlier opening
        QColor current;
        bool allBlack = true;
        whenOpen<QColorDialog>([&](QColorDialog *dialog) {
            current = dialog->currentColor();
            for (int i = 0; i < QColorDialog::customCount(); ++i)
                allBlack = allBlack && QColorDialog::customColor(i) == QColor(Qt::black);
            dialog->accept(); // a reflex OK
            return true;
        });
        QCOMPARE(realServices().chooseColour(nullptr), std::optional<platform::Colour>(0));
        QCOMPARE(current, QColor(Qt::black));
        QVERIFY(allBlack);
    }

    void busyPointerCoversTheMainWindowOnly()
    {
        ProgramFixture fixture(QStringLiteral("big.nfo"));
        fixture.services.m_argumentString = fixture.path(QStringLiteral("big.nfo"));
        fixture.write(QStringLiteral("big.nfo"), QByteArray(64001, 'x'));
        const QCursor *overrideDuringBox = nullptr;
        Qt::CursorShape windowDuringBox = Qt::ArrowCursor;
        fixture.services.whileModal = [&] {
            overrideDuringBox = QGuiApplication::overrideCursor();
            windowDuringBox = fixture.form1()->cursor().shape();
        };
        viewer::Form1 *form = fixture.start();
        QCOMPARE(fixture.services.messages.size(), 1); // "File size too large"
        QVERIFY(!overrideDuringBox); // the box has the normal pointer
        QCOMPARE(windowDuringBox, Qt::BitmapCursor); // the hourglass over the main window
        QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(form->Text1->viewport()->cursor().shape(), Qt::IBeamCursor);
    }

    void failureToStartSaysWhatAndWhy_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("what");
        QTest::newRow("help") << QStringLiteral(
            "contents") << QStringLiteral("The help text could not be opened:\r\n%1/contents.txt");
        QTest::newRow("web page")
            << QStringLiteral("web")
            << QStringLiteral("The web page could not be opened:\r\nhttps://quorvin.example.org/");
        QTest::newRow("email") << QStringLiteral("email")
                               << QStringLiteral(
                                      "No e-mail could be started to:\r\nteam@quorvin.example.org");
    }
    void failureToStartSaysWhatAndWhy()
    {
        QFETCH(QString, command);
        QFETCH(QString, what);
        ProgramFixture fixture;
        fixture.write(QStringLiteral("contents.txt"), "help\r\n");
        fixture.services.startSucceeds = false;
        fixture.services.startFailureText = QStringLiteral("Why.");
        fixture.start()->action(command.toLatin1().constData())->trigger();
        QCOMPARE(fixture.services.messages.size(), 1);
        QCOMPARE(fixture.services.messages.first().title, QStringLiteral("Quorvin error"));
        QCOMPARE(fixture.services.messages.first().text,
            what.replace(QLatin1String("%1"), fixture.directory.path())
                + QStringLiteral("\r\nWhy."));
    }

    void missingOpenerIsNamedAsTheReason()
    {
        QTemporaryDir empty;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(empty.path()));
        platform::QtServices services = realServices();
        const bool started = services.startProgram(
            QStringLiteral("notepad.exe /x/contents.txt"), platform::WindowStyle::Normal);
        qputenv("PATH", path);
        QVERIFY(!started);
        QCOMPARE(services.startFailure(),
            QStringLiteral("There is no program to open it (xdg-open is not installed)."));
    }
};

QTEST_MAIN(TestRegressions)
#include "tst_regressions.moc"
