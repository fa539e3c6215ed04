// The 256 bytes as the text area draws them, at every size of the menu and ratios 1, 1.5 and 2:
// no ink cut at cell edges, accents apart, the underscore shown, solid full letters at 9 points.

#include "textarea/blockglyphs.h"
#include "textarea/cellgrid.h"
#include "textarea/glyphcache.h"

#include <QPainter>
#include <QtTest>

using namespace textarea;

namespace {

const QRgb ink = qRgb(0xFF, 0xE0, 0x40), paper = qRgb(0x10, 0x20, 0x40);

// Its ink pixels, row by row: half way to ink's green or more.
QList<QPoint> inkOf(const QImage &image)
{
    QList<QPoint> points;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGreen(image.pixel(x, y)) >= 0x80)
                points << QPoint(x, y);
    return points;
}

// Pieces of ink, 4-connected: pixels that touch only at a corner are apart, as the ROM face's
// dots are from its O and U.
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

class GlyphChartTest : public QObject
{
    Q_OBJECT

private slots:
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
            return cache.cell(quint8(byte), ink, paper, {});
        };
        // Each letter drawn on a larger canvas has ink only where its cell is, and the cell
        // shows all of it.
        const QRect middle(QPoint(cell.height(), cell.height()), cell);
        QImage blank(cell + 2 * QSize(cell.height(), cell.height()), QImage::Format_RGB32);
        blank.fill(paper);
        for (int byte = 0; byte < 256; ++byte) {
            QImage canvas = cache.letterOnCanvas(quint8(byte), cell.height(), ink, paper);
            const QByteArray name = "byte " + QByteArray::number(byte);
            QVERIFY2(
                blockglyphs::isDrawn(quint8(byte)) || canvas.copy(middle) == glyph(byte), name);
            QPainter(&canvas).fillRect(middle, QColor(paper));
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
        // Ä Ö Ü ä ë ï ö ü ÿ: two dots apart from each other and the letter; é É Ñ ñ à á: an
        // accent apart from the letter.
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
                solid += image.pixel(p) == ink, ++inky;
        }
        QVERIFY2(
            solid * 10 >= inky * 9, QByteArray::number(solid) + " of " + QByteArray::number(inky));
    }
};

QTEST_MAIN(GlyphChartTest)
#include "tst_glyphchart.moc"
