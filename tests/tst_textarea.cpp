// The code page 437 text area: the style's scroll bars, the byte table, the cell grid's geometry
// and selection, the pixels of blocks, shades and lines (of letters only: ink in their cell).

#include "platform/programstyle.h"
#include "textarea/cellgrid.h"
#include "textarea/cp437.h"
#include "textarea/oemtextarea.h"

#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStyleOptionSlider>
#include <QtTest>

using textarea::CellGrid;

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
        QCOMPARE(
            textarea::cp437::toUnicode(bytes), QString::fromUtf8(iconv.readAllStandardOutput()));
        for (int b = 0; b < 0x20; ++b)
            bytes[b] = char(b);
        QCOMPARE(textarea::cp437::toUnicode(bytes.left(32) + '\x7F'),
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
        if (query == 't')
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
        textarea::OemTextArea area;
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
};

QTEST_MAIN(TestTextArea)
#include "tst_textarea.moc"
