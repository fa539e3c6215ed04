// Faults found by using the program from outside, each kept from coming back.

#include "programfixture.h"

#include "platform/launcher.h"
#include "platform/qtservices.h"
#include "platform/runlock.h"
#include "settings/conversions.h"

#include <QAbstractItemView>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

template<typename Dialog> static void whenOpen(std::function<bool(Dialog *)> check)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, check] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (dialog && check(dialog))
            poll->deleteLater();
    });
    poll->start(20);
}

static char program[] = "quorvin";
static char *argv[] = { program, nullptr };

class TestRegressions : public QObject
{
    Q_OBJECT

private slots:
    void aboutSurvivesWhatArrivesWhileItWaits_data()
    {
        QTest::addColumn<bool>("close");
        QTest::newRow("main window closed") << true;
        QTest::newRow("second About") << false;
    }
    void aboutSurvivesWhatArrivesWhileItWaits()
    {
        QFETCH(bool, close);
        ProgramFixture fixture;
        viewer::Form1 *form = fixture.start();
        QMetaObject::invokeMethod(
            form, [form, close] { close ? void(form->close()) : form->about_Click(); },
            Qt::QueuedConnection);
        form->about_Click();
        QCOMPARE(fixture.services.sounds.size(), close ? 0 : 1);
        QVERIFY(!fixture.program->form2());
        QCOMPARE(fixture.read(QStringLiteral("quorvin.ini")).size() > 0, close);
    }
    void settingsSavedBesideReadOnlyDirectory()
    {
        ProgramFixture fixture;
        fixture.write(QStringLiteral("quorvin.ini"), {});
        fixture.write(QStringLiteral("fontsize.ini"), "9\r\n");
        viewer::Form1 *form = fixture.start();
        for (const char *name : { "quorvin.ini", "fontsize.ini" })
            ::chmod(QFile::encodeName(fixture.path(QLatin1String(name))).constData(), 0666);
        const QByteArray directory = QFile::encodeName(fixture.directory.path());
        ::chmod(directory.constData(), 0555);
        const bool asNobody = ::geteuid() == 0 && ::seteuid(65534) == 0;
        form->f12_Click();
        form->close();
        QVERIFY(!asNobody || ::seteuid(0) == 0);
        ::chmod(directory.constData(), 0700);
        QCOMPARE(fixture.read(QStringLiteral("fontsize.ini")), QByteArray("12\r\n"));
        QVERIFY(fixture.read(QStringLiteral("quorvin.ini")).startsWith("v1.19\r\n"));
    }
    void onlyAnotherHolderMakesASecondCopy()
    {
        QTemporaryDir directory;
        const platform::RunLock first(directory.filePath(QStringLiteral("a.lock")));
        QVERIFY(first.isHeld() && !first.heldByAnother());
        QVERIFY(platform::RunLock(directory.filePath(QStringLiteral("a.lock"))).heldByAnother());
        QVERIFY(!platform::RunLock(directory.filePath(QStringLiteral("x/a.lock"))).heldByAnother());
    }
    void geometryTextsHaveNoExponent_data()
    {
        QTest::addColumn<QString>("text");
        for (const char *text : { "100000", "-300000", "2000000", "0.1", "1500.5" })
            QTest::newRow(text) << QString::fromLatin1(text);
    }
    void geometryTextsHaveNoExponent()
    {
        QFETCH(QString, text);
        QCOMPARE(settings::twipsText(text.toFloat()), text);
    }
    void dialogsListEveryFileAndStartAtBlack()
    {
        QTemporaryDir directory;
        for (const char *name : { "README", "FILE_ID", "a.nfo" })
            writeFile(directory.filePath(QLatin1String(name)), {});
        int shown = 0;
        QString caption;
        int polls = 0;
        whenOpen<QFileDialog>([&](QFileDialog *dialog) {
            auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            auto *view = dialog->findChild<QAbstractItemView *>(QStringLiteral("listView"));
            if (types->currentIndex() != 1) {
                dialog->setDirectory(directory.path());
                types->setCurrentIndex(1);
                emit types->activated(1); // "All Files (*.*)"
                return false;
            }
            shown = view->model()->rowCount(view->rootIndex());
            if (shown < 3 && ++polls < 100)
                return false; // the folder is still being read
            caption = types->itemText(1);
            dialog->reject();
            return true;
        });
        platform::QtServices services(1, argv);
        services.openFileName(nullptr, QStringLiteral("Open file"),
            { { QStringLiteral("NFO Files (*.nfo)"), QStringLiteral("*.nfo") },
                { QStringLiteral("All Files (*.*)"), QStringLiteral("*.*") } });
        QCOMPARE(shown, 3); // README and FILE_ID too
        QCOMPARE(caption, QStringLiteral("All Files (*.*)"));
        QColor current;
        whenOpen<QColorDialog>([&](QColorDialog *dialog) {
            current = dialog->currentColor();
            dialog->accept(); // a reflex OK
            return true;
        });
        QCOMPARE(services.chooseColour(nullptr), std::optional<platform::Colour>(0));
        QCOMPARE(current, QColor(Qt::black));
    }
    void busyPointerCoversTheMainWindowOnly()
    {
        ProgramFixture fixture;
        fixture.services.m_argumentString = fixture.path(QStringLiteral("big.nfo"));
        fixture.write(QStringLiteral("big.nfo"), QByteArray(64001, 'x'));
        bool normalOverBox = false;
        fixture.services.whileModal = [&] { // "File size too large"
            normalOverBox = !QGuiApplication::overrideCursor()
                && fixture.form1()->cursor().shape() == Qt::BitmapCursor;
        };
        viewer::Form1 *form = fixture.start();
        QVERIFY(normalOverBox);
        QCOMPARE(form->Text1->viewport()->cursor().shape(), Qt::IBeamCursor);
    }
    void failureToStartSaysWhatAndWhy_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QString>("what");
        QTest::newRow("help") << QByteArray("contents")
                              << QStringLiteral("The help text could not be opened:\r\n");
        QTest::newRow("web") << QByteArray("web")
                             << QStringLiteral("The web page could not be opened:\r\nhttps://");
        QTest::newRow("email") << QByteArray("email")
                               << QStringLiteral("No e-mail could be started to:\r\nteam@");
    }
    void failureToStartSaysWhatAndWhy()
    {
        QFETCH(QByteArray, command);
        QFETCH(QString, what);
        ProgramFixture fixture;
        fixture.write(QStringLiteral("contents.txt"), "help\r\n");
        fixture.services.startSucceeds = false;
        fixture.services.startFailureText = QStringLiteral("Why.");
        fixture.start()->action(command.constData())->trigger();
        QCOMPARE(fixture.services.messages.size(), 1);
        const QString text = fixture.services.messages.first().text;
        QVERIFY2(
            text.startsWith(what) && text.endsWith(QStringLiteral("\r\nWhy.")), qPrintable(text));
    }
    void missingOpenerIsNamedAsTheReason()
    {
        QTemporaryDir empty;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(empty.path()));
        QString why;
        QVERIFY(!platform::launchCommandLine(QStringLiteral("notepad.exe /x"), {}, {}, &why));
        qputenv("PATH", path);
        QCOMPARE(
            why, QStringLiteral("There is no program to open it (xdg-open is not installed)."));
    }
};

QTEST_MAIN(TestRegressions)
#include "tst_regressions.moc"
