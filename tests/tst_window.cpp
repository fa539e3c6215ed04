// The settings formats; the main window in-process: start-up, close, resize, commands and keys;
// the About window. Reading a shown file: the probe, both reading modes, the limit; loads through
// Open ('o'), a drop ('d') and the command line ('c'), samples among them, loads during a load.

#include "expectedtext.h"
#include "programfixture.h"

#include "about/form2.h"
#include "platform/droptarget.h"
#include "settings/conversions.h"
#include "settings/fieldreader.h"
#include "settings/settingserror.h"
#include "settings/settingsfiles.h"
#include "viewer/filereading.h"
#include "viewer/links.h"
#include "viewer/utf8reading.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>

#include <cmath>
#include <sys/stat.h>
#include <unistd.h>

using namespace settings;
using namespace viewer;

namespace {

const double Refused = std::numeric_limits<double>::quiet_NaN();
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
    Form1 *w = f.form1();
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

    QTemporaryDir m_dir;
    int m_files = 0;
    static void noShow(const QByteArray &) { }
    static bool keepGoing() { return true; }
    // What a load shows: the direct read's text when a CR is the first break, else the other's.
    static QByteArray shownFor(const QByteArray &bytes)
    {
        const qsizetype cr = bytes.indexOf('\r'), lf = bytes.indexOf('\n');
        return cr >= 0 && (lf < 0 || cr < lf) ? expected::withoutFinalBreak(bytes)
                                              : expected::converted(bytes);
    }

