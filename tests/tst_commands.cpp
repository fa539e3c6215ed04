// The main window's commands and keys: colours, font sizes, copy, help, web page, e-mail,
// exit, About, Escape, Ctrl+C and the double-click toggle.

#include "programfixture.h"

#include "about/form2.h"
#include "platform/sound.h"

#include <QAction>
#include <QElapsedTimer>
#include <QPointer>
#include <QtTest>

class TestCommands : public QObject
{
    Q_OBJECT

private slots:
    void colourCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<std::optional<platform::Colour>>("answer");
        QTest::addColumn<platform::Colour>("text");
        QTest::addColumn<platform::Colour>("back");
        QTest::newRow("text colour")
            << QStringLiteral("font") << std::optional<platform::Colour>(0x0000FF)
            << platform::Colour(0x0000FF) << platform::Colour(0);
        QTest::newRow("black text") << QStringLiteral("font") << std::optional<platform::Colour>(0)
                                    << platform::Colour(0) << platform::Colour(0);
        QTest::newRow("background")
            << QStringLiteral("background") << std::optional<platform::Colour>(0x123456)
            << platform::Colour(0xE0E0E0) << platform::Colour(0x123456);
        QTest::newRow("text cancelled")
            << QStringLiteral("font") << std::optional<platform::Colour>()
            << platform::Colour(0xE0E0E0) << platform::Colour(0);
        QTest::newRow("background cancelled")
            << QStringLiteral("background") << std::optional<platform::Colour>()
            << platform::Colour(0xE0E0E0) << platform::Colour(0);
    }
    void colourCommands()
    {
        QFETCH(QString, command);
        QFETCH(std::optional<platform::Colour>, answer);
        QFETCH(platform::Colour, text);
        QFETCH(platform::Colour, back);
        ProgramFixture fixture;
        viewer::Form1 *form = fixture.start();
        fixture.services.colourAnswers.push_back(answer);
        form->action(command.toLatin1().constData())->trigger();
        QCOMPARE(fixture.services.colourRequests, 1);
        QCOMPARE(form->Text1->textColour(), text);
        QCOMPARE(form->Text1->backColour(), back);
        QVERIFY(!QFile::exists(fixture.path(QStringLiteral("quorvin.ini"))));
    }

    void fontSizeCommandsMoveTheCheckAndStoreTheSize()
    {
        ProgramFixture fixture;
        viewer::Form1 *form = fixture.start();
        form->Text1->setBold(true);
        form->action("f12")->trigger();
        QCOMPARE(form->Text1->fontSize(), 12.0f);
        QVERIFY(!form->Text1->isBold());
        QCOMPARE(fixture.read(QStringLiteral("fontsize.ini")), QByteArray("12\r\n"));
        form->action("f5")->trigger();
        QCOMPARE(form->Text1->fontSize(), 5.0f);
        QCOMPARE(fixture.read(QStringLiteral("fontsize.ini")), QByteArray("5\r\n"));
        for (const char *name : { "f6", "f9", "f12", "f14" })
            QVERIFY(!form->action(name)->isChecked());
        QVERIFY(form->action("f5")->isChecked());
        form->action("f5")->trigger(); // the size in force again: still checked, file rewritten
        QVERIFY(form->action("f5")->isChecked());
        QVERIFY(fixture.services.messages.isEmpty());
    }

    void unwritableFontSizeIsReported()
    {
        ProgramFixture fixture;
        QDir(fixture.directory.path()).mkdir(QStringLiteral("fontsize.ini"));
        viewer::Form1 *form = fixture.start();
        form->action("f14")->trigger();
        QCOMPARE(form->Text1->fontSize(), 14.0f);
        QVERIFY(form->action("f14")->isChecked());
        QCOMPARE(fixture.services.messages.size(), 1);
        QCOMPARE(fixture.services.messages.first().title, QStringLiteral("Quorvin error"));
    }

    void copyPutsTheSelectionOrAnEmptyText()
    {
        ProgramFixture fixture;
        viewer::Form1 *form = fixture.start();
        form->Text1->setText("\xDB\xB0 ab\r\ncd");
        form->copy_Click();
        QCOMPARE(fixture.services.clipboardClears, 1);
        QCOMPARE(fixture.services.clipboardTexts, QStringList { QString() });
        form->Text1->setFocus();
        QTest::keyClick(form->Text1, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(form->Text1, Qt::Key_Right, Qt::ShiftModifier);
        form->copy_Click();
        QCOMPARE(fixture.services.clipboardTexts.last(), QStringLiteral("\u2588\u2591"));
        QCOMPARE(fixture.text(), QByteArray("\xDB\xB0 ab\r\ncd"));
    }

    void ctrlCCopiesOnce()
    {
        ProgramFixture fixture;
        viewer::Form1 *form = fixture.start();
        QVERIFY(QTest::qWaitForWindowActive(form));
        form->Text1->setFocus();
        QTest::keyClick(form->Text1, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(fixture.services.clipboardTexts.size(), 1);
        form->Text1_KeyPress(3); // the character itself, when the platform delivers it
        QCOMPARE(fixture.services.clipboardTexts.size(), 2);
        form->Text1_KeyPress('c');
        QCOMPARE(fixture.services.clipboardTexts.size(), 2);
    }

    void startedCommandLines_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("withHelpFile");
        QTest::addColumn<QString>("expected"); // %1: the program directory
        QTest::newRow("contents") << QStringLiteral("contents") << true
                                  << QStringLiteral("notepad.exe %1/contents.txt");
        QTest::newRow("contents missing") << QStringLiteral("contents") << false << QString();
        QTest::newRow("web") << QStringLiteral("web") << false
                             << QStringLiteral("webdial.exe $https://quorvin.example.org/");
        QTest::newRow("email") << QStringLiteral("email") << false
                               << QStringLiteral("webdial.exe >mailto:team@quorvin.example.org");
    }
    void startedCommandLines()
    {
        QFETCH(QString, command);
        QFETCH(bool, withHelpFile);
        QFETCH(QString, expected);
        QTemporaryDir parent;
        const QString directory = parent.filePath(QStringLiteral("Program Files"));
        QDir().mkpath(directory);
        RecordingServices services(directory);
        if (withHelpFile) {
            QFile help(directory + QStringLiteral("/contents.txt"));
            QVERIFY(help.open(QIODevice::WriteOnly));
        }
        viewer::Program program(services);
        program.start();
        program.form1()->action(command.toLatin1().constData())->trigger();
        if (expected.isEmpty()) {
            QVERIFY(services.startedCommandLines.isEmpty());
        } else {
            QCOMPARE(services.startedCommandLines, QStringList { expected.arg(directory) });
            QCOMPARE(services.startedStyles.first(), platform::WindowStyle::Normal);
        }
        QVERIFY(services.messages.isEmpty());
    }

    void programThatCannotStartIsReported()
    {
        ProgramFixture fixture;
        fixture.services.startSucceeds = false;
        fixture.start()->web_Click();
        QCOMPARE(fixture.services.messages.size(), 1);
        QCOMPARE(fixture.services.messages.first().title, QStringLiteral("Quorvin error"));
        QVERIFY(fixture.form1()->isVisible());
    }

    void escapeCloses_data()
    {
        QTest::addColumn<bool>("inTextArea");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        for (bool inText : { true, false }) {
            const char *where = inText ? "text area" : "window";
            QTest::addRow("%s, plain", where) << inText << Qt::KeyboardModifiers(Qt::NoModifier);
            QTest::addRow("%s, shift", where) << inText << Qt::KeyboardModifiers(Qt::ShiftModifier);
            QTest::addRow("%s, ctrl", where)
                << inText << Qt::KeyboardModifiers(Qt::ControlModifier);
            QTest::addRow("%s, alt", where) << inText << Qt::KeyboardModifiers(Qt::AltModifier);
        }
    }
    void escapeCloses()
    {
        QFETCH(bool, inTextArea);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        ProgramFixture fixture;
        viewer::Form1 *form = fixture.start();
        QTest::keyClick(
            inTextArea ? static_cast<QWidget *>(form->Text1) : form, Qt::Key_Escape, modifiers);
        QVERIFY(form->unloaded());
        QVERIFY(!form->isVisible());
        QVERIFY(QFile::exists(fixture.path(QStringLiteral("quorvin.ini"))));
    }

    // Menu accelerators win over the text area's own keys.
    void shortcutsWinOverTheTextArea()
    {
        ProgramFixture fixture;
        viewer::Form1 *form = fixture.start();
        form->Text1->setText("abc");
        QVERIFY(QTest::qWaitForWindowActive(form));
        form->Text1->setFocus();
        QTest::keyClick(form->Text1, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(fixture.services.sounds.size(), 1); // About ran
        QVERIFY(!form->Text1->hasSelection()); // nothing selected
        QTRY_VERIFY(QApplication::activeWindow() == form); // the keys are back once About is gone
        QTest::keyClick(form->Text1, Qt::Key_Q);
        QCOMPARE(fixture.text(), QByteArray("abc"));
        QTest::keyClick(form->Text1, Qt::Key_X, Qt::ControlModifier);
        QVERIFY(form->unloaded()); // Exit ran
        QCOMPARE(fixture.text(), QByteArray("abc"));
    }

    void aboutShowsTheWindowForTheSoundThenDestroysIt()
    {
        ProgramFixture fixture;
        viewer::Form1 *form = fixture.start();
        form->Text1->setText("kept");
        for (int round = 0; round < 2; ++round) { // a second About behaves as the first
            bool shownWhilePlaying = false;
            fixture.services.whilePlaying = [&](const QString &) {
                shownWhilePlaying
                    = fixture.program->form2() && fixture.program->form2()->isVisible();
            };
            fixture.services.sounds.clear();
            form->about_Click();
            QCOMPARE(
                fixture.services.sounds, QStringList { fixture.path(QStringLiteral("howl.wav")) });
            QVERIFY(shownWhilePlaying);
            QVERIFY(!fixture.program->form2());
        }
        QCOMPARE(fixture.text(), QByteArray("kept"));
        QVERIFY(form->isVisible());
        QCOMPARE(form->windowStateValue(), 0);
        QCOMPARE(fixture.state().VersionText, QStringLiteral("v1.19"));
    }

    // The About window is on the screen, drawn, for as long as the real sound plays, and
    // gone right after it.
    void aboutLastsAsLongAsTheSound()
    {
        if (qEnvironmentVariableIsSet("QUORVIN_NO_SOUND_SERVER"))
            QSKIP("no sound server in this environment");
        ProgramFixture fixture;
        QFile::copy(QStringLiteral(QUORVIN_SOURCE_DIR "/resources/howl.wav"),
            fixture.path(QStringLiteral("howl.wav")));
        viewer::Form1 *form = fixture.start();
        bool shownWhilePlaying = false;
        bool played = false;
        QElapsedTimer playing;
        fixture.services.whilePlaying = [&](const QString &path) {
            about::Form2 *about = fixture.program->form2();
            shownWhilePlaying = about && about->isVisible();
            playing.start();
            played = platform::playWavSync(path);
        };
        QElapsedTimer command;
        command.start();
        form->about_Click();
        const qint64 commandMs = command.elapsed();
        QVERIFY2(played, "the sound server did not play howl.wav");
        QVERIFY(shownWhilePlaying);
        QVERIFY(!fixture.program->form2());
        // howl.wav lasts 1.5 s; the bound above it is loose, the exact latency is measured in
        // bench_sound.
        QVERIFY2(playing.elapsed() >= 1450, qPrintable(QString::number(playing.elapsed())));
        QVERIFY2(commandMs < 4000, qPrintable(QString::number(commandMs)));
    }

    void doubleClickTogglesMaximizedAndNormal()
    {
        ProgramFixture fixture;
        fixture.write(QStringLiteral("quorvin.ini"),
            quorvinIni(" 255 ", " 0 ", " 0 ", "3000", "1500", "7000", "12000", "2995", "6015"));
        viewer::Form1 *form = fixture.start();
        form->Text1->setText("word other");
        const QRect normal = form->geometry();
        QTest::mouseDClick(form->Text1->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
        QTRY_COMPARE(form->windowStateValue(), 2);
        QVERIFY(!form->Text1->hasSelection());
        QCOMPARE(fixture.state().NfoWidth, QStringLiteral("12000"));
        QTest::mouseDClick(form->Text1->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
        QTRY_COMPARE(form->windowStateValue(), 0);
        QTRY_COMPARE(form->geometry(), normal);
        QVERIFY(!form->Text1->hasSelection());
        QVERIFY(form->Text1->isEnabled());
        QCOMPARE(fixture.state().NfoWidth, QStringLiteral("12000"));
        QCOMPARE(fixture.state().WinTop, QStringLiteral("3000"));
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
