// The main window in-process: start-up, close, resize, commands and keys; the About window.

#include "programfixture.h"

#include "about/form2.h"

#include <QAction>
#include <QLabel>
#include <QScreen>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Ini = QStringLiteral("quorvin.ini");
const QString Size = QStringLiteral("fontsize.ini");
const QByteArray Stored
    = quorvinIni(" 255 ", " 65280 ", " 0 ", "3000", "1500", "7000", "12000", "3000", "6000");

QByteArray stored(const char *from, const char *to)
{
    return QByteArray(Stored).replace(from, to);
}

// Colours, frame position, client size, font size and its item, DIZ size kept, text.
QString shown(const ProgramFixture &f)
{
    viewer::Form1 *w = f.form1();
    const char *checked = "-";
    for (const char *name : { "f5", "f6", "f9", "f12", "f14" })
        checked = w->action(name)->isChecked() ? name : checked;
    const QRect frame = w->frameGeometry();
    return QString::asprintf("%x %x %d,%d %dx%d %g %s %sx%s %s", w->Text1->textColour(),
        w->Text1->backColour(), frame.x(), frame.y(), w->centralWidget()->width(),
        w->centralWidget()->height(), double(w->Text1->fontSize()), checked,
        qPrintable(f.state().DizHeight), qPrintable(f.state().DizWidth), f.text().constData());
}

// A start-up row; failed: the window shows "--> bad file <--" after the rest.
void row(const char *name, const QByteArray &ini, const QByteArray &size, const char *shown,
    bool failed = false)
{
    QTest::newRow(name) << ini << size
                        << QLatin1String(shown) + QLatin1String(failed ? " --> bad file <--" : "");
}

// What is changed before the close, and how it is asked for: CtrlEscape and on are keys.
enum Setup { Plain, SecondCopy, DirInPlace, DizShown, ReadOnlyDir, CtrlEscape, AltEscape, CtrlX };

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    // A bad field fails start-up: what came before it stays applied, the rest is skipped. A
    // directory ("<dir>") or a dangling link in a file's place counts as no file. Never a
    // message or a window off the screen; the close then writes a whole quorvin.ini.
    void startUp_data()
    {
        QTest::addColumn<QByteArray>("ini"); // null: no file
        QTest::addColumn<QByteArray>("size");
        QTest::addColumn<QString>("shown");
        const QByteArray none, s12 = "12\r\n", MiB2(2 * 1024 * 1024, '\n');
        row("first run", none, none, "e0e0e0 0 66,100 659x355 9 - 3000x6000 ");
        row("stored", Stored, none, "ff ff00 100,200 792x422 9 - 3000x6000 ");
        row("long version line", QByteArray(10000, 'v') + Stored.mid(5), none,
            "ff ff00 100,200 792x422 9 - 3000x6000 ");
        row("Dheight 0", stored("Dheight-3000", "Dheight-0"), none,
            "ff ff00 100,200 792x422 9 - 6000x10000 ");
        row("far off the screen", stored("Top-3000\r\nLeft-1500", "Top--4e5\r\nLeft-48e4"), none,
            "ff ff00 0,0 792x422 9 - 3000x6000 ");
        row("letters in FC", stored("255", "abc"), s12, "e0e0e0 0 0,0 381x233 9 - x", true);
        row("BC over FFFFFF", stored("65280", "16777216"), s12, "ff 0 0,0 381x233 9 - x", true);
        row("Top-nan", stored("Top-3000", "Top-nan"), s12, "ff ff00 0,0 381x233 9 - 3000x6000",
            true);
        row("empty settings file", "", s12, "e0e0e0 0 0,0 381x233 9 - x", true);
        row("2 MiB settings file", Stored + MiB2, s12, "e0e0e0 0 0,0 381x233 9 - x", true);
        row("settings file a directory", "<dir>", s12, "e0e0e0 0 66,100 659x355 12 f12 3000x6000 ");
#ifndef Q_OS_WIN // where links are shortcut files
        row("settings file a dangling link", "<link>", none,
            "e0e0e0 0 66,100 659x355 9 - 3000x6000 ");
#endif
        row("size 12", none, s12, "e0e0e0 0 66,100 659x355 12 f12 3000x6000 ");
        row("size in letters", none, "big\r\n", "e0e0e0 0 66,100 659x355 9 - 3000x6000", true);
        row("size 5000", none, "5000\r\n", "e0e0e0 0 66,100 659x355 9 - 3000x6000", true);
        row("size in a 2 MiB file", none, s12 + MiB2, "e0e0e0 0 66,100 659x355 9 - 3000x6000",
            true);
    }
    void startUp()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QByteArray, size);
        QFETCH(QString, shown);
        ProgramFixture f;
        for (const auto &[name, bytes] : { std::pair { Ini, ini }, std::pair { Size, size } }) {
            if (bytes == "<dir>")
                QDir(f.directory.path()).mkdir(name);
            else if (bytes == "<link>")
                QFile::link(f.path(QStringLiteral("missing")), f.path(name));
            else if (!bytes.isNull())
                f.write(name, bytes);
        }
        viewer::Form1 *w = f.start();