    QString fileWith(const QByteArray &bytes, const QString &name = QStringLiteral("f.nfo"))
    {
        const QString path = m_dir.filePath(QString::number(++m_files) + u'/' + name);
        QDir().mkpath(QFileInfo(path).path());
        writeFile(path, bytes);
        return QDir::toNativeSeparators(path); // as the dialog and a drop give it
    }

private slots:
    // Each field read, followed by "|", until the reader runs out of lines.
    void fieldsAreReadLineByLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("fields");
        const auto row = [](const char *name, const QByteArray &bytes, const QByteArray &fields) {
            QTest::newRow(name) << bytes << fields;
        };
        row("empty file has no line", "", "");
        row("only a break", "\r\n", "|");
        row("CR LF, CR, LF, none", "a\r\nb\rc\nd", "a|b|c|d|");
        row("LF CR is two breaks", "a\n\r\r\nb", "a|||b|");
        row("blanks: leading skipped", " \ta b \r\n", "a b |");
        row("comma ends the value", "a,b\r\n,c\r\n", "a||");
        row("quoted value", "  \"a, b\" c\r\n", "a, b|");
        row("unclosed quote", "\"abc\r\nd\"e\r\n", "abc|d\"e|");
        row("NUL, high bytes", QByteArray("\0\xDB\r\n", 4), QByteArray("\0\xDB|", 3));
    }
    void fieldsAreReadLineByLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, fields);
        FieldReader reader(bytes);
        QByteArray read;
        for (qsizetype field = 0; field < fields.count('|'); ++field)
            read += reader.next() + '|';
        QCOMPARE(read, fields);
        QVERIFY_THROWS_EXCEPTION(SettingsError, reader.next());
    }

    // Kinds: c colour, s window state, t twips (geometry), f font size.
    void numbersConvertOrAreRefused_data()
    {
        QTest::addColumn<char>("kind");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("expected");
        const auto row = [](char kind, const QByteArray &text, double expected) {
            QTest::addRow("%c '%s'", kind, text.left(20).toPercentEncoding(" +-.,").constData())
                << kind << text << expected;
        };
        row('c', " \t+16777215 ", 16777215);
        row('c', "16777216", Refused);
        row('c', "255abc", Refused); // a number is the whole field, not its leading digits
        row('t', "12x", Refused);
        row('s', " 2 ", 2);
        row('s', "65538", Refused);
        row('t', " +2.5 ", 2.5);
        row('t', "491505", 491505);
        row('t', "491520", Refused);
        row('t', "\xEF\xBC\x91\xEF\xBC\x95", Refused); // full-width digits
        row('t', QByteArray(10000, '9'), Refused);
        row('f', "2160.5", Refused);
        row('f', "0", Refused);
    }
    void numbersConvertOrAreRefused()
    {
        QFETCH(char, kind);
        QFETCH(QByteArray, text);
        QFETCH(double, expected);
        const auto convert = [&]() -> double {
            return kind == 'c' ? toColour(text)
                : kind == 's'  ? toWindowState(text)
                : kind == 't'  ? toTwips(QString::fromUtf8(text))
                               : toFontSize(text);
        };
        if (std::isnan(expected))
            QVERIFY_THROWS_EXCEPTION(SettingsError, convert());
        else
            QCOMPARE(convert(), expected);
    }

    void settingsFilesHoldTheseBytes()
    {
        // Geometry: the shortest decimal text of the single-precision number, no exponent.
        const QuorvinIni ini { QStringLiteral("v1.19"), 0x123456, 0xFFFFFF, 2, twipsText(-3e5f),
            twipsText(-0.0f), twipsText(1500.5f), twipsText(1e-5f), {}, QStringLiteral("6\u00E9") };
        QCOMPARE(serializeQuorvinIni(ini),
            "v1.19\r\nFC- 1193046 \r\nBC- 16777215 \r\nState- 2 \r\nTop--300000\r\n"
            "Left-0\r\nNheight-1500.5\r\nNwidth-0.00001\r\nDheight-\r\nDwidth-6\xE9\r\n");
        QCOMPARE(serializeFontSize(QStringLiteral("12")), QByteArray("12\r\n"));
    }

    // A bad field fails start-up: what came before it stays applied, the rest is skipped; a
    // directory or a dangling link counts as no file. No message, no window off the screen.
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
        Form1 *w = f.start();
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
        Form1 *w = f.start();
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
        Form1 *w = f.start();
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
        QVERIFY(!w->Text1->hasSelection() && w->Text1->caretPosition() == 0);
    }
    // A loaded file's links (8 x 12 cells): underlined, a hand over them; the menu over one opens
    // and copies it; Ctrl+click opens at once, a click once no second click has come; a drag
    // from a link selects and a double-click toggles the window, and neither opens anything.
    void linksOfTheLoadedText()
    {
        ProgramFixture f;
        f.services.m_argumentString = f.path(QStringLiteral("l.nfo"));
        f.write(QStringLiteral("l.nfo"), "x www.a.org\nmail b@c.de");
        viewer::Form1 *w = f.start();
        QWidget *view = w->Text1->viewport();
        const QPoint web(2 * 8 + 4, 6), mail(5 * 8 + 4, 18), plain(4, 18);
        QImage image(view->size(), QImage::Format_RGB32);
        view->render(&image);
        for (int x = 8; x < 12 * 8; ++x) // the cells' bottom row: a line from column 2 to 10
            QCOMPARE(image.pixel(x, 11) == 0xFFE0E0E0, x >= 16 && x < 88);
        const auto pointerOver = [&](QPoint at) {
            QMouseEvent move(QEvent::MouseMove, at, view->mapToGlobal(at), Qt::NoButton, {}, {});
            QApplication::sendEvent(view, &move);
            return view->cursor().shape();
        };
        QCOMPARE(pointerOver(web), Qt::PointingHandCursor);
        QCOMPARE(pointerOver(plain), Qt::IBeamCursor);
        QStringList entries;
        for (const QPoint at : { mail, plain }) {
            QContextMenuEvent menu(QContextMenuEvent::Mouse, at, view->mapToGlobal(at));
            QApplication::sendEvent(view, &menu);
            auto *shownMenu = w->Text1->findChild<QMenu *>();
            for (QAction *item : shownMenu->actions())
                entries << (item->isVisible() ? item->text() : QString());
            if (at == mail)
                shownMenu->actions()[1]->trigger();
            shownMenu->hide();
        }
        QCOMPARE(entries.join(u'|'),
            QStringLiteral("&Open Link|Copy &Link Address||&Copy\tCtrl+C|Select &All||Save as "
                           "&Image...||Read as UTF-8"
                           "||||&Copy\tCtrl+C|Select &All||Save as &Image...||Read as UTF-8"));
        QCOMPARE(f.services.clipboardTexts, QStringList(QStringLiteral("mailto:b@c.de")));
        QTest::mouseClick(view, Qt::LeftButton, Qt::ControlModifier, web);
        QStringList opened { QStringLiteral("webdial.exe $http://www.a.org") };
        QCOMPARE(f.services.startedCommandLines, opened);
        QTest::mousePress(view, Qt::LeftButton, {}, web);
        QTest::mouseMove(view, web + QPoint(24, 0));
        QTest::mouseRelease(view, Qt::LeftButton, {}, web);
        QVERIFY(w->Text1->hasSelection());
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        QTest::mouseClick(view, Qt::LeftButton, {}, web);
        QTest::mouseDClick(view, Qt::LeftButton, {}, web);
        QTest::mouseRelease(view, Qt::LeftButton, {}, web);
        QTRY_COMPARE(w->windowStateValue(), 2);
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        QTest::mouseClick(view, Qt::LeftButton, {}, mail);
        QCOMPARE(f.services.startedCommandLines, opened);
        QTRY_COMPARE(f.services.startedCommandLines.size(), 2);
        QCOMPARE(
            f.services.startedCommandLines.last(), QStringLiteral("webdial.exe >mailto:b@c.de"));
    }
    // Colours (not on cancel); a font size checked alone, not bold, stored or reported.
    void optionsCommands()
    {
        ProgramFixture f;
        Form1 *w = f.start();
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
        Form1 *w = f.start();
        w->Text1->setText("\xDB\xB0 ab\r\ncd");
        w->copy_Click();
        QVERIFY(QTest::qWaitForWindowActive(w));
        w->Text1->setFocus();
        QTest::keySequence(w->Text1, QKeySequence(u"Shift+Right, Shift+Right, Ctrl+C"_qs));
        w->Text1_KeyPress(3);
        const QString blocks = QStringLiteral("\u2588\u2591");
        QCOMPARE(f.services.clipboardTexts, QStringList({ QString(), blocks, blocks }));
        QCOMPARE(f.services.clipboardClears, 3);
    }
    // "Read as UTF-8" in the right-click menu shows a UTF-8 file's bytes and back (off without a
    // file). Ctrl+wheel gathers a fine wheel's small turns into steps; past 14, nothing.
    void readAsUtf8AndFineWheel()
    {
        ProgramFixture f;
        viewer::Form1 *w = f.start();
        QAction *item = w->action("readAsUtf8");
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, {}, {});
        QApplication::sendEvent(w->Text1->viewport(), &menuEvent);
        QWidget *menu = w->Text1->findChild<QWidget *>(QStringLiteral("Text1Menu"));
        QVERIFY(menu->actions().contains(item) && !item->isEnabled() && menu->close());
        f.write(QStringLiteral("u.nfo"), "\xE2\x94\x8C\xC3\xA9\n");
        f.services.openAnswers = { f.path(QStringLiteral("u.nfo")) };
        w->open_Click();
        QVERIFY(item->isChecked() && f.text() == "\xDA\x82\r\n");
        item->trigger();
        QVERIFY(!item->isChecked() && f.text() == "\xE2\x94\x8C\xC3\xA9\r\n");
        const std::pair<int, const char *> steps[] = { { 40, "" }, { 40, "" }, { 240, "14\r\n" },
            { 120, "" }, { -40, "" }, { -80, "12\r\n" } };
        for (const auto &[angle, size] : steps) {
            QWheelEvent wheel({}, {}, {}, { 0, angle }, {}, Qt::ControlModifier, {}, false);
            QApplication::sendEvent(w->Text1->viewport(), &wheel);
            QCOMPARE(f.read(Size), QByteArray(size));
            QFile::remove(f.path(Size));
        }
    }
    // The right-click menu's Save as Image...: the dialog suggests the shown file's name with
    // .png; the picture is the text's, in the colours and size in force; a failure is reported
    // and leaves no file; a cancel writes nothing.
    void saveAsImage()
    {
        ProgramFixture f;
        f.write(u"Read.Me.nfo"_qs, "\xdb\xdb\r\n\xdb\r\n");
        f.services.m_argumentString = f.path(u"Read.Me.nfo"_qs);
        viewer::Form1 *w = f.start();
        w->Text1->setFontSize(14), w->Text1->setTextColour(0x0000FF);
        const QString saved = f.path(u"art.png"_qs), nowhere = f.path(u"none/art.png"_qs);
        f.services.saveAnswers = { saved, nowhere, std::nullopt };
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
        QCoreApplication::sendEvent(w->Text1->viewport(), &click);
        const QList<QAction *> items = w->Text1->findChild<QMenu *>(u"Text1Menu"_qs)->actions();
        QAction *item = *std::find_if(items.begin(), items.end(),
            [](QAction *a) { return a->text() == u"Save as &Image..."_qs; });
        for (int i = 0; i < 3; ++i)
            item->trigger();
        QCOMPARE(f.services.saveSuggestions, QStringList(3, f.path(u"Read.Me.png"_qs)));
        const QImage picture(saved);
        QVERIFY(picture.size() == QSize(26, 38) // two 14-point cells by two lines
            && picture.pixel(25, 0) == qRgb(255, 0, 0) && picture.pixel(25, 37) == qRgb(0, 0, 0));
        const QString prefix
            = u"Quorvin error: Cannot save the picture as "_qs + nowhere + u": "_qs;
        QVERIFY2(f.services.messages.size() == 1 && f.services.messages[0].startsWith(prefix)
                && f.services.messages[0].size() > prefix.size() + 1
                && f.services.messages[0].endsWith(u'.') && !f.services.messages[0].endsWith(u".."),
            qPrintable(f.services.messages.join(u'|'))); // the system's reason, one full stop
        QCOMPARE(QDir(f.directory.path()).entryList({ u"*.png"_qs }), QStringList(u"art.png"_qs));

        // A picture past 2^26 pixels (512000 tab columns of 13 x 19 cells) is refused, with why.
        w->Text1->setText(QByteArray(64000, '\t'));
        f.services.saveAnswers = { f.path(u"wide.png"_qs) };
        item->trigger();
        QCOMPARE(f.services.messages.value(1),
            u"Quorvin error: Cannot save the picture as "_qs + f.path(u"wide.png"_qs)
                + u": the picture would be 6656000 x 19 pixels, more than 67 million."_qs);
        QVERIFY(!QFile::exists(f.path(u"wide.png"_qs)));
    }
    // Command lines started (help only when its file is there); a failed start says why.
    void helpWebAndEmail()
    {
        ProgramFixture f;
        const QString help = f.path(QStringLiteral("contents.txt"));
        Form1 *w = f.start();
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
    // Ended early: a close while the command line's load lets events run stops it (the text as
    // at the close, the window not shown again); a stored DIZ size that is no number ends a DIZ
    // load with the bad file text; a program directory at the root is refused, then ends.
    void startUpEndsEarly()
    {
        QStringList outcomes; // visible, ends, text (long: as at the close), messages
        Form1::setPumpInterval(0); // the close meets the load's first fixed point, however fast
        const auto restore = qScopeGuard([] { Form1::setPumpInterval(16'000'000); });
        for (const QString &setup : { u"close"_qs, u"diz"_qs, u"/"_qs }) {
            ProgramFixture f;
            f.write(Ini, stored("Dheight-3000", "Dheight-abc"));
            const QString file = f.path(setup == u"diz" ? u"x.diz"_qs : u"x.nfo"_qs);
            writeFile(file, setup == u"diz" ? "ab" : QByteArray(64000, '\n'));
            if (setup == u"/") // the file system's root: "/", or a drive's "C:\\" on Windows
                f.services.m_programDirectory = QDir::toNativeSeparators(QDir::rootPath());
            if (setup == u"close")
                f.services.m_argumentString = file;
            f.services.openAnswers = { file };
            QByteArray atClose;
            QObject context;
            if (setup == u"close")
                QTimer::singleShot(0, &context, [&] { atClose = f.text(), f.form1()->close(); });
            Form1 *w = f.start();
            if (setup == u"diz")
                w->open_Click();
            const QByteArray text = setup == u"close" && atClose == f.text() ? "long" : f.text();
            outcomes << QString::asprintf(
                            "%d %d %s", w->isVisible(), f.services.endRequests, text.constData())
                    + f.services.messages.join(u'|');
        }
        QCOMPARE(outcomes.join(u','),
            u"0 1 long,1 0 --> bad file <--,0 1 Quorvin error: Quorvin can't be run from\r\na "
            "root directory, please reinstall."_qs);
    }
    // A close or a second About arriving while the About window waits to be seen.
    void aboutSurvivesWhatArrivesWhileItWaits()
    {
        for (const bool close : { true, false }) {
            ProgramFixture f;
            Form1 *w = f.start();
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

    // The probe's mode ('D' direct, 'C' converting) and how many bytes it lets events run after;
    // that mode's read gives what a load shows, the converting one showing it every 500 bytes.
    void readingRules_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<char>("mode");
        QTest::addColumn<int>("pumps");
        QByteArray mixed;
        for (int i = 0; mixed.size() < MaxFileBytes; ++i)
            mixed += QByteArray::number(i) + (i % 3 ? "\r\n" : "\n");
        QTest::newRow("CR first") << QByteArray("ab\r\ncd\r\n") << 'D' << 2;
        QTest::newRow("LF first") << QByteArray("ab\ncd\r\n") << 'C' << 2;
        QTest::newRow("empty") << QByteArray() << 'C' << 0;
        QTest::newRow("direct, final LF") << QByteArray("\0\xDB\rc\n", 5) << 'D' << 2;
        QTest::newRow("direct, two final breaks") << QByteArray("a\r\nb\nc\r\n\r\n") << 'D' << 1;
        QTest::newRow("converting, CRs dropped") << QByteArray("\na\r\rb\r") << 'C' << 0;
        QTest::newRow("converting, bytes kept") << QByteArray("\x1A\x7F\xFF\t\n", 5) << 'C' << 4;
        QTest::newRow("499 mixed") << mixed.left(499) << 'C' << 1;
        QTest::newRow("64000 mixed") << mixed.left(MaxFileBytes) << 'C' << 1;
        QTest::newRow("64000 bytes, no break") << QByteArray(MaxFileBytes, 'x') << 'C' << 64000;
    }
    void readingRules()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(char, mode);
        const QString path = fileWith(bytes);
        int pumped = 0;
        QCOMPARE(probeLineBreaks(path, [&pumped] { return ++pumped, true; }),
            mode == 'D' ? ReadMode::Direct : ReadMode::Converting);
        QTEST(pumped, "pumps");
        QList<QByteArray> shown;
        QCOMPARE(mode == 'D' ? directRead(path)
                             : convertingRead(
                                 path, [&](const QByteArray &soFar) { shown << soFar; }, keepGoing),
            shownFor(bytes));
        QCOMPARE(shown.size(), mode == 'D' ? 0 : bytes.size() / ProgressPeriod);
        for (int i = 0; i < shown.size(); ++i)
            QCOMPARE(shown[i], expected::converted(bytes.left((i + 1) * ProgressPeriod)));
    }

    void readersRefuseWhatIsNoFileOrTooLarge()
    {
        const QString fifo = m_dir.filePath(QStringLiteral("pipe.nfo"));
        const QString over = fileWith(QByteArray(MaxFileBytes + 1, 'x')); // grown since tested
        QStringList refused { m_dir.path(), QString(), over };
#ifdef Q_OS_UNIX // Windows has no FIFO in its file system
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        refused << fifo;
#endif
        for (const QString &path : refused) {
            QVERIFY_THROWS_EXCEPTION(LoadError, probeLineBreaks(path, keepGoing));
            QVERIFY_THROWS_EXCEPTION(LoadError, convertingRead(path, noShow, keepGoing));
            if (path != fifo)
                QVERIFY_THROWS_EXCEPTION(LoadError, directRead(path));
        }
        QVERIFY_THROWS_EXCEPTION(LoadError, directRead(fileWith(QByteArray(64000, 'x') + "\r\n")));
        const QString closing = fileWith(QByteArray(1200, 'x'));
        QVERIFY_THROWS_EXCEPTION(LoadAborted, probeLineBreaks(closing, [] { return false; }));
        QVERIFY_THROWS_EXCEPTION(
            LoadAborted, convertingRead(closing, noShow, [] { return false; }));
    }

    // The links in a shown text: each as its bytes' begin-end and the address it opens.
    void linksInText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("links");
        const auto row = [](const char *name, const QByteArray &text, const char *links) {
            QTest::newRow(name) << text << QString::fromLatin1(links);
        };
        row("schemes", "HTTP://a.b/x ftp://f.org https://s.io",
            "0-12 HTTP://a.b/x 13-24 ftp://f.org 25-37 https://s.io");
        row("www", "see www.x.org.", "4-13 http://www.x.org");
        row("mail", "mail first.last+x@mail.Host.org!", "5-31 mailto:first.last+x@mail.Host.org");
        row("mailto", "(mailto:a@b.cc?subject=hi)", "1-25 mailto:a@b.cc?subject=hi");
        row("trailing signs", "http://a.b/c.,;:!?", "0-12 http://a.b/c");
        row("parentheses", "(http://a.b/x_(y)) [www.c.d]",
            "1-17 http://a.b/x_(y) 20-27 http://www.c.d");
        row("quotes and brackets", "\"www.a.bc\"<http://d.e>'www.f.g'",
            "1-9 http://www.a.bc 11-21 http://d.e 23-30 http://www.f.g");
        row("blank and controls", "www.a.b\twww.c.d\r\nwww.e.f\x1a",
            "0-7 http://www.a.b 8-15 http://www.c.d 17-24 http://www.e.f");
        row("art around", "\xba\xdbwww.a.org\xb0\xb1 \xc4x@y.net\xcd",
            "2-11 http://www.a.org 15-22 mailto:x@y.net");
        row("utf-8 bytes end", "http://a.b/\xe2\x94\x80\xe2 x@y.com\xc3\xa9",
            "0-11 http://a.b/ 16-23 mailto:x@y.com");
        row("accented letter ends", "www.ab\x81z.de \x82x@y.com",
            "0-6 http://www.ab 13-20 mailto:x@y.com");
        row("inside a word", "xwww.a.org nohttp://a.b awww.b.c.d", "");
        row("url with user", "http://u@h.org/a@b", "0-18 http://u@h.org/a@b");
        row("mail not url", "www.me@x.org", "0-12 mailto:www.me@x.org");
        row("no address", "www. http:// http://.x @x.org a@ a@b a@b.c a@b.c1 mailto:nobody", "");
        row("ascii art", "@@..@@ (@.@) __@__.-- ~@~", "");
    }
    void linksInText()
    {
        QFETCH(QByteArray, text);
        QStringList links;
        for (const textarea::TextLink &link : findLinks(text))
            links << QStringLiteral("%1-%2 %3").arg(link.begin).arg(link.end).arg(link.address);
        QTEST(links.join(u' '), "links");
    }

    // Which bytes are read as UTF-8, their glyphs, and how they are cut while read.
    void utf8Reading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<QByteArray>("glyphs");
        const auto row = [](const char *name, const char *bytes, bool utf8, const char *glyphs) {
            QTest::newRow(name) << QByteArray(bytes) << utf8 << QByteArray(glyphs);
        };
        row("box, accent, block", "\xE2\x94\x8C \xC3\xA9\xE2\x96\x88\n", true, "\xDA \x82\xDB\n");
        row("typographic marks",
            "\xE2\x80\x9C\xE2\x80\x9D\xE2\x80\x98\xE2\x80\x99\xE2\x80\x93\xE2\x80\x94"
            "\xE2\x80\xA6\xE2\x80\xA2\xC2\xA9\xC2\xAE\xE2\x84\xA2\xE2\x82\xAC\t\x7F",
            true, "\"\"''--.\x07\x63RTE\t\x7F");
        row("BOM, no glyph", "\xEF\xBB\xBF\xE4\xB8\xAD\xF0\x9F\x98\x80<", true, "\xFE\xFE<");
        row("ASCII alone", "ab\r\n", false, "ab\r\n");
        row("bytes of a box line that are a valid ij", "\xC4\xB3", false, "\xFE");
        row("overlong slash", "\xC0\xAF\xE2\x94\x80", false, "\xFE\xFE\xC4");
        row("surrogate", "\xED\xA0\x80\xE2\x94\x80", false, "\xFE\xFE\xFE\xC4");
        row("cut short at the end", "\xE2\x94\x80\xE2\x94", false, "\xC4\xFE\xFE");
    }
    void utf8Reading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, utf8);
        QFETCH(QByteArray, glyphs);
        QCOMPARE(readsAsUtf8(bytes), utf8);
        QVERIFY(glyphs.isNull() || utf8Glyphs(bytes) == glyphs);
        for (qsizetype cut = 0; utf8 && cut <= bytes.size(); ++cut) {
            const qsizetype whole = completeUtf8Length(bytes.left(cut));
            QVERIFY(!utf8Text(bytes.left(whole)).characters.contains(0xFFFD)
                && (whole == cut || utf8Text(bytes.left(cut)).characters.contains(0xFFFD)));
        }
    }

    // Files loaded in turn through one entry, the window widened after each but the last; they
    // hold "ab\r\ncd\r\n", or as many 0xDB as their name's digits; "missing" ones are not written;
    // absolute paths are samples. Stored sizes are whole pixels: NFO 10005 x 5995, DIZ 6015 x 2995.
    void loadThroughAnEntry_data()
    {
        QTest::addColumn<char>("entry");
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("expected"); // "refused", "bad", or the type and width
        const auto row = [](char entry, const QString &names, const char *expected) {
            QTest::addRow("%c %s", entry, qPrintable(QFileInfo(names).fileName()))
                << entry << names << QString::fromLatin1(expected);
        };
        for (const char entry : { 'o', 'd', 'c' }) {
            row(entry, QStringLiteral("64000.nfo"), "nfo 10005");
            row(entry, QStringLiteral("64001.nfo"), "refused");
        }
        row('d', QStringLiteral("missing.nfo"), "bad");
        row('c', QStringLiteral("missing.nfo"), "bad");
        row('o', QStringLiteral("file_id.diz"), "diz 6015");
        row('d', QStringLiteral("FILE_ID.DIZ"), "diz 6015");
        row('d', QStringLiteral("file_id.diz"), "nfo 10005");
        row('c', QStringLiteral("file_id.Diz"), "diz 6015");
        row('o', QStringLiteral("r.NFO r.NFO"), "nfo 12000"); // Open keeps the width the user gave
        row('d', QStringLiteral("r.NFO r.NFO"), "nfo 10005"); // a drop restores the width at start
        row('d', QStringLiteral("a.DIZ b.NFO"), "nfo 10005");
        const QDir samples(QStringLiteral(QUORVIN_SOURCE_DIR "/../shared/samples"));
        for (const QFileInfo &sample : samples.entryInfoList(
                 { QStringLiteral("*.nfo"), QStringLiteral("*.diz") }, QDir::Files))
            row('c', sample.filePath(),
                sample.suffix().toLower() == QLatin1String("diz") ? "diz 6015" : "nfo 10005");
    }
    void loadThroughAnEntry()
    {
        QFETCH(char, entry);
        QFETCH(QString, names);
        QStringList paths;
        QByteArray bytes;
        for (const QString &name : names.split(u' ')) {
            bytes = name.front().isDigit() ? QByteArray(name.chopped(4).toInt(), '\xDB')
                                           : QByteArray("ab\r\ncd\r\n");
            paths << (QDir::isAbsolutePath(name) ? QDir::toNativeSeparators(name)
                                                 : fileWith(bytes, name));
            if (name.startsWith(QLatin1String("missing")))
                QVERIFY(QFile::remove(paths.last()));
            else
                bytes = readFile(paths.last());
        }
        ProgramFixture fixture(entry == 'c' ? paths.first() : QString());
        fixture.write(QStringLiteral("quorvin.ini"),
            quorvinIni(" 255 ", " 0 ", " 0 ", "1500", "990", "5995", "10005", "2995", "6015"));
        bool visibleAtMessage = false;
        fixture.services.whileModal = [&] {
            visibleAtMessage = fixture.form1()->isVisible();
        };
        Form1 *form = fixture.start();
        for (const QString &path : paths) {
            if (entry != 'c')
                form->Text1->setText("old");
            if (entry == 'o') {
                fixture.services.openAnswers.push_back(path);
                form->open_Click();
            } else if (entry == 'd') { // a web link is refused; of several files the first
                QVERIFY(!drop(form, { QStringLiteral("https://example.org/a.nfo") }));
                QVERIFY(drop(form, { path, fileWith("other", QStringLiteral("o.diz")) }));
                QCoreApplication::processEvents(); // the drop reports its files once it returned
            }
            QCOMPARE(form->windowTitle(),
                QFileInfo(path).fileName().toLower() + QStringLiteral(" - Quorvin"));
            if (path != paths.last())
                form->setWidthTwips(12000);
        }
        const bool diz = fixture.state().DizMode;
        QCOMPARE(fixture.state().DizSized, diz);
        QString outcome = QStringLiteral("bad");
        if (!fixture.services.messages.isEmpty()) {
            QCOMPARE(fixture.services.messages,
                QStringList(QStringLiteral("Quorvin error: File size too large")));
            QCOMPARE(visibleAtMessage, entry != 'c');
            QCOMPARE(fixture.text(), QByteArray());
            outcome = QStringLiteral("refused");
        } else if (fixture.text() != "--> bad file <--") {
            const bool utf8 = names.endsWith(QLatin1String("/tmode__readme.nfo")); // of the samples
            QCOMPARE(fixture.text(), utf8 ? utf8Glyphs(shownFor(bytes)) : shownFor(bytes));
            QCOMPARE(form->heightTwips(), diz ? 2995.0f : 5995.0f);
            outcome = (diz ? QStringLiteral("diz ") : QStringLiteral("nfo "))
                + QString::number(form->widthTwips());
        }
        QTEST(outcome, "expected");
        QVERIFY(form->isVisible() && !QGuiApplication::overrideCursor());
    }

    // A load that arrives while a long load lets events run waits for it, the latest winning;
    // so does one that arrives while that queued load runs.
    void loadsArrivingDuringALoadAreQueued()
    {
        ProgramFixture fixture;
        Form1 *form = fixture.start();
        fixture.services.openAnswers = { fileWith(QByteArray(64000, '\n')),
            fileWith(QByteArray(64000, '\n')), fileWith("last") };
        fixture.services.whileModal = [&] { // the queued Open's dialog: another Open next
            if (fixture.services.openRequests == 2)
                QTimer::singleShot(0, form, &Form1::open_Click);
        };
        QByteArray textWhenOpenArrived;
        QTimer::singleShot(0, form, [&] { drop(form, { fileWith("dropped") }); });
        QObject context;
        connect(form->FMDrop1, &platform::DropTarget::DropFiles, &context, [&] {
            QObject::disconnect(form->FMDrop1, nullptr, &context, nullptr);
            textWhenOpenArrived = fixture.text();
            form->open_Click();
        });
        form->open_Click();
        QVERIFY(textWhenOpenArrived.size() < 128000); // both arrived while the long load ran
        QCOMPARE(fixture.services.openRequests, 3);
        QCOMPARE(fixture.text(), QByteArray("last"));
        QVERIFY(!QGuiApplication::overrideCursor());
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
