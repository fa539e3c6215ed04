// Reading a long file: the program driven by real X key, wheel and mouse events; then, in this
// process, the caret and the scroll bar's thumb on pixels.

#include "platform/programstyle.h"
#include "textarea/oemtextarea.h"
#include "x11session.h"

#include <QScreen>
#include <QScrollBar>
#include <QStyleHints>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// Line i of the file: i in four digits between blanks, then letters, 110 columns in all.
QString line(int i)
{
    return u" %1 "_s.arg(i, 4, 10, QLatin1Char('0'))
        + u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"_s.repeated(2);
}

QString run(const QString &program, const QString &arguments)
{
    QProcess process;
    process.start(program, arguments.split(QLatin1Char(' '), Qt::SkipEmptyParts));
    process.waitForFinished(5000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString selection(const char *which)
{
    return run(u"xclip"_s, u"-o -selection "_s + QLatin1String(which));
}

// The program on a 200-line file, focused, and its view's top-left corner and rows: the black
// area that column 0 (a blank on every line) runs down.
struct Reader
{
    X11Session session;
    QString text; // as copied: line breaks as "\n"
    int x = 0, top = 0, rows = 0;

    bool start()
    {
        for (int i = 0; i < 200; ++i)
            text += line(i) + QLatin1Char('\n');
        session.write(u"long.nfo"_s, text.toLatin1().replace("\n", "\r\n"));
        if (!session.start({ session.path(u"long.nfo"_s) }))
            return false;
        xdotool(u"sleep 0.5 windowfocus --sync %1"_s.arg(session.window()));
        QImage shot = QGuiApplication::primaryScreen()->grabWindow(session.window()).toImage();
        int bottom = shot.height() - 1;
        while (x + 1 < shot.width() && shot.pixel(x, shot.height() / 2) != 0xFF000000)
            ++x;
        while (top < bottom && shot.pixel(x + 4, top) != 0xFF000000)
            ++top;
        while (bottom > top && shot.pixel(x + 4, bottom) != 0xFF000000)
            --bottom;
        return (rows = (bottom - top + 1) / 12) > 5; // 8 x 12 cells at 9 points
    }
    void xdotool(const QString &command) const { run(u"xdotool"_s, command); }
    QString at(int row, int column) const // the mouse to the left edge of a cell
    {
        return QString::asprintf(" mousemove --window %lu %d %d sleep 0.1 ", session.window(),
            x + column * 8 + 1, top + row * 12 + 6);
    }
    void drag(int from, int to) const // over columns [from, to) of the top row
    {
        xdotool(at(0, from) + u"mousedown 1"_s + at(0, to) + u"mouseup 1"_s);
    }
};

} // namespace

class TestE2eReading : public QObject
{
    Q_OBJECT

private slots:
    void scrollingMovesTheViewAndSelectionsBecomePrimary_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("pages"); // the view's top line, in pages
        QTest::addColumn<int>("column"); // its first column (a wheel step scrolls 3)
        QTest::newRow("page down from the top") << u"key Next shift+Down"_s << 1 << 0;
        QTest::newRow("two down, one up") << u"key Next Next Prior shift+Down"_s << 1 << 0;
        QTest::newRow("shift+wheel")
            << u"key shift+Down keydown shift click 5 keyup shift"_s << 0 << 3;
    }
    void scrollingMovesTheViewAndSelectionsBecomePrimary()
    {
        QFETCH(QString, input);
        QFETCH(int, pages);
        QFETCH(int, column);
        Reader reader;
        QVERIFY(reader.start());
        reader.xdotool(reader.at(2, 2) + input);
        // Keyboard and mouse selections become the primary selection: the caret's line (it moved
        // with the page), then the top line's cells 1 to 4.
        QTRY_COMPARE(selection("primary"), line(pages * reader.rows) + QLatin1Char('\n'));
        reader.drag(1, 5);
        QTRY_COMPARE(selection("primary"), line(pages * reader.rows).mid(column + 1, 4));
    }

    void rightClickMenuCopiesAndSelectsAll()
    {
        Reader reader;
        QVERIFY(reader.start());
        const QString menu = reader.at(3, 3) + u"click 3 sleep 0.3 key --delay 100 "_s;
        reader.drag(1, 5);
        reader.xdotool(menu + u"c"_s);
        QTRY_COMPARE(selection("clipboard"), u"0000"_s);
        // Without a selection Copy is disabled: the clipboard keeps what it holds.
        reader.xdotool(reader.at(3, 3) + u"click 1"_s + menu + u"c Escape"_s);
        reader.xdotool(menu + u"a"_s);
        QTRY_COMPARE(selection("primary"), reader.text.chopped(1)); // loaded without the last break
        QCOMPARE(selection("clipboard"), u"0000"_s);
    }

    void caretBlinksInItsCellAndShowsOnAnyPaper_data()
    {
        QTest::addColumn<uint>("paper"); // 0x00BBGGRR
        QTest::newRow("black") << 0x000000u;
        QTest::newRow("white") << 0xFFFFFFu;
        QTest::newRow("mid grey") << 0x808080u;
    }
    void caretBlinksInItsCellAndShowsOnAnyPaper()
    {
        QFETCH(uint, paper);
        QGuiApplication::styleHints()->setCursorFlashTime(200);
        textarea::OemTextArea area;
        area.setBackColour(paper);
        area.setText("  ");
        area.show();
        area.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&area));
        area.setFocus();
        // The contrast against the paper of the second pixel column of a cell, halfway down.
        const int paperGray = qGray(int(paper & 0xFF), int(paper >> 8 & 0xFF), int(paper >> 16));
        const auto contrast = [&](int column) {
            const QImage image = area.viewport()->grab().toImage();
            return std::abs(qGray(image.pixel(column * 8 + 1, 6)) - paperGray);
        };
        QTRY_COMPARE(contrast(0), 0); // blinked off; a move shows it at once in its new cell
        QTest::keyClick(&area, Qt::Key_Right);
        QVERIFY(contrast(1) >= 100);
        area.clearFocus();
        QCOMPARE(contrast(1), 0);
    }

    void scrollBarThumbIsDarkerThanItsTroughAndOutlined()
    {
        platform::ProgramStyle style;
        QScrollBar bar(Qt::Vertical);
        bar.setStyle(&style);
        bar.setPageStep(33); // at 0 of 0-99: the thumb is the top quarter of the groove
        bar.setGeometry(0, 0, 14, 300);
        const QImage image = bar.grab().toImage();
        int end = 40; // the outline at the thumb's lower end
        while (end < 200 && image.pixel(7, end) == image.pixel(7, 40))
            ++end;
        QVERIFY(qGray(image.pixel(7, 40)) < qGray(image.pixel(7, 200)) - 30);
        QVERIFY(qGray(image.pixel(7, end)) < qGray(image.pixel(7, 40)) - 30);
    }
};

QTEST_MAIN(TestE2eReading)
#include "tst_e2e_reading.moc"
