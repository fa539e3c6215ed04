#include "textarea/cellgrid.h"

#include <QtTest>

using textarea::CellGrid;
using Move = CellGrid::Move;

namespace {

CellGrid gridOf(const QByteArray &text)
{
    CellGrid grid;
    grid.setText(text);
    return grid;
}

} // namespace

class TestCellGrid : public QObject
{
    Q_OBJECT

private slots:
    void cellSizeFollowsPoints_data()
    {
        QTest::addColumn<double>("points");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("5") << 5.0 << QSize(5, 7);
        QTest::newRow("6") << 6.0 << QSize(5, 8);
        QTest::newRow("9") << 9.0 << QSize(8, 12);
        QTest::newRow("12") << 12.0 << QSize(11, 16);
        QTest::newRow("14") << 14.0 << QSize(13, 19);
        QTest::newRow("fractional") << 10.5 << QSize(9, 14);
        QTest::newRow("tiny") << 0.1 << QSize(1, 1);
        QTest::newRow("zero") << 0.0 << QSize(1, 1);
        QTest::newRow("negative") << -9.0 << QSize(1, 1);
        QTest::newRow("not a number") << std::nan("") << QSize(1, 1);
        QTest::newRow("huge") << 1e12 << QSize(683, 1024);
    }
    void cellSizeFollowsPoints()
    {
        QFETCH(double, points);
        QFETCH(QSize, expected);
        QCOMPARE(CellGrid::cellSizeForPoints(points), expected);
    }