#ifdef Q_OS_WIN // Windows places a window that start-up failed to place where it likes
        if (shown.endsWith(QLatin1String("bad file <--")))
            shown.replace(u" 0,0 "_qs, u" %1,%2 "_qs.arg(w->x()).arg(w->y()));
#endif
        QCOMPARE(::shown(f), shown);
        QCOMPARE(w->windowTitle(), QStringLiteral("Quorvin viewer"));
        QCOMPARE(f.read(Ini), ini.startsWith('<') ? QByteArray() : ini); // start-up writes nothing
        QVERIFY(QGuiApplication::primaryScreen()->geometry().intersects(w->frameGeometry()));
        QVERIFY(w->isVisible() && f.services.messages.isEmpty());
        w->close();
        const QByteArray written = f.read(Ini);
        QVERIFY(ini == "<dir>" || (written.startsWith("v1.19\r\n") && written.count("\r\n") == 10));
    }
    void close_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("setup");
        QTest::addColumn<QByteArray>("written"); // null: nothing
        const QByteArray none, maximized = stored("State- 0 ", "State- 2 ");
        const QByteArray diz = stored("Dheight-3000\r\nDwidth-6000", "Dheight-4420\r\nDwidth-8100");
        QTest::newRow("round trip") << Stored << int(Plain) << Stored;
        QTest::newRow("maximized keeps the stored place") << maximized << int(Plain) << maximized;
        QTest::newRow("DIZ shown") << Stored << int(DizShown) << diz;
        QTest::newRow("second copy") << none << int(SecondCopy) << none;
        QTest::newRow("directory in its place") << none << int(DirInPlace) << none;
        QTest::newRow("read-only directory") << Stored << int(ReadOnlyDir) << diz;
        QTest::newRow("Escape in the text") << Stored << int(CtrlEscape) << Stored;
        QTest::newRow("Escape on the window") << Stored << int(AltEscape) << Stored;
        QTest::newRow("Exit's Ctrl+X") << Stored << int(CtrlX) << Stored;
    }
    void close()
    {
        QFETCH(QByteArray, ini);
        QFETCH(int, setup);
        QFETCH(QByteArray, written);
        ProgramFixture f;
        if (!ini.isNull())
            f.write(Ini, ini);
        if (setup == DirInPlace)
            QDir(f.directory.path()).mkdir(Ini);
        f.services.anotherCopy = setup == SecondCopy;
        viewer::Form1 *w = f.start();
        QTRY_COMPARE(w->windowStateValue() == 2, ini.contains("State- 2"));
        if (setup == DizShown || setup == ReadOnlyDir) {
            f.state().DizMode = true;
            w->setWidthTwips(8100);
            w->setHeightTwips(4420);
        }
        // The file is written in place when no new file can be made beside it (as nobody, for
        // root writes anyway).
        const QByteArray directory = QFile::encodeName(f.directory.path());
        const bool readOnly = setup == ReadOnlyDir && ::chmod(directory.constData(), 0555) == 0
            && ::chmod(QFile::encodeName(f.path(Ini)).constData(), 0666) == 0;
#ifdef Q_OS_UNIX // Windows has no such users (nor keeps files out of a read-only folder)
        const bool asNobody = readOnly && ::geteuid() == 0 && ::seteuid(65534) == 0;
#endif
        if (setup < CtrlEscape)
            w->close();
        else if (QTest::qWaitForWindowActive(w)) // for the accelerator
            QTest::keyClick(setup == AltEscape ? static_cast<QWidget *>(w) : w->Text1,
                setup == CtrlX ? Qt::Key_X : Qt::Key_Escape,
                setup == AltEscape ? Qt::AltModifier : Qt::ControlModifier);
#ifdef Q_OS_UNIX
        QVERIFY(!asNobody || ::seteuid(0) == 0);
#endif
        QVERIFY(!readOnly || ::chmod(directory.constData(), 0700) == 0);
        QCOMPARE(f.read(Ini), written);
        QVERIFY(f.services.endRequests == 1 && w->unloaded() && !f.program->form2());
    }
    // The text area below a 60-twip band; geometry recorded only when normal and not DIZ.
    void resizeAndDoubleClick()
    {
        ProgramFixture f;
        viewer::Form1 *w = f.start();
        w->setWidthTwips(9000);
        QCOMPARE(w->Text1->geometry(), QRect(0, 4, 592, 351));
        f.state().DizMode = true;
        w->setWidthTwips(6000);
        f.state().DizMode = false;
        w->Text1->setText("word other");
        QTest::mouseDClick(w->Text1->viewport(), Qt::LeftButton, {}, QPoint(6, 6));
        QTRY_COMPARE(w->windowStateValue(), 2);
        const QSize client = w->centralWidget()->size();
        QCOMPARE(w->Text1->geometry(), QRect(3, 4, client.width() - 4, client.height() - 4));
        QCOMPARE(f.state().NfoWidth, QStringLiteral("9000"));
        QTest::mouseDClick(w->Text1->viewport(), Qt::LeftButton, {}, QPoint(6, 6));
        QTRY_COMPARE(w->Text1->geometry(), QRect(0, 4, 392, 351));
        QCOMPARE(f.state().NfoWidth, QStringLiteral("6000"));
        QVERIFY(!w->Text1->hasSelection());
    }
    // Colours (not on cancel); a font size checked alone, not bold, stored or reported.
    void optionsCommands()
    {
        ProgramFixture f;
        viewer::Form1 *w = f.start();
        f.services.colourAnswers = { 0xFFu, 0x123456u, std::nullopt, 0u };
        QStringList colours;
        for (const char *command : { "font", "background", "background", "font" }) {
            w->action(command)->trigger();
            colours << shown(f).section(u' ', 0, 1);
        }
        QCOMPARE(colours, QString::fromLatin1("ff 0,ff 123456,ff 123456,0 123456").split(u','));
        w->Text1->setBold(true);
        w->action("f12")->trigger();
        QCOMPARE(f.read(Size), QByteArray("12\r\n"));
        w->action("f5")->trigger();
        QCOMPARE(f.read(Size), QByteArray("5\r\n"));
        QCOMPARE(shown(f), QStringLiteral("0 123456 66,100 659x355 5 f5 3000x6000 "));
        QVERIFY(!w->Text1->isBold() && f.services.messages.isEmpty());
        QFile::remove(f.path(Size));
        QDir(f.directory.path()).mkdir(Size);
        w->action("f14")->trigger();
        QCOMPARE(w->Text1->fontSize(), 14.0f);
        QVERIFY(f.services.messages.size() == 1
            && f.services.messages[0].startsWith(QStringLiteral("Quorvin error: ")));
    }
    // The clipboard is emptied, then given the selection; Ctrl+C (or character 3) copies once.
    void copyPutsTheSelectionOnTheClipboard()
    {
        ProgramFixture f;
        viewer::Form1 *w = f.start();
        w->Text1->setText("\xDB\xB0 ab\r\ncd");
        w->copy_Click();
        QVERIFY(QTest::qWaitForWindowActive(w));
        w->Text1->setFocus();
        QTest::keyClick(w->Text1, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(w->Text1, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(w->Text1, Qt::Key_C, Qt::ControlModifier);
        w->Text1_KeyPress(3);
        const QString blocks = QStringLiteral("\u2588\u2591");
        QCOMPARE(f.services.clipboardTexts, QStringList({ QString(), blocks, blocks }));
        QCOMPARE(f.services.clipboardClears, 3);
    }
    // Command lines started (help only when its file is there); a failed start says why.
    void helpWebAndEmail()
    {
        ProgramFixture f;
        const QString help = f.path(QStringLiteral("contents.txt"));
        viewer::Form1 *w = f.start();
        w->action("contents")->trigger();
        writeFile(help, "help");
        f.services.startFailureText = QStringLiteral("Why.");
        for (const bool succeeds : { true, false }) {
            f.services.startSucceeds = succeeds;
            for (const char *command : { "contents", "web", "email" })
                w->action(command)->trigger();
        }
        const QStringList lines { QStringLiteral("notepad.exe ") + help,
            QStringLiteral("webdial.exe $https://quorvin.example.org/"),
            QStringLiteral("webdial.exe >mailto:team@quorvin.example.org") };
        QCOMPARE(f.services.startedCommandLines, lines + lines);
        QCOMPARE(f.services.messages.join(u'|'),
            QStringLiteral("Quorvin error: The help text could not be opened:\r\n%1\r\nWhy.|"
                           "Quorvin error: The web page could not be opened:\r\n"
                           "https://quorvin.example.org/\r\nWhy.|Quorvin error: No e-mail could be "
                           "started to:\r\nteam@quorvin.example.org\r\nWhy.")
                .arg(help));
    }
    // A close or a second About arriving while the About window waits to be seen.
    void aboutSurvivesWhatArrivesWhileItWaits()
    {
        for (const bool close : { true, false }) {
            ProgramFixture f;
            viewer::Form1 *w = f.start();
            QMetaObject::invokeMethod(
                w, [w, close] { close ? void(w->close()) : w->about_Click(); },
                Qt::QueuedConnection);
            w->about_Click();
            QCOMPARE(f.services.sounds.size(), close ? 0 : 1);
            QVERIFY(!f.program->form2() && f.read(Ini).isEmpty() != close);
        }
    }
    // While "File size too large" is shown the pointer over it is normal, the window's busy.
    void busyPointerCoversTheMainWindowOnly()
    {
        ProgramFixture f;
        f.services.m_argumentString = f.path(QStringLiteral("big.nfo"));
        f.write(QStringLiteral("big.nfo"), QByteArray(64001, 'x'));
        bool normalOverBox = false;
        f.services.whileModal = [&] {
            normalOverBox = !QGuiApplication::overrideCursor()
                && f.form1()->cursor().shape() == Qt::BitmapCursor;
        };
        QCOMPARE(f.start()->Text1->viewport()->cursor().shape(), Qt::IBeamCursor);
        QVERIFY(normalOverBox);
    }
    // Frameless, fixed, centred; picture unscaled; labels on the design's boxes, centred.
    void aboutWindow()
    {
        about::Form2 form({});
        QCOMPARE(form.windowFlags(), Qt::Tool | Qt::FramelessWindowHint);
        QVERIFY(form.minimumSize() == QSize(404, 305) && form.maximumSize() == form.minimumSize());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QPoint centre = QGuiApplication::primaryScreen()->geometry().center();
        QVERIFY((form.frameGeometry().center() - centre).manhattanLength() <= 2);
        const QImage picture(QString::fromLatin1(about::Form2::PicturePath));
        const QImage shot = form.grab().toImage();
        for (const QPoint p : { QPoint(0, 0), QPoint(264, 40), QPoint(263, 40), QPoint(397, 298) })
            QCOMPARE(QColor(shot.pixel(p + QPoint(3, 3))), QColor(picture.pixel(p)));
        const QRect boxes[] = { { 7, 8, 132, 42 }, { 76, 67, 26, 15 }, { 306, 265, 85, 31 } };
        QStringList looks;
        for (QLabel *label : { form.Label1, form.Label2, form.Label4 }) {
            const QRect box = boxes[looks.size()];
            const QRect placed = label->geometry().translated(-3, -3);
            QVERIFY(
                placed.contains(box) && (placed.center() - box.center()).manhattanLength() <= 2);
            looks << label->text() + u' ' + label->palette().color(QPalette::WindowText).name();
        }
        QCOMPARE(looks.join(u','), QStringLiteral("Quorvin #ffff80,v1.19 #ffff00,Q team #8080ff"));
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
