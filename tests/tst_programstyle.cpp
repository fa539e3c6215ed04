#include "platform/programstyle.h"

#include <QApplication>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>
#include <QStyleFactory>
#include <QtTest>

#include <algorithm>
#include <cstdlib>
#include <memory>

using platform::ProgramStyle;

namespace {

// The scroll bar drawn through a style into an image at a pixel ratio, in device pixels.
QImage drawn(QStyle &style, Qt::Orientation orientation, QSize size, int value, qreal ratio)
{
    QScrollBar bar(orientation);
    bar.setStyle(&style);
    bar.setRange(0, 1000);
    bar.setPageStep(100);
    bar.setValue(value);
    bar.resize(size);
    QImage image((QSizeF(size) * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    bar.render(&painter);
    painter.end();
    return image;
}

} // namespace

class TestProgramStyle : public QObject
{
    Q_OBJECT

private slots:
    void scrollBarsLookAsTheBaseStyleDrawsThem_data()
    {
        QTest::addColumn<Qt::Orientation>("orientation");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("value");
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("tall vertical, top") << Qt::Vertical << QSize(17, 700) << 0 << 1.0;
        QTest::newRow("tall vertical, middle") << Qt::Vertical << QSize(17, 700) << 450 << 1.0;
        QTest::newRow("vertical, band boundary in the slider")
            << Qt::Vertical << QSize(17, 330) << 130 << 1.0;
        QTest::newRow("vertical at ratio 2") << Qt::Vertical << QSize(17, 400) << 900 << 2.0;
        QTest::newRow("vertical at ratio 1.5") << Qt::Vertical << QSize(17, 257) << 500 << 1.5;
        QTest::newRow("horizontal") << Qt::Horizontal << QSize(640, 17) << 300 << 1.0;
        QTest::newRow("thick horizontal") << Qt::Horizontal << QSize(300, 150) << 300 << 1.0;
        QTest::newRow("one row") << Qt::Vertical << QSize(17, 1) << 0 << 1.0;
    }

    void scrollBarsLookAsTheBaseStyleDrawsThem()
    {
        QFETCH(Qt::Orientation, orientation);
        QFETCH(QSize, size);
        QFETCH(int, value);
        QFETCH(qreal, ratio);

        ProgramStyle banded;
        const std::unique_ptr<QStyle> plain(QStyleFactory::create(banded.baseStyle()->name()));
        QVERIFY(plain);
        const QImage expected = drawn(*plain, orientation, size, value, ratio);
        const QImage actual = drawn(banded, orientation, size, value, ratio);
        QCOMPARE(actual.size(), expected.size());
        // Where a translucent outline closes on itself, the raster engine blends the corner
        // pixel once or twice depending on which parts of the outline lie on the device, so a
        // few such corners may differ by a shade; nothing else may.
        int differing = 0;
        int largest = 0;
        for (int y = 0; y < actual.height(); ++y) {
            for (int x = 0; x < actual.width(); ++x) {
                const QRgb a = actual.pixel(x, y);
                const QRgb e = expected.pixel(x, y);
                const int difference = std::max({ std::abs(qRed(a) - qRed(e)),
                    std::abs(qGreen(a) - qGreen(e)), std::abs(qBlue(a) - qBlue(e)) });
                differing += difference > 0 ? 1 : 0;
                largest = std::max(largest, difference);
            }
        }
        QVERIFY2(largest <= 24, qPrintable(QStringLiteral("a pixel differs by %1").arg(largest)));
        QVERIFY2(differing <= 8, qPrintable(QStringLiteral("%1 pixels differ").arg(differing)));
    }

    void menuBarOverflowButtonShowsTheBaseStylesIcon()
    {
        ProgramStyle style;
        const QIcon deferred = style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
        const QIcon base
            = style.baseStyle()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
        QVERIFY(!deferred.isNull());
        QCOMPARE(deferred.availableSizes(), base.availableSizes());
        for (const int side : { 16, 32 }) {
            QCOMPARE(deferred.pixmap(side).toImage(), base.pixmap(side).toImage());
            QCOMPARE(deferred.actualSize(QSize(side, side)), base.actualSize(QSize(side, side)));
        }

        // The menu bar takes the icon when it is built and draws it once the window is too
        // narrow for the menus.
        QMenuBar bar;
        bar.setStyle(&style);
        for (const char *title : { "&File", "&Edit", "&Options", "&Help" })
            bar.addMenu(QString::fromLatin1(title));
        bar.resize(40, bar.sizeHint().height());
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        const QImage shown = bar.grab().toImage();
        QVERIFY(!shown.isNull());
    }
};

QTEST_MAIN(TestProgramStyle)
#include "tst_programstyle.moc"