    // Each line as "start-end:columns".
    void linesAreIndexed_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("lines");
        const auto l = [](std::initializer_list<const char *> items) {
            QStringList list;
            for (const char *item : items)
                list << QLatin1String(item);
            return list;
        };
        QTest::newRow("empty") << QByteArray() << l({ "0-0:0" });
        QTest::newRow("no break") << QByteArray("abc") << l({ "0-3:3" });
        QTest::newRow("CR LF") << QByteArray("ab\r\ncd") << l({ "0-2:2", "4-6:2" });
        QTest::newRow("CR CR LF is one break")
            << QByteArray("ab\r\r\ncd") << l({ "0-2:2", "5-7:2" });
        QTest::newRow("lone CR") << QByteArray("ab\rcd") << l({ "0-2:2", "3-5:2" });
        QTest::newRow("lone LF") << QByteArray("ab\ncd") << l({ "0-2:2", "3-5:2" });
        QTest::newRow("LF CR is two breaks")
            << QByteArray("a\n\rb") << l({ "0-1:1", "2-2:0", "3-4:1" });
        QTest::newRow("CR CR at the end")
            << QByteArray("a\r\r") << l({ "0-1:1", "2-2:0", "3-3:0" });
        QTest::newRow("trailing break") << QByteArray("a\r\n") << l({ "0-1:1", "3-3:0" });
        QTest::newRow("tab from 0") << QByteArray("\tx") << l({ "0-2:9" });
        QTest::newRow("tab mid-stop") << QByteArray("abc\tx") << l({ "0-5:9" });
        QTest::newRow("tab at a stop") << QByteArray("abcdefgh\t") << l({ "0-9:16" });
        QTest::newRow("NUL and controls are cells")
            << QByteArray("\0\x01\x1a\x7f", 4) << l({ "0-4:4" });
    }
    void linesAreIndexed()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, lines);
        const CellGrid grid = gridOf(text);
        QStringList actual;
        for (qsizetype i = 0; i < grid.lineCount(); ++i) {
            const CellGrid::Line &line = grid.line(i);
            actual << QStringLiteral("%1-%2:%3").arg(line.start).arg(line.end).arg(line.columns);
        }
        QCOMPARE(actual, lines);
    }

    // Lines of every length up to 40 with every kind of break, so that breaks and tabs fall
    // at every position of the eight-byte scan.
    void breaksAreFoundAtEveryPosition()
    {
        const QByteArray breaks[] = { "\r\n", "\r\r\n", "\r", "\n" };
        QByteArray text;
        for (int length = 0; length <= 40; ++length)
            text.append(QByteArray(length, '\xdb')).append(breaks[length % 4]);
        text.append("abcdefghijk\tz");
        const CellGrid grid = gridOf(text);
        QCOMPARE(grid.lineCount(), 42);
        for (int length = 0; length <= 40; ++length)
            QCOMPARE(grid.line(length).columns, length);
        QCOMPARE(grid.line(41).columns, 17);
        QCOMPARE(grid.widestLine(), 40);
    }

    void hostileTextsIndexWithoutLimits()
    {
        const CellGrid longLine = gridOf(QByteArray(64000, 'x'));
        QCOMPARE(longLine.lineCount(), 1);
        QCOMPARE(longLine.widestLine(), 64000);
        const CellGrid breaks = gridOf(QByteArray("\r\n").repeated(64000));
        QCOMPARE(breaks.lineCount(), 64001);
        QCOMPARE(breaks.lineOf(127999), 63999);
        const CellGrid tabs = gridOf(QByteArray(1000, '\t'));
        QCOMPARE(tabs.widestLine(), 8000);
        QCOMPARE(tabs.columnOf(999), 7992);
    }

    void offsetsMapToColumns_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<qsizetype>("offset");
        QTest::addColumn<qsizetype>("line");
        QTest::addColumn<qsizetype>("column");
        QTest::newRow("start") << QByteArray("ab\r\ncd") << qsizetype(0) << qsizetype(0)
                               << qsizetype(0);
        QTest::newRow("line end") << QByteArray("ab\r\ncd") << qsizetype(2) << qsizetype(0)
                                  << qsizetype(2);
        QTest::newRow("inside break")
            << QByteArray("ab\r\ncd") << qsizetype(3) << qsizetype(0) << qsizetype(2);
        QTest::newRow("second line")
            << QByteArray("ab\r\ncd") << qsizetype(5) << qsizetype(1) << qsizetype(1);
        QTest::newRow("after tab")
            << QByteArray("a\tb") << qsizetype(2) << qsizetype(0) << qsizetype(8);
        QTest::newRow("after two tabs")
            << QByteArray("\t\tb") << qsizetype(3) << qsizetype(0) << qsizetype(17);
    }
    void offsetsMapToColumns()
    {
        QFETCH(QByteArray, text);
        QFETCH(qsizetype, offset);
        QFETCH(qsizetype, line);
        QFETCH(qsizetype, column);
        const CellGrid grid = gridOf(text);
        QCOMPARE(grid.lineOf(offset), line);
        QCOMPARE(grid.columnOf(offset), column);
    }

    void columnsMapToNearestOffset_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<qsizetype>("line");
        QTest::addColumn<double>("column");
        QTest::addColumn<qsizetype>("offset");
        QTest::newRow("left half of a cell")
            << QByteArray("abcd") << qsizetype(0) << 1.4 << qsizetype(1);
        QTest::newRow("right half of a cell")
            << QByteArray("abcd") << qsizetype(0) << 1.6 << qsizetype(2);
        QTest::newRow("before the start")
            << QByteArray("abcd") << qsizetype(0) << -3.0 << qsizetype(0);
        QTest::newRow("past the end") << QByteArray("abcd") << qsizetype(0) << 99.0 << qsizetype(4);
        QTest::newRow("first half of a tab")
            << QByteArray("a\tb") << qsizetype(0) << 4.0 << qsizetype(1);
        QTest::newRow("second half of a tab")
            << QByteArray("a\tb") << qsizetype(0) << 5.0 << qsizetype(2);
        QTest::newRow("line past the last")
            << QByteArray("ab\ncd") << qsizetype(7) << 1.0 << qsizetype(4);
    }
    void columnsMapToNearestOffset()
    {
        QFETCH(QByteArray, text);
        QFETCH(qsizetype, line);
        QFETCH(double, column);
        QFETCH(qsizetype, offset);
        QCOMPARE(gridOf(text).offsetAtColumn(line, column), offset);
    }

    void offsetsAreClamped_data()
    {
        QTest::addColumn<qsizetype>("offset");
        QTest::addColumn<qsizetype>("expected");
        QTest::newRow("negative") << qsizetype(-5) << qsizetype(0);
        QTest::newRow("between CR and LF") << qsizetype(3) << qsizetype(2);
        QTest::newRow("inside CR CR LF") << qsizetype(7) << qsizetype(6);
        QTest::newRow("past the end") << qsizetype(100) << qsizetype(11);
        QTest::newRow("valid") << qsizetype(4) << qsizetype(4);
    }
    void offsetsAreClamped()
    {
        QFETCH(qsizetype, offset);
        QFETCH(qsizetype, expected);
        QCOMPARE(gridOf("ab\r\ncd\r\r\nef").clampOffset(offset), expected);
    }

    void caretMoves_data()
    {
        QTest::addColumn<qsizetype>("from");
        QTest::addColumn<QList<Move>>("moves");
        QTest::addColumn<qsizetype>("expected");
        // "abcdef\r\nab\r\nabcdefgh\tx": lines at 0-6, 8-10, 12-22 (the tab spans columns 8-15).
        QTest::newRow("right within a line")
            << qsizetype(0) << QList<Move> { Move::Right } << qsizetype(1);
        QTest::newRow("right over a break")
            << qsizetype(6) << QList<Move> { Move::Right } << qsizetype(8);
        QTest::newRow("left over a break")
            << qsizetype(8) << QList<Move> { Move::Left } << qsizetype(6);
        QTest::newRow("left at the start")
            << qsizetype(0) << QList<Move> { Move::Left } << qsizetype(0);
        QTest::newRow("right at the end")
            << qsizetype(22) << QList<Move> { Move::Right } << qsizetype(22);
        QTest::newRow("down to a shorter line")
            << qsizetype(5) << QList<Move> { Move::Down } << qsizetype(10);
        QTest::newRow("down keeps the goal column")
            << qsizetype(5) << QList<Move> { Move::Down, Move::Down } << qsizetype(17);
        QTest::newRow("up at the top") << qsizetype(3) << QList<Move> { Move::Up } << qsizetype(3);
        QTest::newRow("down past a tab's middle")
            << qsizetype(20) << QList<Move> { Move::Up, Move::Down } << qsizetype(20);
        QTest::newRow("home and end")
            << qsizetype(9) << QList<Move> { Move::LineEnd } << qsizetype(10);
        QTest::newRow("home") << qsizetype(9) << QList<Move> { Move::LineStart } << qsizetype(8);
        QTest::newRow("text end") << qsizetype(0) << QList<Move> { Move::TextEnd } << qsizetype(22);
        QTest::newRow("text start")
            << qsizetype(15) << QList<Move> { Move::TextStart } << qsizetype(0);
        QTest::newRow("page down stops at the last line")
            << qsizetype(1) << QList<Move> { Move::PageDown } << qsizetype(13);
        QTest::newRow("page up stops at the first line")
            << qsizetype(13) << QList<Move> { Move::PageUp } << qsizetype(1);
        QTest::newRow("horizontal move resets the goal")
            << qsizetype(5) << QList<Move> { Move::Down, Move::Left, Move::Down } << qsizetype(13);
    }
    void caretMoves()
    {
        QFETCH(qsizetype, from);
        QFETCH(QList<Move>, moves);
        QFETCH(qsizetype, expected);
        const CellGrid grid = gridOf("abcdef\r\nab\r\nabcdefgh\tx");
        qsizetype goal = -1;
        qsizetype offset = from;
        for (Move move : moves)
            offset = grid.move(offset, move, goal, 10);
        QCOMPARE(offset, expected);
    }

    void wordsAreFound_data()
    {
        QTest::addColumn<qsizetype>("offset");
        QTest::addColumn<qsizetype>("begin");
        QTest::addColumn<qsizetype>("end");
        // "see www.x.org  now\r\n\r\nend"
        QTest::newRow("inside a word") << qsizetype(6) << qsizetype(4) << qsizetype(13);
        QTest::newRow("first word") << qsizetype(0) << qsizetype(0) << qsizetype(3);
        QTest::newRow("run of blanks") << qsizetype(13) << qsizetype(13) << qsizetype(15);
        QTest::newRow("at a line end") << qsizetype(18) << qsizetype(15) << qsizetype(18);
        QTest::newRow("empty line") << qsizetype(20) << qsizetype(20) << qsizetype(20);
        QTest::newRow("last word") << qsizetype(23) << qsizetype(22) << qsizetype(25);
    }
    void wordsAreFound()
    {
        QFETCH(qsizetype, offset);
        QFETCH(qsizetype, begin);
        QFETCH(qsizetype, end);
        const auto word = gridOf("see www.x.org  now\r\n\r\nend").wordAt(offset);
        QCOMPARE(word.first, begin);
        QCOMPARE(word.second, end);
    }

    void textBetweenMapsToUnicode_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<qsizetype>("from");
        QTest::addColumn<qsizetype>("to");
        QTest::addColumn<QString>("expected");
        QTest::newRow("every break is a newline")
            << QByteArray("a\r\nb\r\r\nc\rd\ne") << qsizetype(0) << qsizetype(12)
            << QStringLiteral("a\nb\nc\nd\ne");
        QTest::newRow("reversed range")
            << QByteArray("abcd") << qsizetype(3) << qsizetype(1) << QStringLiteral("bc");
        QTest::newRow("blocks and lines") << QByteArray("\xdb\xc4\xb0\x82") << qsizetype(0)
                                          << qsizetype(4) << QString::fromUtf8("█─░é");
        QTest::newRow("NUL is a blank")
            << QByteArray("a\0b", 3) << qsizetype(0) << qsizetype(3) << QStringLiteral("a b");
        QTest::newRow("ends inside a break")
            << QByteArray("ab\r\ncd") << qsizetype(1) << qsizetype(3) << QStringLiteral("b");
        QTest::newRow("ends after a break")
            << QByteArray("ab\r\ncd") << qsizetype(1) << qsizetype(4) << QStringLiteral("b\n");
        QTest::newRow("empty") << QByteArray("ab") << qsizetype(1) << qsizetype(1) << QString();
    }
    void textBetweenMapsToUnicode()
    {
        QFETCH(QByteArray, text);
        QFETCH(qsizetype, from);
        QFETCH(qsizetype, to);
        QFETCH(QString, expected);
        QCOMPARE(gridOf(text).textBetween(from, to), expected);
    }

    void cellsShareEdges_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<QSize>("deviceCell");
        QTest::newRow("1") << 1.0 << QSize(13, 19);
        QTest::newRow("2") << 2.0 << QSize(26, 38);
        QTest::newRow("1.5") << 1.5 << QSize(20, 29);
        QTest::newRow("nonsense ratio") << 0.0 << QSize(13, 19);
    }
    void cellsShareEdges()
    {
        QFETCH(qreal, ratio);
        QFETCH(QSize, deviceCell);
        CellGrid grid = gridOf("abc\ndef");
        grid.setCellSize(CellGrid::cellSizeForPoints(14), ratio);
        QCOMPARE(grid.deviceCellSize(), deviceCell);
        grid.setOrigin(1, 2);
        QCOMPARE(grid.deviceCellRect(1, 2).topLeft(), QPoint(0, 0));
        QCOMPARE(grid.deviceCellRect(1, 3).left(), grid.deviceCellRect(1, 2).right() + 1);
        QCOMPARE(grid.deviceCellRect(2, 2).top(), grid.deviceCellRect(1, 2).bottom() + 1);
    }

    void hitTestFindsTheNearestBoundary_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<qsizetype>("offset");
        // 9 points: 8 x 12 cells; the view starts at line 1, column 1 of "abcdef\nghijkl\nmn".
        QTest::newRow("left half of a cell") << 1.0 << QPointF(3, 1) << qsizetype(8);
        QTest::newRow("right half of a cell") << 1.0 << QPointF(5, 1) << qsizetype(9);
        QTest::newRow("second row") << 1.0 << QPointF(9, 13) << qsizetype(16);
        QTest::newRow("same cells at ratio 2") << 2.0 << QPointF(9, 13) << qsizetype(16);
        QTest::newRow("above the view") << 1.0 << QPointF(1, -30) << qsizetype(1);
        QTest::newRow("below the text") << 1.0 << QPointF(100, 500) << qsizetype(16);
    }
    void hitTestFindsTheNearestBoundary()
    {
        QFETCH(qreal, ratio);
        QFETCH(QPointF, point);
        QFETCH(qsizetype, offset);
        CellGrid grid = gridOf("abcdef\nghijkl\nmn");
        grid.setCellSize(CellGrid::cellSizeForPoints(9), ratio);
        grid.setOrigin(1, 1);
        QCOMPARE(grid.hitTest(point), offset);
    }

    void visibleCellsCountWholeCells()
    {
        CellGrid grid;
        grid.setCellSize(QSize(8, 12), 2.0);
        QCOMPARE(grid.visibleRows(121), 10);
        QCOMPARE(grid.visibleColumns(639), 79);
        QCOMPARE(grid.visibleRows(5), 1);
    }
};

QTEST_APPLESS_MAIN(TestCellGrid)
#include "tst_cellgrid.moc"
