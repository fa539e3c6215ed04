// The text area: the style's scroll bars, the byte table, the cell grid, the area on the screen,
// its accessible text, the pixels of blocks, shades and lines, the glyphs of all 256 bytes.

#include "platform/programstyle.h"
#include "textarea/blockglyphs.h"
#include "textarea/cellgrid.h"
#include "textarea/cp437.h"
#include "textarea/glyphcache.h"
#include "textarea/oemtextarea.h"
#include "textarea/textpicture.h"
#include "viewer/utf8reading.h"

#include <QAccessible>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStyleHints>
#include <QStyleOptionSlider>
#include <QtTest>

using namespace textarea;

namespace {

const QRgb GlyphInk = qRgb(0xFF, 0xE0, 0x40), GlyphPaper = qRgb(0x10, 0x20, 0x40);

// Its ink pixels, row by row: half way to the glyphs' ink green or more.
QList<QPoint> inkOf(const QImage &image)
{
    QList<QPoint> points;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGreen(image.pixel(x, y)) >= 0x80)
                points << QPoint(x, y);
    return points;
}

// Pieces of ink, 4-connected (the ROM face's dots touch its O and U only at a corner).
int inkPieces(const QImage &image)
{
    QList<QPoint> left = inkOf(image), todo;
    int pieces = 0;
    for (; !left.isEmpty(); ++pieces)
        for (todo = { left.takeLast() }; !todo.isEmpty();) {
            const QPoint p = todo.takeLast();
            for (const QPoint step : { QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1) })
                if (left.removeOne(p + step))
                    todo << p + step;
        }
    return pieces;
}

} // namespace

#define textOf(area) QAccessible::queryAccessibleInterface(&area)->textInterface()

class TestTextArea : public QObject
{
    Q_OBJECT

    static constexpr QRgb Ink = 0xFFE0E0E0, Paper = 0xFF000000; // the area's first colours

private slots:
    // The style's scroll bars: in each button a dark arrow, its wide end towards the groove; the
    // thumb darker than its trough and outlined darker still.
    void scrollBarsShowArrowsAndThumb()
    {
        platform::ProgramStyle style;
        for (const Qt::Orientation orientation :
            { Qt::Vertical, Qt::Horizontal, Qt::Orientation(0) }) {
            const bool vertical = orientation == Qt::Vertical;
            QScrollBar bar(vertical ? Qt::Vertical : Qt::Horizontal);
            bar.setStyle(&style);
            bar.setLayoutDirection(orientation ? Qt::LeftToRight : Qt::RightToLeft);
            bar.setPageStep(33); // at 0 of 0-99: the thumb is the first quarter of the groove
            bar.resize(vertical ? QSize(17, 300) : QSize(300, 17));
            const QImage image = bar.grab().toImage();
            QStyleOptionSlider option;
            option.initFrom(&bar);
            option.orientation = bar.orientation();
            const auto part = [&](QStyle::SubControl control) {
                return style.subControlRect(QStyle::CC_ScrollBar, &option, control, &bar);
            };
            const QPoint groove = part(QStyle::SC_ScrollBarGroove).center();
            for (const auto control :
                { QStyle::SC_ScrollBarSubLine, QStyle::SC_ScrollBarAddLine }) {
                const QRect b = part(control);
                const auto widthAt = [&](int along) {
                    int count = 0;
                    for (int across = 0; across < 17; ++across)
                        count += qGray(image.pixel(vertical
                                         ? QPoint(b.left() + across, b.center().y() + along)
                                         : QPoint(b.center().x() + along, b.top() + across)))
                            < 128;
                    return count;
                };
                const int towards = (vertical ? b.y() < groove.y() : b.x() < groove.x()) ? 1 : -1;
                QVERIFY(widthAt(0) > 0 && widthAt(towards) > widthAt(-towards));
            }
            if (!vertical)
                continue;
            int end = 40; // the outline at the thumb's lower end
            while (end < 200 && image.pixel(8, end) == image.pixel(8, 40))
                ++end;
            QVERIFY(qGray(image.pixel(8, 40)) < qGray(image.pixel(8, 200)) - 30);
            QVERIFY(qGray(image.pixel(8, end)) < qGray(image.pixel(8, 40)) - 30);
        }
    }

