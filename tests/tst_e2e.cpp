// The built program under X: the first window, the argument string's file, copy and close, the
// settings written, the About sound's length, webdial's error box, a link opened through webdial,
// zoom keeping the view's place; real keys, wheel and mouse.

#include "x11session.h"

#include <QElapsedTimer>
#include <QScreen>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray FirstIni
    = "v1.19\r\nFC- 14737632 \r\nBC- 0 \r\nState- 0 \r\nTop-1500\r\nLeft-990\r\n"
      "Nheight-5995\r\nNwidth-10005\r\nDheight-3000\r\nDwidth-6000\r\n";

// Line i of the file: i in four digits between blanks, then letters, 110 columns in all.
QString line(int i)
{
    return u" %1 "_s.arg(i, 4, 10, QLatin1Char('0'))
        + u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"_s.repeated(2);
}

} // namespace

class TestE2e : public QObject
{
    Q_OBJECT

private slots:
    // The whole argument string names the file, Qt's own options included, and the caption
    // shows the name as it is.
    void startCopyAndClose_data()
    {
        QTest::addColumn<QString>("line"); // the file it names holds two lines
        QTest::addColumn<QString>("caption");
        QTest::newRow("first run") << QString() << QStringLiteral("Quorvin viewer");
        for (const char *line : { "-reverse", "-style x.nfo", "-name foo.nfo", "a[*]b.nfo" })
            QTest::newRow(line) << QString::fromLatin1(line)
                                << QString::fromLatin1(line) + QStringLiteral(" - Quorvin");
        QTest::newRow("copy") << u"a.nfo"_s << u"a.nfo - Quorvin"_s;
    }
    void startCopyAndClose()
    {
        QFETCH(QString, line);
        QFETCH(QString, caption);
        X11Session session;
        if (!line.isEmpty())
            session.write(line, "hello\r\nworld\r\n");
        session.process().setWorkingDirectory(session.programDirectory());
        QVERIFY(session.start(line.split(u' ', Qt::SkipEmptyParts)));
        QTRY_COMPARE(session.windowName(), caption);
        QVERIFY(X11Session::run(
            u"xdotool getwindowgeometry %1"_s.arg(session.window())) // with the menu bar
                    .endsWith(u"Position: 66,100 (screen: 0)\n  Geometry: 659x374"_s));
        if (!line.isEmpty()) {
            session.key(QStringLiteral("ctrl+Home ctrl+shift+End ctrl+c"));
            QTRY_COMPARE(X11Session::run(QStringLiteral("xclip -o -selection clipboard")),
                QStringLiteral("hello\nworld"));
        }
        session.requestClose();
        QVERIFY(session.waitForExit(3000));
        QCOMPARE(session.process().exitCode(), 0);
        QCOMPARE(session.read(QStringLiteral("quorvin.ini")), FirstIni);
    }
    // The About window stays on the screen for as long as howl.wav (1.5 s) plays.
    void aboutLastsAsLongAsItsSound()
    {
        if (qEnvironmentVariableIntValue("QUORVIN_NO_SOUND_SERVER") == 1)
            QSKIP("QUORVIN_NO_SOUND_SERVER=1: no sound server in this environment");
        X11Session session;
        QVERIFY(session.start({}));
        const qsizetype windows = session.visibleWindows();
        session.key(QStringLiteral("ctrl+a"));
        QTRY_COMPARE_WITH_TIMEOUT(session.visibleWindows(), windows + 1, 5000);
        QElapsedTimer shown;
        shown.start();
        while (session.visibleWindows() > windows && shown.elapsed() < 6000) { }
        QVERIFY2(shown.elapsed() >= 1200 && shown.elapsed() < 6000,
            qPrintable(QString::number(shown.elapsed())));
        session.requestClose();
        QVERIFY(session.waitForExit());
    }
    // A double-click on a link only toggles the window; a Ctrl+click starts webdial with "$" and
    // the address (the program directory's webdial records its argument).
    void ctrlClickOpensALink()
    {
        X11Session session;
        const QString opened = session.path(u"opened"_s);
        session.write(
            u"webdial"_s, u"#!/bin/sh\nprintf '%s\\n' \"$@\" >>'%1'\n"_s.arg(opened).toUtf8());
        QFile::setPermissions(
            session.path(u"webdial"_s), QFileDevice::ExeOwner | QFileDevice::ReadOwner);
        session.write(u"l.nfo"_s, QByteArray("www.example-link.org/a\r\n").repeated(25));
        QVERIFY(session.start({ session.path(u"l.nfo"_s) }));
        QTRY_VERIFY([&] { // the text is drawn where it is to be clicked: ink on black
            const QImage shot = QGuiApplication::primaryScreen()
                                    ->grabWindow(session.window(), 20, 144, 120, 12)
                                    .toImage();
            for (int i = 0; i < 120 * 12; ++i)
                if (shot.pixel(i % 120, i / 120) != 0xFF000000)
                    return true;
            return false;
        }());
        const QString at = u"xdotool mousemove --window %1 40 150 "_s.arg(session.window());
        X11Session::run(at + u"click --repeat 2 --delay 60 1"_s);
        QTest::qWait(1000);
        QVERIFY(!QFile::exists(opened));
        X11Session::run(at + u"keydown ctrl click 1 keyup ctrl"_s);
        QTRY_COMPARE(
            QString::fromUtf8(session.read(u"opened"_s)), u"$http://www.example-link.org/a\n"_s);
        session.requestClose();
        QVERIFY(session.waitForExit());
    }
    void webdialShowsWhyItCouldNotOpen_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("no opener") << u"$https://example.org/"_s << 3;
        QTest::newRow("address refused") << u"$gopher://example.org/"_s << 2;
    }
    void webdialShowsWhyItCouldNotOpen()
    {
        QFETCH(QString, argument);
        X11Session session;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PATH"), session.programDirectory()); // no opener there
        session.process().setProcessEnvironment(environment);
        QVERIFY(session.start({ argument }, session.path(QStringLiteral("webdial"))));
        QTRY_COMPARE(session.windowName(), QStringLiteral("Quorvin error"));
        session.requestClose();
        QVERIFY(session.waitForExit());
        QTEST(session.process().exitCode(), "exitCode");
    }
    void keysWheelMouseAndMenuScrollSelectAndCopy()
    {
        X11Session session;
        const auto run = X11Session::run; // what a command prints, trimmed
        QString text; // as copied: line breaks as "\n"
        for (int i = 0; i < 200; ++i)
            text += line(i) + QLatin1Char('\n');
        session.write(u"long.nfo"_s, text.toLatin1().replace("\n", "\r\n"));
        QVERIFY(session.start({ session.path(u"long.nfo"_s) }));
        // The view's top-left corner and rows, once drawn: where column 0's black runs down.
        int x = 0, top = 0, rows = 0;
        QTRY_VERIFY([&] {
            const QImage shot
                = QGuiApplication::primaryScreen()->grabWindow(session.window()).toImage();
            int bottom = shot.height() - 1;
            for (x = 0; x + 1 < shot.width() && shot.pixel(x, shot.height() / 2) != 0xFF000000;)
                ++x;
            for (top = 0; top < bottom && shot.pixel(x + 4, top) != 0xFF000000;)
                ++top;
            while (bottom > top && shot.pixel(x + 4, bottom) != 0xFF000000)
                --bottom;
            // A window just mapped may be black below its menu bar: wait for the first number.
            bool drawn = false;
            for (int i = 0; (rows = (bottom - top + 1) / 12) > 5 && i < 32 * 12; ++i)
                drawn = drawn || shot.pixel(x + 8 + i % 32, top + i / 32) != 0xFF000000;
            return drawn;
        }());
        const auto at = [&](int row, int column) { // the mouse to the left edge of a cell
            return QString::asprintf(" mousemove --window %lu %d %d ", session.window(),
                x + column * 8 + 1, top + row * 12 + 6);
        };
        // Page keys; a keyboard selection (the caret's line) becomes the primary selection.
        run(u"xdotool"_s + at(2, 2) + u"key Next Next Prior shift+Down"_s);
        QTRY_COMPARE(run(u"xclip -o -selection primary"_s), line(rows).trimmed());
        // Shift+wheel scrolls 3 columns; a mouse selection is the primary one on release.
        run(u"xdotool keydown shift click 5 keyup shift"_s + at(0, 1) + u"mousedown 1"_s + at(0, 5)
            + u"mouseup 1"_s);
        const QString copied = line(rows).mid(4, 4);
        QTRY_COMPARE(run(u"xclip -o -selection primary"_s), copied);
        // The menu's Copy copies; without a selection it is disabled (the key goes to Select All).
        const qsizetype windows = session.visibleWindows();
        const auto menu = [&](const QString &keys) {
            run(u"xdotool"_s + at(3, 3) + u"click 3"_s);
            QTRY_VERIFY(session.visibleWindows() > windows);
            run(u"xdotool key "_s + keys);
            QTRY_COMPARE(session.visibleWindows(), windows);
        };
        menu(u"c"_s);
        QTRY_COMPARE(run(u"xclip -o -selection clipboard"_s), copied);
        run(u"xdotool"_s + at(3, 3) + u"click 1"_s);
        menu(u"c a"_s);
        QTRY_COMPARE(run(u"xclip -o -selection primary"_s), text.trimmed());
        QCOMPARE(run(u"xclip -o -selection clipboard"_s), copied);
    }
    // Ctrl+wheel zooms round the character under the pointer (a block), the keys round the
    // top-left one; each step is written to fontsize.ini; past 14, nothing.
    void zoomKeepsTheViewsPlaceAndStoresTheSize()
    {
        X11Session session;
        QByteArray text = QByteArray(110, ' ').append("\r\n").repeated(200);
        text[10 * 112 + 30] = '\xDB';
        session.write(u"z.nfo"_s, text);
        QVERIFY(session.start({ session.path(u"z.nfo"_s) }));
        const auto block = [&] { // its top-left pixel in the window (not the thin caret)
            const QImage shot
                = QGuiApplication::primaryScreen()->grabWindow(session.window()).toImage();
            for (int y = 40; y < shot.height() - 40; ++y)
                for (int x = 0; x < shot.width() - 40; ++x)
                    if (shot.pixel(x, y) == 0xFFE0E0E0 && shot.pixel(x + 4, y + 4) == 0xFFE0E0E0)
                        return QPoint(x, y);
            return QPoint();
        };
        QTRY_VERIFY(!block().isNull());
        const QPoint origin = block() - QPoint(240, 120); // the view's; 8 x 12 cells at 9 points
        const QString wheel
            = QString::asprintf("mousemove --window %lu %d %d keydown ctrl click %%1 keyup ctrl",
                session.window(), origin.x() + 246, origin.y() + 130);
        const std::tuple<QString, const char *, QPoint> steps[]
            = { { wheel.arg(4), "12", { 242, 128 } }, { wheel.arg(4), "14", { 234, 114 } },
                  { u"key ctrl+plus"_s, "14", { 234, 114 } },
                  { u"key ctrl+minus"_s, "12", { 198, 96 } }, { u"key ctrl+0"_s, "9", { 144, 72 } },
                  { u"key ctrl+equal"_s, "12", { 198, 96 } }, { wheel.arg(5), "9", { 208, 96 } } };
        for (const auto &[input, size, place] : steps) {
            X11Session::run(u"xdotool "_s + input);
            QTRY_COMPARE(session.read(u"fontsize.ini"_s), QByteArray(size) + "\r\n");
            QTRY_COMPARE(block() - origin, place);
        }
    }
};

QTEST_MAIN(TestE2e)
#include "tst_e2e.moc"
