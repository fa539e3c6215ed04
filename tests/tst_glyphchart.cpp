// The chart of all 256 bytes as the text area draws them, at every size the menu offers and at
// pixel ratios 1, 1.5 and 2: no glyph loses ink at its cell's edges, accents stand apart, the
// underscore shows, and at 9 points letters fill their cells in solid strokes.

#include "textarea/blockglyphs.h"
#include "textarea/cellgrid.h"
#include "textarea/glyphcache.h"

#include <QPainter>
#include <QtTest>

using textarea::CellGrid;
using textarea::GlyphCache;
using namespace Qt::StringLiterals;

namespace {

const QRgb ink = qRgb(0xFF, 0xE0, 0x40);
const QRgb paper = qRgb(0x10, 0x20, 0x40);

QString hex(int byte)
{
    return u"byte 0x"_s + QString::number(byte, 16);
}

QImage paperOnly(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(paper);
    return image;
}

bool isInk(QRgb pixel)
{
    return qGreen(pixel) >= 0x80; // at least half way from paper to ink
}

GlyphCache cacheFor(float points, qreal ratio, bool bold = false)
{
    CellGrid grid;
    grid.setCellSize(CellGrid::cellSizeForPoints(points), ratio);
    GlyphCache cache;
    cache.configure(grid.deviceCellSize(), bold, ratio);
    return cache;
}

// The ink of an image in 4-connected pieces: pixels that touch only at a corner are apart,
// as the ROM face's dots are from its O and U.
int inkPieces(const QImage &image)
{
    const int w = image.width();
    QList<bool> seen(w * image.height());
    int pieces = 0;
    for (int start = 0; start < seen.size(); ++start) {
        if (seen[start] || !isInk(image.pixel(start % w, start / w)))
            continue;
        ++pieces;
        QList<int> todo { start };
        seen[start] = true;
        while (!todo.isEmpty()) {
            const int at = todo.takeLast();
            for (const QPoint step : { QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1) }) {
                const int x = at % w + step.x();
                const int y = at / w + step.y();
                if (x < 0 || y < 0 || x >= w || y >= image.height() || seen[y * w + x]
                    || !isInk(image.pixel(x, y)))
                    continue;
                seen[y * w + x] = true;
                todo.append(y * w + x);
            }
        }
    }
    return pieces;
}

} // namespace

class GlyphChartTest : public QObject
{
    Q_OBJECT

private slots:
    // Each letter drawn on a canvas larger than its cell has ink only where the cell is, and
    // the cell shows all of it; the underscore is a line at least half the cell wide.
    void everyGlyphKeepsAllItsInkInItsCell_data()
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
    void everyGlyphKeepsAllItsInkInItsCell()
    {
        QFETCH(float, points);
        QFETCH(qreal, ratio);
        QFETCH(bool, bold);
        GlyphCache cache = cacheFor(points, ratio, bold);
        const int margin = cache.deviceCellSize().height();
        const QRect middle(QPoint(margin, margin), cache.deviceCellSize());
        for (int byte = 0; byte < 256; ++byte) {
            QImage canvas = cache.letterOnCanvas(quint8(byte), margin, ink, paper);
            const QImage inCell = canvas.copy(middle);
            if (!textarea::blockglyphs::isDrawn(quint8(byte)))
                QVERIFY2(inCell == cache.cell(quint8(byte), ink, paper, {}), qPrintable(hex(byte)));
            QPainter(&canvas).fillRect(middle, QColor(paper));
            QVERIFY2(canvas == paperOnly(canvas.size()), qPrintable(hex(byte) + u" is cut"_s));
        }
        const QImage underscore = cache.cell('_', ink, paper, {});
        int longest = 0;
        for (int y = 0; y < underscore.height(); ++y) {
            int length = 0;
            for (int x = 0; x < underscore.width(); ++x)
                length += isInk(underscore.pixel(x, y));
            longest = std::max(longest, length);
        }
        QVERIFY2(longest * 2 >= underscore.width(), "no underscore");
    }

    // Accents and diaeresis dots are pieces of ink apart from the letter and from each other.
    void accentsStandApartFromTheirLetters_data()
    {
        QTest::addColumn<float>("points");
        QTest::addColumn<qreal>("ratio");
        for (const float points : { 9.f, 12.f, 14.f })
            for (const qreal ratio : { 1.0, 1.5, 2.0 })
                QTest::addRow("%gpt x%g", double(points), ratio) << points << ratio;
    }
    void accentsStandApartFromTheirLetters()
    {
        QFETCH(float, points);
        QFETCH(qreal, ratio);
        GlyphCache cache = cacheFor(points, ratio);
        // Ä Ö Ü ä ë ï ö ü ÿ with two dots; é É Ñ ñ à á with one accent.
        for (const int byte : { 0x8E, 0x99, 0x9A, 0x84, 0x89, 0x8B, 0x94, 0x81, 0x98 })
            QVERIFY2(
                inkPieces(cache.cell(quint8(byte), ink, paper, {})) >= 3, qPrintable(hex(byte)));
        for (const int byte : { 0x82, 0x90, 0xA5, 0xA4, 0x85, 0xA0 })
            QVERIFY2(
                inkPieces(cache.cell(quint8(byte), ink, paper, {})) >= 2, qPrintable(hex(byte)));
    }

    // At 9 points wide letters span the cell but one pixel, and strokes are solid ink.
    void ninePointLettersFillTheirCellsInSolidInk_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("x1") << 1.0;
        QTest::newRow("x1.5") << 1.5;
        QTest::newRow("x2") << 2.0;
    }
    void ninePointLettersFillTheirCellsInSolidInk()
    {
        QFETCH(qreal, ratio);
        GlyphCache cache = cacheFor(9, ratio);
        const int width = cache.deviceCellSize().width();
        for (const char letter : { 'M', 'W', 'H', '#' }) {
            const QImage cell = cache.cell(quint8(letter), ink, paper, {});
            int left = width;
            int right = -1;
            for (int y = 0; y < cell.height(); ++y)
                for (int x = 0; x < width; ++x)
                    if (isInk(cell.pixel(x, y)))
                        left = std::min(left, x), right = std::max(right, x);
            QVERIFY2(right - left + 1 >= width - std::ceil(ratio), &letter);
        }
        int inky = 0;
        int solid = 0;
        for (const char letter : "AaBbEeGgMmSsWwxyz0123456789") {
            const QImage cell = cache.cell(quint8(letter), ink, paper, {});
            for (int y = 0; y < cell.height(); ++y)
                for (int x = 0; x < width; ++x) {
                    inky += isInk(cell.pixel(x, y));
                    solid += cell.pixel(x, y) == ink;
                }
        }
        QVERIFY2(solid * 10 >= inky * 9, qPrintable(u"%1 of %2 solid"_s.arg(solid).arg(inky)));
    }
};

QTEST_MAIN(GlyphChartTest)
#include "tst_glyphchart.moc"