    void codePageTableMatchesIconvAndTheIbmGlyphs()
    {
        QByteArray bytes;
        for (int b = 0x20; b < 0x100; ++b)
            bytes.append(char(b == 0x7F ? ' ' : b));
        if (QStandardPaths::findExecutable(QStringLiteral("iconv")).isEmpty())
            QSKIP("no iconv on this system (Windows): the table is checked on Linux");
        QProcess iconv;
        iconv.start(QStringLiteral("iconv"), { QStringLiteral("-f"), QStringLiteral("CP437") });
        iconv.write(bytes);
        iconv.closeWriteChannel();
        QVERIFY(iconv.waitForFinished() && iconv.exitCode() == 0);
        QCOMPARE(cp437::toUnicode(bytes), QString::fromUtf8(iconv.readAllStandardOutput()));
        for (int b = 0; b < 0x20; ++b)
            bytes[b] = char(b);
        QCOMPARE(cp437::toUnicode(bytes.left(32) + '\x7F'),
            QChar(0) + QString::fromUtf8("☺☻♥♦♣♠•◘○◙♂♀♪♫☼►◄↕‼¶§▬↨↑↓→←∟↔▲▼⌂"));
    }

    // A query on the grid of a text and its answer: 'l' lines as start-end:columns, 'p' line
    // and column of offset a, 'o' offset nearest to line a, column b/10, 'k' offset a clamped,
    // 'w' word at a, 't' text from a to b, 'm' moves from a (> < ^ v, H E line, [ ] text).
    void gridAnswers_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<char>("query");
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("expected");
        const auto row = [](const QByteArray &text, char query, const char *a, const char *e) {
            QTest::addRow("%c %s %s", query, a, text.toPercentEncoding().left(24).constData())
                << text << query << QString::fromLatin1(a) << QString::fromUtf8(e);
        };
        const QByteArray words = "see www.x.org  now\r\n\r\nend";
        // Lines at 0-6, 8-10, 12-22; the tab spans columns 8-15.
        const QByteArray lines = "abcdef\r\nab\r\nabcdefgh\tx";
        row("ab\r\r\ncd\rx\ny\r\n", 'l', "", "0-2:2 5-7:2 8-9:1 10-11:1 13-13:0");
        row("a\n\rb\r\r", 'l', "", "0-1:1 2-2:0 3-4:1 5-5:0 6-6:0");
        row("\tx\r\nabc\tx\r\nabcdefgh\t", 'l', "", "0-2:9 4-9:9 11-20:16");
        row(QByteArray("\0\x01\x1a\x7f", 4), 'l', "", "0-4:4"); // NUL and controls are cells
        row("ab\r\ncd", 'p', "3", "0:2");
        row("\t\tb", 'p', "3", "0:17");
        row("a\tb", 'o', "0 50", "2");
        row("ab\ncd", 'o', "7 10", "4");
        row("ab\r\ncd\r\r\nef", 'k', "3", "2");
        row(words, 'w', "6", "4-13");
        row(words, 'w', "18", "15-18");
        row("a\r\nb\r\r\nc\rd\ne", 't', "0 12", "a\nb\nc\nd\ne");
        row("abcd", 't', "3 1", "bc");
        row(QByteArray("\xdb\xc4\0\x82", 4), 't', "0 4", "█─ é"); // NUL copies as a blank
        row("ab\r\ncd", 't', "1 3", "b");
        row("ab\r\ncd", 't', "1 4", "b\n");
        row(QByteArray("\xE2\x94\x8C\0\xF0\x9F\x98\x80\r\n\xC3\xA9", 12), 'u', "0 6", "┌ 😀\né");
        row(lines, 'm', "6 > < < [ ]", "8 6 5 0 22");
        row(lines, 'm', "22 > H ^ v E", "22 12 8 12 22");
        row(lines, 'm', "5 v v ^ < v", "10 17 10 9 13");
    }
    void gridAnswers()
    {
        QFETCH(QByteArray, text);
        QFETCH(char, query);
        QFETCH(QString, args);
        CellGrid grid;
        grid.setText(text);
        const QStringList a = args.split(u' ');
        const auto n = [&](int i) {
            return a.value(i).toLongLong();
        };
        const auto pair = [](auto x, auto y, char between) {
            return QString::number(x) + QLatin1Char(between) + QString::number(y);
        };
        QStringList answer;
        for (qsizetype i = 0; query == 'l' && i < grid.lineCount(); ++i)
            answer << pair(grid.line(i).start, grid.line(i).end, '-') + u':'
                    + QString::number(grid.line(i).columns);
        if (query == 'p')
            answer << pair(grid.lineOf(n(0)), grid.columnOf(n(0)), ':');
        if (query == 'o')
            answer << QString::number(grid.offsetAtColumn(n(0), n(1) / 10.0));
        if (query == 'k')
            answer << QString::number(grid.clampOffset(n(0)));
        if (query == 'w')
            answer << pair(grid.wordAt(n(0)).first, grid.wordAt(n(0)).second, '-');
        if (query == 'u') // 't' of UTF-8 glyphs that keep their own characters
            grid.setText(viewer::utf8Text(text).glyphs, viewer::utf8Text(text).characters);
        if (query == 't' || query == 'u')
            answer << grid.textBetween(n(0), n(1));
        qsizetype offset = n(0), goal = -1;
        using M = CellGrid::Move;
        const M moves[] = { M::Right, M::Left, M::Up, M::Down, M::LineStart, M::LineEnd,
            M::TextStart, M::TextEnd };
        for (const QString &move : a.mid(query == 'm' ? 1 : a.size())) {
            offset = grid.move(offset, moves[QStringLiteral("><^vHE[]").indexOf(move)], goal, 10);
            answer << QString::number(offset);
        }
        QTEST(answer.join(u' '), "expected");
    }

    // Breaks and tabs at every position of the eight-byte scan; cells, edges and hit tests.
    void gridFindsEveryLineAndCell()
    {
        const QByteArray breaks[] = { "\r\n", "\r\r\n", "\r", "\n" };
        QByteArray text;
        for (int length = 0; length <= 40; ++length)
            text.append(QByteArray(length, '\xdb')).append(breaks[length % 4]);
        CellGrid grid;
        grid.setText(text + "abcdefghijk\tz");
        QCOMPARE(grid.lineCount(), 42);
        for (int length = 0; length <= 40; ++length)
            QCOMPARE(grid.line(length).columns, length);
        QCOMPARE(grid.line(41).columns, 17);
        QCOMPARE(grid.widestLine(), 40);
        const QList<QSize> cells { { 5, 7 }, { 8, 12 }, { 11, 16 }, { 13, 19 }, { 9, 14 }, { 1, 1 },
            { 1, 1 }, { 1, 1 }, { 683, 1024 } };
        QList<QSize> sizes;
        for (const double points : { 5.0, 9.0, 12.0, 14.0, 10.5, 0.0, -9.0, std::nan(""), 1e12 })
            sizes << CellGrid::cellSizeForPoints(points);
        QCOMPARE(sizes, cells);
        // 9 points: 8 x 12 cells; the view starts at line 1, column 1 of "abcdef\nghijkl\nmn".
        grid.setText("abcdef\nghijkl\nmn");
        grid.setOrigin(1, 1);
        QList<qsizetype> offsets;
        for (const qreal ratio : { 1.0, 2.0 }) {
            grid.setCellSize(CellGrid::cellSizeForPoints(9), ratio);
            for (const QPointF p : { QPointF(3, 1), { 5, 1 }, { 9, 13 }, { 1, -30 }, { 99, 99 } })
                offsets << grid.hitTest(p);
        }
        QCOMPARE(offsets, (QList<qsizetype> { 8, 9, 16, 1, 16, 8, 9, 16, 1, 16 }));
    }

    // The area as the screen shows it (8 x 12 cells): a new text leaves no stale row; a selection
    // shows inverted, a selected break as a cell after its line; the caret shows on any row. A
    // wheel step moves 3 rows (with Shift 3 columns), a page key the caret and view by a page;
    // the last column is the one after the widest line. Screen readers get these cells' places.
    void areaOnScreen()
    {
        QGuiApplication::styleHints()->setCursorFlashTime(0);
        OemTextArea area;
        area.setTextColour(0x4080C0); // 0x00BBGGRR; the paper its inverse
        area.setBackColour(0xBF7F3F);
        area.resize(200, 160);
        area.show();
        area.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&area));
        QWidget *view = area.viewport();
        const auto rgb = [](const QPixmap &pixmap) {
            return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
        };
        const auto drawn = [&] {
            return rgb(view->grab());
        };
        const auto cell = [](const QImage &image, int row, int column) {
            return image.copy(column * 8, row * 12, 8, 12);
        };
        const QRgb ink = qRgb(0xC0, 0x80, 0x40), paper = qRgb(0x3F, 0x7F, 0xBF);
        for (const char *text : { "a\nbb\nccc\nd\ne", "a\nbX", "a\r\r", "a\r\r\nb\r\ncc" }) {
            area.setText(text);
            QTRY_COMPARE(rgb(area.screen()->grabWindow(
                             area.winId(), view->x(), view->y(), view->width(), view->height())),
                drawn());
        }
        area.clearFocus();
        area.setText("bb\r\nbb");
        QTest::keySequence(&area, QKeySequence(u"End, Shift+Down"_qs)); // from the line's end
        QImage shown = drawn(), swapped = cell(shown, 0, 0), inked = swapped, papered = swapped;
        swapped.invertPixels(), inked.fill(ink), papered.fill(paper);
        QVERIFY(swapped.pixel(0, 0) == ink && cell(shown, 0, 1) == cell(shown, 0, 0));
        QVERIFY(cell(shown, 1, 0) == swapped && cell(shown, 1, 1) == swapped);
        QVERIFY(cell(shown, 0, 2) == inked && cell(shown, 0, 3) == papered);
        QVERIFY(cell(shown, 1, 2) == papered);
        area.setBold(true); // in bold at the same size
        QVERIFY(cell(drawn(), 0, 1) != cell(shown, 0, 1));
        // 40 lines " 00 xxx...", line 2 the widest, of 100 columns.
        QByteArray lines;
        for (int i = 0; i < 40; ++i)
            lines += ' ' + QByteArray::number(i).rightJustified(2, '0')
                + QByteArray(i == 2 ? 97 : 9, 'x') + "\r\n";
        area.setText(lines);
        area.setFontSize(std::nanf("")), area.setFontSize(-1); // sizes that are none are ignored
        area.setFocus();
        QAccessibleTextInterface *text = textOf(area);
        const QPoint origin = view->mapToGlobal(QPoint(0, 0));
        for (const auto modifiers : { Qt::NoModifier, Qt::ShiftModifier }) {
            QWheelEvent wheel(QPointF(8, 8), origin + QPointF(8, 8), {}, QPoint(0, -120), {},
                modifiers, Qt::NoScrollPhase, false);
            QApplication::sendEvent(view, &wheel);
        }
        QCOMPARE(text->offsetAtPoint(origin), 127 + 3); // line 3, column 3
        // Page keys: the caret from line 2 to line 2 + rows, the view by as much.
        const QRect caretCell(origin + QPoint(0, 24), QSize(8, 12));
        QTest::keySequence(&area, QKeySequence(u"Ctrl+Home, Down, Down"_qs));
        QCOMPARE(text->characterRect(text->cursorPosition()), caretCell);
        QTest::keyClick(&area, Qt::Key_PageDown);
        int start = 0, end = 0;
        QCOMPARE(text->textAtOffset(text->cursorPosition(), QAccessible::LineBoundary, &start, &end)
                     .mid(1, 2),
            QString::number(2 + area.verticalScrollBar()->pageStep()));
        QCOMPARE(text->characterRect(text->cursorPosition()), caretCell);
        QCOMPARE(text->offsetAtPoint(caretCell.center()), text->cursorPosition());
        // The caret: a light column in the second pixel column of its cell on the dark paper.
        QVERIFY(qGray(drawn().pixel(1, 24 + 6)) > 200 && drawn().pixel(1, 6) == paper);
        // The widest line's end: the caret in the last column of the view.
        QTest::keySequence(&area, QKeySequence(u"Ctrl+Home, Down, Down, End"_qs));
        QCOMPARE(text->characterRect(text->cursorPosition()),
            QRect(origin + QPoint((area.horizontalScrollBar()->pageStep() - 1) * 8, 24),
                QSize(8, 12)));
        QTest::keySequence(&area, QKeySequence(u"Ctrl+End"_qs)); // the last line on the last row
        QCOMPARE(text->offsetAtPoint(origin + QPoint(1, view->height() / 12 * 12 - 11)),
            text->characterCount());
        // The caret blinks in its cell, and shows on any paper (mid grey too).
        QGuiApplication::styleHints()->setCursorFlashTime(200);
        area.clearFocus();
        for (const uint colour : { 0x000000u, 0xFFFFFFu, 0x808080u }) {
            area.setBackColour(colour);
            area.setText("  ");
            area.setFocus();
            const auto contrast = [&](int column) {
                return std::abs(qGray(drawn().pixel(column * 8 + 1, 6)) - int(colour & 0xFF));
            };
            QTRY_COMPARE(contrast(0), 0); // blinked off; a move shows it at once in its new cell
            QTest::keyClick(&area, Qt::Key_Right);
            QVERIFY(contrast(1) >= 100);
            area.clearFocus();
            QCOMPARE(contrast(1), 0);
        }
    }

    // A screen reader's text is the copied text (a break one "\n"); its caret, selection and line
    // follow keys ("ab", soft break, "cd", CR LF, "ef"); a tab is one character, however wide.
    void screenReaderMovesTheCaretAndFindsCharacters()
    {
        OemTextArea area;
        area.setText(QByteArray("\xDB\r\r\nb\rc\n\0\x01\x7F", 11));
        QAccessibleTextInterface *text = textOf(area);
        QCOMPARE(text->text(0, -1), u"█\nb\nc\n ☺⌂"_qs);
        QStringList seen; // caret, selection and line after each key sequence
        for (const char *keys : { "Down", "End, Right", "Ctrl+End", "Shift+Down, Shift+Right",
                 "Down, Down, Shift+Up" }) {
            area.setText("ab\r\r\ncd\r\nef");
            QTest::keySequence(&area, QKeySequence(QString::fromLatin1(keys)));
            int start = 0, end = 0;
            text->selection(0, &start, &end);
            seen << QString::number(text->cursorPosition()) + u' ' + text->text(start, end);
            seen.last() += u'|'
                + text->textAtOffset(
                    text->cursorPosition(), QAccessible::LineBoundary, &start, &end);
        }
        QCOMPARE(seen.join(u','), u"3 |cd\n,3 |cd\n,8 |ef,4 ab\nc|cd\n,3 cd\n|cd\n"_qs);
        text->setCursorPosition(4);
        QCOMPARE(area.caretPosition(), 6);
        text->setSelection(0, 1, 7);
        QCOMPARE(area.selectedText(), u"b\ncd\ne"_qs);
        text->removeSelection(0);
        QVERIFY(!area.hasSelection());
        QCOMPARE(text->cursorPosition(), 7);
        area.setText("a\tb\r\nxy");
        area.show();
        QCOMPARE(text->offsetAtPoint(text->characterRect(0).center() + QPoint(6 * 8, 0)), 1);
        QCOMPARE(text->offsetAtPoint(text->characterRect(5).center() + QPoint(0, 12)), -1);
    }
    void blockArtHasItsPixels_data()
    {
        QTest::addColumn<float>("points");
        QTest::addColumn<qreal>("ratio");
        for (const float points : { 5.0f, 6.0f, 9.0f, 12.0f, 14.0f })
            for (const qreal ratio : { 1.0, 2.0 })
                QTest::addRow("%g pt at %g", double(points), ratio) << points << ratio;
    }
    void blockArtHasItsPixels()
    {
        QFETCH(float, points);
        QFETCH(qreal, ratio);
        CellGrid grid;
        grid.setCellSize(CellGrid::cellSizeForPoints(points), ratio);
        const int w = grid.deviceCellSize().width(), h = grid.deviceCellSize().height();
        OemTextArea area;
        area.setFontSize(points);
        area.setFocusPolicy(Qt::NoFocus); // no caret over the pixels
        area.resize(140, 120);
        area.show();
        QImage image;
        const auto show = [&](const QByteArray &text) {
            area.setText(text);
            image = QImage(area.viewport()->size() * ratio, QImage::Format_RGB32);
            image.setDevicePixelRatio(ratio);
            area.viewport()->render(&image);
        };
        // Full and half blocks, exactly, in two rows from row 1, column 1.
        show("M\r\n \xdb\xdb\xdc\xdf\xdd\xde\r\n \xdb\xdb\xdc\xdf\xdd\xde");
        for (int y = 0; y <= 3 * h; ++y)
            for (int x = 0; x <= 7 * w; ++x) {
                const int column = x / w - 1, cx = x % w, cy = y % h;
                if (y < h) {
                    QVERIFY(x < w || image.pixel(x, y) == Paper); // a letter inks its cell only
                    continue;
                }
                if (ratio != 1 && column >= 2 && column < 6)
                    continue; // rendered into an image, the area draws halves at ratio 1, scaled
                const bool inked = y < 3 * h && column >= 0 && column < 6
                    && (column < 2 || (column == 2 && cy >= h / 2) || (column == 3 && cy < h / 2)
                        || (column == 4 && cx < w / 2) || (column == 5 && cx >= w / 2));
                if (image.pixel(x, y) != (inked ? Ink : Paper))
                    QFAIL(qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            }
        // Shades, 6 x 4 cells each: the pattern repeats every four dots, at its density.
        for (const auto &[byte, density] :
            { std::pair { '\xb0', 0.25 }, { '\xb1', 0.5 }, { '\xb2', 0.75 } }) {
            show(QByteArray(6, byte).append('\n').repeated(4));
            const int period = 4 * int(ratio);
            int inked = 0, breaks = 0;
            for (int y = 0; y < 4 * h; ++y)
                for (int x = 0; x < 6 * w; ++x) {
                    inked += image.pixel(x, y) == Ink;
                    breaks += x + period < 6 * w && image.pixel(x, y) != image.pixel(x + period, y);
                    breaks += y + period < 4 * h && image.pixel(x, y) != image.pixel(x, y + period);
                }
            QCOMPARE(breaks, 0);
            QVERIFY(qAbs(double(inked) / (24 * w * h) - density) < 0.05);
        }
        // Each line-drawing character amid the lines its arms point to (up, down, left, right;
        // 1 single, 2 double): as many strokes leave the 3 x 3 block through each arm.
        const char *arms[] = { "1100", "1110", "1120", "2210", "0210", "0120", "2220", "2200",
            "0220", "2020", "2010", "1020", "0110", "1001", "1011", "0111", "1101", "0011", "1111",
            "1102", "2201", "2002", "0202", "2022", "0222", "2202", "0022", "2222", "1022", "2011",
            "0122", "0211", "2001", "1002", "0102", "0201", "2211", "1122", "1010", "0101" };
        const QRect block(0, 0, 3 * w, 3 * h);
        const auto ink = [&](QPoint p) {
            return block.contains(p) && image.pixel(p) == Ink;
        };
        for (int index = 0; index < 40; ++index) {
            const char *a = arms[index];
            const char down[] = " \xb3\xba", across[] = " \xc4\xcd";
            QByteArray text(" | \n-+-\n | ");
            text[1] = down[a[0] - '0'], text[9] = down[a[1] - '0'], text[5] = char(0xB3 + index);
            text[4] = across[a[2] - '0'], text[6] = across[a[3] - '0'];
            show(text);
            for (int arm = 0; arm < 4; ++arm) {
                const QPoint step = arm < 2 ? QPoint(1, 0) : QPoint(0, 1);
                int strokes = 0;
                for (QPoint p(arm == 3 ? block.right() : 0, arm == 1 ? block.bottom() : 0);
                     block.contains(p); p += step)
                    strokes += ink(p) && !ink(p - step);
                QVERIFY2(strokes == a[arm] - '0', a);
            }
        }
    }
    // A picture is the window's own painting of the whole text: columns of the longest line by
    // lines (a final break starts none), no margin.
    void pictureIsWhatTheWindowShows_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<float>("points");
        QTest::addColumn<QSize>("cells");
        QTest::newRow("blocks, final break") << QByteArray("\xdb\xdb\r\n") << 9.0f << QSize(2, 1);
        QTest::newRow("empty") << QByteArray() << 9.0f << QSize(1, 1);
        QTest::newRow("art, tab, 14 pt")
            << QByteArray("A\xb1\xc9\xcd\tB\nx\r\n\r\n\xdf") << 14.0f << QSize(9, 4);
        QTest::newRow("CR CR LF, 5 pt") << QByteArray("ab\r\r\ncd\r") << 5.0f << QSize(2, 2);
    }
    void pictureIsWhatTheWindowShows()
    {
        QFETCH(QByteArray, text);
        QFETCH(float, points);
        QFETCH(QSize, cells);
        textarea::OemTextArea area;
        area.setFontSize(points), area.setTextColour(0x3366CC), area.setFocusPolicy(Qt::NoFocus);
        area.resize(400, 300), area.show(), area.setText(text);
        QImage window(area.viewport()->size(), QImage::Format_RGB32);
        area.viewport()->render(&window);
        const QImage picture = textarea::TextPicture(text, area.pictureStyle()).draw();
        const QSize cell = CellGrid::cellSizeForPoints(points);
        QCOMPARE(
            picture.size(), QSize(cells.width() * cell.width(), cells.height() * cell.height()));
        QCOMPARE(picture, window.copy(picture.rect()));
    }
    void glyphChart_data()
    {
        QTest::addColumn<float>("points");
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<bool>("bold");
        for (const float points : { 5.f, 6.f, 9.f, 12.f, 14.f })
            for (const qreal ratio : { 1.0, 1.5, 2.0 })
                QTest::addRow("%gpt x%g", double(points), ratio) << points << ratio << false;
        QTest::newRow("9pt x1 bold") << 9.f << 1.0 << true;
        QTest::newRow("14pt x1.5 bold") << 14.f << 1.5 << true;
    }
    void glyphChart()
    {
        QFETCH(float, points);
        QFETCH(qreal, ratio);
        QFETCH(bool, bold);
        CellGrid grid;
        grid.setCellSize(CellGrid::cellSizeForPoints(points), ratio);
        GlyphCache cache;
        cache.configure(grid.deviceCellSize(), bold, ratio);
        const QSize cell = cache.deviceCellSize();
        const auto glyph = [&](int byte) {
            return cache.cell(quint8(byte), GlyphInk, GlyphPaper, {});
        };
        // A letter drawn on a larger canvas has ink only in its cell, which shows all of it.
        const QRect middle(QPoint(cell.height(), cell.height()), cell);
        QImage blank(cell + 2 * QSize(cell.height(), cell.height()), QImage::Format_RGB32);
        blank.fill(GlyphPaper);
        for (int byte = 0; byte < 256; ++byte) {
            QImage canvas = cache.letterOnCanvas(quint8(byte), cell.height(), GlyphInk, GlyphPaper);
            const QByteArray name = "byte " + QByteArray::number(byte);
            QVERIFY2(
                blockglyphs::isDrawn(quint8(byte)) || canvas.copy(middle) == glyph(byte), name);
            QPainter(&canvas).fillRect(middle, QColor(GlyphPaper));
            QVERIFY2(canvas == blank, name + " is cut");
        }
        // The other weight at the same size draws other letters.
        const QImage weight = glyph('H');
        cache.configure(grid.deviceCellSize(), !bold, ratio);
        QVERIFY(glyph('H') != weight);
        cache.configure(grid.deviceCellSize(), bold, ratio);
        // The underscore is a line at least half the cell wide.
        QList<int> inkInRow(cell.height());
        for (const QPoint p : inkOf(glyph('_')))
            ++inkInRow[p.y()];
        QVERIFY2(std::ranges::max(inkInRow) * 2 >= cell.width(), "no underscore");
        if (points < 9 || bold)
            return;
        // Ä Ö Ü ä ë ï ö ü ÿ: two dots apart from the letter; é É Ñ ñ à á: an accent apart.
        for (const int byte : { 0x8E, 0x99, 0x9A, 0x84, 0x89, 0x8B, 0x94, 0x81, 0x98 })
            QVERIFY2(inkPieces(glyph(byte)) >= 3, QByteArray::number(byte, 16));
        for (const int byte : { 0x82, 0x90, 0xA5, 0xA4, 0x85, 0xA0 })
            QVERIFY2(inkPieces(glyph(byte)) >= 2, QByteArray::number(byte, 16));
        if (points != 9)
            return;
        // H g _ ^ É $ j where the ROM face puts them in its 8 x 12 cells (x, y, width, height):
        // at 1.5 each device pixel shows the ROM pixel under its centre.
        const int boxes[][4] = { { 0, 1, 7, 9 }, { 0, 4, 7, 8 }, { 0, 11, 8, 1 }, { 0, 0, 7, 4 },
            { 0, 0, 7, 11 }, { 0, 0, 7, 12 }, { 1, 1, 6, 11 } };
        for (int i = 0; i < 7; ++i) {
            const int *b = boxes[i];
            const auto at = [ratio](int rom) {
                return int(std::ceil(rom * ratio - 0.5));
            };
            QRect box;
            for (const QPoint p : inkOf(glyph(QByteArrayView("Hg_^\x90$j")[i])))
                box |= QRect(p, QSize(1, 1));
            QCOMPARE(box,
                QRect(QPoint(at(b[0]), at(b[1])),
                    QPoint(at(b[0] + b[2]), at(b[1] + b[3])) - QPoint(1, 1)));
        }
        // At 9 points wide letters span the cell but one pixel, and strokes are solid ink.
        for (const char letter : { 'M', 'W', 'H', '#' }) {
            int left = cell.width(), right = -1;
            for (const QPoint p : inkOf(glyph(letter)))
                left = std::min(left, p.x()), right = std::max(right, p.x());
            QVERIFY2(right - left + 1 >= cell.width() - std::ceil(ratio), QByteArray(1, letter));
        }
        qsizetype solid = 0, inky = 0;
        for (const char letter : "AaBbEeGgMmSsWwxyz0123456789") {
            const QImage image = glyph(letter);
            for (const QPoint p : inkOf(image))
                solid += image.pixel(p) == GlyphInk, ++inky;
        }
        QVERIFY2(
            solid * 10 >= inky * 9, QByteArray::number(solid) + " of " + QByteArray::number(inky));
    }
    // A link is a child with the role Link: its characters, its address; a press opens it.
    void linksAreHyperlinks()
    {
        OemTextArea area;
        area.setText("ab\r\nsee www.a.org");
        area.setLinks({ { 8, 17, u"http://www.a.org"_qs } });
        QAccessibleInterface *text = QAccessible::queryAccessibleInterface(&area);
        const int children = text->childCount();
        QAccessibleInterface *link = text->child(children - 1);
        const QAccessibleHyperlinkInterface *h = link->hyperlinkInterface();
        QCOMPARE(u"%1 %2-%3 %4 %5"_qs.arg(link->role())
                     .arg(h->startIndex())
                     .arg(h->endIndex())
                     .arg(h->anchor(), h->anchorTarget()),
            u"30 7-16 www.a.org http://www.a.org"_qs);
        QSignalSpy opened(&area, &OemTextArea::linkActivated);
        link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(opened.value(0).value(0).toString(), u"http://www.a.org"_qs);
        area.setText("x");
        QCOMPARE(text->childCount(), children - 1);
    }
};

QTEST_MAIN(TestTextArea)
#include "tst_textarea.moc"
