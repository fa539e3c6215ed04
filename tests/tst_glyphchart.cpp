// The 256 bytes as the text area draws them, at every size of the menu and ratios 1, 1.5 and 2:
// no ink cut at cell edges, accents apart, the underscore shown, solid full letters at 9 points.

#include "textarea/blockglyphs.h"
#include "textarea/cellgrid.h"
#include "textarea/glyphcache.h"

#include <QPainter>
#include <QtTest>

using namespace Qt::StringLiterals;
using textarea::CellGrid;

namespace {

const QRgb ink = qRgb(0xFF, 0xE0, 0x40);
const QRgb paper = qRgb(0x10, 0x20, 0x40);

bool isInk(const QImage &image, int x, int y)
{
    return image.rect().contains(x, y) && qGreen(image.pixel(x, y)) >= 0x80; // half way to ink
}

// Pieces of ink, 4-connected: pixels that touch only at a corner are apart, as the ROM face's
// dots are from its O and U.
int inkPieces(QImage image)
{
    int pieces = 0;
    for (int start = 0; start < image.width() * image.height(); ++start) {
        QList<QPoint> todo { QPoint(start % image.width(), start / image.width()) };
        pieces += isInk(image, todo[0].x(), todo[0].y());
        while (!todo.isEmpty()) {
            const QPoint p = todo.takeLast();
            if (!isInk(image, p.x(), p.y()))
                continue;
            image.setPixel(p, paper);
            todo << p + QPoint(1, 0) << p - QPoint(1, 0) << p + QPoint(0, 1) << p - QPoint(0, 1);
        }
    }
    return pieces;
}

// Columns from the leftmost to the rightmost ink, and how many inky pixels are solid ink.
QPair<int, int> spanAndSolid(const QImage &cell, int &inky)
{
    int left = cell.width(), right = -1, solid = 0;
    for (int y = 0; y < cell.height(); ++y)
        for (int x = 0; x < cell.width(); ++x)
            if (isInk(cell, x, y)) {
                left = std::min(left, x), right = std::max(right, x), ++inky;
                solid += cell.pixel(x, y) == ink;
            }
    return { right - left + 1, solid };
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
        textarea::GlyphCache cache;
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
            const QString name = u"byte 0x"_s + QString::number(byte, 16);
            QVERIFY2(
                textarea::blockglyphs::isDrawn(quint8(byte)) || canvas.copy(middle) == glyph(byte),
                qPrintable(name));
            QPainter(&canvas).fillRect(middle, QColor(paper));
            QVERIFY2(canvas == blank, qPrintable(name + u" is cut"_s));
        }
        // The underscore is a line at least half the cell wide.
        int longest = 0;
        for (int y = 0, length = 0; y < cell.height(); ++y, length = 0)
            for (int x = 0; x < cell.width(); ++x)
                longest = std::max(longest, length += isInk(glyph('_'), x, y));
        QVERIFY2(longest * 2 >= cell.width(), "no underscore");
        if (points < 9 || bold)
            return;
        // Ä Ö Ü ä ë ï ö ü ÿ: two dots apart from each other and the letter; é É Ñ ñ à á: an
        // accent apart from the letter.
        for (const int byte : { 0x8E, 0x99, 0x9A, 0x84, 0x89, 0x8B, 0x94, 0x81, 0x98 })
            QVERIFY2(inkPieces(glyph(byte)) >= 3, qPrintable(QString::number(byte, 16)));
        for (const int byte : { 0x82, 0x90, 0xA5, 0xA4, 0x85, 0xA0 })
            QVERIFY2(inkPieces(glyph(byte)) >= 2, qPrintable(QString::number(byte, 16)));
        if (points != 9)
            return;
        // At 9 points wide letters span the cell but one pixel, and strokes are solid ink.
        int inky = 0;
        for (const char letter : { 'M', 'W', 'H', '#' })
            QVERIFY2(spanAndSolid(glyph(letter), inky).first >= cell.width() - std::ceil(ratio),
                qPrintable(QString(QLatin1Char(letter))));
        int solid = inky = 0;
        for (const char letter : "AaBbEeGgMmSsWwxyz0123456789")
            solid += spanAndSolid(glyph(letter), inky).second;
        QVERIFY2(solid * 10 >= inky * 9, qPrintable(u"%1 of %2 solid"_s.arg(solid).arg(inky)));
    }
};

QTEST_MAIN(GlyphChartTest)
#include "tst_glyphchart.moc"
